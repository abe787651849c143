#pragma once

#include "Automation.h"
#include "SheetStore.h"

#include <array>
#include <memory>

namespace velmora::xl {

class EngineWorksheet;

// A rectangle of a built-in worksheet. Formats go onto the sheet per range, never per cell.
class EngineRange final : public Range {
public:
    EngineRange(std::shared_ptr<EngineWorksheet> sheet, CellRef first, CellRef last);
    ~EngineRange() override;

    void setValue2(const CellValue& value) override;
    void setValue2(const ValueBlock& block) override;
    void setNumberFormat(const QString& format) override;
    Font& font() override;
    Border& borders(int edge) override;
    void setOrientation(int degrees) override;
    void setWrapText(bool on) override;
    void setHorizontalAlignment(int alignment) override;
    void setInteriorColor(std::int64_t color) override;
    void setColumnWidth(double characters) override;
    void autoFitEntireColumn() override;
    void select() override;

    void apply(const StylePatch& patch);

private:
    class RangeFont;
    class RangeBorder;
    void put(int row, int column, const CellValue& value);
    SheetStore& store();

    std::shared_ptr<EngineWorksheet> sheet_;
    CellRef first_;
    CellRef last_;
    std::unique_ptr<RangeFont> font_;
    std::array<std::unique_ptr<RangeBorder>, 4> borders_;
};

} // namespace velmora::xl
