// The XML spreadsheet writer fed with random cells and styles. The file must be well-formed XML
// and every text cell must read back as its text, less the characters XML 1.0 cannot hold.
#include "xlexport/SheetStore.h"
#include "xlexport/XmlSpreadsheetWriter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <QXmlStreamReader>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

using namespace velmora;
using namespace velmora::xl;

namespace {

QString takeText(FuzzedDataProvider& in, std::size_t max) {
    const std::string bytes = in.ConsumeRandomLengthString(max);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// What an XML 1.0 reader can give back of a text: no control characters but tab and line
// breaks, no U+FFFE or U+FFFF. A CR is written as a character reference, so it survives the
// reader's line-end handling.
QString xmlReadable(const QString& text) {
    QString out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            continue;
        out += c;
    }
    return out;
}

void fail(const char* what, const QString& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    SheetStore sheet(takeText(in, 31));
    const int rows = in.ConsumeIntegralInRange(1, 20);
    const int columns = in.ConsumeIntegralInRange(1, 6);
    QStringList texts;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            switch (in.ConsumeIntegralInRange(0, 4)) {
            case 0:
                sheet.setNumber(r, c, in.ConsumeFloatingPoint<double>());
                break;
            case 1:
                // Serials past the years 1 to 9999 are kept as plain numbers.
                sheet.setDate(r, c, in.ConsumeFloatingPoint<double>());
                break;
            case 2:
                sheet.setBool(r, c, in.ConsumeBool());
                break;
            case 3: {
                const QString text = takeText(in, 200);
                sheet.setText(r, c, text);
                if (sheet.kind(r, c) == CellKind::Text)
                    texts.append(sheet.text(r, c));
                break;
            }
            default:
                break;
            }
        }
    if (in.ConsumeBool()) {
        StylePatch patch;
        patch.fontName = takeText(in, 40);
        patch.numberFormat = sheet.internFormat(takeText(in, 40));
        patch.bold = in.ConsumeBool();
        patch.interior = in.ConsumeIntegral<std::int64_t>();
        sheet.applyStyle(0, 0, rows - 1, columns - 1, patch);
    }
    if (in.ConsumeBool())
        sheet.setColumnWidth(in.ConsumeIntegralInRange(0, columns - 1),
                             in.ConsumeFloatingPoint<double>());
    sheet.setFrozen(in.ConsumeIntegralInRange(0, rows), 0);

    static const QString path = QStringLiteral("/dev/shm/velmora-fuzz-xml-%1.xml").arg(::getpid());
    try {
        writeXmlSpreadsheet({&sheet}, 0, path);
    } catch (const std::runtime_error&) {
        return 0;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot read the written file", path);
    QXmlStreamReader xml(&file);
    QStringList back;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Data" &&
            xml.attributes().value(QStringLiteral("urn:schemas-microsoft-com:office:spreadsheet"),
                                   QStringLiteral("Type")) == u"String")
            back.append(xml.readElementText());
    }
    file.close();
    QFile::remove(path);
    if (xml.hasError())
        fail("the XML spreadsheet is not well-formed", xml.errorString());
    if (back.size() != texts.size())
        fail("text cells were lost", QString::number(back.size()));
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (back[i] != xmlReadable(texts[i]))
            fail("a text cell does not read back",
                 QString::fromLatin1(texts[i].toUtf8().toHex(' ') + " as " +
                                     back[i].toUtf8().toHex(' ')));
    return 0;
}
