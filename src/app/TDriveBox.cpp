#include "TDriveBox.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace velmora {

namespace {

// File systems that hold no user files.
bool browsable(const QStorageInfo& v) {
    static const QStringList pseudo{"proc",     "sysfs",    "tmpfs",   "devtmpfs",  "devpts",
                                    "cgroup",   "cgroup2",  "overlay", "squashfs",  "securityfs",
                                    "pstore",   "debugfs",  "tracefs", "mqueue",    "hugetlbfs",
                                    "fusectl",  "configfs", "bpf",     "autofs",    "binfmt_misc",
                                    "efivarfs", "ramfs",    "nsfs",    "rpc_pipefs"};
    if (!v.isValid() || !v.isReady())
        return false;
    const QString type = QString::fromUtf8(v.fileSystemType());
    if (pseudo.contains(type))
        return false;
    const QString root = v.rootPath();
    return root == QLatin1String("/") || root.startsWith(QLatin1String("/media/")) ||
           root.startsWith(QLatin1String("/mnt/")) ||
           root.startsWith(QLatin1String("/run/media/")) || root.startsWith(QLatin1String("/home"));
}

} // namespace

TDriveBox::TDriveBox(QWidget* parent)
    : QComboBox(parent) {
    setObjectName(QStringLiteral("dcb1"));
    refresh();
    connect(this, &QComboBox::activated, this,
            [this](int index) { Q_EMIT placeChosen(rootOf(index)); });
}

void TDriveBox::refresh() {
    const QSignalBlocker block(this);
    clear();
    addItem(QStringLiteral("/"), QStringLiteral("/"));
    const QString home = QDir::homePath();
    if (home != QLatin1String("/"))
        addItem(QStringLiteral("Home (%1)").arg(home), home);
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        if (!browsable(v) || v.rootPath() == QLatin1String("/") || findData(v.rootPath()) >= 0)
            continue;
        const QString name =
            v.displayName() == v.rootPath()
                ? v.rootPath()
                : v.displayName() + QStringLiteral(" (") + v.rootPath() + QLatin1Char(')');
        addItem(name, v.rootPath());
    }
}

QString TDriveBox::rootOf(int index) const {
    return itemData(index).toString();
}

void TDriveBox::showFolder(const QString& folder) {
    int best = 0;
    qsizetype bestLength = 0;
    for (int i = 0; i < count(); ++i) {
        const QString root = rootOf(i);
        const bool inside = folder == root || root == QLatin1String("/") ||
                            folder.startsWith(root + QLatin1Char('/'));
        if (inside && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    const QSignalBlocker block(this);
    setCurrentIndex(best);
}

} // namespace velmora
