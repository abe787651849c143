#include "Biff8Sheet.h"

#include "Biff8Buffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmora {

namespace {

enum : std::uint16_t {
    rBof = 0x0809,
    rEof = 0x000A,
    rIndex = 0x020B,
    rDefaultRowHeight = 0x0225,
    rWsBool = 0x0081,
    rDefColWidth = 0x0055,
    rColInfo = 0x007D,
    rDimensions = 0x0200,
    rRow = 0x0208,
    rDbCell = 0x00D7,
    rLabelSst = 0x00FD,
    rNumber = 0x0203,
    rRk = 0x027E,
    rBoolErr = 0x0205,
    rBlank = 0x0201,
    rWindow2 = 0x023E,
    rPane = 0x0041,
    rSelection = 0x001D,
};

constexpr std::uint32_t RowsPerBlock = 32;

static_assert(sizeof(Biff8Sheet::Cell) == 16);

using Cell = Biff8Sheet::Cell;
using Kind = Biff8Sheet::Kind;

bool cellBefore(const Cell& a, const Cell& b) {
    return a.row != b.row ? a.row < b.row : a.column < b.column;
}

std::string cellName(std::uint32_t row, std::uint32_t column) {
    std::string letters;
    for (std::uint32_t n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters + std::to_string(row + 1);
}

// RK holds a 30-bit integer or the top 30 bits of a double, either optionally divided by 100.
// Only encodings that give back exactly the same double are used.
bool encodeRk(double v, std::uint32_t& rk) {
    constexpr double Low = -536870912.0, High = 536870911.0;
    auto asInt = [&](double x) {
        return std::floor(x) == x && x >= Low && x <= High;
    };
    auto topBits = [](double x, std::uint32_t& out) {
        std::uint64_t bits;
        std::memcpy(&bits, &x, sizeof bits);
        if ((bits & 0x3FFFFFFFFull) != 0)
            return false;
        out = static_cast<std::uint32_t>(bits >> 32);
        return true;
    };
    if (asInt(v) && !(v == 0 && std::signbit(v))) {
        rk = (static_cast<std::uint32_t>(static_cast<std::int32_t>(v)) << 2) | 2;
        return true;
    }
    if (topBits(v, rk))
        return true;
    const double scaled = v * 100;
    if (asInt(scaled) && static_cast<std::int32_t>(scaled) / 100.0 == v) {
        rk = (static_cast<std::uint32_t>(static_cast<std::int32_t>(scaled)) << 2) | 3;
        return true;
    }
    std::uint32_t top;
    if (topBits(scaled, top)) {
        std::uint64_t bits = std::uint64_t(top) << 32;
        double back;
        std::memcpy(&back, &bits, sizeof back);
        if (back / 100.0 == v) {
            rk = top | 1;
            return true;
        }
    }
    return false;
}

} // namespace

Biff8Sheet::Cell* Biff8Sheet::place(std::uint32_t row, std::uint32_t column, std::uint16_t xf,
                                    Kind kind) {
    rowsUsed_ = std::max<std::uint64_t>(rowsUsed_, std::uint64_t(row) + 1);
    columnsUsed_ = std::max<std::uint64_t>(columnsUsed_, std::uint64_t(column) + 1);
    if (row >= MaxRows || column >= MaxColumns)
        return nullptr;
    Cell c{};
    c.row = static_cast<std::uint16_t>(row);
    c.column = static_cast<std::uint8_t>(column);
    c.kind = kind;
    c.xf = xf;
    if (!cells_.empty() && !cellBefore(cells_.back(), c))
        sorted_ = false;
    cells_.push_back(c);
    return &cells_.back();
}

void Biff8Sheet::setColumnWidth(std::uint32_t column, double characters) {
    columnsUsed_ = std::max<std::uint64_t>(columnsUsed_, std::uint64_t(column) + 1);
    if (column >= MaxColumns)
        return;
    if (widths_.size() <= column)
        widths_.resize(column + 1, std::nan(""));
    widths_[column] = std::isnan(characters) ? characters : std::clamp(characters, 0.0, 255.0);
}

void Biff8Sheet::freezeRows(std::uint32_t rows) {
    // The first row below the frozen ones must exist too.
    if (rows > 0)
        rowsUsed_ = std::max<std::uint64_t>(rowsUsed_, std::uint64_t(rows) + 1);
    frozenRows_ = std::min(rows, MaxRows - 1);
}

void Biff8Sheet::noteLongText(std::uint32_t row, std::uint32_t column, std::size_t length) {
    if (longText_.empty())
        longText_ = "the text in cell " + cellName(row, column) + " has " + std::to_string(length);
}

std::string Biff8Sheet::limitProblem() const {
    if (rowsUsed_ > MaxRows)
        return "The .xls format holds at most 65536 rows; this sheet has " +
               std::to_string(rowsUsed_);
    if (columnsUsed_ > MaxColumns)
        return "The .xls format holds at most 256 columns; this sheet has " +
               std::to_string(columnsUsed_);
    if (!longText_.empty())
        return "The .xls format holds at most 32767 characters in a cell; " + longText_;
    return {};
}

void Biff8Sheet::settle() {
    if (sorted_)
        return;
    // A stable sort keeps the calls' order among cells set twice; the last one stays.
    std::stable_sort(cells_.begin(), cells_.end(), cellBefore);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        if (i + 1 < cells_.size() && !cellBefore(cells_[i], cells_[i + 1]))
            continue;
        cells_[kept++] = cells_[i];
    }
    cells_.resize(kept);
    sorted_ = true;
}

std::uint32_t Biff8Sheet::textCells() const {
    return static_cast<std::uint32_t>(std::count_if(
        cells_.begin(), cells_.end(), [](const Cell& c) { return c.kind == Kind::Text; }));
}

std::size_t Biff8Sheet::sizeBound() const {
    // Cell records take at most 18 bytes; each row adds a ROW record and a DBCELL entry.
    const std::size_t rows = cells_.empty() ? 0 : cells_.back().row + 1u;
    return 1024 + cells_.size() * 18 + rows * 22 + widths_.size() * 16;
}

void Biff8Sheet::write(Biff8Buffer& out, bool selected) const {
    const std::vector<Cell>& cells = cells_;
    std::size_t r = out.beginRecord(rBof);
    out.u16(0x0600);
    out.u16(0x0010); // worksheet
    out.u16(0x0DBB);
    out.u16(0x07CC);
    out.u32(0);
    out.u32(6);
    out.endRecord(r);

    // Row blocks are 32 rows from the first used row on; INDEX lists a DBCELL for each of them,
    // empty ones included.
    const std::uint32_t firstRow = cells.empty() ? 0 : cells.front().row;
    const std::size_t blocks = cells.empty() ? 0 : (cells.back().row - firstRow) / RowsPerBlock + 1;
    const std::size_t index = out.beginRecord(rIndex);
    out.u32(0);
    out.u32(cells.empty() ? 0 : cells.front().row);
    out.u32(cells.empty() ? 0 : cells.back().row + 1u);
    const std::size_t defColWidthField = out.size();
    out.u32(0);
    const std::size_t dbCellFields = out.size();
    out.zeros(4 * blocks);
    out.endRecord(index);

    out.record16(0x000D, 1);   // calculate automatically
    out.record16(0x000C, 100); // iterations
    out.record16(0x000F, 1);   // A1 references
    out.record16(0x0011, 0);   // no iteration
    r = out.beginRecord(0x0010);
    out.f64(0.001);
    out.endRecord(r);
    out.record16(0x005F, 1); // recalculate before saving
    out.record16(0x002A, 0); // print no headings
    out.record16(0x002B, 0); // print no grid
    out.record16(0x0082, 1);
    r = out.beginRecord(0x0080); // no outline
    out.zeros(8);
    out.endRecord(r);
    r = out.beginRecord(rDefaultRowHeight);
    out.u16(0);
    out.u16(0x00FF);
    out.endRecord(r);
    out.record16(rWsBool, 0x04C1);

    // Page setup: no header or footer, not centred, printer settings left to the printer.
    out.emptyRecord(0x0014);
    out.emptyRecord(0x0015);
    out.record16(0x0083, 0);
    out.record16(0x0084, 0);
    r = out.beginRecord(0x00A1);
    out.u16(0);   // paper size
    out.u16(100); // scale
    out.u16(1);   // first page number
    out.u16(1);   // fit to width
    out.u16(1);   // fit to height
    out.u16(0x0004);
    out.u16(0);
    out.u16(0);
    out.f64(0.5);
    out.f64(0.5);
    out.u16(1);
    out.endRecord(r);

    out.patch32(defColWidthField, static_cast<std::uint32_t>(out.size()));
    r = out.beginRecord(rDefColWidth);
    out.u16(8);
    out.endRecord(r);

    // Stored widths include Excel's 5-pixel cell padding, in 1/256 of a 7-pixel digit.
    auto widthUnits = [](double characters) {
        return static_cast<std::uint16_t>(
            std::min(65535.0, std::floor((characters * 7 + 5) / 7 * 256)));
    };
    for (std::size_t c = 0; c < widths_.size();) {
        if (std::isnan(widths_[c])) {
            ++c;
            continue;
        }
        std::size_t last = c;
        while (last + 1 < widths_.size() && widths_[last + 1] == widths_[c])
            ++last;
        r = out.beginRecord(rColInfo);
        out.u16(static_cast<std::uint16_t>(c));
        out.u16(static_cast<std::uint16_t>(last));
        out.u16(widths_[c] > 0 ? widthUnits(widths_[c]) : 0);
        out.u16(DefaultXf);
        out.u16(widths_[c] > 0 ? 0x0002 : 0x0003); // user-set; hidden at width 0
        out.u16(0);
        out.endRecord(r);
        c = last + 1;
    }

    r = out.beginRecord(rDimensions);
    std::uint16_t firstColumn = 0, lastColumn = 0;
    if (!cells.empty()) {
        firstColumn = 0xFF;
        for (const Cell& c : cells) {
            firstColumn = std::min<std::uint16_t>(firstColumn, c.column);
            lastColumn = std::max<std::uint16_t>(lastColumn, c.column + 1);
        }
    }
    out.u32(cells.empty() ? 0 : cells.front().row);
    out.u32(cells.empty() ? 0 : cells.back().row + 1u);
    out.u16(firstColumn);
    out.u16(lastColumn);
    out.u16(0);
    out.endRecord(r);

    std::vector<std::size_t> rowStarts; // first cell record of each row of the block
    std::size_t begin = 0;
    for (std::size_t block = 0; block < blocks; ++block) {
        std::size_t end = begin;
        while (end < cells.size() && (cells[end].row - firstRow) / RowsPerBlock == block)
            ++end;
        const std::size_t dbCellField = dbCellFields + 4 * block;
        if (begin == end) {
            // A block without cells: a DBCELL that points at no rows.
            out.patch32(dbCellField, static_cast<std::uint32_t>(out.size()));
            r = out.beginRecord(rDbCell);
            out.u32(0);
            out.endRecord(r);
            continue;
        }

        const std::size_t blockStart = out.size();
        for (std::size_t i = begin; i < end;) {
            std::size_t j = i;
            while (j < end && cells[j].row == cells[i].row)
                ++j;
            r = out.beginRecord(rRow);
            out.u16(cells[i].row);
            out.u16(cells[i].column);
            out.u16(static_cast<std::uint16_t>(cells[j - 1].column + 1));
            out.u16(0x00FF); // default height
            out.u16(0);
            out.u16(0);
            out.u32(0x000F0100); // default format, reserved bit set
            out.endRecord(r);
            i = j;
        }

        rowStarts.clear();
        for (std::size_t i = begin; i < end; ++i) {
            const Cell& c = cells[i];
            if (i == begin || c.row != cells[i - 1].row)
                rowStarts.push_back(out.size());
            // Every cell record starts with the cell's row, column and format.
            const auto beginCell = [&](std::uint16_t id) {
                const std::size_t at = out.beginRecord(id);
                out.u16(c.row);
                out.u16(c.column);
                out.u16(c.xf);
                return at;
            };
            std::uint32_t rk = 0;
            switch (c.kind) {
            case Kind::Number:
                if (encodeRk(c.number, rk)) {
                    r = beginCell(rRk);
                    out.u32(rk);
                } else {
                    r = beginCell(rNumber);
                    out.f64(c.number);
                }
                break;
            case Kind::Text:
                r = beginCell(rLabelSst);
                out.u32(c.string);
                break;
            case Kind::Boolean:
            case Kind::Error:
                r = beginCell(rBoolErr);
                out.u8(c.flag);
                out.u8(c.kind == Kind::Error ? 1 : 0);
                break;
            case Kind::Blank:
                r = beginCell(rBlank);
                break;
            }
            out.endRecord(r);
        }

        const std::size_t dbCell = out.size();
        out.patch32(dbCellField, static_cast<std::uint32_t>(dbCell));
        r = out.beginRecord(rDbCell);
        out.u32(static_cast<std::uint32_t>(dbCell - blockStart));
        // The first row's offset counts from the second ROW record, the rest from the row before.
        std::size_t from = blockStart + 20;
        for (std::size_t start : rowStarts) {
            out.u16(static_cast<std::uint16_t>(start - from));
            from = start;
        }
        out.endRecord(r);
        begin = end;
    }

    r = out.beginRecord(rWindow2);
    std::uint16_t flags = 0x00B6; // grid, headers, zeros, automatic grid colour, outline symbols
    if (selected)
        flags |= 0x0600; // selected and shown
    if (frozenRows_ > 0)
        flags |= 0x0108; // frozen, without a split bar
    out.u16(flags);
    out.u16(0); // top row
    out.u16(0); // left column
    out.u32(64);
    out.u16(0);
    out.u16(0);
    out.u32(0);
    out.endRecord(r);

    std::uint8_t activePane = 3; // top left
    if (frozenRows_ > 0) {
        activePane = 2; // bottom left
        r = out.beginRecord(rPane);
        out.u16(0);
        out.u16(static_cast<std::uint16_t>(frozenRows_));
        out.u16(static_cast<std::uint16_t>(frozenRows_));
        out.u16(0);
        out.u8(activePane);
        out.u8(0);
        out.endRecord(r);
    }
    r = out.beginRecord(rSelection);
    const std::uint16_t activeRow = static_cast<std::uint16_t>(frozenRows_);
    out.u8(activePane);
    out.u16(activeRow);
    out.u16(0);
    out.u16(0);
    out.u16(1);
    out.u16(activeRow);
    out.u16(activeRow);
    out.u8(0);
    out.u8(0);
    out.endRecord(r);

    r = out.beginRecord(rEof);
    out.endRecord(r);
}

} // namespace velmora
