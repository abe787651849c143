#include "EngineWorksheet.h"

#include "EngineRange.h"
#include "EngineWorkbook.h"

#include <QFileInfo>

#include <algorithm>
#include <stdexcept>

namespace velmora::xl {

EngineWorksheet::EngineWorksheet(std::weak_ptr<EngineWorkbook> workbook, const QString& name)
    : workbook_(std::move(workbook))
    , store_(name) {}

std::shared_ptr<EngineWorkbook> EngineWorksheet::owner() const {
    auto book = workbook_.lock();
    if (!book)
        throw std::runtime_error("The object invoked has disconnected from its clients");
    book->ensureOpen();
    return book;
}

QString EngineWorksheet::name() const {
    owner();
    return store_.name();
}

void EngineWorksheet::setName(const QString& name) {
    owner()->checkSheetName(name, this);
    store_.setName(name);
}

std::unique_ptr<Range> EngineWorksheet::range(const QString& first, const QString& last) {
    owner();
    const auto a = parseA1(first);
    const auto b = parseA1(last);
    if (!a || !b)
        throw std::runtime_error("Method 'Range' of object '_Worksheet' failed");
    const CellRef from{std::min(a->row, b->row), std::min(a->column, b->column)};
    const CellRef to{std::max(a->row, b->row), std::max(a->column, b->column)};
    return std::make_unique<EngineRange>(shared_from_this(), from, to);
}

namespace {

int formatOfExtension(const QString& fileName) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == QLatin1String("xls"))
        return constants::xlExcel8;
    if (ext == QLatin1String("htm") || ext == QLatin1String("html"))
        return constants::xlHtml;
    if (ext == QLatin1String("csv"))
        return constants::xlCSV;
    if (ext == QLatin1String("xml"))
        return constants::xlXMLSpreadsheet;
    return constants::xlOpenXMLWorkbook;
}

} // namespace

void EngineWorksheet::saveAs(const QString& fileName, std::optional<int> fileFormat) {
    const auto book = owner();
    book->save(fileName, fileFormat.value_or(formatOfExtension(fileName)), *this);
}

SheetStore& EngineWorksheet::store() {
    owner();
    return store_;
}

void EngineWorksheet::select(CellRef cell) {
    const auto book = owner();
    store_.setSelection(cell);
    book->activate(this);
}

} // namespace velmora::xl
