// The query-file reader and the line codec: any bytes parse without a crash, and every line
// survives encode then decode with either separator.
#include "query/LineCodec.h"
#include "query/QueryFileReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace velmora;

namespace {

void roundTrip(const QByteArray& plain, char separator) {
    const QByteArray encoded = fnEncodeLine(plain, separator);
    if (fnDecodeLine(encoded, separator) != plain) {
        std::fprintf(stderr, "line codec round trip failed (separator %d, %lld bytes)\n",
                     int(separator), static_cast<long long>(plain.size()));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Arbitrary bytes as a whole file and as single encoded lines.
    const QueryFile file = fnParseQueryFile(bytes);
    (void)file;
    fnDecodeLine(bytes, '\0');
    fnDecodeLine(bytes, '-');
    int value = 0;
    fnCodecInteger(bytes, value);
    fnQueryBytesToText(bytes);

    roundTrip(bytes, '\0');
    roundTrip(bytes, '-');

    // A file written from lines of the input reads back as those lines.
    std::vector<QByteArray> lines = fnSplitQueryFileLines(bytes);
    if (lines.size() >= 2) {
        QByteArray written;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            written += fnEncodeLine(lines[i], i == 1 ? '-' : '\0');
            written += "\r\n";
        }
        const QueryFile back = fnParseQueryFile(written);
        if (back.lineCount != static_cast<int>(lines.size()) ||
            back.description != fnQueryBytesToText(lines[0]) ||
            back.connectionString != fnQueryBytesToText(lines[1])) {
            std::fprintf(stderr, "query file written from %zu lines did not read back\n",
                         lines.size());
            std::abort();
        }
    }
    return 0;
}
