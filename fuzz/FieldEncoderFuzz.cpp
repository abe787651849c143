// The delimited field encoder: whatever the value and the delimiter, a line of encoded fields
// read back by an RFC 4180 reader gives the fields unchanged.
#include "export/FieldEncoder.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace velmora;

namespace {

// Reads one record of fields separated by delimiter; a field starting with '"' runs to the
// closing quote, "" standing for one quote. Returns nullopt when the text is not such a record.
std::optional<std::vector<std::string>> readRecord(const std::string& text,
                                                   const std::string& delimiter) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    for (;;) {
        std::string field;
        if (i < text.size() && text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= text.size())
                    return std::nullopt;
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (i < text.size() && text.compare(i, delimiter.size(), delimiter) != 0)
                return std::nullopt;
        } else {
            const std::size_t end = text.find(delimiter, i);
            field = text.substr(i, end == std::string::npos ? std::string::npos : end - i);
            if (field.find_first_of("\"\r\n") != std::string::npos)
                return std::nullopt;
            i = end == std::string::npos ? text.size() : end;
        }
        fields.push_back(field);
        if (i >= text.size())
            return fields;
        i += delimiter.size();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    std::string delimiter = in.ConsumeRandomLengthString(4);
    // A delimiter is a fixed text the user chose; a quote or a line break in it cannot separate
    // fields readably, and an empty one cannot separate them at all.
    if (delimiter.empty() || delimiter.find_first_of("\"\r\n") != std::string::npos)
        delimiter = ",";
    const FieldEncoder encoder(QString::fromUtf8(delimiter.data(), qsizetype(delimiter.size())));
    // The encoder works on the bytes of the delimiter as the writer stores them.
    const std::string& delimiterBytes = encoder.delimiter();
    // A delimiter that overlaps itself ("aa", "aba") makes some lines ambiguous for any reader:
    // "a" + "aa" + "" reads as "" and "a". Such delimiters are outside what this checks.
    for (std::size_t n = 1; n < delimiterBytes.size(); ++n)
        if (delimiterBytes.compare(0, n, delimiterBytes, delimiterBytes.size() - n, n) == 0)
            return 0;

    std::vector<std::string> fields;
    std::string line;
    const int count = in.ConsumeIntegralInRange(1, 6);
    for (int i = 0; i < count; ++i) {
        const std::string value = in.ConsumeRandomLengthString(256);
        if (i > 0)
            line += delimiterBytes;
        if (in.ConsumeBool()) {
            encoder.append(line, value);
        } else {
            const std::size_t begin = line.size();
            line += value;
            encoder.encodeTail(line, begin);
        }
        fields.push_back(value);
    }

    const auto back = readRecord(line, delimiterBytes);
    if (!back || *back != fields) {
        std::fprintf(stderr, "line %s with delimiter %s does not read back as %zu fields\n",
                     line.c_str(), delimiterBytes.c_str(), fields.size());
        std::abort();
    }
    return 0;
}
