#include "XmlSpreadsheetWriter.h"

#include "OutputFile.h"
#include "SheetStore.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace velmora::xl {

namespace {

std::string hexColor(std::int64_t color) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%06X", rgbOf(color));
    return buf;
}

const char* lineStyleName(int style) {
    switch (style) {
    case 1:
        return "Continuous";
    case -4115:
        return "Dash";
    case 4:
        return "DashDot";
    case 5:
        return "DashDotDot";
    case -4118:
        return "Dot";
    case -4119:
        return "Double";
    case 13:
        return "SlantDashDot";
    default:
        return nullptr;
    }
}

int weightOf(int weight) {
    switch (weight) {
    case 1:
        return 0;
    case -4138:
        return 2;
    case 4:
        return 3;
    default:
        return 1;
    }
}

std::string styleXml(const std::string& id, const SheetStore& sheet, const CellStyle& s) {
    std::string x = "  <Style ss:ID=\"" + id + "\">\n";
    if (s.hAlign != 1 || s.orientation != 0 || s.wrap) {
        x += "   <Alignment";
        if (s.hAlign == -4131)
            x += " ss:Horizontal=\"Left\"";
        else if (s.hAlign == -4152)
            x += " ss:Horizontal=\"Right\"";
        else if (s.hAlign == -4108)
            x += " ss:Horizontal=\"Center\"";
        if (s.orientation != 0)
            x += " ss:Rotate=\"" + std::to_string(s.orientation) + "\"";
        if (s.wrap)
            x += " ss:WrapText=\"1\"";
        x += "/>\n";
    }
    static constexpr const char* positions[] = {"Left", "Top", "Bottom", "Right"};
    std::string borders;
    for (std::size_t i = 0; i < 4; ++i) {
        const BorderEdge& e = s.edges[i];
        const char* line = lineStyleName(e.lineStyle);
        if (!line)
            continue;
        borders += std::string("    <Border ss:Position=\"") + positions[i] + "\" ss:LineStyle=\"" +
                   line + "\" ss:Weight=\"" + std::to_string(weightOf(e.weight)) + "\"";
        if (e.color != kAutomatic)
            borders += " ss:Color=\"" + hexColor(e.color) + "\"";
        borders += "/>\n";
    }
    if (!borders.empty())
        x += "   <Borders>\n" + borders + "   </Borders>\n";
    x += "   <Font";
    if (!s.fontName.isEmpty())
        x += " ss:FontName=\"" + xmlEscaped(s.fontName, true) + "\"";
    if (s.fontSize > 0)
        x += " ss:Size=\"" + numberText(s.fontSize) + "\"";
    if (s.fontColor != kAutomatic)
        x += " ss:Color=\"" + hexColor(s.fontColor) + "\"";
    if (s.bold)
        x += " ss:Bold=\"1\"";
    if (s.italic)
        x += " ss:Italic=\"1\"";
    if (s.underline)
        x += " ss:Underline=\"Single\"";
    x += "/>\n";
    if (s.interior != kAutomatic)
        x += "   <Interior ss:Color=\"" + hexColor(s.interior) + "\" ss:Pattern=\"Solid\"/>\n";
    if (s.numberFormat != 0)
        x += "   <NumberFormat ss:Format=\"" + xmlEscaped(sheet.formatCode(s.numberFormat), true) +
             "\"/>\n";
    return x + "  </Style>\n";
}

std::string dateText(double serial) {
    const double days = std::floor(serial);
    const auto ms = static_cast<qint64>(std::llround((serial - days) * 86400000.0));
    const QDateTime t(QDate(1899, 12, 30).addDays(static_cast<qint64>(days)), QTime(0, 0));
    return t.addMSecs(ms).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toStdString();
}

} // namespace

void writeXmlSpreadsheet(const std::vector<const SheetStore*>& sheets, int active,
                         const QString& path) {
    OutputFile out(path);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<?mso-application progid=\"Excel.Sheet\"?>\n"
           "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"\n"
           " xmlns:o=\"urn:schemas-microsoft-com:office:office\"\n"
           " xmlns:x=\"urn:schemas-microsoft-com:office:excel\"\n"
           " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"\n"
           " xmlns:html=\"http://www.w3.org/TR/REC-html40\">\n"
           " <Styles>\n"
           "  <Style ss:ID=\"Default\" ss:Name=\"Normal\">\n"
           "   <Alignment ss:Vertical=\"Bottom\"/>\n"
           "   <Font ss:FontName=\"Calibri\" ss:Size=\"11\"/>\n"
           "  </Style>\n";
    // Style ids are per sheet in the store; in the document they are "s<sheet>_<id>".
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const SheetStore& sheet = *sheets[i];
        for (int id = 1; id < sheet.styles().size(); ++id)
            out << styleXml("s" + std::to_string(i) + "_" + std::to_string(id), sheet,
                            sheet.styles().style(id));
    }
    out << " </Styles>\n";
    std::string row;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const SheetStore& sheet = *sheets[i];
        const int rows = sheet.rowCount();
        const int columns = sheet.columnCount();
        out << " <Worksheet ss:Name=\"" << xmlEscaped(sheet.name(), true) << "\">\n"
            << "  <Table ss:ExpandedColumnCount=\"" << std::to_string(std::max(columns, 1))
            << "\" ss:ExpandedRowCount=\"" << std::to_string(std::max(rows, 1))
            << "\" x:FullColumns=\"1\" x:FullRows=\"1\">\n";
        for (int c = 0; c < sheet.widthCount(); ++c) {
            if (const auto w = sheet.columnWidth(c)) {
                // Points: the width in digit widths of 7 pixels plus 5 pixels of padding.
                const double points = std::round((*w * 7 + 5) * 0.75 * 100) / 100;
                out << "   <Column ss:Index=\"" << std::to_string(c + 1)
                    << "\" ss:AutoFitWidth=\"0\" ss:Width=\"" << numberText(points) << "\"/>\n";
            }
        }
        const std::string prefix = "s" + std::to_string(i) + "_";
        for (int r = 0; r < rows; ++r) {
            row = "   <Row ss:Index=\"" + std::to_string(r + 1) + "\">";
            for (int c = 0; c < columns; ++c) {
                const CellKind kind = sheet.kind(r, c);
                if (kind == CellKind::Empty)
                    continue;
                row += "<Cell ss:Index=\"" + std::to_string(c + 1) + "\"";
                if (const int style = sheet.styleAt(r, c); style != 0)
                    row += " ss:StyleID=\"" + prefix + std::to_string(style) + "\"";
                row += "><Data ss:Type=\"";
                switch (kind) {
                case CellKind::Number:
                    row += "Number\">" + numberText(sheet.number(r, c));
                    break;
                case CellKind::Date:
                    row += "DateTime\">" + dateText(sheet.number(r, c));
                    break;
                case CellKind::Bool:
                    row += sheet.boolean(r, c) ? "Boolean\">1" : "Boolean\">0";
                    break;
                case CellKind::Text:
                    row += "String\">";
                    appendXmlEscaped(row, sheet.textUtf8(r, c), false);
                    break;
                case CellKind::Empty:
                    break;
                }
                row += "</Data></Cell>";
            }
            row += "</Row>\n";
            out.write(row);
        }
        out << "  </Table>\n"
               "  <WorksheetOptions xmlns=\"urn:schemas-microsoft-com:office:excel\">\n";
        if (static_cast<int>(i) == active)
            out << "   <Selected/>\n";
        if (sheet.frozenRows() > 0 || sheet.frozenColumns() > 0) {
            out << "   <FreezePanes/>\n   <FrozenNoSplit/>\n";
            if (sheet.frozenRows() > 0)
                out << "   <SplitHorizontal>" << std::to_string(sheet.frozenRows())
                    << "</SplitHorizontal>\n   <TopRowBottomPane>"
                    << std::to_string(sheet.frozenRows()) << "</TopRowBottomPane>\n";
            if (sheet.frozenColumns() > 0)
                out << "   <SplitVertical>" << std::to_string(sheet.frozenColumns())
                    << "</SplitVertical>\n   <LeftColumnRightPane>"
                    << std::to_string(sheet.frozenColumns()) << "</LeftColumnRightPane>\n";
            const int pane = sheet.frozenRows() > 0 && sheet.frozenColumns() > 0 ? 0
                             : sheet.frozenRows() > 0                            ? 2
                                                                                 : 1;
            out << "   <ActivePane>" << std::to_string(pane) << "</ActivePane>\n";
        }
        out << "  </WorksheetOptions>\n </Worksheet>\n";
    }
    out << "</Workbook>\n";
    out.close();
}

} // namespace velmora::xl
