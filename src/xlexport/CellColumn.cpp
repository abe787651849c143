#include "CellColumn.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

namespace velmora::xl {

namespace {

constexpr int kChunkShift = 12;
constexpr int kChunkRows = 1 << kChunkShift;
constexpr std::size_t kArenaBlock = std::size_t{1} << 20;
constexpr int kArenaShift = 20;

std::uint64_t bitsOf(double v) {
    std::uint64_t b = 0;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

double doubleOf(std::uint64_t b) {
    double v = 0;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

} // namespace

// Texts of the column, each kept once: an arena of length-prefixed texts in blocks that never
// move, the offset of each id, and an open-addressing table from text to id.
class CellColumn::Strings {
public:
    std::uint32_t intern(std::string_view s) {
        if ((count() + 1) * 2 > slots_.size())
            grow();
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t i = std::hash<std::string_view>{}(s)&mask;; i = (i + 1) & mask) {
            const std::uint32_t slot = slots_[i];
            if (slot == 0) {
                const auto id = static_cast<std::uint32_t>(offsets_.size());
                offsets_.push_back(store(s));
                slots_[i] = id + 1;
                return id;
            }
            if (at(slot - 1) == s)
                return slot - 1;
        }
    }

    std::string_view at(std::uint32_t id) const {
        const std::uint64_t where = offsets_[id];
        const std::string& block = arena_[static_cast<std::size_t>(where >> kArenaShift)];
        const auto pos = static_cast<std::size_t>(where & ((std::uint64_t{1} << kArenaShift) - 1));
        std::uint32_t length = 0;
        std::memcpy(&length, block.data() + pos, sizeof length);
        return {block.data() + pos + sizeof length, length};
    }

private:
    std::size_t count() const { return offsets_.size(); }

    std::uint64_t store(std::string_view s) {
        const std::size_t need = s.size() + sizeof(std::uint32_t);
        if (arena_.empty() || arena_.back().size() + need > limit_) {
            // Small blocks first, so that a column of few texts stays small.
            limit_ = std::max(need, arena_.size() < 4 ? kArenaBlock / 16 : kArenaBlock);
            arena_.emplace_back();
            arena_.back().reserve(limit_);
        }
        std::string& block = arena_.back();
        const std::uint64_t where = (static_cast<std::uint64_t>(arena_.size() - 1) << kArenaShift) |
                                    static_cast<std::uint64_t>(block.size());
        const auto length = static_cast<std::uint32_t>(s.size());
        block.append(reinterpret_cast<const char*>(&length), sizeof length);
        block.append(s.data(), s.size());
        return where;
    }

    void grow() {
        std::vector<std::uint32_t> old = std::move(slots_);
        slots_.assign(old.empty() ? 64 : old.size() * 2, 0);
        const std::size_t mask = slots_.size() - 1;
        for (std::uint32_t slot : old) {
            if (slot == 0)
                continue;
            std::size_t i = std::hash<std::string_view>{}(at(slot - 1)) & mask;
            while (slots_[i] != 0)
                i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }

    std::vector<std::string> arena_;
    std::size_t limit_ = 0; // what the last block may hold
    std::vector<std::uint64_t> offsets_;
    std::vector<std::uint32_t> slots_; // 0 empty, else id + 1
};

// The values of a chunk as whole numbers relative to the chunk's first one, in the fewest bytes
// (1, 2 or 4) that hold every difference; numbers with up to four decimals as whole numbers of a
// decimal scale. A value no such form holds exactly turns the chunk into 8-byte doubles.
struct CellColumn::Chunk {
    // Written in order from the chunk's first row with one kind: no per-cell kinds yet.
    int filled = 0;
    CellKind uniform = CellKind::Empty;
    std::unique_ptr<CellKind[]> kinds;
    int width = 0; // bytes per value; 0 before the first value; 8: raw
    int scale = 0; // numbers are value / 10^scale
    std::int64_t base = 0;
    std::unique_ptr<std::uint8_t[]> bytes;

    CellKind kindAt(int i) const {
        if (kinds)
            return kinds[static_cast<std::size_t>(i)];
        return i < filled ? uniform : CellKind::Empty;
    }

    void setKind(int i, CellKind k) {
        if (!kinds) {
            if (k != CellKind::Empty && i == filled && (filled == 0 || k == uniform)) {
                uniform = k;
                ++filled;
                return;
            }
            if (i < filled && k == uniform)
                return;
            kinds = std::make_unique<CellKind[]>(kChunkRows);
            for (int r = 0; r < filled; ++r)
                kinds[static_cast<std::size_t>(r)] = uniform;
        }
        kinds[static_cast<std::size_t>(i)] = k;
    }

    static bool isNumberKind(CellKind k) { return k == CellKind::Number || k == CellKind::Date; }

    std::int64_t stored(int i) const {
        const std::uint8_t* p = bytes.get() + static_cast<std::size_t>(i) * width;
        switch (width) {
        case 1:
            return static_cast<std::int8_t>(*p);
        case 2: {
            std::int16_t v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
        case 4: {
            std::int32_t v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
        case 8: {
            std::int64_t v;
            std::memcpy(&v, p, sizeof v);
            return v;
        }
        default:
            return 0;
        }
    }

    void store(int i, std::int64_t v) {
        std::uint8_t* p = bytes.get() + static_cast<std::size_t>(i) * width;
        switch (width) {
        case 1:
            *p = static_cast<std::uint8_t>(static_cast<std::int8_t>(v));
            break;
        case 2: {
            const auto x = static_cast<std::int16_t>(v);
            std::memcpy(p, &x, sizeof x);
            break;
        }
        case 4: {
            const auto x = static_cast<std::int32_t>(v);
            std::memcpy(p, &x, sizeof x);
            break;
        }
        default:
            std::memcpy(p, &v, sizeof v);
            break;
        }
    }

    // What a cell holds: a number, or an id for texts and Booleans.
    double number(int i) const {
        if (width == 8)
            return doubleOf(static_cast<std::uint64_t>(stored(i)));
        return static_cast<double>(base + stored(i)) / kPowers[scale];
    }
    std::uint32_t index(int i) const {
        return static_cast<std::uint32_t>(width == 8 ? stored(i) : base + stored(i));
    }

    static int widthFor(std::int64_t delta) {
        if (delta >= -128 && delta <= 127)
            return 1;
        if (delta >= -32768 && delta <= 32767)
            return 2;
        if (delta >= std::numeric_limits<std::int32_t>::min() &&
            delta <= std::numeric_limits<std::int32_t>::max())
            return 4;
        return 8;
    }

    // Rewrites every cell in a new layout: 8 (raw doubles and ids), or whole numbers of
    // newWidth bytes with numbers at newScale (ids stay as they are).
    void relayout(int newWidth, int newScale) {
        std::vector<std::int64_t> values(kChunkRows, 0);
        if (width != 0) {
            for (int r = 0; r < kChunkRows; ++r) {
                const bool num = isNumberKind(kindAt(r));
                if (newWidth == 8)
                    values[static_cast<std::size_t>(r)] =
                        num ? static_cast<std::int64_t>(bitsOf(number(r))) : index(r);
                else
                    values[static_cast<std::size_t>(r)] =
                        (base + stored(r)) * (num ? kScales[newScale - scale] : 1) - base;
            }
        }
        width = newWidth;
        scale = newScale;
        bytes = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(kChunkRows) * width);
        for (int r = 0; r < kChunkRows; ++r)
            store(r, values[static_cast<std::size_t>(r)]);
    }

    void setNumber(int i, double v) {
        if (width == 8) {
            store(i, static_cast<std::int64_t>(bitsOf(v)));
            return;
        }
        // The smallest decimal scale at or above the chunk's that holds the value exactly.
        std::int64_t n = 0;
        int s = scale;
        bool exact = false;
        if (std::isfinite(v) && !(v == 0 && std::signbit(v))) {
            for (; s <= 4; ++s) {
                const double t = v * kPowers[s];
                if (std::fabs(t) >= kLimit)
                    break;
                n = std::llround(t);
                if (static_cast<double>(n) / kPowers[s] == v) {
                    exact = true;
                    break;
                }
            }
        }
        if (exact && placeInteger(i, n, s, true))
            return;
        relayout(8, 0);
        store(i, static_cast<std::int64_t>(bitsOf(v)));
    }

    void setIndex(int i, std::uint32_t id) {
        if (width == 8 || !placeInteger(i, id, scale, false)) {
            if (width != 8)
                relayout(8, 0);
            store(i, id);
        }
    }

    // Puts a whole number (a number at scale s, or an id); false when the chunk must turn raw.
    bool placeInteger(int i, std::int64_t n, int s, bool isNumber) {
        if (width == 0) {
            base = n;
            scale = s;
            width = 1;
            bytes = std::make_unique<std::uint8_t[]>(kChunkRows);
        }
        int need = width;
        if (isNumber && s > scale) {
            // Every stored number grows by 10^(s - scale).
            const std::int64_t factor = kScales[s - scale];
            for (int r = 0; r < kChunkRows; ++r) {
                if (!isNumberKind(kindAt(r)))
                    continue;
                const double grown = static_cast<double>(base + stored(r)) * factor;
                if (std::fabs(grown) >= kLimit)
                    return false;
                need = std::max(need, widthFor(static_cast<std::int64_t>(grown) - base));
            }
            if (need == 8)
                return false;
            relayout(need, s);
        }
        const double scaled = isNumber ? static_cast<double>(n) * kScales[scale - s] : 0;
        if (isNumber && std::fabs(scaled) >= kLimit)
            return false;
        const std::int64_t value = isNumber ? n * kScales[scale - s] : n;
        need = widthFor(value - base);
        if (need == 8)
            return false;
        if (need > width)
            relayout(need, scale);
        store(i, value - base);
        return true;
    }

    // Whole numbers stay below this, so they and their quotients by powers of ten are exact.
    static constexpr double kLimit = 4.0e15;
    static constexpr double kPowers[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
    static constexpr std::int64_t kScales[] = {1, 10, 100, 1000, 10000};
};

CellColumn::CellColumn()
    : strings_(std::make_unique<Strings>()) {}
CellColumn::~CellColumn() = default;

CellColumn::Chunk* CellColumn::chunkFor(int row, bool create) {
    const auto at = static_cast<std::size_t>(row >> kChunkShift);
    if (chunks_.size() <= at) {
        if (!create)
            return nullptr;
        chunks_.resize(at + 1);
    }
    if (!chunks_[at] && create)
        chunks_[at] = std::make_unique<Chunk>();
    return chunks_[at].get();
}

const CellColumn::Chunk* CellColumn::chunkAt(int row) const {
    const auto at = static_cast<std::size_t>(row >> kChunkShift);
    return at < chunks_.size() ? chunks_[at].get() : nullptr;
}

void CellColumn::setNumber(int row, CellKind kind, double value) {
    Chunk* c = chunkFor(row, true);
    const int i = row & (kChunkRows - 1);
    c->setKind(i, kind);
    c->setNumber(i, value);
    rows_ = std::max(rows_, row + 1);
}

void CellColumn::setText(int row, std::string_view utf8) {
    const std::uint32_t id = strings_->intern(utf8);
    Chunk* c = chunkFor(row, true);
    const int i = row & (kChunkRows - 1);
    c->setKind(i, CellKind::Text);
    c->setIndex(i, id);
    rows_ = std::max(rows_, row + 1);
}

void CellColumn::setBool(int row, bool value) {
    Chunk* c = chunkFor(row, true);
    const int i = row & (kChunkRows - 1);
    c->setKind(i, CellKind::Bool);
    c->setIndex(i, value ? 1 : 0);
    rows_ = std::max(rows_, row + 1);
}

void CellColumn::setEmpty(int row) {
    if (Chunk* c = chunkFor(row, false))
        c->setKind(row & (kChunkRows - 1), CellKind::Empty);
}

CellKind CellColumn::kind(int row) const {
    if (row < 0 || row >= rows_)
        return CellKind::Empty;
    const Chunk* c = chunkAt(row);
    return c ? c->kindAt(row & (kChunkRows - 1)) : CellKind::Empty;
}

double CellColumn::number(int row) const {
    const CellKind k = kind(row);
    if (k != CellKind::Number && k != CellKind::Date)
        return 0;
    return chunkAt(row)->number(row & (kChunkRows - 1));
}

bool CellColumn::boolean(int row) const {
    if (kind(row) != CellKind::Bool)
        return false;
    return chunkAt(row)->index(row & (kChunkRows - 1)) != 0;
}

std::string_view CellColumn::text(int row) const {
    if (kind(row) != CellKind::Text)
        return {};
    return strings_->at(chunkAt(row)->index(row & (kChunkRows - 1)));
}

} // namespace velmora::xl
