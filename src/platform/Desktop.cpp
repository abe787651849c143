#include "Desktop.h"

#include <QDesktopServices>
#include <QUrl>

namespace velmora {

bool XdgDesktop::open(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace velmora
