#include "EngineRange.h"

#include "EngineWorksheet.h"
#include "NumberFormatCode.h"
#include "ShownText.h"
#include "TextWidth.h"
#include "platform/UserLocale.h"

#include <algorithm>
#include <stdexcept>

namespace velmora::xl {

namespace {

// A text typed into a cell that is not formatted as text becomes a number or a Boolean when it
// reads as one, as a spreadsheet does with typed input. Texts that would lose something as a
// number (leading zeros, more than 15 digits, group separators) stay texts.
std::optional<double> typedNumber(const QString& text, QChar decimal) {
    const int n = static_cast<int>(text.size());
    int i = 0;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        ++i;
    const int digitsStart = i;
    int digits = 0;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        ++i;
        ++digits;
    }
    const int integerDigits = digits;
    if (i < n && text[i] == decimal) {
        ++i;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0 || digits > 15)
        return std::nullopt;
    if (integerDigits > 1 && text[digitsStart] == QLatin1Char('0'))
        return std::nullopt;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        ++i;
        if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
            ++i;
        int expDigits = 0;
        while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    QString plain = text;
    plain.replace(decimal, QLatin1Char('.'));
    bool ok = false;
    const double v = plain.toDouble(&ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

template <typename M, typename V> StylePatch patchOf(M StylePatch::*member, V value) {
    StylePatch p;
    p.*member = value;
    return p;
}

} // namespace

class EngineRange::RangeFont final : public Font {
public:
    explicit RangeFont(EngineRange& r)
        : range_(r) {}
    void setName(const QString& name) override {
        range_.apply(patchOf(&StylePatch::fontName, name));
    }
    void setSize(double points) override {
        if (points < 1 || points > 409)
            throw std::runtime_error("Unable to set the Size property of the Font class");
        range_.apply(patchOf(&StylePatch::fontSize, points));
    }
    void setColor(std::int64_t color) override {
        range_.apply(patchOf(&StylePatch::fontColor, color));
    }
    void setBold(bool on) override { range_.apply(patchOf(&StylePatch::bold, on)); }
    void setItalic(bool on) override { range_.apply(patchOf(&StylePatch::italic, on)); }
    void setUnderline(bool on) override { range_.apply(patchOf(&StylePatch::underline, on)); }

private:
    EngineRange& range_;
};

class EngineRange::RangeBorder final : public Border {
public:
    RangeBorder(EngineRange& r, int edge)
        : range_(r)
        , edge_(edge) {}
    void setLineStyle(int style) override {
        StylePatch p;
        p.edge = edge_;
        p.edgeLineStyle = style;
        range_.apply(p);
    }
    void setWeight(int weight) override {
        StylePatch p;
        p.edge = edge_;
        p.edgeWeight = weight;
        range_.apply(p);
    }
    void setColor(std::int64_t color) override {
        StylePatch p;
        p.edge = edge_;
        p.edgeColor = color;
        range_.apply(p);
    }

private:
    EngineRange& range_;
    int edge_;
};

EngineRange::EngineRange(std::shared_ptr<EngineWorksheet> sheet, CellRef first, CellRef last)
    : sheet_(std::move(sheet))
    , first_(first)
    , last_(last) {}

EngineRange::~EngineRange() = default;

SheetStore& EngineRange::store() {
    return sheet_->store();
}

void EngineRange::apply(const StylePatch& patch) {
    SheetStore& s = store();
    int r1 = first_.row, r2 = last_.row, c1 = first_.column, c2 = last_.column;
    // An edge belongs to the outer row or column on its side.
    switch (patch.edge) {
    case constants::xlEdgeTop:
        r2 = r1;
        break;
    case constants::xlEdgeBottom:
        r1 = r2;
        break;
    case constants::xlEdgeLeft:
        c2 = c1;
        break;
    case constants::xlEdgeRight:
        c1 = c2;
        break;
    default:
        break;
    }
    s.applyStyle(r1, c1, r2, c2, patch);
}

void EngineRange::put(int row, int column, const CellValue& value) {
    SheetStore& s = store();
    if (std::holds_alternative<std::monostate>(value)) {
        s.setEmpty(row, column);
    } else if (const double* d = std::get_if<double>(&value)) {
        s.setNumber(row, column, *d);
    } else if (const DateSerial* t = std::get_if<DateSerial>(&value)) {
        s.setDate(row, column, t->days);
    } else if (const bool* b = std::get_if<bool>(&value)) {
        s.setBool(row, column, *b);
    } else {
        const QString& text = std::get<QString>(value);
        const int fmt = s.styles().style(s.styleAt(row, column)).numberFormat;
        const bool asText = s.formatCode(fmt) == QLatin1String("@");
        if (!asText && !text.isEmpty()) {
            if (const auto v = typedNumber(text, localeDecimalSeparator())) {
                s.setNumber(row, column, *v);
                return;
            }
            if (text.compare(QLatin1String("TRUE"), Qt::CaseInsensitive) == 0 ||
                text.compare(QLatin1String("FALSE"), Qt::CaseInsensitive) == 0) {
                s.setBool(row, column, text.size() == 4);
                return;
            }
        }
        s.setText(row, column, text);
    }
}

void EngineRange::setValue2(const CellValue& value) {
    for (int r = first_.row; r <= last_.row; ++r)
        for (int c = first_.column; c <= last_.column; ++c)
            put(r, c, value);
}

void EngineRange::setValue2(const ValueBlock& block) {
    const int rows = std::min(block.rows(), last_.row - first_.row + 1);
    const int columns = std::min(block.columns(), last_.column - first_.column + 1);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            put(first_.row + r, first_.column + c, block.at(r, c));
}

void EngineRange::setNumberFormat(const QString& format) {
    const auto code = fileNumberFormat(format, userNotation());
    if (!code)
        throw std::runtime_error("Unable to set the NumberFormat property of the Range class");
    apply(patchOf(&StylePatch::numberFormat, store().internFormat(*code)));
}

Font& EngineRange::font() {
    if (!font_)
        font_ = std::make_unique<RangeFont>(*this);
    return *font_;
}

Border& EngineRange::borders(int edge) {
    if (edge < constants::xlEdgeLeft || edge > constants::xlEdgeRight)
        throw std::runtime_error("Unable to get the Item property of the Borders class");
    auto& b = borders_[static_cast<std::size_t>(edge - constants::xlEdgeLeft)];
    if (!b)
        b = std::make_unique<RangeBorder>(*this, edge);
    return *b;
}

void EngineRange::setOrientation(int degrees) {
    if (degrees < -90 || degrees > 90)
        throw std::runtime_error("Unable to set the Orientation property of the Range class");
    apply(patchOf(&StylePatch::orientation, degrees));
}

void EngineRange::setWrapText(bool on) {
    apply(patchOf(&StylePatch::wrap, on));
}

void EngineRange::setHorizontalAlignment(int alignment) {
    static constexpr int known[] = {constants::xlHAlignGeneral, constants::xlHAlignLeft,
                                    constants::xlHAlignRight, constants::xlHAlignCenter};
    if (std::find(std::begin(known), std::end(known), alignment) == std::end(known))
        throw std::runtime_error(
            "Unable to set the HorizontalAlignment property of the Range class");
    apply(patchOf(&StylePatch::hAlign, alignment));
}

void EngineRange::setInteriorColor(std::int64_t color) {
    apply(patchOf(&StylePatch::interior, color));
}

void EngineRange::setColumnWidth(double characters) {
    if (characters < 0 || characters > 255)
        throw std::runtime_error("Unable to set the ColumnWidth property of the Range class");
    SheetStore& s = store();
    for (int c = first_.column; c <= last_.column; ++c)
        s.setColumnWidth(c, characters);
}

void EngineRange::autoFitEntireColumn() {
    SheetStore& s = store();
    ShownText shown(s);
    const int rows = s.rowCount();
    for (int c = first_.column; c <= last_.column && c < s.columnCount(); ++c) {
        double widest = -1;
        for (int r = 0; r < rows; ++r) {
            if (s.kind(r, c) == CellKind::Empty)
                continue;
            const CellStyle& style = s.styles().style(s.styleAt(r, c));
            widest = std::max(widest, textPixels(shown(r, c), style.fontSize, style.bold));
        }
        if (widest >= 0)
            s.setColumnWidth(c, columnWidthForPixels(widest));
    }
}

void EngineRange::select() {
    sheet_->select(first_);
}

} // namespace velmora::xl
