#pragma once

#include <QString>

#include <variant>
#include <vector>

namespace velmora::xl {

// A date-time as a spreadsheet holds it: days since 1899-12-30, the time as the fraction.
struct DateSerial {
    double days = 0;
    bool operator==(const DateSerial&) const = default;
};

// One value passed to Range.Value2: empty, a number, a text, a date-time or a Boolean.
using CellValue = std::variant<std::monostate, double, QString, DateSerial, bool>;

// A rows-by-columns array of values for one Range.Value2 write, row-major, 0-based.
class ValueBlock {
public:
    ValueBlock(int rows, int columns)
        : rows_(rows)
        , columns_(columns)
        , cells_(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns)) {}
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    CellValue& at(int row, int column) { return cells_[index(row, column)]; }
    const CellValue& at(int row, int column) const { return cells_[index(row, column)]; }

private:
    std::size_t index(int row, int column) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(column);
    }
    int rows_;
    int columns_;
    std::vector<CellValue> cells_;
};

} // namespace velmora::xl
