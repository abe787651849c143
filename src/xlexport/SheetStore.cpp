#include "SheetStore.h"

#include "CellColumn.h"
#include "CellRef.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace velmora::xl {

struct SheetStore::Column {
    CellColumn cells;
    std::vector<StyleRun> runs;
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

namespace {

// A database float can be NaN or an infinity, which no workbook format holds as a number; the
// cell shows the error a spreadsheet gives for such a value.
const QString kNumberError = QStringLiteral("#NUM!");

// Day serials of the years 1 to 9999, the dates a file can carry.
constexpr double kFirstDateSerial = -693593.0;
constexpr double kEndDateSerial = 2958466.0;

} // namespace

void SheetStore::setNumber(int row, int column, double value) {
    if (!std::isfinite(value)) {
        setText(row, column, kNumberError);
        return;
    }
    this->column(column).cells.setNumber(row, CellKind::Number, value);
}

void SheetStore::setDate(int row, int column, double serial) {
    if (!(serial >= kFirstDateSerial && serial < kEndDateSerial)) {
        setNumber(row, column, serial);
        return;
    }
    this->column(column).cells.setNumber(row, CellKind::Date, serial);
}

void SheetStore::setBool(int row, int column, bool value) {
    this->column(column).cells.setBool(row, value);
}

void SheetStore::setText(int row, int column, const QString& text) {
    if (text.isEmpty()) {
        setEmpty(row, column);
        return;
    }
    const QByteArray bytes = text.size() > kCellTextMax
                                 ? (text.left(kCellTextKeep) + QStringLiteral("...")).toUtf8()
                                 : text.toUtf8();
    this->column(column).cells.setText(
        row, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void SheetStore::setEmpty(int row, int column) {
    if (const Column* c = findColumn(column); c && row < c->cells.rows())
        this->column(column).cells.setEmpty(row);
}

CellKind SheetStore::kind(int row, int column) const {
    const Column* c = findColumn(column);
    return c ? c->cells.kind(row) : CellKind::Empty;
}

double SheetStore::number(int row, int column) const {
    const Column* c = findColumn(column);
    return c ? c->cells.number(row) : 0;
}

bool SheetStore::boolean(int row, int column) const {
    const Column* c = findColumn(column);
    return c && c->cells.boolean(row);
}

std::string_view SheetStore::textUtf8(int row, int column) const {
    const Column* c = findColumn(column);
    return c ? c->cells.text(row) : std::string_view();
}

QString SheetStore::text(int row, int column) const {
    const std::string_view t = textUtf8(row, column);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

int SheetStore::rowCount() const {
    int rows = 0;
    for (const auto& c : columns_)
        rows = std::max(rows, c->cells.rows());
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
