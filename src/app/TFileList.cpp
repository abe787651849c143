#include "TFileList.h"

#include <QDir>
#include <QFileIconProvider>

namespace velmora {

TFileList::TFileList(QWidget* parent)
    : QListWidget(parent) {
    setObjectName(QStringLiteral("flb1"));
    QFont f = font();
    f.setPointSize(9);
    f.setBold(true);
    setFont(f);
    viewport()->setCursor(Qt::PointingHandCursor);
}

void TFileList::setDirectory(const QString& folder) {
    folder_ = folder;
    clear();
    static const QFileIconProvider icons;
    const QIcon icon = icons.icon(QFileIconProvider::File);
    const QDir dir(folder);
    // The file's own name is kept with the entry, so a name written in upper case still opens.
    const QStringList files =
        dir.entryList({QStringLiteral("*.kvf")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : files) {
        auto* item = new QListWidgetItem(icon, name.left(name.size() - 4), this);
        item->setData(Qt::UserRole, dir.absoluteFilePath(name));
    }
}

QString TFileList::selectedPath() const {
    const QListWidgetItem* item = currentItem();
    if (!item || !item->isSelected())
        return QStringLiteral(".kvf");
    return item->data(Qt::UserRole).toString();
}

} // namespace velmora
