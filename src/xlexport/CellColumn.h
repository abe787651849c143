#pragma once

#include "SheetStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::xl {

// The cells of one column, compact: rows in chunks of 4096; a chunk written row after row with
// one kind of value keeps that kind once instead of a byte per cell, and keeps its values as
// differences from its first one in 1, 2 or 4 bytes (numbers with up to four decimals as whole
// numbers of a decimal scale) until a value needs a raw 8-byte double. Texts are kept once per
// column and cells hold their id.
class CellColumn {
public:
    CellColumn();
    ~CellColumn();
    CellColumn(const CellColumn&) = delete;
    CellColumn& operator=(const CellColumn&) = delete;

    void setNumber(int row, CellKind kind, double value); // Number or Date
    void setText(int row, std::string_view utf8);
    void setBool(int row, bool value);
    void setEmpty(int row);

    CellKind kind(int row) const;
    double number(int row) const;
    bool boolean(int row) const;
    std::string_view text(int row) const;
    int rows() const { return rows_; } // one past the last row written with a value

private:
    struct Chunk;
    class Strings;
    Chunk* chunkFor(int row, bool create);
    const Chunk* chunkAt(int row) const;

    std::vector<std::unique_ptr<Chunk>> chunks_;
    std::unique_ptr<Strings> strings_;
    int rows_ = 0;
};

} // namespace velmora::xl
