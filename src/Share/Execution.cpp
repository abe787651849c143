#include "GlobalVar.h"

#include <QDateTime>
#include <QTime>

namespace velmora {

namespace {

const QString kNoRowSet = QStringLiteral("ADOQry1: CommandText does not return a result set");
const QString kNoFile = QStringLiteral(".kvf");

// Keeps the main window disabled while a statement runs on the database thread: it still paints
// but takes no input.
class DisabledWindow {
public:
    explicit DisabledWindow(Shell& shell)
        : shell_(shell) {
        shell_.setMainEnabled(false);
    }
    ~DisabledWindow() { shell_.setMainEnabled(true); }
    DisabledWindow(const DisabledWindow&) = delete;
    DisabledWindow& operator=(const DisabledWindow&) = delete;

private:
    Shell& shell_;
};

QString elapsedText(qint64 msecs) {
    return QTime(0, 0).addMSecs(int(msecs % 86400000)).toString(QStringLiteral("hh:mm:ss.zzz"));
}

} // namespace

void fnExecToScreen(Session& s) {
    SessionState& st = s.state;
    QString file;
    if (st.CommandLineQueryPending) {
        file = st.CommandLineArgs.value(0);
        st.CommandLineQueryPending = false;
    } else {
        file = s.shell.selectedQueryPath();
    }
    if (file == kNoFile)
        return;
    if (!s.shell.confirm(QStringLiteral("Confirm to execute?")))
        return;
    st.PreparedSql.clear();
    if (fnLoadQuery(s, file) && fnPrepareSql(s))
        fnExecuteQuery(s);
}

void fnExecToFile(Session& s) {
    SessionState& st = s.state;
    try {
        const QString file =
            st.UnattendedRun ? st.CommandLineArgs.value(0) : s.shell.selectedQueryPath();
        if (file == kNoFile)
            return;
        if (!st.UnattendedRun && !s.shell.confirm(QStringLiteral("Confirm to execute?")))
            return;
        st.PreparedSql.clear();
        if (!fnLoadQuery(s, file))
            return;
        // The output is chosen before any parameter is asked for.
        if (!fnGetOutputFile(s))
            return;
        if (fnPrepareSql(s))
            fnExecuteQuery(s);
        fnExportStep(s);
    } catch (const std::exception& e) {
        fnReportMessage(s, QString::fromUtf8(e.what()));
    }
}

void fnExecuteQuery(Session& s) {
    SessionState& st = s.state;
    Shell& shell = s.shell;
    Query& q = s.dm.ADOQry1;
    shell.setStatusText(0, QStringLiteral("Executing query. Please wait..."));
    try {
        q.setSql(st.PreparedSql);
        if (q.active())
            q.close();
        const QDateTime t0 = QDateTime::currentDateTime();
        shell.setStatusText(2, QString());
        {
            DisabledWindow busy(shell);
            q.openQuery();
        }
        shell.setStatusText(2, elapsedText(t0.msecsTo(QDateTime::currentDateTime())));
        st.ResultRowCount = int(q.recordCount());
        shell.setStatusText(
            0, st.ResultRowCount <= 0
                   ? QStringLiteral("No row returned")
                   : QStringLiteral("Row %1 of %2").arg(q.recNo()).arg(st.ResultRowCount));
        shell.setStatusText(3, QStringLiteral("Query executed successfully"));
        shell.autofitColumns();
    } catch (const std::exception& e) {
        const QString message = QString::fromUtf8(e.what());
        if (message == kNoRowSet) {
            shell.setStatusText(3, QStringLiteral("Query executed successfully"));
        } else {
            shell.setStatusText(3, QStringLiteral("Query executed with error"));
            fnReportMessage(s, message);
        }
        shell.setStatusText(0, QStringLiteral("No row returned"));
    }
}

} // namespace velmora
