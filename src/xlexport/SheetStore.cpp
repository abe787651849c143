#include "SheetStore.h"

#include "CellRef.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace velmora::xl {

namespace {

constexpr int kChunkShift = 12; // 4096 rows per chunk
constexpr int kChunkRows = 1 << kChunkShift;
constexpr std::size_t kArenaBlock = std::size_t{1} << 20;
constexpr int kArenaShift = 20;

struct Chunk {
    std::array<CellKind, kChunkRows> kinds{};
    std::array<std::uint64_t, kChunkRows> payload{};
};

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

struct SheetStore::Column {
    std::vector<std::unique_ptr<Chunk>> chunks;
    int rows = 0; // one past the last row written
    // Texts back to back, each after its 4-byte length; blocks never move once filled.
    std::vector<std::string> arena;
    std::vector<StyleRun> runs;

    std::uint64_t store(std::string_view bytes) {
        const std::size_t need = bytes.size() + sizeof(std::uint32_t);
        if (arena.empty() || arena.back().size() + need > kArenaBlock) {
            arena.emplace_back();
            arena.back().reserve(std::max(kArenaBlock, need));
        }
        std::string& block = arena.back();
        const std::uint64_t at = (static_cast<std::uint64_t>(arena.size() - 1) << kArenaShift) |
                                 static_cast<std::uint64_t>(block.size());
        const auto length = static_cast<std::uint32_t>(bytes.size());
        block.append(reinterpret_cast<const char*>(&length), sizeof length);
        block.append(bytes.data(), bytes.size());
        return at;
    }

    std::string_view load(std::uint64_t at) const {
        const std::string& block = arena[static_cast<std::size_t>(at >> kArenaShift)];
        const std::size_t pos = static_cast<std::size_t>(at & ((1u << kArenaShift) - 1));
        std::uint32_t length = 0;
        std::memcpy(&length, block.data() + pos, sizeof length);
        return {block.data() + pos + sizeof length, length};
    }
};

SheetStore::SheetStore(QString name)
    : name_(std::move(name)) {
    formats_.push_back(QStringLiteral("General"));
}

SheetStore::~SheetStore() = default;

SheetStore::Column& SheetStore::column(int index) {
    while (static_cast<int>(columns_.size()) <= index)
        columns_.push_back(std::make_unique<Column>());
    return *columns_[static_cast<std::size_t>(index)];
}

const SheetStore::Column* SheetStore::findColumn(int index) const {
    if (index < 0 || index >= static_cast<int>(columns_.size()))
        return nullptr;
    return columns_[static_cast<std::size_t>(index)].get();
}

void SheetStore::put(int row, int columnIndex, CellKind kind, std::uint64_t payload) {
    Column& c = column(columnIndex);
    const auto chunk = static_cast<std::size_t>(row >> kChunkShift);
    if (c.chunks.size() <= chunk)
        c.chunks.resize(chunk + 1);
    if (!c.chunks[chunk]) {
        if (kind == CellKind::Empty)
            return;
        c.chunks[chunk] = std::make_unique<Chunk>();
    }
    const int at = row & (kChunkRows - 1);
    c.chunks[chunk]->kinds[static_cast<std::size_t>(at)] = kind;
    c.chunks[chunk]->payload[static_cast<std::size_t>(at)] = payload;
    if (kind != CellKind::Empty)
        c.rows = std::max(c.rows, row + 1);
}

void SheetStore::setNumber(int row, int column, double value) {
    put(row, column, CellKind::Number, bitsOf(value));
}

void SheetStore::setDate(int row, int column, double serial) {
    put(row, column, CellKind::Date, bitsOf(serial));
}

void SheetStore::setBool(int row, int column, bool value) {
    put(row, column, CellKind::Bool, value ? 1 : 0);
}

void SheetStore::setText(int row, int columnIndex, const QString& text) {
    if (text.isEmpty()) {
        setEmpty(row, columnIndex);
        return;
    }
    const QByteArray bytes = text.size() > kCellTextMax
                                 ? (text.left(kCellTextKeep) + QStringLiteral("...")).toUtf8()
                                 : text.toUtf8();
    Column& c = column(columnIndex);
    put(row, columnIndex, CellKind::Text,
        c.store(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

void SheetStore::setEmpty(int row, int column) {
    put(row, column, CellKind::Empty, 0);
}

CellKind SheetStore::kind(int row, int columnIndex) const {
    const Column* c = findColumn(columnIndex);
    if (!c || row < 0 || row >= c->rows)
        return CellKind::Empty;
    const Chunk* chunk = c->chunks[static_cast<std::size_t>(row >> kChunkShift)].get();
    return chunk ? chunk->kinds[static_cast<std::size_t>(row & (kChunkRows - 1))] : CellKind::Empty;
}

namespace {

template <typename C> std::uint64_t payloadAt(const C& column, int row) {
    const auto* chunk = column.chunks[static_cast<std::size_t>(row >> kChunkShift)].get();
    return chunk->payload[static_cast<std::size_t>(row & (kChunkRows - 1))];
}

} // namespace

double SheetStore::number(int row, int columnIndex) const {
    const CellKind k = kind(row, columnIndex);
    if (k != CellKind::Number && k != CellKind::Date)
        return 0;
    return doubleOf(payloadAt(*findColumn(columnIndex), row));
}

bool SheetStore::boolean(int row, int columnIndex) const {
    if (kind(row, columnIndex) != CellKind::Bool)
        return false;
    return payloadAt(*findColumn(columnIndex), row) != 0;
}

std::string_view SheetStore::textUtf8(int row, int columnIndex) const {
    if (kind(row, columnIndex) != CellKind::Text)
        return {};
    const Column& c = *findColumn(columnIndex);
    return c.load(payloadAt(c, row));
}

QString SheetStore::text(int row, int column) const {
    const std::string_view t = textUtf8(row, column);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

int SheetStore::rowCount() const {
    int rows = 0;
    for (const auto& c : columns_)
        rows = std::max(rows, c->rows);
    return rows;
}

namespace {

// Sets the style of rows first..last of one column's runs to change(old style), keeping the
// runs sorted, disjoint and merged where neighbours share a style.
template <typename F> void restyle(std::vector<StyleRun>& runs, int first, int last, F&& change) {
    auto push = [](std::vector<StyleRun>& out, StyleRun r) {
        if (!out.empty() && out.back().last + 1 == r.first && out.back().style == r.style)
            out.back().last = r.last;
        else
            out.push_back(r);
    };
    if (runs.empty() || runs.back().last < first) {
        push(runs, {first, last, change(0)});
        return;
    }
    std::vector<StyleRun> out;
    out.reserve(runs.size() + 2);
    int cursor = first;
    for (const StyleRun& r : runs) {
        if (r.last < first) {
            push(out, r);
            continue;
        }
        if (r.first > last) {
            if (cursor <= last) {
                push(out, {cursor, last, change(0)});
                cursor = last + 1;
            }
            push(out, r);
            continue;
        }
        if (r.first < first)
            push(out, {r.first, first - 1, r.style});
        const int from = std::max(r.first, first);
        const int to = std::min(r.last, last);
        if (cursor < from)
            push(out, {cursor, from - 1, change(0)});
        push(out, {from, to, change(r.style)});
        cursor = to + 1;
        if (r.last > last)
            push(out, {last + 1, r.last, r.style});
    }
    if (cursor <= last)
        push(out, {cursor, last, change(0)});
    runs = std::move(out);
}

} // namespace

void SheetStore::applyStyle(int firstRow, int firstColumn, int lastRow, int lastColumn,
                            const StylePatch& patch) {
    std::map<int, int> changed; // old style -> new style, for this one call
    auto change = [&](int old) {
        const auto it = changed.find(old);
        if (it != changed.end())
            return it->second;
        const int id = styles_.intern(applyPatch(styles_.style(old), patch));
        changed.emplace(old, id);
        return id;
    };
    for (int c = firstColumn; c <= lastColumn; ++c)
        restyle(column(c).runs, firstRow, lastRow, change);
}

int SheetStore::styleAt(int row, int columnIndex) const {
    const Column* c = findColumn(columnIndex);
    if (!c)
        return 0;
    const auto it = std::upper_bound(c->runs.begin(), c->runs.end(), row,
                                     [](int r, const StyleRun& run) { return r < run.first; });
    if (it == c->runs.begin())
        return 0;
    const StyleRun& run = *std::prev(it);
    return row <= run.last ? run.style : 0;
}

const std::vector<StyleRun>& SheetStore::styleRuns(int columnIndex) const {
    static const std::vector<StyleRun> none;
    const Column* c = findColumn(columnIndex);
    return c ? c->runs : none;
}

int SheetStore::internFormat(const QString& code) {
    const auto it = std::find(formats_.begin(), formats_.end(), code);
    if (it != formats_.end())
        return static_cast<int>(it - formats_.begin());
    formats_.push_back(code);
    return static_cast<int>(formats_.size()) - 1;
}

void SheetStore::setColumnWidth(int column, double characters) {
    if (static_cast<int>(widths_.size()) <= column)
        widths_.resize(static_cast<std::size_t>(column) + 1, -1.0);
    widths_[static_cast<std::size_t>(column)] = characters;
}

std::optional<double> SheetStore::columnWidth(int column) const {
    if (column < 0 || column >= static_cast<int>(widths_.size()) ||
        widths_[static_cast<std::size_t>(column)] < 0)
        return std::nullopt;
    return widths_[static_cast<std::size_t>(column)];
}

} // namespace velmora::xl
