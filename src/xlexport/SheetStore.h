#pragma once

#include "CellRef.h"
#include "CellStyle.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::xl {

enum class CellKind : std::uint8_t { Empty, Number, Text, Date, Bool };

// A run of rows of one column that share a style.
struct StyleRun {
    int first = 0;
    int last = 0;
    int style = 0;
};

// The contents of one worksheet: cells stored compactly by column (CellColumn), styles kept as
// runs of rows per column, column widths, the selection and the frozen panes. Rows and columns
// are 0-based.
class SheetStore {
public:
    explicit SheetStore(QString name);
    ~SheetStore();
    SheetStore(const SheetStore&) = delete;
    SheetStore& operator=(const SheetStore&) = delete;

    const QString& name() const { return name_; }
    void setName(const QString& name) { name_ = name; }

    void setNumber(int row, int column, double value);
    void setDate(int row, int column, double serial);
    void setBool(int row, int column, bool value);
    // Longer texts than a cell holds keep their first characters and "...".
    void setText(int row, int column, const QString& text);
    void setEmpty(int row, int column);

    CellKind kind(int row, int column) const;
    double number(int row, int column) const; // Number and Date
    bool boolean(int row, int column) const;
    std::string_view textUtf8(int row, int column) const;
    QString text(int row, int column) const;

    // One past the last row and column that hold a value.
    int rowCount() const;
    int columnCount() const { return static_cast<int>(columns_.size()); }

    void applyStyle(int firstRow, int firstColumn, int lastRow, int lastColumn,
                    const StylePatch& patch);
    int styleAt(int row, int column) const;
    const std::vector<StyleRun>& styleRuns(int column) const;
    const StyleTable& styles() const { return styles_; }
    // Number formats in the file notation; id 0 is "General".
    int internFormat(const QString& code);
    const QString& formatCode(int id) const { return formats_[static_cast<std::size_t>(id)]; }
    int formatCount() const { return static_cast<int>(formats_.size()); }

    void setColumnWidth(int column, double characters);
    std::optional<double> columnWidth(int column) const;
    int widthCount() const { return static_cast<int>(widths_.size()); }

    CellRef selection() const { return selection_; }
    void setSelection(CellRef cell) { selection_ = cell; }
    int frozenRows() const { return frozenRows_; }
    int frozenColumns() const { return frozenColumns_; }
    void setFrozen(int rows, int columns) {
        frozenRows_ = rows;
        frozenColumns_ = columns;
    }

private:
    struct Column;
    Column& column(int index);
    const Column* findColumn(int index) const;

    QString name_;
    std::vector<std::unique_ptr<Column>> columns_;
    StyleTable styles_;
    std::vector<QString> formats_;
    std::vector<double> widths_; // negative: not set
    CellRef selection_;
    int frozenRows_ = 0;
    int frozenColumns_ = 0;
};

} // namespace velmora::xl
