#pragma once

#include <QString>

#include <vector>

namespace velmora::xl {

class SheetStore;

// An XML Spreadsheet 2003 document: styles, typed cells, column widths and frozen panes.
void writeXmlSpreadsheet(const std::vector<const SheetStore*>& sheets, int active,
                         const QString& path);

} // namespace velmora::xl
