#pragma once

#include <QString>

namespace velmora::xl {

class SheetStore;

// Comma-separated values as a spreadsheet saves a sheet: every row of the used range with as
// many fields as its widest row, each value as the cell shows it, fields holding a comma, a
// quote or a line break in quotes with quotes doubled, lines ending in CR LF, UTF-8.
void writeCsv(const SheetStore& sheet, const QString& path);

} // namespace velmora::xl
