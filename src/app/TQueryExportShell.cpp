// The main window as the Shell of the shared routines.
#include "ResultGrid.h"
#include "TDirectoryList.h"
#include "TFileList.h"
#include "TLoginDialog.h"
#include "TQueryExport.h"

#include <QApplication>
#include <QMessageBox>

namespace velmora {

QString TQueryExport::title() const {
    return windowTitle();
}

void TQueryExport::setTitle(const QString& text) {
    setWindowTitle(text);
}

QString TQueryExport::statusText(int panel) const {
    return panel >= 0 && panel < int(panels_.size()) && panels_[panel] ? panels_[panel]->text()
                                                                       : QString();
}

void TQueryExport::setStatusText(int panel, const QString& text) {
    if (panel < 0 || panel >= int(panels_.size()) || !panels_[panel])
        return;
    panels_[panel]->setText(text);
    panels_[panel]->repaint();
}

void TQueryExport::setMainEnabled(bool enabled) {
    setEnabled(enabled);
}

void TQueryExport::focusGrid() {
    if (DBGrid1)
        DBGrid1->setFocus();
}

void TQueryExport::messageBox(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    this);
    box.exec();
}

bool TQueryExport::confirm(const QString& text) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void TQueryExport::errorBox(const QString& text) {
    // Nobody can click a box away in an unattended run: the error goes to the system log.
    if (state_.UnattendedRun) {
        fnWriteEventLog(session(), QStringLiteral("Kavrin"), text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok,
                    this);
    box.exec();
}

void TQueryExport::execParamDialog(SessionState& state) {
    state.DialogCancelled = true;
    if (dialogs_.execParam)
        dialogs_.execParam(state);
}

void TQueryExport::execOptionsDialog(SessionState& state) {
    state.DialogCancelled = true;
    if (dialogs_.execOptions)
        dialogs_.execOptions(state);
}

std::optional<SaveDialogAnswer> TQueryExport::saveDialog(SessionState& state,
                                                         const SaveDialogRequest& request) {
    if (!dialogs_.saveDialog)
        return std::nullopt;
    return dialogs_.saveDialog(state, request);
}

std::optional<Credentials> TQueryExport::loginBox(const QString& user) {
    if (state_.UnattendedRun)
        return std::nullopt;
    return login_->ask(user);
}

void TQueryExport::showProcessing(bool visible) {
    if (dialogs_.processing)
        dialogs_.processing(visible);
}

void TQueryExport::autofitColumns() {
    if (DBGrid1)
        DBGrid1->fnAutofitColumnWidth();
}

QString TQueryExport::folder() const {
    return dlb1->directory();
}

void TQueryExport::setFolder(const QString& path) {
    dlb1->setDirectory(path);
}

QString TQueryExport::selectedQueryPath() const {
    return flb1->selectedPath();
}

void TQueryExport::endProcess() {
    ending_ = true;
    close();
}

} // namespace velmora
