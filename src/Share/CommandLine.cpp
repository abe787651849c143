#include "GlobalVar.h"
#include "platform/SettingsStore.h"

#include <QFileInfo>

namespace velmora {

namespace {

// Arguments lose leading and trailing blanks and control characters.
QString trimArgument(const QString& text) {
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && text[b].unicode() <= 32)
        ++b;
    while (e > b && text[e - 1].unicode() <= 32)
        --e;
    return text.mid(b, e - b);
}

// Reports a command-line error; with two or more arguments the process then ends.
void refuse(Session& s, const QString& text) {
    fnReportMessage(s, text);
    if (s.state.CommandLineArgs.size() >= 2)
        fnEndProcess();
}

} // namespace

void fnFirstShow(Session& s, const QStringList& arguments) {
    SessionState& st = s.state;
    st.CommandLineArgs.clear();
    for (const QString& a : arguments)
        st.CommandLineArgs << trimArgument(a);
    st.UnattendedRun = st.CommandLineArgs.size() >= 2;
    st.CommandLineQueryPending = false;
    st.TitleClicked = false;
    st.GridDoubleClicked = false;
    st.ParamNames.clear();
    st.ParamTypes.clear();
    st.QueryPath =
        fnReadRegString(RootKey::CurrentUser, OptionsKey(st), QStringLiteral("QueryPath"));
    st.ReportPath =
        fnReadRegString(RootKey::CurrentUser, OptionsKey(st), QStringLiteral("ReportPath"));
    if (!st.QueryPath.isEmpty() &&
        st.QueryPath.compare(s.shell.folder(), Qt::CaseInsensitive) != 0) {
        try {
            s.shell.setFolder(st.QueryPath);
        } catch (const std::exception& e) {
            fnReportMessage(s, QString::fromUtf8(e.what()));
        }
    }
    fnHandleCommandLine(s);
}

void fnHandleCommandLine(Session& s) {
    SessionState& st = s.state;
    const QStringList& a = st.CommandLineArgs;
    const qsizetype n = a.size();
    if (n == 0)
        return;
    // A relative name resolves against the process's current folder: the folder list's folder.
    if (!QFileInfo(a[0]).isFile())
        return refuse(s, QStringLiteral("Error - Query file: \"") + a[0] +
                             QStringLiteral("\" not found."));
    if (a[0].right(4).toUpper() != QLatin1String(".KVF"))
        return refuse(s, QStringLiteral("Error - Query file: \"") + a[0] +
                             QStringLiteral("\" is not a valid file type."));
    if (n == 1) {
        st.CommandLineQueryPending = true;
        fnExecToScreen(s);
        return;
    }
    if (n != 5)
        return refuse(s,
                      QStringLiteral("Error - Total number of parameter must either be 1 or 5."));
    st.CommandLineOutputFile = a[1];
    st.CommandLineOutputType = a[2];
    const QString type = a[2].toUpper();
    if (type != QLatin1String("D") && type != QLatin1String("X"))
        return refuse(s, QStringLiteral("3rd parameter is invalid: ") + a[2] + QLatin1Char('.'));
    st.CommandLineFormat = a[3];
    static const QStringList formats{QStringLiteral("XLSX"), QStringLiteral("XLS"),
                                     QStringLiteral("HTML"), QStringLiteral("CSV"),
                                     QStringLiteral("XML")};
    if (type == QLatin1String("X") && !formats.contains(a[3].toUpper()))
        return refuse(s, QStringLiteral("4th parameter is invalid: ") + a[3] + QLatin1Char('.'));
    st.WithHeader = a[4];
    if (a[4] != QLatin1String("0") && a[4] != QLatin1String("1"))
        return refuse(s, QStringLiteral("5th parameter is invalid: ") + a[4] + QLatin1Char('.'));
    fnExecToFile(s);
    fnEndProcess();
}

} // namespace velmora
