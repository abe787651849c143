#include "RecordValue.h"

#include "platform/UserLocale.h"

#include <QLocale>

namespace velmora {

namespace {

constexpr double kSerialOf1970 = 25569.0; // 1970-01-01 as a spreadsheet date
constexpr double kMsPerDay = 86400000.0;

} // namespace

QString fieldEditText(const ResultSet& rows, std::int64_t row, int column) {
    if (rows.isNull(row, column))
        return {};
    const QLocale locale = userLocale();
    switch (rows.field(column).kind) {
    case ColumnKind::Int64:
        return QString::number(rows.intAt(row, column));
    case ColumnKind::Bool:
        return rows.boolAt(row, column) ? QStringLiteral("True") : QStringLiteral("False");
    case ColumnKind::Double: {
        QString s = QString::number(rows.doubleAt(row, column), 'g', 15);
        return s.replace(QLatin1Char('.'), localeDecimalSeparator());
    }
    case ColumnKind::Decimal: {
        const std::string_view digits = rows.bytesAt(row, column);
        QString s = QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
        return s.replace(QLatin1Char('.'), localeDecimalSeparator());
    }
    case ColumnKind::Date:
        return locale.toString(rows.dateAt(row, column), QLocale::ShortFormat);
    case ColumnKind::Time:
        return rows.timeAt(row, column).toString(QStringLiteral("HH:mm:ss"));
    case ColumnKind::DateTime:
        return locale.toString(rows.dateTimeAt(row, column), QLocale::ShortFormat);
    case ColumnKind::Text:
    case ColumnKind::Bytes: {
        const std::string_view b = rows.bytesAt(row, column);
        return QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
    }
    }
    return {};
}

std::optional<double> fieldNumber(const ResultSet& rows, std::int64_t row, int column) {
    if (rows.isNull(row, column))
        return std::nullopt;
    switch (rows.field(column).kind) {
    case ColumnKind::Int64:
    case ColumnKind::Bool:
        return static_cast<double>(rows.intAt(row, column));
    case ColumnKind::Double:
    case ColumnKind::Decimal:
        return rows.doubleAt(row, column);
    case ColumnKind::Text: {
        bool ok = false;
        const double v = rows.textAt(row, column).trimmed().toDouble(&ok);
        return ok ? std::optional<double>(v) : std::nullopt;
    }
    default:
        break;
    }
    return std::nullopt;
}

double fieldDateSerial(const ResultSet& rows, std::int64_t row, int column) {
    if (rows.isNull(row, column))
        return 0;
    switch (rows.field(column).kind) {
    case ColumnKind::Date:
        return static_cast<double>(rows.intAt(row, column)) + kSerialOf1970;
    case ColumnKind::Time:
        return static_cast<double>(rows.intAt(row, column)) / kMsPerDay;
    case ColumnKind::DateTime:
        return static_cast<double>(rows.intAt(row, column)) / kMsPerDay + kSerialOf1970;
    default:
        break;
    }
    const QDateTime t = rows.dateTimeAt(row, column);
    if (!t.isValid())
        return 0;
    return static_cast<double>(t.date().toJulianDay() - QDate(1899, 12, 30).toJulianDay()) +
           t.time().msecsSinceStartOfDay() / kMsPerDay;
}

bool isExportedType(FieldType t) {
    switch (t) {
    case FieldType::ftString:
    case FieldType::ftSmallint:
    case FieldType::ftInteger:
    case FieldType::ftWord:
    case FieldType::ftBoolean:
    case FieldType::ftFloat:
    case FieldType::ftCurrency:
    case FieldType::ftBCD:
    case FieldType::ftDate:
    case FieldType::ftTime:
    case FieldType::ftDateTime:
    case FieldType::ftAutoInc:
    case FieldType::ftMemo:
    case FieldType::ftFmtMemo:
    case FieldType::ftWideString:
    case FieldType::ftLargeint:
    case FieldType::ftOraClob:
    case FieldType::ftVariant:
    case FieldType::ftTimeStamp:
    case FieldType::ftFMTBcd:
    case FieldType::ftFixedWideChar:
    case FieldType::ftWideMemo:
    case FieldType::ftOraTimeStamp:
    case FieldType::ftOraInterval:
        return true;
    default:
        return false;
    }
}

bool isMemoType(FieldType t) {
    return t == FieldType::ftMemo || t == FieldType::ftFmtMemo || t == FieldType::ftOraClob ||
           t == FieldType::ftWideMemo;
}

bool isNumberValueType(FieldType t) {
    switch (t) {
    case FieldType::ftSmallint:
    case FieldType::ftInteger:
    case FieldType::ftWord:
    case FieldType::ftFloat:
    case FieldType::ftCurrency:
    case FieldType::ftBCD:
    case FieldType::ftFMTBcd:
        return true;
    default:
        return false;
    }
}

bool isDateValueType(FieldType t) {
    return t == FieldType::ftDate || t == FieldType::ftTime || t == FieldType::ftDateTime ||
           t == FieldType::ftTimeStamp || t == FieldType::ftOraTimeStamp;
}

bool isNumericField(FieldType t) {
    return isNumberValueType(t) || t == FieldType::ftAutoInc || t == FieldType::ftLargeint;
}

bool isFloatLike(FieldType t) {
    return t == FieldType::ftFloat || t == FieldType::ftCurrency || t == FieldType::ftBCD ||
           t == FieldType::ftFMTBcd;
}

} // namespace velmora
