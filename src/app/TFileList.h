#pragma once

#include <QListWidget>

namespace velmora {

// The file list: the query files ("*.kvf") of one folder, sorted by name ignoring letter case,
// each shown without its extension.
class TFileList : public QListWidget {
    Q_OBJECT
public:
    explicit TFileList(QWidget* parent);
    void setDirectory(const QString& folder);
    // The selected entry's full path; ".kvf" alone when nothing is selected.
    QString selectedPath() const;

private:
    QString folder_;
};

} // namespace velmora
