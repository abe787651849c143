#include "TvxExcelExport.h"

#include "CellRef.h"
#include "RecordValue.h"
#include "platform/UserLocale.h"

#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace velmora {

namespace {

// Runs the action when the scope ends, on every way out.
template <typename F> class OnExit {
public:
    explicit OnExit(F f)
        : f_(std::move(f)) {}
    ~OnExit() { f_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    F f_;
};

} // namespace

TvxExcelExport::TvxExcelExport(xl::AutomationServer& server)
    : server_(server) {
    DetectExcelVersion();
    if (excelVersion_ >= 12) {
        maxRows_ = 1048576;
        maxColumns_ = 16384;
        maxTextLength_ = 99999;
    } else if (excelVersion_ == 9) {
        maxRows_ = 65536;
        maxColumns_ = 256;
        maxTextLength_ = 99999;
    } else {
        maxRows_ = 65536;
        maxColumns_ = 256;
        maxTextLength_ = 910;
    }
    decimalSeparator_ = localeDecimalSeparator();
    thousandSeparator_ = localeThousandSeparator();
}

TvxExcelExport::~TvxExcelExport() {
    // Letting go without a word to the spreadsheet: no quit, no hand-over.
    ExcelWorksheet.reset();
    ExcelWorkbook.reset();
    ExcelApplication.reset();
}

void TvxExcelExport::DetectExcelVersion() {
    // The versions a registry probe would find; newer ones are not probed.
    static constexpr int probed[] = {14, 12, 11, 10, 9, 8};
    const int v = server_.installedVersion();
    excelVersion_ = std::find(std::begin(probed), std::end(probed), v) != std::end(probed) ? v : 0;
}

void TvxExcelExport::setWorksheetName(const QString& name) {
    worksheetName_ = name;
    if (connected_)
        selectWorksheet(name);
}

void TvxExcelExport::selectWorksheet(const QString& name) {
    const int index = FindWorksheet(name);
    ExcelWorksheet = index > 0 ? ExcelWorkbook->worksheet(index) : ExcelWorkbook->addWorksheet();
    ExcelWorksheet->setName(name);
}

void TvxExcelExport::setShowTitles(bool on) {
    showTitles_ = on;
    if (on && beginRowData_ == beginRowTitles_)
        ++beginRowData_;
}

void TvxExcelExport::setBeginRowTitles(std::int32_t row) {
    beginRowTitles_ =
        std::max<std::int32_t>(row, static_cast<std::int32_t>(HeaderText.size()) + BeginRowHeader);
    if (beginRowTitles_ >= beginRowData_)
        beginRowData_ = beginRowTitles_ + 1;
}

void TvxExcelExport::setBeginRowData(std::int32_t row) {
    // The data never starts above the title row, nor on it while titles are shown.
    if (row < beginRowTitles_ || (row == beginRowTitles_ && showTitles_))
        beginRowData_ = showTitles_ ? beginRowTitles_ + 1 : beginRowTitles_;
    else
        beginRowData_ = row;
}

void TvxExcelExport::setBeginColumnData(std::int32_t column) {
    beginColumnData_ = std::max<std::int32_t>(column, 1);
}

void TvxExcelExport::setBeginColumnHeader(std::int32_t column) {
    beginColumnHeader_ = std::max<std::int32_t>(column, 1);
}

void TvxExcelExport::setBlockOfRecords(std::int32_t rows) {
    blockOfRecords_ = std::max<std::int32_t>(rows, 1);
}

QString TvxExcelExport::ColumnLetters(int column) const {
    if (column > maxColumns_)
        throw EMaxColumnsReached(
            QStringLiteral("The maximum number of columns (%1) has been reached").arg(maxColumns_));
    return xl::columnLetters(column);
}

QString TvxExcelExport::LastColumnLetters() const {
    return ColumnLetters(static_cast<int>(exportedColumns_.size()) + beginColumnData_ - 1);
}

int TvxExcelExport::FindWorksheet(const QString& name) const {
    if (!ExcelWorkbook)
        return -1;
    const int count = ExcelWorkbook->worksheetCount();
    for (int i = 1; i <= count; ++i) {
        if (ExcelWorkbook->worksheet(i)->name() == name)
            return i;
    }
    return -1;
}

void TvxExcelExport::ExportToWorksheet() {
    if (BusyCursor)
        BusyCursor(true);
    OnExit restore([this] {
        if (BusyCursor)
            BusyCursor(false);
    });
    if (DataPipe == TDataPipe::dpDataSet) {
        if (!Dataset)
            throw ENoDatasetConnected(QStringLiteral("No dataset is connected"));
        if (!Dataset->active())
            throw EDatasetNotActive(QStringLiteral("Dataset is not active"));
    }
    if (!connected_)
        ConnectToExcel();
    WriteTitles();
    WriteRecords();
    SetColumnWidths();
    ExcelApplication->setScreenUpdating(ExcelVisible);
    if (ExcelVisible)
        ExcelApplication->setVisible(true);
}

std::shared_ptr<xl::Application> TvxExcelExport::connectApplication(bool newInstance) {
    if (!newInstance) {
        if (auto running = server_.running())
            return running;
    }
    return server_.start();
}

void TvxExcelExport::ConnectToExcel() {
    QString sheetName = worksheetName_;
    if (sheetName.isEmpty() && DataPipe == TDataPipe::dpDataSet && Dataset)
        sheetName = Dataset->name();
    bool created = false;
    auto findOrAdd = [&] {
        const int index = FindWorksheet(sheetName);
        if (index > 0) {
            ExcelWorksheet = ExcelWorkbook->worksheet(index);
        } else {
            ExcelWorksheet = ExcelWorkbook->addWorksheet();
            created = true;
        }
    };
    switch (ConnectTo) {
    case TConnectTo::ctNewExcel:
        ExcelApplication = connectApplication(true);
        if (Filename.trimmed().isEmpty()) {
            ExcelWorkbook = ExcelApplication->workbooks().add(xl::constants::xlWBATWorksheet);
            ExcelWorksheet = ExcelWorkbook->worksheet(1);
            created = true;
        } else {
            if (!QFileInfo::exists(Filename))
                throw EFileNotExists(QStringLiteral("File %1 does not exist").arg(Filename));
            ExcelWorkbook = ExcelApplication->workbooks().open(Filename);
            findOrAdd();
        }
        break;
    case TConnectTo::ctNewWorkbook:
        ExcelApplication = connectApplication(false);
        ExcelWorkbook = ExcelApplication->workbooks().add(xl::constants::xlWBATWorksheet);
        ExcelWorksheet = ExcelWorkbook->worksheet(1);
        created = true;
        break;
    case TConnectTo::ctNewWorksheet:
        ExcelApplication = connectApplication(false);
        if (ExcelApplication->workbooks().count() == 0)
            throw ENoActiveWorkbook(
                QStringLiteral("No active workbook or no active Excel available"));
        ExcelWorkbook = ExcelApplication->workbooks().activeWorkbook();
        findOrAdd();
        break;
    }
    ExcelApplication->setScreenUpdating(false);
    if (created && !sheetName.isEmpty())
        ExcelWorksheet->setName(sheetName);
    connected_ = true;
}

int TvxExcelExport::fieldCount() const {
    if (DataPipe == TDataPipe::dpDataSet)
        return Dataset->fieldCount();
    return OnGetFieldCount ? OnGetFieldCount() : 0;
}

FieldType TvxExcelExport::fieldType(int index) const {
    if (DataPipe == TDataPipe::dpDataSet)
        return Dataset->field(index).type;
    return OnGetFieldDataType ? OnGetFieldDataType(index) : FieldType::ftString;
}

void TvxExcelExport::WriteTitles() {
    firstColumnLetters_ = ColumnLetters(beginColumnData_);
    exportedColumns_.clear();
    if (DataPipe == TDataPipe::dpCustom && !OnGetFieldCount)
        return;
    const int count = fieldCount();
    for (int i = 0; i < count; ++i) {
        const bool custom = DataPipe == TDataPipe::dpCustom;
        const bool visible =
            custom ? (!OnGetFieldVisible || OnGetFieldVisible(i)) : Dataset->field(i).visible;
        if (!isExportedType(fieldType(i)) || (VisibleFieldsOnly && !visible))
            continue;
        const QString letters =
            ColumnLetters(static_cast<int>(exportedColumns_.size()) + beginColumnData_);
        const QString name =
            custom ? (OnGetFieldName ? OnGetFieldName(i) : QString()) : Dataset->field(i).name;
        exportedColumns_.push_back({name, i});
        if (!showTitles_)
            continue;
        QString title = custom && OnGetFieldDisplayName ? OnGetFieldDisplayName(i) : name;
        if (title.isEmpty())
            title = name;
        const QString cell = letters + QString::number(beginRowTitles_);
        auto range = ExcelWorksheet->range(cell, cell);
        range->setValue2(xl::CellValue(title));
        if (StyleColumnWidth == TStyleColumnWidth::cwFieldDisplayWidth ||
            StyleColumnWidth == TStyleColumnWidth::cwFieldDataSize ||
            StyleColumnWidth == TStyleColumnWidth::cwEnhAutoFit)
            setTitleWidth(*range, i, title);
    }
    if (showTitles_ && !exportedColumns_.empty())
        FormatRange(2, FontTitles, firstColumnLetters_ + QString::number(beginRowTitles_),
                    LastColumnLetters() + QString::number(beginRowTitles_), BorderTitles);
}

xl::CellValue TvxExcelExport::recordValue(int index) {
    if (DataPipe == TDataPipe::dpCustom)
        return OnGetFieldValue ? OnGetFieldValue(index) : xl::CellValue();
    const ResultSet& rows = Dataset->rows();
    const std::int64_t row = Dataset->currentRow();
    const FieldInfo& f = rows.field(index);
    auto cut = [this](QString text) {
        if (text.size() >= maxTextLength_)
            return xl::CellValue(text.left(maxTextLength_ - 3) + QStringLiteral("..."));
        return xl::CellValue(std::move(text));
    };
    if (isNumberValueType(f.type) && !f.hasGetText) {
        if (const auto v = fieldNumber(rows, row, index))
            return *v;
        return rows.isNull(row, index) ? xl::CellValue() : cut(fieldEditText(rows, row, index));
    }
    if (isDateValueType(f.type)) {
        const double serial = fieldDateSerial(rows, row, index);
        if (serial == 0)
            return QString();
        return xl::DateSerial{serial};
    }
    return cut(fieldEditText(rows, row, index));
}

void TvxExcelExport::transferBlock(const xl::ValueBlock& block, std::int64_t firstRow,
                                   std::int64_t lastRow) {
    ApplyNumberFormats(static_cast<int>(firstRow), static_cast<int>(lastRow));
    ExcelWorksheet
        ->range(firstColumnLetters_ + QString::number(firstRow),
                LastColumnLetters() + QString::number(lastRow))
        ->setValue2(block);
}

void TvxExcelExport::WriteRecords() {
    exportedRecords_ = 0;
    const bool dataset = DataPipe == TDataPipe::dpDataSet;
    std::optional<velmora::Dataset::Bookmark> bookmark;
    QPointer<velmora::Dataset> ds = Dataset;
    if (dataset) {
        ds->disableControls();
        bookmark = ds->bookmark();
    }
    // On an error the dataset stays where it was; its controls come back and the bookmark goes.
    bool done = false;
    OnExit release([&] {
        if (!dataset || !ds)
            return;
        if (done && *bookmark >= 0) // an empty dataset has no record to return to
            ds->gotoBookmark(*bookmark);
        ds->freeBookmark(*bookmark);
        ds->enableControls();
    });
    const int columns = static_cast<int>(exportedColumns_.size());
    xl::ValueBlock block(blockOfRecords_, columns);
    std::int64_t blockFirst = beginRowData_;
    int i = 0;
    auto atEnd = [&] {
        if (dataset)
            return ds->eof();
        return !OnGetEOF || OnGetEOF();
    };
    if (dataset)
        ds->first();
    else if (OnGotoFirstRecord)
        OnGotoFirstRecord();
    while (!atEnd()) {
        ++exportedRecords_;
        ++i;
        if (beginRowData_ + exportedRecords_ - 1 > maxRows_)
            throw EMaxRowsReached(
                QStringLiteral("The maximum number of rows (%1) has been reached").arg(maxRows_));
        for (int j = 0; j < columns; ++j)
            block.at(i - 1, j) =
                recordValue(exportedColumns_[static_cast<std::size_t>(j)].FieldIndex);
        if (exportedRecords_ % blockOfRecords_ == 0) {
            if (columns > 0)
                transferBlock(block, blockFirst, blockFirst + blockOfRecords_ - 1);
            blockFirst += blockOfRecords_;
            i = 0;
        }
        if (dataset)
            ds->next();
        else if (OnGotoNextRecord)
            OnGotoNextRecord();
        if (OnExportRecords)
            OnExportRecords(*this, static_cast<int>(exportedRecords_));
        if (ProcessMessages)
            ProcessMessages();
    }
    if (i > 0 && columns > 0)
        transferBlock(block, blockFirst, blockFirst + i - 1);
    done = true;
    lastDataRow_ = blockFirst + i - 1;
    if (lastDataRow_ > beginRowData_ && columns > 0)
        FormatRange(3, FontData, firstColumnLetters_ + QString::number(beginRowData_),
                    LastColumnLetters() + QString::number(lastDataRow_), BorderData);
}

void TvxExcelExport::SaveWorkbookAs(const QString& fileName, std::uint8_t formatCode) {
    if (!ExcelApplication || ExcelApplication->workbooks().count() == 0)
        throw ENoActiveWorkbook(QStringLiteral("No active workbook or no active Excel available"));
    ExcelApplication->setDisplayAlerts(false);
    const auto notSupported = [] {
        return ENotSupported(QStringLiteral("This action is not supported in this Excel version"));
    };
    namespace c = xl::constants;
    switch (formatCode) {
    case 0:
        ExcelWorksheet->saveAs(fileName, std::nullopt);
        break;
    case 1:
        if (excelVersion_ < 12)
            throw notSupported();
        ExcelWorksheet->saveAs(fileName, c::xlOpenXMLWorkbook);
        break;
    case 2:
        if (excelVersion_ < 12)
            ExcelWorksheet->saveAs(fileName, std::nullopt);
        else
            ExcelWorksheet->saveAs(fileName, c::xlExcel8);
        break;
    case 3:
        if (excelVersion_ < 9)
            throw notSupported();
        ExcelWorksheet->saveAs(fileName, c::xlHtml);
        break;
    case 4:
        ExcelWorksheet->saveAs(fileName, c::xlCSV);
        break;
    case 5:
        if (excelVersion_ > 11)
            throw notSupported();
        ExcelWorksheet->saveAs(fileName, c::xlExcel5);
        break;
    case 6:
        if (excelVersion_ < 10)
            throw notSupported();
        ExcelWorksheet->saveAs(fileName, c::xlXMLSpreadsheet);
        break;
    default:
        break;
    }
}

void TvxExcelExport::DisconnectExcel(bool quitExcel) {
    std::shared_ptr<xl::Application> app = std::move(ExcelApplication);
    ExcelApplication.reset();
    OnExit forget([&] {
        ExcelWorksheet.reset();
        ExcelWorkbook.reset();
        app.reset();
        connected_ = false;
    });
    if (app && (!ExcelVisible || quitExcel)) {
        app->setDisplayAlerts(false);
        app->quit();
    }
    ExcelWorksheet.reset();
    ExcelWorkbook.reset();
    if (app)
        app->release();
}

} // namespace velmora
