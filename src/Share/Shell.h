#pragma once

#include "query/Tdm1.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace velmora {

struct SessionState;

// One entry of a save dialog's file-type list.
struct SaveFilter {
    QString text;    // "Excel Workbook (*.xlsx)"
    QString pattern; // "*.xlsx"
};

struct SaveDialogRequest {
    QList<SaveFilter> filters;
    std::optional<QString> defaultSuffix; // nullopt: keep what the dialog was left with
    QString startFolder;
};

struct SaveDialogAnswer {
    QString fileName;    // full path
    int filterIndex = 1; // 1-based position of the chosen file-type entry
};

// Everything the shared routines need of the main window and the modal boxes. The main window
// implements it with widgets; tests implement it with a script of answers.
class Shell {
public:
    virtual ~Shell() = default;

    virtual QString title() const = 0;
    virtual void setTitle(const QString& text) = 0;
    // Status-bar panel 0..4; the panel is repainted at once.
    virtual QString statusText(int panel) const = 0;
    virtual void setStatusText(int panel, const QString& text) = 0;
    virtual void setMainEnabled(bool enabled) = 0;
    virtual void focusGrid() = 0;

    // Plain message box: application title as caption, no icon, OK.
    virtual void messageBox(const QString& text) = 0;
    // Confirmation box: Yes and No; true only for Yes.
    virtual bool confirm(const QString& text) = 0;
    // The default error box for an error that escaped an event handler; text already has the
    // full stop of the message rule.
    virtual void errorBox(const QString& text) = 0;

    // Modal dialogs; each reports its outcome through SessionState::DialogCancelled.
    virtual void execParamDialog(SessionState& state) = 0;
    virtual void execOptionsDialog(SessionState& state) = 0;
    virtual std::optional<SaveDialogAnswer> saveDialog(SessionState& state,
                                                       const SaveDialogRequest& request) = 0;
    virtual std::optional<Credentials> loginBox(const QString& user) = 0;

    // The wait window of the exports.
    virtual void showProcessing(bool visible) = 0;
    // Fits the result grid's columns after an execution.
    virtual void autofitColumns() = 0;
    // The folder list: its folder, and moving it (which also makes the folder the process's
    // current folder and refills the file list). setFolder raises on a folder that cannot be shown.
    virtual QString folder() const = 0;
    virtual void setFolder(const QString& path) = 0;
    // Path of the file list's selection: folder + name + ".kvf" (".kvf" alone when none).
    virtual QString selectedQueryPath() const = 0;
    // Closes the main window, which ends the process once the current handler has returned.
    virtual void endProcess() = 0;
};

} // namespace velmora
