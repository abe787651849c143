#pragma once

#include <QListWidget>

namespace velmora {

// The folder list: the current folder's ancestors, the folder itself and its subfolders, as a
// folder tree is drawn in a list. Opening an entry (double-click or Enter) moves there. Moving
// makes the folder the process's current folder.
class TDirectoryList : public QListWidget {
    Q_OBJECT
public:
    explicit TDirectoryList(QWidget* parent);
    QString directory() const;
    // Raises std::runtime_error naming the folder when it cannot be shown.
    void setDirectory(const QString& path);

Q_SIGNALS:
    void directoryChanged(const QString& path);
    // Sent before the list opens an entry on a double-click.
    void entryDoubleClicked(const QString& path);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void fill();
    QString directory_;
};

} // namespace velmora
