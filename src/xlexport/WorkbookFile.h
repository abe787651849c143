#pragma once

#include <QString>

#include <vector>

namespace velmora::xl {

class EngineWorkbook;
class EngineWorksheet;
class SheetStore;

// Writes a workbook in one of the SaveAs file formats. Formats that hold the whole workbook
// write every sheet; CSV and the web page write the sheet SaveAs was called on.
void saveWorkbookFile(const EngineWorkbook& book, const EngineWorksheet& from,
                      const QString& fileName, int fileFormat);

} // namespace velmora::xl
