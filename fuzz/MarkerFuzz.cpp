// The marker scanner, the splitter and the substitution on random SQL text and values.
// Beyond not crashing: every quoted value renders as one SQL string literal that reads back as the
// value.
#include "params/MarkerScan.h"
#include "params/NameParts.h"
#include "params/NumberText.h"
#include "params/SplitDelimited.h"
#include "params/Substitution.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>

using namespace velmora;

namespace {

QString takeText(FuzzedDataProvider& in, std::size_t max) {
    const std::string bytes = in.ConsumeRandomLengthString(max);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Reads one single-quoted SQL literal at the start of text ('' stands for one quote); the
// literal must be the whole text.
std::optional<QString> readLiteral(const QString& text) {
    if (text.size() < 2 || text.front() != QLatin1Char('\'') || text.back() != QLatin1Char('\''))
        return std::nullopt;
    QString value;
    for (qsizetype i = 1; i < text.size() - 1; ++i) {
        if (text[i] == QLatin1Char('\'')) {
            if (i + 1 >= text.size() - 1 || text[i + 1] != QLatin1Char('\''))
                return std::nullopt;
            ++i;
        }
        value += text[i];
    }
    return value;
}

void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const QString sql = takeText(in, 4096);
    const QChar delimiter(in.ConsumeIntegral<char16_t>());
    const QChar quote(in.ConsumeIntegral<char16_t>());

    fnSplitDelimited(sql, delimiter, quote);
    fnTrim(sql);
    fnIsStrFloatNum(sql);
    fnMemoLines(sql);
    for (const QString& part : fnSplitName(sql)) {
        fnParseNamePart(part);
        QString inner;
        fnListPartInner(part, &inner);
    }

    const MarkerScan scan = fnScanMarkers(sql);
    if (scan.names.size() != scan.types.size())
        fail("scan lists differ in length", sql);

    std::vector<ParamRow> rows;
    for (qsizetype i = 0; i < scan.names.size(); ++i) {
        ParamRow row;
        row.FieldMode = static_cast<PartMode>(in.ConsumeIntegralInRange(0, 2));
        row.FieldLabel = takeText(in, 32);
        row.FieldCombo = takeText(in, 32);
        row.OperatorMode = static_cast<PartMode>(in.ConsumeIntegralInRange(0, 2));
        row.OperatorLabel = takeText(in, 32);
        row.OperatorCombo = takeText(in, 32);
        row.ValueEdit = takeText(in, 128);
        row.ValueMemo = takeText(in, 128);
        row.DatePicker = QDate::fromJulianDay(in.ConsumeIntegralInRange<qint64>(-1, 5373484));
        row.TimePicker = QTime::fromMSecsSinceStartOfDay(in.ConsumeIntegralInRange(-1, 86399999));
        row.ValueCombo = takeText(in, 64);
        row.ValueCheckedCombo = takeText(in, 64);

        if (const auto type = fnParseParamType(scan.types[i])) {
            const QString value = fnRenderValue(*type, row, QStringLiteral(":"));
            const QString* quoted = nullptr;
            if (*type == ParamType::STR || *type == ParamType::PWD)
                quoted = &row.ValueEdit;
            else if (*type == ParamType::TEXT)
                quoted = &row.ValueMemo;
            else if (*type == ParamType::SFIXPICKW || *type == ParamType::SFIXPICKR ||
                     *type == ParamType::SSQLPICKW || *type == ParamType::SSQLPICKR)
                quoted = &row.ValueCombo;
            if (quoted && readLiteral(value) != *quoted)
                fail("a quoted value is not one literal", value);
            fnRenderPrefix(scan.names[i], row);
        }
        rows.push_back(row);
    }

    QString prepared = sql;
    fnSubstituteParams(prepared, scan.types, scan.names, rows, QStringLiteral(":"));
    return 0;
}
