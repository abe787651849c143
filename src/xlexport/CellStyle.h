#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace velmora::xl {

// Colours arrive as the object model takes them: 0x00BBGGRR. A value outside 0..0xFFFFFF
// (system colours such as 0xFF000008, window text) means "automatic".
inline constexpr std::int64_t kAutomatic = -1;
std::int64_t normalizedColor(std::int64_t color);
// 0x00BBGGRR to 0xRRGGBB, for the file formats.
std::uint32_t rgbOf(std::int64_t color);

struct BorderEdge {
    int lineStyle = -4142; // none
    int weight = 2;        // thin
    std::int64_t color = kAutomatic;
    bool operator==(const BorderEdge&) const = default;
};

// The resolved look of a cell. Defaults are a new sheet's: default font, General format.
struct CellStyle {
    QString fontName;    // empty: the default font (Calibri)
    double fontSize = 0; // 0: the default size (11)
    std::int64_t fontColor = kAutomatic;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int orientation = 0;
    bool wrap = false;
    int hAlign = 1;                     // general
    std::int64_t interior = kAutomatic; // automatic: no fill
    std::array<BorderEdge, 4> edges;    // left, top, bottom, right (edge number - 7)
    int numberFormat = 0;               // index in the workbook's format list; 0 is General
    bool operator==(const CellStyle&) const = default;
};

// One property change made through a range; the edge members apply to one edge only.
struct StylePatch {
    std::optional<QString> fontName;
    std::optional<double> fontSize;
    std::optional<std::int64_t> fontColor;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<int> orientation;
    std::optional<bool> wrap;
    std::optional<int> hAlign;
    std::optional<std::int64_t> interior;
    std::optional<int> numberFormat;
    int edge = 0; // 7..10 for the members below
    std::optional<int> edgeLineStyle;
    std::optional<int> edgeWeight;
    std::optional<std::int64_t> edgeColor;
};

CellStyle applyPatch(const CellStyle& base, const StylePatch& patch);

// The distinct styles of a sheet, each kept once; id 0 is the default style.
class StyleTable {
public:
    StyleTable();
    int intern(const CellStyle& style);
    const CellStyle& style(int id) const { return styles_[static_cast<std::size_t>(id)]; }
    int size() const { return static_cast<int>(styles_.size()); }

private:
    std::vector<CellStyle> styles_;
    std::unordered_map<std::string, int> ids_;
};

} // namespace velmora::xl
