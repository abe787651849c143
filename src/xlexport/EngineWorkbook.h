#pragma once

#include "Automation.h"
#include "EngineState.h"

#include <QString>

#include <memory>
#include <vector>

namespace velmora::xl {

class EngineWorksheet;

// A workbook of the built-in engine: its sheets, the active one, and the file it was saved as.
class EngineWorkbook final : public Workbook, public std::enable_shared_from_this<EngineWorkbook> {
public:
    explicit EngineWorkbook(std::weak_ptr<EngineState> state);

    int worksheetCount() const override;
    std::shared_ptr<Worksheet> worksheet(int index) override;
    std::shared_ptr<Worksheet> addWorksheet() override;
    void close() override;

    // Raises when the workbook has been closed.
    void ensureOpen() const;
    bool isOpen() const { return !closed_; }
    // Refuses a name a sheet may not have, or one another sheet has.
    void checkSheetName(const QString& name, const EngineWorksheet* renamed) const;
    void activate(const EngineWorksheet* sheet);
    std::shared_ptr<EngineWorksheet> activeSheet() const;
    const std::vector<std::shared_ptr<EngineWorksheet>>& sheets() const { return sheets_; }
    void save(const QString& fileName, int fileFormat, const EngineWorksheet& from);
    const QString& savedFile() const { return savedFile_; }

private:
    std::weak_ptr<EngineState> state_;
    std::vector<std::shared_ptr<EngineWorksheet>> sheets_;
    std::size_t active_ = 0;
    bool closed_ = false;
    QString savedFile_;
};

} // namespace velmora::xl
