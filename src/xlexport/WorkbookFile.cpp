#include "WorkbookFile.h"

#include "Automation.h"
#include "CsvWriter.h"
#include "EngineWorkbook.h"
#include "EngineWorksheet.h"
#include "HtmlWriter.h"
#include "XlsSave.h"
#include "XlsxWriter.h"
#include "XmlSpreadsheetWriter.h"

#include <stdexcept>

namespace velmora::xl {

void saveWorkbookFile(const EngineWorkbook& book, const EngineWorksheet& from,
                      const QString& fileName, int fileFormat) {
    std::vector<const SheetStore*> sheets;
    int active = 0;
    for (const auto& s : book.sheets()) {
        if (s.get() == book.activeSheet().get())
            active = static_cast<int>(sheets.size());
        sheets.push_back(&s->store());
    }
    switch (fileFormat) {
    case constants::xlOpenXMLWorkbook:
        writeXlsx(sheets, active, fileName);
        return;
    case constants::xlExcel8:
        writeXls(sheets, active, fileName);
        return;
    case constants::xlHtml:
        writeHtml(from.store(), fileName);
        return;
    case constants::xlCSV:
        writeCsv(from.store(), fileName);
        return;
    case constants::xlXMLSpreadsheet:
        writeXmlSpreadsheet(sheets, active, fileName);
        return;
    case constants::xlExcel5:
        throw std::runtime_error("The built-in spreadsheet engine does not write Excel 5.0/95 "
                                 "workbooks; choose the Excel 97-2003 or the Excel workbook "
                                 "format");
    default:
        break;
    }
    throw std::runtime_error(
        QStringLiteral("SaveAs method of Workbook class failed: unknown file format %1")
            .arg(fileFormat)
            .toStdString());
}

} // namespace velmora::xl
