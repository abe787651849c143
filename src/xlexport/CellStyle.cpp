#include "CellStyle.h"

#include <cstring>

namespace velmora::xl {

std::int64_t normalizedColor(std::int64_t color) {
    return (color < 0 || color > 0xFFFFFF) ? kAutomatic : color;
}

std::uint32_t rgbOf(std::int64_t color) {
    const auto c = static_cast<std::uint32_t>(color & 0xFFFFFF);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

CellStyle applyPatch(const CellStyle& base, const StylePatch& p) {
    CellStyle s = base;
    if (p.fontName)
        s.fontName = *p.fontName;
    if (p.fontSize)
        s.fontSize = *p.fontSize;
    if (p.fontColor)
        s.fontColor = normalizedColor(*p.fontColor);
    if (p.bold)
        s.bold = *p.bold;
    if (p.italic)
        s.italic = *p.italic;
    if (p.underline)
        s.underline = *p.underline;
    if (p.orientation)
        s.orientation = *p.orientation;
    if (p.wrap)
        s.wrap = *p.wrap;
    if (p.hAlign)
        s.hAlign = *p.hAlign;
    if (p.interior)
        s.interior = normalizedColor(*p.interior);
    if (p.numberFormat)
        s.numberFormat = *p.numberFormat;
    if (p.edge >= 7 && p.edge <= 10) {
        BorderEdge& e = s.edges[static_cast<std::size_t>(p.edge - 7)];
        if (p.edgeLineStyle)
            e.lineStyle = *p.edgeLineStyle;
        if (p.edgeWeight)
            e.weight = *p.edgeWeight;
        if (p.edgeColor)
            e.color = normalizedColor(*p.edgeColor);
    }
    return s;
}

namespace {

std::string keyOf(const CellStyle& s) {
    std::string key = s.fontName.toStdString();
    key += '\0';
    auto add = [&key](std::int64_t v) {
        key.append(reinterpret_cast<const char*>(&v), sizeof v);
    };
    std::int64_t size = 0;
    static_assert(sizeof size == sizeof s.fontSize);
    std::memcpy(&size, &s.fontSize, sizeof size);
    add(size);
    add(s.fontColor);
    add((s.bold ? 1 : 0) | (s.italic ? 2 : 0) | (s.underline ? 4 : 0) | (s.wrap ? 8 : 0));
    add(s.orientation);
    add(s.hAlign);
    add(s.interior);
    add(s.numberFormat);
    for (const BorderEdge& e : s.edges) {
        add(e.lineStyle);
        add(e.weight);
        add(e.color);
    }
    return key;
}

} // namespace

StyleTable::StyleTable() {
    intern(CellStyle{});
}

int StyleTable::intern(const CellStyle& style) {
    std::string key = keyOf(style);
    const auto it = ids_.find(key);
    if (it != ids_.end())
        return it->second;
    const int id = static_cast<int>(styles_.size());
    styles_.push_back(style);
    ids_.emplace(std::move(key), id);
    return id;
}

} // namespace velmora::xl
