#pragma once

#include <QString>

#include <optional>

namespace velmora::xl {

// The sheet limits of the built-in engine (those of a version 12 or later spreadsheet).
inline constexpr int kSheetRows = 1048576;
inline constexpr int kSheetColumns = 16384;
// The longest text a cell holds; a longer one keeps kCellTextKeep characters and "...".
inline constexpr int kCellTextMax = 32767;
inline constexpr int kCellTextKeep = 32764;

// A cell position, 0-based.
struct CellRef {
    int row = 0;
    int column = 0;
};

// A1 reference ("B7", "$B$7") to a position; nullopt when it is not one or lies off the sheet.
std::optional<CellRef> parseA1(const QString& text);
// Column number (1-based) to its letters: 1 "A", 27 "AA"; 0 gives an empty text.
QString columnLetters(int column);

} // namespace velmora::xl
