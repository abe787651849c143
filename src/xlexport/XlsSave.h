#pragma once

#include <QString>

#include <vector>

namespace velmora::xl {

class SheetStore;

// An Excel 97-2003 workbook (BIFF8 in a compound file).
void writeXls(const std::vector<const SheetStore*>& sheets, int active, const QString& path);

} // namespace velmora::xl
