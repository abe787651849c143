#pragma once

#include "SheetStore.h"

#include <QString>

#include <memory>
#include <vector>

namespace velmora::xl {

// The text a cell shows through its number format, with the user's separators and month and
// day names: what a spreadsheet writes into CSV and web pages, and what AutoFit measures.
class ShownText {
public:
    explicit ShownText(const SheetStore& sheet);
    ~ShownText();
    QString operator()(int row, int column);
    // A number through a format code of the file notation.
    QString number(double value, int formatId);

    struct Format;

private:
    const Format& format(int formatId);
    const SheetStore& sheet_;
    std::vector<std::unique_ptr<Format>> formats_;
};

// The General format: up to 15 significant digits, the user's decimal separator.
QString generalNumber(double value);

} // namespace velmora::xl
