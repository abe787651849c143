#pragma once

// The spreadsheet operations the export uses, as an automation object model: an application
// with its workbooks, worksheets, ranges, fonts, borders and window. Every refusal raises
// std::runtime_error carrying the spreadsheet's message.

#include "CellValue.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

namespace velmora::xl {

// Horizontal alignment, border line styles, weights and edges as the object model numbers them.
namespace constants {
inline constexpr int xlWBATWorksheet = -4167;
inline constexpr int xlEdgeLeft = 7;
inline constexpr int xlEdgeTop = 8;
inline constexpr int xlEdgeBottom = 9;
inline constexpr int xlEdgeRight = 10;
inline constexpr int xlHAlignGeneral = 1;
inline constexpr int xlHAlignLeft = -4131;
inline constexpr int xlHAlignRight = -4152;
inline constexpr int xlHAlignCenter = -4108;
inline constexpr int xlLineStyleNone = -4142;
// FileFormat values of SaveAs.
inline constexpr int xlCSV = 6;
inline constexpr int xlExcel5 = 43;
inline constexpr int xlHtml = 44;
inline constexpr int xlXMLSpreadsheet = 46;
inline constexpr int xlOpenXMLWorkbook = 51;
inline constexpr int xlExcel8 = 56;
} // namespace constants

class Font {
public:
    virtual ~Font() = default;
    virtual void setName(const QString& name) = 0;
    virtual void setSize(double points) = 0;
    virtual void setColor(std::int64_t color) = 0;
    virtual void setBold(bool on) = 0;
    virtual void setItalic(bool on) = 0;
    virtual void setUnderline(bool on) = 0;
};

// One edge of Range.Borders(edge).
class Border {
public:
    virtual ~Border() = default;
    virtual void setLineStyle(int style) = 0;
    virtual void setWeight(int weight) = 0;
    virtual void setColor(std::int64_t color) = 0;
};

class Range {
public:
    virtual ~Range() = default;
    // One value into every cell of the range.
    virtual void setValue2(const CellValue& value) = 0;
    // An array from the top left; array rows and columns past the range are ignored.
    virtual void setValue2(const ValueBlock& block) = 0;
    // A format in the user's locale notation.
    virtual void setNumberFormat(const QString& format) = 0;
    virtual Font& font() = 0;
    virtual Border& borders(int edge) = 0;
    virtual void setOrientation(int degrees) = 0;
    virtual void setWrapText(bool on) = 0;
    virtual void setHorizontalAlignment(int alignment) = 0;
    virtual void setInteriorColor(std::int64_t color) = 0;
    virtual void setColumnWidth(double characters) = 0;
    virtual void autoFitEntireColumn() = 0;
    virtual void select() = 0;
};

class Worksheet {
public:
    virtual ~Worksheet() = default;
    virtual QString name() const = 0;
    virtual void setName(const QString& name) = 0;
    // The range between two A1 references, as "A2" and "C21".
    virtual std::unique_ptr<Range> range(const QString& first, const QString& last) = 0;
    // Writes the workbook to the file; no format: the format the file name's extension names.
    virtual void saveAs(const QString& fileName, std::optional<int> fileFormat) = 0;
};

class Workbook {
public:
    virtual ~Workbook() = default;
    virtual int worksheetCount() const = 0;
    virtual std::shared_ptr<Worksheet> worksheet(int index) = 0; // 1-based
    virtual std::shared_ptr<Worksheet> addWorksheet() = 0;
    virtual void close() = 0; // discards what is unsaved, without asking
};

class Workbooks {
public:
    virtual ~Workbooks() = default;
    virtual std::shared_ptr<Workbook> add(int templateKind) = 0;
    virtual std::shared_ptr<Workbook> open(const QString& fileName) = 0;
    virtual int count() const = 0;
    virtual std::shared_ptr<Workbook> activeWorkbook() = 0; // null when none is open
};

class Window {
public:
    virtual ~Window() = default;
    // Keeps the rows above and the columns left of the selected cell in view.
    virtual void setFreezePanes(bool on) = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual Workbooks& workbooks() = 0;
    virtual Window& activeWindow() = 0;
    // International(17..24): date separator, time separator, then the letters for year, month,
    // day, hour, minute and second.
    virtual QString international(int index) = 0;
    virtual void setScreenUpdating(bool on) = 0;
    virtual void setVisible(bool on) = 0;
    virtual bool visible() const = 0;
    virtual void setDisplayAlerts(bool on) = 0;
    virtual void quit() = 0;
    // The caller lets go of the application; it keeps running unless told to quit. A visible
    // application hands its open workbooks to the user here, which may fail.
    virtual void release() = 0;
};

// Where applications come from: the installed version, a new instance, the running one.
class AutomationServer {
public:
    virtual ~AutomationServer() = default;
    // Major version of the installed spreadsheet application; 0 when none.
    virtual int installedVersion() const = 0;
    virtual std::shared_ptr<Application> start() = 0;
    // The running instance, or null when none runs.
    virtual std::shared_ptr<Application> running() = 0;
};

} // namespace velmora::xl
