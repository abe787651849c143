#include "CellColumn.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

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

bool fitsNarrow(double v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max() && v == std::floor(v) &&
           !(v == 0 && std::signbit(v));
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

struct CellColumn::Chunk {
    // Written in order from the chunk's first row with one kind: no per-cell kinds yet.
    int filled = 0;
    CellKind uniform = CellKind::Empty;
    std::unique_ptr<CellKind[]> kinds;
    std::unique_ptr<std::uint32_t[]> narrow = std::make_unique<std::uint32_t[]>(kChunkRows);
    std::unique_ptr<std::uint64_t[]> wide; // replaces narrow once a value needs 8 bytes

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

    // Whole numbers that fit go in 4 bytes; the first value that does not widens the chunk.
    void setNumber(int i, double v) {
        if (!wide && fitsNarrow(v)) {
            narrow[static_cast<std::size_t>(i)] =
                static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
            return;
        }
        widen();
        wide[static_cast<std::size_t>(i)] = bitsOf(v);
    }

    void setIndex(int i, std::uint32_t v) {
        if (wide)
            wide[static_cast<std::size_t>(i)] = v;
        else
            narrow[static_cast<std::size_t>(i)] = v;
    }

    double number(int i) const {
        if (wide)
            return doubleOf(wide[static_cast<std::size_t>(i)]);
        return static_cast<double>(static_cast<std::int32_t>(narrow[static_cast<std::size_t>(i)]));
    }

    std::uint32_t index(int i) const {
        return wide ? static_cast<std::uint32_t>(wide[static_cast<std::size_t>(i)])
                    : narrow[static_cast<std::size_t>(i)];
    }

    void widen() {
        if (wide)
            return;
        wide = std::make_unique<std::uint64_t[]>(kChunkRows);
        for (int r = 0; r < kChunkRows; ++r) {
            const CellKind k = kindAt(r);
            const std::uint32_t v = narrow[static_cast<std::size_t>(r)];
            wide[static_cast<std::size_t>(r)] =
                (k == CellKind::Number || k == CellKind::Date)
                    ? bitsOf(static_cast<double>(static_cast<std::int32_t>(v)))
                    : v;
        }
        narrow.reset();
    }
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
