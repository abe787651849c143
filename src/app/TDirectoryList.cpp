#include "TDirectoryList.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMouseEvent>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace velmora {

TDirectoryList::TDirectoryList(QWidget* parent)
    : QListWidget(parent) {
    setObjectName(QStringLiteral("dlb1"));
    directory_ = QDir::currentPath();
    fill();
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        try {
            setDirectory(item->data(Qt::UserRole).toString());
        } catch (const std::exception&) {
            // The entry vanished meanwhile; the list shows what it showed.
            fill();
        }
    });
}

QString TDirectoryList::directory() const {
    return directory_;
}

void TDirectoryList::setDirectory(const QString& path) {
    const QFileInfo info(QDir::isAbsolutePath(path) ? path
                                                    : QDir::current().absoluteFilePath(path));
    const QString target = QDir::cleanPath(info.absoluteFilePath());
    if (!info.isDir())
        throw std::runtime_error(
            QStringLiteral("Folder \"%1\" does not exist").arg(path).toStdString());
    if (!QDir::setCurrent(target))
        throw std::runtime_error(QStringLiteral("Cannot open folder \"%1\": %2")
                                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)))
                                     .toStdString());
    directory_ = target;
    fill();
    Q_EMIT directoryChanged(directory_);
}

void TDirectoryList::mouseDoubleClickEvent(QMouseEvent* event) {
    if (QListWidgetItem* item = itemAt(event->position().toPoint()))
        Q_EMIT entryDoubleClicked(item->data(Qt::UserRole).toString());
    QListWidget::mouseDoubleClickEvent(event);
}

void TDirectoryList::fill() {
    clear();
    static const QFileIconProvider icons;
    const QIcon open = icons.icon(QFileIconProvider::Folder);
    QStringList chain;
    for (QDir d(directory_);;) {
        chain.prepend(d.absolutePath());
        if (d.isRoot() || !d.cdUp())
            break;
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name =
            folder == QLatin1String("/") ? QStringLiteral("/") : QFileInfo(folder).fileName();
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + name, this);
        item->setData(Qt::UserRole, folder);
        ++depth;
    }
    setCurrentRow(count() - 1);
    const QStringList subfolders =
        QDir(directory_)
            .entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subfolders) {
        auto* item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) + sub, this);
        item->setData(Qt::UserRole, QDir(directory_).absoluteFilePath(sub));
    }
}

} // namespace velmora
