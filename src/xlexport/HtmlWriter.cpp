#include "HtmlWriter.h"

#include "OutputFile.h"
#include "ShownText.h"
#include "TextWidth.h"

#include <cstdio>

namespace velmora::xl {

namespace {

std::string cssColor(std::int64_t color) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", rgbOf(color));
    return buf;
}

std::string cssBorder(const BorderEdge& e) {
    if (e.lineStyle == -4142)
        return {};
    const char* width = e.weight == 4 ? "3px" : e.weight == -4138 ? "2px" : "1px";
    const char* style = e.lineStyle == -4119                                              ? "double"
                        : (e.lineStyle == -4118 || e.lineStyle == 5)                      ? "dotted"
                        : (e.lineStyle == -4115 || e.lineStyle == 4 || e.lineStyle == 13) ? "dashed"
                                                                                          : "solid";
    return std::string(width) + " " + style + " " +
           (e.color == kAutomatic ? std::string("#000000") : cssColor(e.color));
}

std::string cssOf(const CellStyle& s, bool number) {
    std::string css;
    if (!s.fontName.isEmpty())
        css += "font-family:'" + xmlEscaped(s.fontName, true) + "';";
    if (s.fontSize > 0)
        css += "font-size:" + numberText(s.fontSize) + "pt;";
    if (s.fontColor != kAutomatic)
        css += "color:" + cssColor(s.fontColor) + ";";
    if (s.bold)
        css += "font-weight:bold;";
    if (s.italic)
        css += "font-style:italic;";
    if (s.underline)
        css += "text-decoration:underline;";
    if (s.wrap)
        css += "white-space:pre-wrap;";
    const char* align = s.hAlign == -4131   ? "left"
                        : s.hAlign == -4152 ? "right"
                        : s.hAlign == -4108 ? "center"
                        : number            ? "right"
                                            : "left";
    css += std::string("text-align:") + align + ";";
    if (s.interior != kAutomatic)
        css += "background-color:" + cssColor(s.interior) + ";";
    static constexpr const char* sides[] = {"left", "top", "bottom", "right"};
    for (std::size_t i = 0; i < 4; ++i) {
        const std::string b = cssBorder(s.edges[i]);
        if (!b.empty())
            css += std::string("border-") + sides[i] + ":" + b + ";";
    }
    return css;
}

} // namespace

void writeHtml(const SheetStore& sheet, const QString& path) {
    OutputFile out(path);
    ShownText shown(sheet);
    out << "<!DOCTYPE html>\n<html xmlns=\"http://www.w3.org/1999/xhtml\">\n<head>\n"
           "<meta charset=\"utf-8\"/>\n<title>"
        << xmlEscaped(sheet.name())
        << "</title>\n<style>\ntable{border-collapse:collapse;font-family:Calibri,sans-serif;"
           "font-size:11pt}\ntd{padding:0 3px;white-space:nowrap;vertical-align:bottom}\n"
           "</style>\n</head>\n<body>\n<table>\n";
    const int columns = sheet.columnCount();
    out << "<colgroup>";
    for (int c = 0; c < columns; ++c) {
        const double chars = sheet.columnWidth(c).value_or(8.43);
        const int px = static_cast<int>(chars * 7 + 5 + 0.5);
        out << "<col style=\"width:" << std::to_string(px) << "px\"/>";
    }
    out << "</colgroup>\n";
    std::string row;
    const int rows = sheet.rowCount();
    for (int r = 0; r < rows; ++r) {
        row = "<tr>";
        for (int c = 0; c < columns; ++c) {
            const CellKind kind = sheet.kind(r, c);
            const int style = sheet.styleAt(r, c);
            const bool number = kind == CellKind::Number || kind == CellKind::Date;
            const std::string css =
                style == 0 && !number ? std::string() : cssOf(sheet.styles().style(style), number);
            row += css.empty() ? "<td>" : "<td style=\"" + css + "\">";
            const QByteArray text = shown(r, c).toUtf8();
            std::string escaped = xmlEscaped(
                std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
            std::size_t at = 0;
            while ((at = escaped.find('\n', at)) != std::string::npos) {
                escaped.replace(at, 1, "<br/>");
                at += 5;
            }
            row += escaped;
            row += "</td>";
        }
        row += "</tr>\n";
        out.write(row);
    }
    out << "</table>\n</body>\n</html>\n";
    out.close();
}

} // namespace velmora::xl
