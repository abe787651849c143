// The BIFF8 writer fed with random sheets and cells. Beyond not crashing: the workbook stream is
// a clean sequence of records (each header's length inside the record limit, the records tiling
// the stream up to the last sheet's EOF, zeros after it), and the saved compound file has its
// signature and whole sectors.
#include "xlexport/Biff8Writer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

using namespace velmora;

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

std::u16string takeUtf16(FuzzedDataProvider& in, std::size_t max) {
    const std::string bytes = in.ConsumeRandomLengthString(max * 2);
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = char16_t(static_cast<unsigned char>(bytes[2 * i]) |
                           static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return text;
}

void checkStream(const std::vector<std::uint8_t>& stream, int sheets) {
    // The globals and each sheet end with EOF; the stream may be padded with zeros after the last.
    int eofs = 0;
    std::size_t at = 0;
    while (at < stream.size() && eofs < sheets + 1) {
        if (stream.size() - at < 4)
            fail("a record header runs past the end of the workbook stream");
        const auto type = std::uint16_t(stream[at] | stream[at + 1] << 8);
        const std::size_t length = std::size_t(stream[at + 2] | stream[at + 3] << 8);
        if (length > 8224)
            fail("a record is longer than BIFF8 allows");
        if (stream.size() - at - 4 < length)
            fail("a record runs past the end of the workbook stream");
        eofs += type == 0x000A;
        at += 4 + length;
    }
    if (eofs != sheets + 1)
        fail("the workbook stream lacks an EOF record");
    for (; at < stream.size(); ++at)
        if (stream[at] != 0)
            fail("bytes after the last EOF record");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Biff8Writer::Font font;
    font.name = takeUtf16(in, 40);
    font.size = in.ConsumeFloatingPoint<double>();
    font.bold = in.ConsumeBool();
    if (in.ConsumeBool())
        font.color = in.ConsumeIntegral<std::uint32_t>();
    try {
        Biff8Writer writer(font);
        std::vector<int> formats{Biff8Writer::DefaultCellFormat};
        std::vector<int> sheets;
        while (in.remaining_bytes() > 0) {
            switch (in.ConsumeIntegralInRange(0, 9)) {
            case 0: {
                Biff8Writer::CellFormat format;
                format.numberFormat = writer.addNumberFormat(takeUtf16(in, 32));
                format.alignment =
                    static_cast<Biff8Writer::HorizontalAlignment>(in.ConsumeIntegralInRange(0, 3));
                format.rotation = in.ConsumeIntegralInRange(-90, 90);
                format.wrapText = in.ConsumeBool();
                if (in.ConsumeBool())
                    format.fill = in.ConsumeIntegral<std::uint32_t>() & 0xFFFFFF;
                formats.push_back(writer.addCellFormat(format));
                break;
            }
            case 1:
                try {
                    sheets.push_back(writer.addSheet(takeUtf16(in, 40)));
                } catch (const std::runtime_error&) {
                    // A name the format refuses; the writer stays usable.
                }
                break;
            default: {
                if (sheets.empty())
                    break;
                const int sheet =
                    sheets[in.ConsumeIntegralInRange<std::size_t>(0, sheets.size() - 1)];
                const auto row = in.ConsumeIntegralInRange<std::uint32_t>(0, 70000);
                const auto column = in.ConsumeIntegralInRange<std::uint32_t>(0, 300);
                const int format =
                    formats[in.ConsumeIntegralInRange<std::size_t>(0, formats.size() - 1)];
                switch (in.ConsumeIntegralInRange(0, 6)) {
                case 0:
                    writer.setNumber(sheet, row, column, in.ConsumeFloatingPoint<double>(), format);
                    break;
                case 1:
                    writer.setNumber(sheet, row, column, in.ConsumeIntegral<std::int32_t>(),
                                     format);
                    break;
                case 2:
                    writer.setText(sheet, row, column, takeUtf16(in, 300), format);
                    break;
                case 3:
                    writer.setText(sheet, row, column, in.ConsumeRandomLengthString(300), format);
                    break;
                case 4:
                    writer.setBoolean(sheet, row, column, in.ConsumeBool(), format);
                    break;
                case 5:
                    writer.setBlank(sheet, row, column, format);
                    break;
                default:
                    writer.setColumnWidth(sheet, column, in.ConsumeFloatingPoint<double>());
                    writer.freezeRows(sheet, in.ConsumeIntegralInRange<std::uint32_t>(0, 70000));
                }
            }
            }
        }
        if (sheets.empty())
            sheets.push_back(writer.addSheet(u"Sheet1"));
        try {
            writer.checkLimits();
        } catch (const std::runtime_error&) {
            return 0; // beyond the format's limits: refused with a message, nothing written
        }
        checkStream(writer.workbookStream(), writer.sheetCount());

        static const std::string path =
            "/dev/shm/velmora-fuzz-biff8-" + std::to_string(::getpid()) + ".xls";
        writer.save(path);
        std::ifstream file(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
        std::remove(path.c_str());
        if (bytes.size() % 512 != 0 || bytes.compare(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1") != 0)
            fail("the saved file is not a compound file of whole sectors");
    } catch (const std::runtime_error&) {
        // More distinct colours than the palette holds: a refusal with a message is fine.
    }
    return 0;
}
