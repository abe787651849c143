#include "XlsSave.h"

#include "Biff8Writer.h"
#include "SheetStore.h"

#include <QFile>

#include <unordered_map>

namespace velmora::xl {

namespace {

std::u16string utf16(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                          static_cast<std::size_t>(s.size()));
}

Biff8Writer::HorizontalAlignment alignmentOf(int hAlign) {
    switch (hAlign) {
    case -4131:
        return Biff8Writer::HorizontalAlignment::Left;
    case -4152:
        return Biff8Writer::HorizontalAlignment::Right;
    case -4108:
        return Biff8Writer::HorizontalAlignment::Center;
    default:
        return Biff8Writer::HorizontalAlignment::General;
    }
}

int cellFormatOf(Biff8Writer& w, const SheetStore& sheet, const CellStyle& s) {
    Biff8Writer::Font font;
    font.name = s.fontName.isEmpty() ? std::u16string(u"Calibri") : utf16(s.fontName);
    font.size = s.fontSize > 0 ? s.fontSize : 11;
    font.bold = s.bold;
    font.italic = s.italic;
    font.underline = s.underline;
    if (s.fontColor != kAutomatic)
        font.color = rgbOf(s.fontColor);
    Biff8Writer::CellFormat f;
    f.font = w.addFont(font);
    f.numberFormat = s.numberFormat == 0
                         ? Biff8Writer::GeneralFormat
                         : w.addNumberFormat(utf16(sheet.formatCode(s.numberFormat)));
    f.alignment = alignmentOf(s.hAlign);
    f.wrapText = s.wrap;
    f.rotation = s.orientation;
    if (s.interior != kAutomatic)
        f.fill = rgbOf(s.interior);
    return w.addCellFormat(f);
}

} // namespace

// Borders are not carried into .xls files; everything else of the look is.
void writeXls(const std::vector<const SheetStore*>& sheets, int, const QString& path) {
    Biff8Writer::Font calibri;
    calibri.name = u"Calibri";
    calibri.size = 11;
    Biff8Writer w(calibri);
    for (const SheetStore* sheet : sheets) {
        const int s = w.addSheet(utf16(sheet->name()));
        for (int c = 0; c < sheet->widthCount(); ++c) {
            if (const auto width = sheet->columnWidth(c))
                w.setColumnWidth(s, static_cast<std::uint32_t>(c), *width);
        }
        w.freezeRows(s, static_cast<std::uint32_t>(sheet->frozenRows()));
        std::unordered_map<int, int> formats;
        auto formatOf = [&](int style) {
            if (style == 0)
                return formats.emplace(0, cellFormatOf(w, *sheet, CellStyle{})).first->second;
            const auto it = formats.find(style);
            if (it != formats.end())
                return it->second;
            const int f = cellFormatOf(w, *sheet, sheet->styles().style(style));
            formats.emplace(style, f);
            return f;
        };
        const int rows = sheet->rowCount();
        const int columns = sheet->columnCount();
        w.reserveCells(s, static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
        std::vector<std::size_t> runAt(static_cast<std::size_t>(columns), 0);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const CellKind kind = sheet->kind(r, c);
                if (kind == CellKind::Empty)
                    continue;
                const auto& runs = sheet->styleRuns(c);
                std::size_t& i = runAt[static_cast<std::size_t>(c)];
                while (i < runs.size() && runs[i].last < r)
                    ++i;
                const int f = formatOf((i < runs.size() && runs[i].first <= r) ? runs[i].style : 0);
                const auto row = static_cast<std::uint32_t>(r);
                const auto col = static_cast<std::uint32_t>(c);
                if (kind == CellKind::Text)
                    w.setText(s, row, col, sheet->textUtf8(r, c), f);
                else if (kind == CellKind::Bool)
                    w.setBoolean(s, row, col, sheet->boolean(r, c), f);
                else
                    w.setNumber(s, row, col, sheet->number(r, c), f);
            }
        }
    }
    w.save(QFile::encodeName(path).toStdString());
}

} // namespace velmora::xl
