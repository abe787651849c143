#pragma once

#include <QString>

namespace velmora::xl {

class SheetStore;

// A web page with one table: the cells as they show through their number formats, the fonts,
// alignment, fills, borders and column widths as CSS. The markup is also well-formed XML.
void writeHtml(const SheetStore& sheet, const QString& path);

} // namespace velmora::xl
