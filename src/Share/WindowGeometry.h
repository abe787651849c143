#pragma once

#include "SessionState.h"

namespace velmora {

// The main window's stored geometry, with the defaults that apply to a value that is missing or
// not an integer.
struct WindowGeometry {
    enum State { Normal = 0, Minimized = 1, Maximized = 2 };
    int top = 93;
    int left = 221;
    int height = 780;
    int width = 836;
    int state = Normal;
    int panelHeight = 304;     // the browsing panel
    int folderListWidth = 252; // the folder list
};

// Read at window creation. A stored "WinState" "1" (minimised at exit) opens normal.
WindowGeometry fnReadWindowGeometry(const SessionState& state);
// Written at exit, after "QueryPath" and the closing of the connection, in the stored order:
// WinTop, WinLeft, WinHeight, WinWidth, PUserHeight, Dlb1Width, WinState. Raises on a failed write
// and writes nothing after the failing value.
void fnWriteWindowGeometry(const SessionState& state, const WindowGeometry& g);

} // namespace velmora
