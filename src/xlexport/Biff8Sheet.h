#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

class Biff8Buffer;

// One worksheet of a BIFF8 workbook: its cells in a flat vector (16 bytes each, no object per
// cell), column widths and frozen rows, and the writing of its substream. Rows and columns beyond
// the format's limits are not stored but counted, so that the save can report them.
class Biff8Sheet {
public:
    static constexpr std::uint32_t MaxRows = 65536;
    static constexpr std::uint32_t MaxColumns = 256;
    static constexpr std::uint16_t DefaultXf = 15;
    static constexpr std::uint8_t ErrorNum = 0x24; // #NUM!

    enum class Kind : std::uint8_t { Number, Text, Boolean, Blank, Error };
    struct Cell {
        std::uint16_t row;
        std::uint8_t column;
        Kind kind;
        std::uint16_t xf;
        union {
            double number;
            std::uint32_t string; // index in the shared string table
            std::uint8_t flag;    // boolean value or error code
        };
    };

    explicit Biff8Sheet(std::u16string name)
        : name_(std::move(name)) {}
    const std::u16string& name() const { return name_; }

    // The cell to fill in, or nullptr when it lies beyond the limits.
    Cell* place(std::uint32_t row, std::uint32_t column, std::uint16_t xf, Kind kind);
    void reserve(std::size_t cells) { cells_.reserve(cells); }
    void setColumnWidth(std::uint32_t column, double characters);
    void freezeRows(std::uint32_t rows);
    // Remembers the first text too long for a cell.
    void noteLongText(std::uint32_t row, std::uint32_t column, std::size_t length);

    // The broken limit as the user reads it, or empty.
    std::string limitProblem() const;
    // Sorts the cells into row order; a cell set twice keeps its last value.
    void settle();
    std::uint32_t textCells() const;
    // An upper bound of the substream's size.
    std::size_t sizeBound() const;
    // Writes BOF to EOF; cells must be settled.
    void write(Biff8Buffer& out, bool selected) const;

private:
    std::u16string name_;
    std::vector<Cell> cells_;
    bool sorted_ = true;
    std::vector<double> widths_; // per column; NaN where not set
    std::uint32_t frozenRows_ = 0;
    // Rows and columns touched, including those beyond the format's limits.
    std::uint64_t rowsUsed_ = 0;
    std::uint64_t columnsUsed_ = 0;
    std::string longText_;
};

} // namespace velmora
