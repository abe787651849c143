#include "XlsxWriter.h"

#include "SheetStore.h"

#include <QFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace velmora::xl {

namespace {

[[noreturn]] void failed(const QString& path, const char* what) {
    throw std::runtime_error(QStringLiteral("Cannot write the workbook %1: %2")
                                 .arg(path, QString::fromUtf8(what))
                                 .toStdString());
}

void check(lxw_error e, const QString& path) {
    if (e != LXW_NO_ERROR)
        failed(path, lxw_strerror(e));
}

std::uint8_t borderOf(const BorderEdge& e) {
    const bool medium = e.weight == -4138;
    const bool thick = e.weight == 4;
    switch (e.lineStyle) {
    case 1:
        return e.weight == 1 ? LXW_BORDER_HAIR
               : medium      ? LXW_BORDER_MEDIUM
               : thick       ? LXW_BORDER_THICK
                             : LXW_BORDER_THIN;
    case -4115:
        return medium || thick ? LXW_BORDER_MEDIUM_DASHED : LXW_BORDER_DASHED;
    case 4:
        return medium || thick ? LXW_BORDER_MEDIUM_DASH_DOT : LXW_BORDER_DASH_DOT;
    case 5:
        return medium || thick ? LXW_BORDER_MEDIUM_DASH_DOT_DOT : LXW_BORDER_DASH_DOT_DOT;
    case -4118:
        return LXW_BORDER_DOTTED;
    case -4119:
        return LXW_BORDER_DOUBLE;
    case 13:
        return LXW_BORDER_SLANT_DASH_DOT;
    default:
        return LXW_BORDER_NONE;
    }
}

lxw_format* makeFormat(lxw_workbook* wb, const SheetStore& sheet, const CellStyle& s) {
    lxw_format* f = workbook_add_format(wb);
    if (!s.fontName.isEmpty())
        format_set_font_name(f, s.fontName.toUtf8().constData());
    if (s.fontSize > 0)
        format_set_font_size(f, s.fontSize);
    if (s.fontColor != kAutomatic)
        format_set_font_color(f, rgbOf(s.fontColor));
    if (s.bold)
        format_set_bold(f);
    if (s.italic)
        format_set_italic(f);
    if (s.underline)
        format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if (s.orientation != 0)
        format_set_rotation(f, static_cast<std::int16_t>(s.orientation));
    if (s.wrap)
        format_set_text_wrap(f);
    switch (s.hAlign) {
    case -4131:
        format_set_align(f, LXW_ALIGN_LEFT);
        break;
    case -4152:
        format_set_align(f, LXW_ALIGN_RIGHT);
        break;
    case -4108:
        format_set_align(f, LXW_ALIGN_CENTER);
        break;
    default:
        break;
    }
    if (s.interior != kAutomatic) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_fg_color(f, rgbOf(s.interior));
    }
    if (s.numberFormat != 0)
        format_set_num_format(f, sheet.formatCode(s.numberFormat).toUtf8().constData());
    const BorderEdge& left = s.edges[0];
    const BorderEdge& top = s.edges[1];
    const BorderEdge& bottom = s.edges[2];
    const BorderEdge& right = s.edges[3];
    format_set_left(f, borderOf(left));
    format_set_top(f, borderOf(top));
    format_set_bottom(f, borderOf(bottom));
    format_set_right(f, borderOf(right));
    if (left.color != kAutomatic)
        format_set_left_color(f, rgbOf(left.color));
    if (top.color != kAutomatic)
        format_set_top_color(f, rgbOf(top.color));
    if (bottom.color != kAutomatic)
        format_set_bottom_color(f, rgbOf(bottom.color));
    if (right.color != kAutomatic)
        format_set_right_color(f, rgbOf(right.color));
    return f;
}

void writeSheet(lxw_workbook* wb, const SheetStore& sheet, bool active, const QString& path) {
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.name().toUtf8().constData());
    if (!ws)
        failed(path, "the sheet name is not valid");
    if (active)
        worksheet_activate(ws);
    for (int c = 0; c < sheet.widthCount(); ++c) {
        if (const auto w = sheet.columnWidth(c))
            check(worksheet_set_column(ws, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), *w,
                                       nullptr),
                  path);
    }
    if (sheet.frozenRows() > 0 || sheet.frozenColumns() > 0)
        worksheet_freeze_panes(ws, static_cast<lxw_row_t>(sheet.frozenRows()),
                               static_cast<lxw_col_t>(sheet.frozenColumns()));

    std::unordered_map<int, lxw_format*> formats;
    auto formatOf = [&](int style) -> lxw_format* {
        if (style == 0)
            return nullptr;
        const auto it = formats.find(style);
        if (it != formats.end())
            return it->second;
        lxw_format* f = makeFormat(wb, sheet, sheet.styles().style(style));
        formats.emplace(style, f);
        return f;
    };

    // Each column's style runs are walked alongside the rows, so no cell searches for its style.
    const int columns = sheet.columnCount();
    std::vector<std::size_t> runAt(static_cast<std::size_t>(columns), 0);
    auto styleOf = [&](int row, int c) {
        const auto& runs = sheet.styleRuns(c);
        std::size_t& i = runAt[static_cast<std::size_t>(c)];
        while (i < runs.size() && runs[i].last < row)
            ++i;
        return (i < runs.size() && runs[i].first <= row) ? runs[i].style : 0;
    };
    std::string text;
    const int rows = sheet.rowCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const CellKind kind = sheet.kind(r, c);
            if (kind == CellKind::Empty)
                continue;
            lxw_format* f = formatOf(styleOf(r, c));
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            lxw_error e = LXW_NO_ERROR;
            switch (kind) {
            case CellKind::Number:
            case CellKind::Date:
                e = worksheet_write_number(ws, row, col, sheet.number(r, c), f);
                break;
            case CellKind::Bool:
                e = worksheet_write_boolean(ws, row, col, sheet.boolean(r, c), f);
                break;
            case CellKind::Text:
                text.assign(sheet.textUtf8(r, c));
                e = worksheet_write_string(ws, row, col, text.c_str(), f);
                break;
            case CellKind::Empty:
                break;
            }
            check(e, path);
        }
    }
}

} // namespace

void writeXlsx(const std::vector<const SheetStore*>& sheets, int active, const QString& path) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook* wb = workbook_new_opt(file.constData(), &options);
    if (!wb)
        failed(path, "the file cannot be created");
    try {
        for (std::size_t i = 0; i < sheets.size(); ++i)
            writeSheet(wb, *sheets[i], static_cast<int>(i) == active, path);
    } catch (...) {
        workbook_close(wb);
        QFile::remove(path);
        throw;
    }
    const lxw_error e = workbook_close(wb);
    if (e != LXW_NO_ERROR) {
        QFile::remove(path);
        if (e == LXW_ERROR_CREATING_XLSX_FILE || e == LXW_ERROR_CREATING_TMPFILE)
            failed(path, (std::string(lxw_strerror(e)) + ": " + std::strerror(errno)).c_str());
        failed(path, lxw_strerror(e));
    }
}

} // namespace velmora::xl
