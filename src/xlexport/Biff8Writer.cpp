#include "Biff8Writer.h"

#include "Biff8Buffer.h"
#include "Biff8Sheet.h"
#include "Biff8StringTable.h"
#include "CompoundFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace velmora {

static_assert(Biff8Writer::MaxRows == Biff8Sheet::MaxRows &&
              Biff8Writer::MaxColumns == Biff8Sheet::MaxColumns &&
              Biff8Writer::DefaultCellFormat == Biff8Sheet::DefaultXf);

namespace {

// Record identifiers.
enum : std::uint16_t {
    rBof = 0x0809,
    rEof = 0x000A,
    rCodepage = 0x0042,
    rWindow1 = 0x003D,
    rDateMode = 0x0022,
    rPrecision = 0x000E,
    rBookBool = 0x00DA,
    rFont = 0x0031,
    rXf = 0x00E0,
    rStyle = 0x0293,
    rPalette = 0x0092,
    rBoundSheet = 0x0085,
};

constexpr std::size_t MaxCellFormats = 4000;
constexpr std::size_t MaxFonts = 507; // font index 4 does not exist, and 4 are the default's
constexpr int BuiltinFormats = 50;    // Excel's own formats 0 to 49
constexpr int FirstUserFormat = 164;
constexpr int FirstUserXf = 16;
// Workbook streams shorter than the mini-stream cutoff are padded so that they sit in ordinary
// sectors, where every Excel version looks for them.
constexpr std::size_t MinWorkbookStream = CompoundFile::MiniStreamCutoff;

// Excel's built-in palette, slots 8 to 63; colours outside it replace slots from the end.
constexpr std::array<std::uint32_t, 56> DefaultPalette = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// What an XF record describes: the Normal style, another built-in style, or a cell's format.
enum class XfRole { NormalStyle, Style, Cell };

// Excel's own number formats 5 to 8 and 41 to 44, which every workbook lists.
constexpr std::pair<int, std::u16string_view> StandardFormats[] = {
    {5, u"\"$\"#,##0_);\\(\"$\"#,##0\\)"},
    {6, u"\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)"},
    {7, u"\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)"},
    {8, u"\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)"},
    {42, u"_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)"},
    {41, u"_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)"},
    {44, u"_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)"},
    {43, u"_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)"},
};

void writeFormat(Biff8Buffer& out, int index, std::u16string_view code) {
    const std::size_t r = out.beginRecord(0x041E);
    out.u16(static_cast<std::uint16_t>(index));
    out.u16(static_cast<std::uint16_t>(code.size()));
    out.u8(1);
    for (char16_t c : code)
        out.u16(c);
    out.endRecord(r);
}

std::string utf8(std::u16string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string utf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char b = *p;
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        std::uint32_t c = extra == 0 ? b : extra == 1 ? b & 0x1F : extra == 2 ? b & 0x0F : b & 0x07;
        bool ok = extra >= 0 && end - p > extra;
        for (int k = 1; ok && k <= extra; ++k) {
            ok = (p[k] & 0xC0) == 0x80;
            c = (c << 6) | (p[k] & 0x3F);
        }
        static constexpr std::uint32_t Least[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < Least[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
            out += u'\uFFFD';
            ++p;
            continue;
        }
        p += extra + 1;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

char16_t foldCase(char16_t c) {
    return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c;
}

bool sameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return foldCase(x) == foldCase(y); });
}

void checkFont(const Biff8Writer::Font& font) {
    if (font.name.empty() || font.name.size() > 31)
        throw std::runtime_error("A font name has 1 to 31 characters");
    if (!(font.size >= 1 && font.size <= 409))
        throw std::runtime_error("A font size lies between 1 and 409 points");
}

std::u16string builtinFormatCode(int index) {
    switch (index) {
    case 1:
        return u"0";
    case 2:
        return u"0.00";
    case 3:
        return u"#,##0";
    case 4:
        return u"#,##0.00";
    case 9:
        return u"0%";
    case 10:
        return u"0.00%";
    case 11:
        return u"0.00E+00";
    case 49:
        return u"@";
    default:
        return {};
    }
}

} // namespace

struct Biff8Writer::Impl {
    Font defaultFont;
    std::vector<Font> fonts;             // user fonts; font handle 5 + i (index 4 is never used)
    std::vector<std::u16string> formats; // user formats; handle FirstUserFormat + i
    std::vector<CellFormat> cellFormats; // user XFs; handle FirstUserXf + i
    std::vector<std::uint32_t> palette{DefaultPalette.begin(), DefaultPalette.end()};
    std::vector<bool> paletteUsed = std::vector<bool>(DefaultPalette.size(), false);
    bool paletteChanged = false;
    std::vector<Biff8Sheet> sheets;
    Biff8StringTable strings;

    Biff8Sheet& sheet(int index) {
        if (index < 0 || index >= static_cast<int>(sheets.size()))
            throw std::runtime_error("No sheet " + std::to_string(index) + " in this workbook");
        return sheets[static_cast<std::size_t>(index)];
    }

    std::uint16_t colorIndex(std::uint32_t rgb) {
        rgb &= 0xFFFFFF;
        for (std::size_t i = 0; i < palette.size(); ++i)
            if (palette[i] == rgb) {
                paletteUsed[i] = true;
                return static_cast<std::uint16_t>(8 + i);
            }
        for (std::size_t i = palette.size(); i-- > 0;)
            if (!paletteUsed[i]) {
                palette[i] = rgb;
                paletteUsed[i] = true;
                paletteChanged = true;
                return static_cast<std::uint16_t>(8 + i);
            }
        throw std::runtime_error("The .xls format holds at most 56 colours in a workbook");
    }

    // The slot that colorIndex() gave the colour.
    std::uint16_t paletteIndex(std::uint32_t rgb) const {
        const auto at = std::find(palette.begin(), palette.end(), rgb & 0xFFFFFF);
        return static_cast<std::uint16_t>(8 + (at - palette.begin()));
    }

    std::uint16_t checkedXf(int handle) const {
        if (handle < 0 || handle >= FirstUserXf + static_cast<int>(cellFormats.size()))
            throw std::runtime_error("Unknown cell format " + std::to_string(handle));
        return static_cast<std::uint16_t>(handle);
    }

    // The cell to fill in, or nullptr beyond the format's limits (which checkLimits() reports).
    Biff8Sheet::Cell* place(int sheetIndex, std::uint32_t row, std::uint32_t column, int xf,
                            Biff8Sheet::Kind kind) {
        const std::uint16_t checked = checkedXf(xf);
        return sheet(sheetIndex).place(row, column, checked, kind);
    }

    void writeGlobals(Biff8Buffer& out, std::vector<std::size_t>& sheetOffsetFields,
                      std::uint32_t stringReferences) const;
    void writeFont(Biff8Buffer& out, const Font& font) const;
    void writeXf(Biff8Buffer& out, const CellFormat& f, XfRole role) const;
};

Biff8Writer::Biff8Writer()
    : Biff8Writer(Font{}) {}
Biff8Writer::Biff8Writer(Font defaultFont)
    : impl_(std::make_unique<Impl>()) {
    checkFont(defaultFont);
    if (defaultFont.color)
        impl_->colorIndex(*defaultFont.color);
    impl_->defaultFont = std::move(defaultFont);
}
Biff8Writer::~Biff8Writer() = default;
Biff8Writer::Biff8Writer(Biff8Writer&&) noexcept = default;
Biff8Writer& Biff8Writer::operator=(Biff8Writer&&) noexcept = default;

int Biff8Writer::addFont(const Font& font) {
    if (font == impl_->defaultFont)
        return DefaultFont;
    auto& fonts = impl_->fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i)
        if (fonts[i] == font)
            return static_cast<int>(5 + i);
    checkFont(font);
    if (fonts.size() >= MaxFonts)
        throw std::runtime_error("The .xls format holds at most 507 fonts in a workbook");
    if (font.color)
        impl_->colorIndex(*font.color);
    fonts.push_back(font);
    return static_cast<int>(5 + fonts.size() - 1);
}

int Biff8Writer::addNumberFormat(std::u16string_view code) {
    if (code.empty() || sameIgnoringCase(code, u"General"))
        return GeneralFormat;
    for (int builtin : {1, 2, 3, 4, 9, 10, 11, 49})
        if (code == builtinFormatCode(builtin))
            return builtin;
    auto& formats = impl_->formats;
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (formats[i] == code)
            return static_cast<int>(FirstUserFormat + i);
    if (code.size() > 255)
        throw std::runtime_error("A number format has at most 255 characters");
    if (FirstUserFormat + formats.size() > 0xFFFF)
        throw std::runtime_error("Too many number formats for the .xls format");
    formats.emplace_back(code);
    return static_cast<int>(FirstUserFormat + formats.size() - 1);
}

int Biff8Writer::addCellFormat(const CellFormat& format) {
    if (format == CellFormat{})
        return DefaultCellFormat;
    auto& xfs = impl_->cellFormats;
    for (std::size_t i = 0; i < xfs.size(); ++i)
        if (xfs[i] == format)
            return static_cast<int>(FirstUserXf + i);
    const bool fontKnown = format.font == DefaultFont ||
                           (format.font >= 5 && format.font < 5 + int(impl_->fonts.size()));
    if (!fontKnown)
        throw std::runtime_error("Unknown font " + std::to_string(format.font));
    const int nf = format.numberFormat;
    const bool formatKnown =
        (nf >= 0 && nf < BuiltinFormats) ||
        (nf >= FirstUserFormat && nf < FirstUserFormat + int(impl_->formats.size()));
    if (!formatKnown)
        throw std::runtime_error("Unknown number format " + std::to_string(nf));
    if (format.rotation != StackedText && (format.rotation < -90 || format.rotation > 90))
        throw std::runtime_error("A text rotation lies between -90 and 90 degrees");
    if (xfs.size() >= MaxCellFormats)
        throw std::runtime_error("The .xls format holds at most 4000 cell formats in a workbook");
    if (format.fill)
        impl_->colorIndex(*format.fill);
    if (format.borderColor)
        impl_->colorIndex(*format.borderColor);
    xfs.push_back(format);
    return static_cast<int>(FirstUserXf + xfs.size() - 1);
}

int Biff8Writer::addSheet(std::u16string_view name) {
    if (name.empty() || name.size() > MaxSheetNameLength)
        throw std::runtime_error("A sheet name has 1 to 31 characters: \"" + utf8(name) + "\"");
    if (name.find_first_of(u"[]:*?/\\") != std::u16string_view::npos)
        throw std::runtime_error("A sheet name cannot contain [ ] : * ? / or \\: \"" + utf8(name) +
                                 "\"");
    if (name.front() == u'\'' || name.back() == u'\'')
        throw std::runtime_error("A sheet name cannot begin or end with an apostrophe: \"" +
                                 utf8(name) + "\"");
    for (const Biff8Sheet& s : impl_->sheets)
        if (sameIgnoringCase(s.name(), name))
            throw std::runtime_error("The workbook already has a sheet named \"" + utf8(name) +
                                     "\"");
    impl_->sheets.emplace_back(std::u16string(name));
    return static_cast<int>(impl_->sheets.size() - 1);
}

int Biff8Writer::sheetCount() const {
    return static_cast<int>(impl_->sheets.size());
}

void Biff8Writer::reserveCells(int sheet, std::size_t cells) {
    impl_->sheet(sheet).reserve(cells);
}

void Biff8Writer::setColumnWidth(int sheet, std::uint32_t column, double characters) {
    impl_->sheet(sheet).setColumnWidth(column, characters);
}

void Biff8Writer::freezeRows(int sheet, std::uint32_t rows) {
    impl_->sheet(sheet).freezeRows(rows);
}

void Biff8Writer::setNumber(int sheet, std::uint32_t row, std::uint32_t column, double value,
                            int cellFormat) {
    using Kind = Biff8Sheet::Kind;
    const bool finite = std::isfinite(value);
    if (auto* c =
            impl_->place(sheet, row, column, cellFormat, finite ? Kind::Number : Kind::Error)) {
        if (finite)
            c->number = value;
        else
            c->flag = Biff8Sheet::ErrorNum;
    }
}

void Biff8Writer::setText(int sheet, std::uint32_t row, std::uint32_t column,
                          std::u16string_view text, int cellFormat) {
    if (text.size() > MaxTextLength) {
        impl_->sheet(sheet).noteLongText(row, column, text.size());
        impl_->place(sheet, row, column, cellFormat, Biff8Sheet::Kind::Blank);
        return;
    }
    if (auto* c = impl_->place(sheet, row, column, cellFormat, Biff8Sheet::Kind::Text))
        c->string = impl_->strings.intern(text);
}

void Biff8Writer::setText(int sheet, std::uint32_t row, std::uint32_t column,
                          std::string_view utf8Text, int cellFormat) {
    setText(sheet, row, column, std::u16string_view(utf16(utf8Text)), cellFormat);
}

void Biff8Writer::setBoolean(int sheet, std::uint32_t row, std::uint32_t column, bool value,
                             int cellFormat) {
    if (auto* c = impl_->place(sheet, row, column, cellFormat, Biff8Sheet::Kind::Boolean))
        c->flag = value ? 1 : 0;
}

void Biff8Writer::setBlank(int sheet, std::uint32_t row, std::uint32_t column, int cellFormat) {
    impl_->place(sheet, row, column, cellFormat, Biff8Sheet::Kind::Blank);
}

void Biff8Writer::checkLimits() const {
    if (impl_->sheets.empty())
        throw std::runtime_error("A workbook needs at least one sheet");
    for (const Biff8Sheet& s : impl_->sheets)
        if (std::string problem = s.limitProblem(); !problem.empty())
            throw std::runtime_error(problem);
}

void Biff8Writer::Impl::writeFont(Biff8Buffer& out, const Font& font) const {
    const std::size_t r = out.beginRecord(rFont);
    out.u16(static_cast<std::uint16_t>(std::lround(font.size * 20)));
    // Bold and underline also have their old flag bits, which some readers still go by.
    out.u16(static_cast<std::uint16_t>((font.bold ? 0x01 : 0) | (font.italic ? 0x02 : 0) |
                                       (font.underline ? 0x04 : 0) | (font.strikeOut ? 0x08 : 0)));
    out.u16(font.color ? paletteIndex(*font.color) : 0x7FFF);
    out.u16(font.bold ? 700 : 400);
    out.u16(0);                     // no super- or subscript
    out.u8(font.underline ? 1 : 0); // single
    out.u8(0);                      // family
    out.u8(1);                      // character set: default, so every script can show
    out.u8(0);
    out.u8(static_cast<std::uint8_t>(font.name.size()));
    out.u8(1); // UTF-16
    for (char16_t c : font.name)
        out.u16(c);
    out.endRecord(r);
}

void Biff8Writer::Impl::writeXf(Biff8Buffer& out, const CellFormat& f, XfRole role) const {
    const bool style = role != XfRole::Cell;
    const std::size_t r = out.beginRecord(rXf);
    out.u16(static_cast<std::uint16_t>(f.font));
    out.u16(static_cast<std::uint16_t>(f.numberFormat));
    // Locked; a style has no parent (0xFFF), a cell format's parent is the Normal style.
    out.u16(style ? 0xFFF5 : 0x0001);
    out.u8(static_cast<std::uint8_t>(static_cast<int>(f.alignment) | (f.wrapText ? 0x08 : 0) |
                                     0x20 /* bottom */));
    const int rotation = f.rotation == StackedText ? 255
                         : f.rotation < 0          ? 90 - f.rotation
                                                   : f.rotation;
    out.u8(static_cast<std::uint8_t>(rotation));
    out.u8(0);
    // Cell formats use every attribute of their own; styles other than Normal keep none.
    out.u8(role == XfRole::NormalStyle ? 0x00 : role == XfRole::Style ? 0xF4 : 0xFC);
    const std::uint32_t line = static_cast<std::uint32_t>(f.border);
    const std::uint32_t edge = f.borderColor ? paletteIndex(*f.borderColor) : 64;
    const bool framed = f.border != BorderStyle::None;
    out.u32(framed ? line | line << 4 | line << 8 | line << 12 | edge << 16 | edge << 23 : 0);
    std::uint32_t more = framed ? edge | edge << 7 : 0;
    std::uint16_t colors = 0x20C0; // automatic foreground and background
    if (f.fill) {
        more |= 0x04000000u; // solid pattern
        colors = static_cast<std::uint16_t>(paletteIndex(*f.fill) | (65 << 7));
    }
    out.u32(more);
    out.u16(colors);
    out.endRecord(r);
}

void Biff8Writer::Impl::writeGlobals(Biff8Buffer& out, std::vector<std::size_t>& sheetOffsetFields,
                                     std::uint32_t stringReferences) const {
    std::size_t r = out.beginRecord(rBof);
    out.u16(0x0600);
    out.u16(0x0005); // workbook globals
    out.u16(0x0DBB);
    out.u16(0x07CC);
    out.u32(0);
    out.u32(6);
    out.endRecord(r);

    out.record16(0x00E1, 1200);  // interface header: UTF-16
    out.record16(0x00C1, 0);     // no add-in menus
    out.emptyRecord(0x00E2);     // interface end
    r = out.beginRecord(0x005C); // write access: no user name, padded with blanks
    out.u16(0);
    out.u8(0);
    while (out.recordLength(r) < 112)
        out.u8(' ');
    out.endRecord(r);
    out.record16(rCodepage, 1200); // texts are UTF-16
    out.record16(0x0161, 0);       // not a dual-stream file
    r = out.beginRecord(0x013D);   // sheet ids in tab order
    for (std::size_t i = 0; i < sheets.size(); ++i)
        out.u16(static_cast<std::uint16_t>(i + 1));
    out.endRecord(r);
    for (std::uint16_t id : {0x0019, 0x0012, 0x0013, 0x01AF, 0x01BC}) // no protection
        out.record16(id, 0);

    r = out.beginRecord(rWindow1);
    out.u16(0);
    out.u16(0);
    out.u16(0x4000);
    out.u16(0x2000);
    out.u16(0x0038); // scroll bars and sheet tabs shown
    out.u16(0);      // active sheet
    out.u16(0);      // first visible tab
    out.u16(1);      // selected tabs
    out.u16(600);    // tab bar width ratio
    out.endRecord(r);

    out.record16(0x0040, 0);    // no backup
    out.record16(0x008D, 0);    // objects shown
    out.record16(rDateMode, 0); // 1900 date system
    out.record16(rPrecision, 1);
    out.record16(0x01B7, 0); // no refresh on load
    out.record16(rBookBool, 0);

    for (int i = 0; i < 4; ++i)
        writeFont(out, defaultFont);
    for (const Font& f : fonts)
        writeFont(out, f);

    for (const auto& [index, code] : StandardFormats)
        writeFormat(out, index, code);
    for (std::size_t i = 0; i < formats.size(); ++i)
        writeFormat(out, static_cast<int>(FirstUserFormat + i), formats[i]);

    // Fifteen style formats (Normal, then the built-in styles' placeholders), the default cell
    // format, then the caller's.
    writeXf(out, CellFormat{}, XfRole::NormalStyle);
    for (int i = 1; i < 15; ++i)
        writeXf(out, CellFormat{}, XfRole::Style);
    writeXf(out, CellFormat{}, XfRole::Cell);
    for (const CellFormat& f : cellFormats)
        writeXf(out, f, XfRole::Cell);

    r = out.beginRecord(rStyle);
    out.u16(0x8000); // built-in style on format 0
    out.u8(0);       // Normal
    out.u8(0xFF);
    out.endRecord(r);

    if (paletteChanged) {
        r = out.beginRecord(rPalette);
        out.u16(static_cast<std::uint16_t>(palette.size()));
        for (std::uint32_t rgb : palette) {
            out.u8(static_cast<std::uint8_t>(rgb >> 16));
            out.u8(static_cast<std::uint8_t>(rgb >> 8));
            out.u8(static_cast<std::uint8_t>(rgb));
            out.u8(0);
        }
        out.endRecord(r);
    }

    out.record16(0x0160, 0); // no natural-language formulas
    for (const Biff8Sheet& s : sheets) {
        r = out.beginRecord(rBoundSheet);
        sheetOffsetFields.push_back(out.size());
        out.u32(0); // the sheet's BOF position, filled in when it is written
        out.u8(0);  // visible
        out.u8(0);  // worksheet
        out.u8(static_cast<std::uint8_t>(s.name().size()));
        out.u8(1);
        for (char16_t c : s.name())
            out.u16(c);
        out.endRecord(r);
    }

    r = out.beginRecord(0x008C); // country: United States, for the interface and the system
    out.u16(1);
    out.u16(1);
    out.endRecord(r);

    strings.write(out, stringReferences);

    r = out.beginRecord(rEof);
    out.endRecord(r);
}

std::vector<std::uint8_t> Biff8Writer::workbookStream() {
    checkLimits();
    std::uint32_t references = 0;
    // One allocation for the whole stream: the strings take at most 2 bytes a character, with
    // their headers and the CONTINUE records that split them.
    const Biff8StringTable& strings = impl_->strings;
    std::size_t bound =
        8192 + strings.characters() * 2 + strings.count() * 3 + strings.characters() / 4000 * 5;
    for (Biff8Sheet& s : impl_->sheets) {
        s.settle();
        references += s.textCells();
        bound += s.sizeBound();
    }
    // Positions inside the stream are 32-bit.
    if (bound > 0xFFFFFFFFu)
        throw std::runtime_error("This workbook is too large for the .xls format");
    Biff8Buffer out;
    out.bytes().reserve(bound);

    std::vector<std::size_t> sheetOffsetFields;
    impl_->writeGlobals(out, sheetOffsetFields, references);
    for (std::size_t i = 0; i < impl_->sheets.size(); ++i) {
        out.patch32(sheetOffsetFields[i], static_cast<std::uint32_t>(out.size()));
        impl_->sheets[i].write(out, i == 0);
    }
    if (out.size() < MinWorkbookStream)
        out.zeros(MinWorkbookStream - out.size());
    return std::move(out.bytes());
}

void Biff8Writer::save(const std::string& path) {
    CompoundFile file;
    file.addStream(u"Workbook", workbookStream());
    file.save(path);
}

} // namespace velmora
