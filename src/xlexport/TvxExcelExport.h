#pragma once

#include "Automation.h"
#include "ExcelExportErrors.h"
#include "ExcelExportTypes.h"
#include "query/Dataset.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace velmora {

// The export component: writes the records of an open dataset into a worksheet through the
// automation interface, in blocks of rows, formats the cells, saves the workbook in one of the
// workbook formats and lets go of the spreadsheet application. One instance serves one export.
class TvxExcelExport {
public:
    // The spreadsheet's version and limits are fixed here, from the server's installed version,
    // and the locale's separators are read.
    explicit TvxExcelExport(xl::AutomationServer& server);
    ~TvxExcelExport();
    TvxExcelExport(const TvxExcelExport&) = delete;
    TvxExcelExport& operator=(const TvxExcelExport&) = delete;

    // Properties the program sets or relies on.
    QString Name;
    TDataPipe DataPipe = TDataPipe::dpDataSet;
    QPointer<velmora::Dataset> Dataset; // empty again when the dataset is destroyed
    TStyleColumnWidth StyleColumnWidth = TStyleColumnWidth::cwDefault;
    std::int32_t ColumnWidth = 0;
    TxlFont FontTitles;
    bool ExcelVisible = true;
    TConnectTo ConnectTo = TConnectTo::ctNewExcel;
    QString Filename;
    bool VisibleFieldsOnly = true;

    QString WorksheetName() const { return worksheetName_; }
    void setWorksheetName(const QString& name);
    bool ShowTitles() const { return showTitles_; }
    void setShowTitles(bool on);
    std::int32_t BeginRowTitles() const { return beginRowTitles_; }
    void setBeginRowTitles(std::int32_t row);
    std::int32_t BeginRowData() const { return beginRowData_; }
    void setBeginRowData(std::int32_t row);
    std::int32_t BeginColumnData() const { return beginColumnData_; }
    void setBeginColumnData(std::int32_t column);
    std::int32_t BlockOfRecords() const { return blockOfRecords_; }
    void setBlockOfRecords(std::int32_t rows);

    // Properties of features the program never switches on; they keep their start values.
    TxlFont FontHeader;
    QStringList HeaderText;
    TCellBorder BorderHeader;
    bool MergeHeaderCells = true;
    std::int32_t BeginRowHeader = 1;
    std::int32_t BeginColumnHeader() const { return beginColumnHeader_; }
    void setBeginColumnHeader(std::int32_t column);
    TxlFont FontFooter;
    QStringList FooterText;
    TCellBorder BorderFooter;
    bool MergeFooterCells = true;
    TCellBorder BorderTitles;
    TxlFont FontData;
    TCellBorder BorderData;
    bool AutoFilter = false;
    TxlFont FontSummary;
    TCellBorder BorderSummary;
    TSummarySelection SummarySelection = TSummarySelection::ssNone;
    QStringList SummaryFields;
    TSummaryCalculation SummaryCalculation = TSummaryCalculation::scSUM;
    QString SummaryDisplayFormat;
    QStringList GroupFields;
    TxlFont FontGroup;
    TCellBorder BorderGroup;
    TGroupOptions GroupOptions;

    // Events. OnExportRecords gets the number of records read so far.
    std::function<void(TvxExcelExport& sender, int recordNumber)> OnExportRecords;
    // The custom pipe's questions, by field index (0-based).
    std::function<int()> OnGetFieldCount;
    std::function<QString(int)> OnGetFieldName;
    std::function<QString(int)> OnGetFieldDisplayName;
    std::function<int(int)> OnGetFieldDisplayWidth;
    std::function<int(int)> OnGetFieldDataSize;
    std::function<FieldType(int)> OnGetFieldDataType;
    std::function<bool(int)> OnGetFieldVisible;
    std::function<bool()> OnGetEOF;
    std::function<xl::CellValue(int)> OnGetFieldValue;
    std::function<void()> OnGotoFirstRecord;
    std::function<void()> OnGotoNextRecord;

    // Seams to the user interface, so the component stays free of the event loop: pending
    // window messages are processed once per record; the busy cursor is shown while exporting.
    std::function<void()> ProcessMessages;
    std::function<void(bool busy)> BusyCursor;

    // The handles on the spreadsheet, used directly by the driver.
    std::shared_ptr<xl::Application> ExcelApplication;
    std::shared_ptr<xl::Workbook> ExcelWorkbook;
    std::shared_ptr<xl::Worksheet> ExcelWorksheet;

    void ExportToWorksheet();
    // FormatCode 0: the spreadsheet's default format; 1..6 the workbook format codes.
    void SaveWorkbookAs(const QString& fileName, std::uint8_t formatCode);
    void DisconnectExcel(bool quitExcel);

    void ConnectToExcel();
    void WriteTitles();
    void WriteRecords();
    void ApplyNumberFormats(int firstRow, int lastRow);
    QString LocalizeNumberFormat(const QString& format) const;
    QString AddCurrencySymbol(const QString& format) const;
    QString TranslateDateTimeFormat(const QString& pattern);
    void FormatRange(int section, const TxlFont& font, const QString& firstCell,
                     const QString& lastCell, const TCellBorder& border);
    void SetColumnWidths();
    // Column number to A1 letters; past MaxColumns raises EMaxColumnsReached.
    QString ColumnLetters(int column) const;
    // 1-based index of the worksheet with exactly that name in the connected workbook, or -1.
    int FindWorksheet(const QString& name) const;

    // State, read-only.
    bool Connected() const { return connected_; }
    int ExcelVersion() const { return excelVersion_; }
    int MaxRows() const { return maxRows_; }
    int MaxColumns() const { return maxColumns_; }
    int MaxTextLength() const { return maxTextLength_; }
    QChar LocaleDecimalSeparator() const { return decimalSeparator_; }
    QChar LocaleThousandSeparator() const { return thousandSeparator_; }
    const std::vector<TExportedColumn>& ExportedColumns() const { return exportedColumns_; }
    QString FirstColumnLetters() const { return firstColumnLetters_; }
    std::int64_t ExportedRecords() const { return exportedRecords_; }
    std::int64_t LastDataRow() const { return lastDataRow_; }

private:
    void DetectExcelVersion();
    QString LastColumnLetters() const;
    int fieldCount() const;
    FieldType fieldType(int index) const;
    void setTitleWidth(xl::Range& cell, int fieldIndex, const QString& title);
    xl::CellValue recordValue(int fieldIndex);
    void transferBlock(const xl::ValueBlock& block, std::int64_t firstRow, std::int64_t lastRow);
    void numberFormatOf(const TExportedColumn& column, xl::Range& range);
    std::shared_ptr<xl::Application> connectApplication(bool newInstance);
    void selectWorksheet(const QString& name);

    xl::AutomationServer& server_;
    QString worksheetName_;
    bool showTitles_ = true;
    std::int32_t beginRowTitles_ = 1;
    std::int32_t beginRowData_ = 2;
    std::int32_t beginColumnData_ = 1;
    std::int32_t beginColumnHeader_ = 1;
    std::int32_t blockOfRecords_ = 20;

    bool connected_ = false;
    int excelVersion_ = 0;
    int maxRows_ = 65536;
    int maxColumns_ = 256;
    int maxTextLength_ = 910;
    QChar decimalSeparator_ = QLatin1Char('.');
    QChar thousandSeparator_ = QLatin1Char(',');
    std::vector<TExportedColumn> exportedColumns_;
    QString firstColumnLetters_;
    std::int64_t exportedRecords_ = 0;
    std::int64_t lastDataRow_ = 0;
};

} // namespace velmora
