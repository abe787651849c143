#pragma once

#include "Automation.h"
#include "SheetStore.h"

#include <memory>

namespace velmora::xl {

class EngineWorkbook;

class EngineWorksheet final : public Worksheet,
                              public std::enable_shared_from_this<EngineWorksheet> {
public:
    EngineWorksheet(std::weak_ptr<EngineWorkbook> workbook, const QString& name);

    QString name() const override;
    void setName(const QString& name) override;
    std::unique_ptr<Range> range(const QString& first, const QString& last) override;
    void saveAs(const QString& fileName, std::optional<int> fileFormat) override;

    SheetStore& store();
    const SheetStore& store() const { return store_; }
    // Makes this the active sheet of its workbook and selects the cell.
    void select(CellRef cell);

private:
    std::shared_ptr<EngineWorkbook> owner() const;
    std::weak_ptr<EngineWorkbook> workbook_;
    SheetStore store_;
};

} // namespace velmora::xl
