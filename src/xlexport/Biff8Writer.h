#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// Builds an Excel 97-2003 workbook (BIFF8 records in the "Workbook" stream of a compound file).
//
// Use: register fonts, number formats and cell formats (XF) on the workbook, add sheets, fill
// cells in any order, then save(). Handles are plain ints returned by the add* calls and are only
// valid for the writer that made them. Rows and columns are zero-based.
//
// The format's limits (65,536 rows, 256 columns, 32,767 characters per cell) are checked by
// checkLimits(), which save() calls before it writes anything: cells beyond them are accepted by
// the setters but make the save fail with a message naming the limit and the sheet's size.
// Setting the same cell twice keeps the last value.
class Biff8Writer {
public:
    // The format's limits.
    static constexpr std::uint32_t MaxRows = 65536;
    static constexpr std::uint32_t MaxColumns = 256;
    static constexpr std::size_t MaxTextLength = 32767; // UTF-16 code units
    static constexpr std::size_t MaxSheetNameLength = 31;

    // Handles that exist in every workbook.
    static constexpr int DefaultFont = 0;        // the constructor's font; also the Normal style's
    static constexpr int GeneralFormat = 0;      // Excel's "General"
    static constexpr int DefaultCellFormat = 15; // default font, General, no alignment

    struct Font {
        std::u16string name = u"Arial"; // 1 to 31 characters
        double size = 10;               // points
        bool bold = false;
        bool italic = false;
        bool underline = false; // single
        bool strikeOut = false;
        std::optional<std::uint32_t> color; // 0xRRGGBB; none: the window text colour
        bool operator==(const Font&) const = default;
    };

    enum class HorizontalAlignment : std::uint8_t { General, Left, Center, Right };
    // Text rotation in degrees, -90 to 90 (counter-clockwise positive), or StackedText.
    static constexpr int StackedText = 255;

    // Line styles of the format, in its own order.
    enum class BorderStyle : std::uint8_t {
        None,
        Thin,
        Medium,
        Dashed,
        Dotted,
        Thick,
        Double,
        Hair,
        MediumDashed,
        DashDot,
        MediumDashDot,
        DashDotDot,
        MediumDashDotDot,
        SlantDashDot
    };

    struct CellFormat {
        int font = DefaultFont; // from addFont()
        // From addNumberFormat(), or one of Excel's built-in formats 0 to 49 by number.
        int numberFormat = GeneralFormat;
        HorizontalAlignment alignment = HorizontalAlignment::General;
        bool wrapText = false;
        int rotation = 0;                         // degrees, or StackedText
        std::optional<std::uint32_t> fill;        // 0xRRGGBB solid background; none: no fill
        BorderStyle border = BorderStyle::None;   // on all four edges
        std::optional<std::uint32_t> borderColor; // 0xRRGGBB; none: the window text colour
        bool operator==(const CellFormat&) const = default;
    };

    // The default font sets the Normal style; column widths are measured in its digit width,
    // taken as 7 pixels (true of Arial 10 and Calibri 11 at 96 dpi). A font with an empty or
    // longer name than 31 characters, or a size outside 1 to 409 points, throws.
    Biff8Writer(); // Arial 10
    explicit Biff8Writer(Font defaultFont);
    ~Biff8Writer();
    Biff8Writer(Biff8Writer&&) noexcept;
    Biff8Writer& operator=(Biff8Writer&&) noexcept;

    // Registering the same font, format string or cell format again returns the same handle.
    // Colours share the 56-slot palette of the format; more distinct colours than that throw.
    int addFont(const Font& font);
    // A format code in Excel's own notation, e.g. "yyyy-mm-dd hh:mm", "@", "#,##0.00".
    // "General" and the locale-independent built-in codes map to Excel's built-in formats.
    int addNumberFormat(std::u16string_view code);
    int addCellFormat(const CellFormat& format);

    // Sheet names: 1 to 31 characters, none of []:*?/\, no leading or trailing apostrophe,
    // unique ignoring case. A bad name throws std::runtime_error at once.
    int addSheet(std::u16string_view name);
    int sheetCount() const;

    // Room for this many cells, when the caller knows it; saves copying while cells are set.
    void reserveCells(int sheet, std::size_t cells);

    // Width in characters of the default font's digits, as a spreadsheet's ColumnWidth (8.43 is
    // Excel's standard); 0 hides the column, NaN goes back to the standard width. Values are
    // clamped to 0..255.
    void setColumnWidth(int sheet, std::uint32_t column, double characters);
    // Keeps the top rows in view when scrolling (0: no frozen rows).
    void freezeRows(int sheet, std::uint32_t rows);

    // Numbers go out as RK records when that is exact, else as NUMBER; NaN and infinities,
    // which the format cannot hold, become the error value #NUM!. Dates are serial numbers
    // (1900 date system) with a date number format.
    void setNumber(int sheet, std::uint32_t row, std::uint32_t column, double value,
                   int cellFormat = DefaultCellFormat);
    // Any Unicode text (UTF-16, or UTF-8 with invalid bytes shown as U+FFFD); kept once in the
    // shared string table however often it occurs.
    void setText(int sheet, std::uint32_t row, std::uint32_t column, std::u16string_view text,
                 int cellFormat = DefaultCellFormat);
    void setText(int sheet, std::uint32_t row, std::uint32_t column, std::string_view utf8,
                 int cellFormat = DefaultCellFormat);
    void setBoolean(int sheet, std::uint32_t row, std::uint32_t column, bool value,
                    int cellFormat = DefaultCellFormat);
    // An empty cell that carries a format.
    void setBlank(int sheet, std::uint32_t row, std::uint32_t column,
                  int cellFormat = DefaultCellFormat);

    // Throws std::runtime_error when a sheet breaks a limit of the format, e.g.
    // "The .xls format holds at most 65536 rows; this sheet has 65537".
    void checkLimits() const;
    // The workbook stream (after checkLimits()); save() puts it in a compound file.
    std::vector<std::uint8_t> workbookStream();
    // Writes the file; throws std::runtime_error on a broken limit (nothing written) or when
    // the file cannot be written (the message names the file and the system's reason).
    void save(const std::string& path);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace velmora
