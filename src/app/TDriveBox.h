#pragma once

#include <QComboBox>

namespace velmora {

// The drive box: the places from which a user starts browsing on this platform: the root, the
// home folder and the mounted file systems a user can browse (removable media included).
class TDriveBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDriveBox(QWidget* parent);
    void refresh();
    // Selects the place that holds the folder (the longest matching root), without moving.
    void showFolder(const QString& folder);
    QString rootOf(int index) const;

Q_SIGNALS:
    void placeChosen(const QString& root);
};

} // namespace velmora
