#include "CellText.h"

#include "platform/UserLocale.h"

namespace velmora {

QString cellDisplayText(const ResultSet& rows, std::int64_t row, int col) {
    if (rows.isNull(row, col))
        return {};
    const QLocale locale = userLocale();
    switch (rows.field(col).kind) {
    case ColumnKind::Int64:
        return QString::number(rows.intAt(row, col));
    case ColumnKind::Double: {
        QString s = locale.toString(rows.doubleAt(row, col), 'g', 15);
        return s.remove(locale.groupSeparator());
    }
    case ColumnKind::Decimal: {
        QString s = QString::fromUtf8(rows.bytesAt(row, col));
        return s.replace(QLatin1Char('.'), localeDecimalSeparator());
    }
    case ColumnKind::Bool:
        return rows.boolAt(row, col) ? QStringLiteral("True") : QStringLiteral("False");
    case ColumnKind::Date:
        return locale.toString(rows.dateAt(row, col), QLocale::ShortFormat);
    case ColumnKind::Time:
        return locale.toString(rows.timeAt(row, col), QLocale::LongFormat);
    case ColumnKind::DateTime: {
        const QDateTime dt = rows.dateTimeAt(row, col);
        if (dt.time() == QTime(0, 0))
            return locale.toString(dt.date(), QLocale::ShortFormat);
        return locale.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
               locale.toString(dt.time(), QLocale::LongFormat);
    }
    case ColumnKind::Text:
        return rows.textAt(row, col);
    case ColumnKind::Bytes:
        return QStringLiteral("(BLOB)");
    }
    return {};
}

} // namespace velmora
