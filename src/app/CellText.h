#pragma once

#include "query/ResultSet.h"

#include <QString>

namespace velmora {

// The text the result grid shows for a cell, in the user's locale.
QString cellDisplayText(const ResultSet& rows, std::int64_t row, int col);

} // namespace velmora
