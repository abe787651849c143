#include "Substitution.h"

#include "NameParts.h"
#include "SplitDelimited.h"

#include <QHash>

namespace velmora {

QString fnQuote(const QString& text) {
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

QString fnQuoteDoubled(const QString& text) {
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return fnQuote(doubled);
}

QStringList fnMemoLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

namespace {

QString timeText(const QTime& time, const QString& sep) {
    auto two = [](int v) {
        return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
    };
    return two(time.hour()) + sep + two(time.minute()) + sep + two(time.second());
}

QString dateText(const QDate& date) {
    return QStringLiteral("%1-%2-%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString stringList(const QString& memo) {
    const QStringList lines = fnMemoLines(memo);
    if (lines.isEmpty())
        return QStringLiteral("('')");
    QStringList quoted;
    for (const QString& line : lines)
        quoted.append(fnQuoteDoubled(line));
    return QLatin1Char('(') + quoted.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString numberList(const QString& memo) {
    QStringList values;
    for (const QString& line : fnMemoLines(memo)) {
        const QString trimmed = fnTrim(line);
        if (!trimmed.isEmpty())
            values.append(trimmed);
    }
    return QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')');
}

} // namespace

QString fnRenderValue(ParamType type, const ParamRow& row, const QString& timeSeparator) {
    switch (type) {
    case ParamType::STR:
    case ParamType::PWD:
        return fnQuoteDoubled(row.ValueEdit);
    case ParamType::NUM:
        return fnTrim(row.ValueEdit);
    case ParamType::TEXT:
        return fnQuoteDoubled(row.ValueMemo);
    case ParamType::SLIST:
        return stringList(row.ValueMemo);
    case ParamType::NLIST:
        return numberList(row.ValueMemo);
    case ParamType::DATE:
        return fnQuote(dateText(row.DatePicker));
    case ParamType::TIME:
        return fnQuote(timeText(row.TimePicker, timeSeparator));
    case ParamType::DT:
        return fnQuote(dateText(row.DatePicker) + QLatin1Char(' ') +
                       timeText(row.TimePicker, timeSeparator));
    default:
        break;
    }
    const PickKind kind = *fnPickKind(type);
    if (kind.control == PickControl::Checked) {
        // The value text already carries the quote style: each item in doubled single quotes
        // for S codes, bare for N (checked numeric by the dialog) and V codes.
        if (kind.prefix == PickPrefix::Verbatim)
            return row.ValueCheckedCombo;
        return QLatin1Char('(') + row.ValueCheckedCombo + QLatin1Char(')');
    }
    if (kind.prefix == PickPrefix::String)
        return fnQuoteDoubled(row.ValueCombo);
    return row.ValueCombo;
}

QString fnRenderPrefix(const QString& name, const ParamRow& row) {
    const QStringList parts = fnSplitName(name);
    QString prefix;
    if (!parts.isEmpty()) {
        if (row.FieldMode == PartMode::FixedItem)
            prefix += row.FieldLabel + QLatin1Char(' ');
        else if (row.FieldMode == PartMode::ChoiceList)
            prefix += row.FieldCombo + QLatin1Char(' ');
    }
    if (parts.size() >= 2) {
        if (row.OperatorMode == PartMode::FixedItem)
            prefix += row.OperatorLabel + QLatin1Char(' ');
        else if (row.OperatorMode == PartMode::ChoiceList)
            prefix += row.OperatorCombo + QLatin1Char(' ');
    }
    return prefix;
}

void fnSubstituteParams(QString& preparedSql, const QStringList& types, const QStringList& names,
                        const std::vector<ParamRow>& rows, const QString& timeSeparator) {
    // One pass over the author's text: each marker is replaced by its parameter's value, and no
    // value is searched again, so a value that holds another parameter's marker stays one
    // literal. Markers are compared ignoring letter case; when two entries differ only in case,
    // the first one's value replaces both.
    const ParamRow empty;
    QHash<QString, qsizetype> byMarker;
    QStringList values;
    for (qsizetype i = 0; i < types.size() && i < names.size(); ++i) {
        const auto type = fnParseParamType(types[i]);
        const ParamRow& row = static_cast<std::size_t>(i) < rows.size() ? rows[i] : empty;
        values << (type ? fnRenderPrefix(names[i], row) + fnRenderValue(*type, row, timeSeparator)
                        : QString());
        const QString marker =
            QLatin1Char('?') + types[i] + QLatin1Char('_') + names[i] + QLatin1Char('?');
        if (type && !byMarker.contains(marker.toUpper()))
            byMarker.insert(marker.toUpper(), i);
    }
    if (byMarker.isEmpty())
        return;
    // A marker runs from one "?" to the next, since neither its type nor its name holds one.
    QString out;
    qsizetype copied = 0;
    qsizetype at = preparedSql.indexOf(QLatin1Char('?'));
    while (at >= 0) {
        const qsizetype close = preparedSql.indexOf(QLatin1Char('?'), at + 1);
        if (close < 0)
            break;
        const auto found = byMarker.constFind(preparedSql.mid(at, close - at + 1).toUpper());
        if (found == byMarker.constEnd()) {
            at = close;
            continue;
        }
        out += QStringView(preparedSql).mid(copied, at - copied);
        out += values[*found];
        copied = close + 1;
        at = preparedSql.indexOf(QLatin1Char('?'), copied);
    }
    if (copied == 0)
        return;
    out += QStringView(preparedSql).mid(copied);
    preparedSql = out;
}

} // namespace velmora
