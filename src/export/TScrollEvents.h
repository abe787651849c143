#pragma once

#include "query/Dataset.h"

#include <functional>

namespace velmora {

// What fnSuspendDataSetEvents takes away from a result set for a full pass over its records,
// in the order it is saved: the two scroll handlers and the auto-calculate flag.
class TScrollEvents {
public:
    std::function<void()> BeforeScroll;
    std::function<void()> AfterScroll;
    bool AutoCalcFields = true;
};

// Detaches the attached controls (the grid stops following the cursor) and clears the scroll
// handlers and the auto-calculate flag, so that each move costs no repaint and no handler call.
TScrollEvents fnSuspendDataSetEvents(Dataset& dataset);
// Re-attaches the controls and puts the handlers and the flag back.
void fnRestoreDataSetEvents(Dataset& dataset, TScrollEvents saved);

} // namespace velmora
