#pragma once

// The shared unit: SessionState and the routines that join the subsystems. Their bodies are
// split by subject: Messages, CommandLine, Loading, ParamStage, Execution, SaveFlow,
// ExcelDriver.

#include "SessionState.h"
#include "Shell.h"
#include "platform/Desktop.h"
#include "platform/EventLog.h"
#include "query/Tdm1.h"

#include <QString>
#include <QStringList>

namespace velmora {

// The services a routine reaches, bundled so every routine takes one argument for them.
struct Session {
    SessionState& state;
    Shell& shell;
    Tdm1& dm;
    EventLog& log;
    Desktop& desktop;
};

// Thrown to end the process at once (an unattended run that must stop, a close issued by the
// command-line handling). The event guard and main() turn it into the end of the process; it is
// not a std::exception so that no ordinary handler swallows it.
struct ProcessEnd {};
[[noreturn]] void fnEndProcess();

// Messages and the system log.
void fnReportMessage(Session& s, const QString& text);
void fnWriteEventLog(Session& s, const QString& source, const QString& text);
// The default error box's text: a full stop appended when the message's last character sorts
// after "." (letters and digits get one; ".", " ", "\"", "!" and ")" do not).
QString fnErrorBoxText(const QString& message);
// Runs an event handler inside the one guard: whatever escapes is shown in the default error
// box; a ProcessEnd ends the process through the shell.
template <typename F> void fnGuard(Session& s, F&& handler);

// Identity and settings.
QString fnGetVersionText();
QString OptionsKey(const SessionState& state);
bool fnIsStrInteger(const QString& text, int* value = nullptr);

// The main window's first show: run mode, parameter lists, stored folders, the folder list at
// "QueryPath", then the command line (arguments without the program name).
void fnFirstShow(Session& s, const QStringList& arguments);
void fnHandleCommandLine(Session& s);

// Loading (title rule shared with the file preview).
QString fnTitle(const QString& description, const QString& fileName);
bool fnLoadQuery(Session& s, const QString& path);
// The file list's description preview: QueryFileName, QueryDescription and the title from the
// file's first line; raises when the file cannot be opened.
void fnPreviewQuery(Session& s, const QString& path);

// Parameter stage.
bool fnPrepareSql(Session& s);

// Execution: the bodies of the Execute and Execute to File commands.
void fnExecToScreen(Session& s);
void fnExecToFile(Session& s);
void fnExecuteQuery(Session& s);

// Save flow and writers.
bool fnGetOutputFile(Session& s);
void fnSaveResultToFile(Session& s);
// The export step of Execute to File: when PreparedSql is not empty, export an open result with
// records, else report "No data to export.".
void fnExportStep(Session& s);
void fnExportDelimitedText(Session& s);
void fnExportToExcel(Session& s);

template <typename F> void fnGuard(Session& s, F&& handler) {
    try {
        handler();
    } catch (const ProcessEnd&) {
        s.shell.endProcess();
    } catch (const std::exception& e) {
        s.shell.errorBox(fnErrorBoxText(QString::fromUtf8(e.what())));
    }
}

} // namespace velmora
