#include "CsvWriter.h"

#include "OutputFile.h"
#include "ShownText.h"

namespace velmora::xl {

void writeCsv(const SheetStore& sheet, const QString& path) {
    OutputFile out(path);
    ShownText shown(sheet);
    const int rows = sheet.rowCount();
    const int columns = sheet.columnCount();
    std::string line;
    for (int r = 0; r < rows; ++r) {
        line.clear();
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                line += ',';
            if (sheet.kind(r, c) == CellKind::Empty)
                continue;
            const QByteArray field = shown(r, c).toUtf8();
            const bool quote = field.contains(',') || field.contains('"') || field.contains('\n') ||
                               field.contains('\r');
            if (!quote) {
                line.append(field.constData(), static_cast<std::size_t>(field.size()));
                continue;
            }
            line += '"';
            for (char ch : field) {
                if (ch == '"')
                    line += '"';
                line += ch;
            }
            line += '"';
        }
        line += "\r\n";
        out.write(line);
    }
    out.close();
}

} // namespace velmora::xl
