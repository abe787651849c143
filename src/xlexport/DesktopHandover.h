#pragma once

#include "EngineState.h"

#include <QString>

namespace velmora::xl {

// Opens every open workbook with the desktop's spreadsheet application: the saved file when it
// has one (the outcome is ignored, as for delimited text), otherwise an xlsx copy named after
// its active sheet in the per-user cache folder, which is kept. When the desktop cannot open
// the copy, raises a message that names it.
void handOverToDesktop(EngineState& state);

// The folder the copies go to: $XDG_CACHE_HOME/velmora.
QString handoverFolder();

} // namespace velmora::xl
