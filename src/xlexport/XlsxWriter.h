#pragma once

#include <QString>

#include <vector>

namespace velmora::xl {

class SheetStore;

// An Office Open XML workbook through libxlsxwriter in constant-memory mode: rows go out in
// order, so the writer holds one row at a time whatever the sheet's size.
void writeXlsx(const std::vector<const SheetStore*>& sheets, int active, const QString& path);

} // namespace velmora::xl
