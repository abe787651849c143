#pragma once

#include <QColor>
#include <QPalette>

namespace velmora {

// The program's colours.
inline const QColor kGrey{230, 230, 230};
inline const QColor kListWhite{250, 250, 250};

// The palette of a grey window: window and button backgrounds grey.
inline QPalette greyPalette(QPalette p) {
    p.setColor(QPalette::Window, kGrey);
    p.setColor(QPalette::Button, kGrey);
    return p;
}

} // namespace velmora
