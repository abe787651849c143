#pragma once

#include "Share/Shell.h"

#include <QWidget>

#include <optional>

class QFileDialog;

namespace velmora {

struct SessionState;

// A form that is never shown: it owns the save dialog SaveDialog2, which is reused for every
// save, so the file name, the filter position and the default extension it was left with stay
// until changed. Made a hidden child of the main window, so the dialog centres on that window.
class TGlobalVarForm : public QWidget {
    Q_OBJECT
public:
    explicit TGlobalVarForm(QWidget* parent = nullptr);

    // Sets the filter list, the default extension (when the request has one) and the starting
    // folder, then shows the dialog modally. Gives the chosen file and the 1-based position of
    // the chosen filter entry, or nothing when cancelled.
    std::optional<SaveDialogAnswer> exec(SessionState& state, const SaveDialogRequest& request);

    QFileDialog* SaveDialog2;

private:
    // The user picked another file-type entry: SaveFormatIndex follows at once.
    void SaveDialog2TypeChange(const QString& filter);
    int filterPosition(const QString& filter) const;

    SessionState* state_ = nullptr;
    int filterIndex_ = 1; // position the dialog was left on
    QString fileName_;    // name it was left with
};

} // namespace velmora
