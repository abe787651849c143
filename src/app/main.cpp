// Velmora (End User Module): start-up, the windows in their order, and the end of the process.
#include "TAbout.h"
#include "TQueryExport.h"

#include "Share/PickLists.h"
#include "export/TGlobalVarForm.h"
#include "export/TProcessingMsg.h"
#include "export/TToolOptions.h"
#include "params/TExecParam.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

namespace {

// A scheduler has no display; an unattended run must start all the same.
void chooseHeadlessPlatform(int argumentCount) {
    if (argumentCount < 2 || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const bool display =
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    qputenv("QT_QPA_PLATFORM", display ? "wayland;xcb;offscreen" : "offscreen");
}

} // namespace

int main(int argc, char** argv) {
    using namespace velmora;
    chooseHeadlessPlatform(argc - 1);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora (End User Module)"));
    // Lets the desktop match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("velmora")));
    QApplication::setStyle(QStringLiteral("Fusion"));
    // The windows are laid out for the desktop's sans-serif font at 8 points.
    QFont font = QApplication::font();
    font.setPointSize(8);
    QApplication::setFont(font);
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    SessionState state;
    SyslogEventLog log;
    XdgDesktop desktop;

    // The windows, each created once for the whole run, in this order. The dialogs belong to
    // the main window and go with it.
    auto mainWindow = std::make_unique<TQueryExport>(state, log, desktop);
    auto* globalVarForm = new TGlobalVarForm(mainWindow.get());
    auto* about = new TAbout(state.VersionText, mainWindow.get());
    auto* execParam = new TExecParam(mainWindow.get());
    auto* toolOptions = new TToolOptions(mainWindow.get());
    Tdm1 dm;
    auto* processing = new TProcessingMsg(mainWindow.get());

    PickLists pickLists(dm.ADOQry1);
    Dialogs dialogs;
    dialogs.about = about;
    dialogs.execParam = [&](SessionState& st) {
        execParam->exec(st, pickLists);
    };
    dialogs.execOptions = [&](SessionState& st) {
        toolOptions->exec(st);
    };
    dialogs.saveDialog = [&](SessionState& st, const SaveDialogRequest& request) {
        return globalVarForm->exec(st, request);
    };
    dialogs.processing = [&](bool visible) {
        if (visible)
            processing->showNow();
        else
            processing->hide();
    };
    mainWindow->attach(dm, std::move(dialogs));

    // The first show runs before the window is visible: a one-argument start asks its question
    // first; an unattended run ends without ever showing the window.
    mainWindow->FormShow(arguments);
    int status = 0;
    if (!mainWindow->ending() && !state.UnattendedRun) {
        mainWindow->showAsStored();
        status = QApplication::exec();
    }
    mainWindow->FormDestroy();
    mainWindow.reset();
    // An unattended run reports every problem to the system log; a scheduler sees them as status 1.
    if (state.UnattendedRun)
        status = state.EventLogEntries > 0 ? 1 : 0;
    return status;
}
