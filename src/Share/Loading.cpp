#include "GlobalVar.h"
#include "query/QueryFileReader.h"

#include <QFileInfo>

#include <stdexcept>

namespace velmora {

namespace {

// Blanks and control characters at both ends go, as the original's trim did.
QString trimControls(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= ' ')
        ++b;
    while (e > b && text[e - 1].unicode() <= ' ')
        --e;
    return text.mid(b, e - b);
}

// The retry with the login box is for a server that refuses the login, told by the exact
// beginning of its message (letter case significant).
bool isLoginFailure(const QString& message) {
    return message.startsWith(QLatin1String("Login failed for user"), Qt::CaseSensitive);
}

void show(Session& s) {
    s.shell.setStatusText(4, s.state.QueryFileName);
    s.shell.setTitle(fnTitle(s.state.QueryDescription, s.state.QueryFileName));
}

void publish(Session& s, const QString& description, const QString& path) {
    s.state.QueryDescription = description;
    s.state.QueryFileName = path;
    show(s);
}

void fail(Session& s, const QString& path) {
    s.shell.setMainEnabled(true);
    s.state.QueryDescription.clear();
    s.state.QueryFileName = path;
    show(s);
}

} // namespace

QString fnTitle(const QString& description, const QString& fileName) {
    // The base name is the file name less its last four characters (".kvf"), whatever they are.
    const QString name = QFileInfo(fileName).fileName();
    const QString base = name.size() > 4 ? name.left(name.size() - 4) : QString();
    return QStringLiteral("Velmora -  [") + description + QStringLiteral("] - ") +
           QStringLiteral(" [") + base + QStringLiteral("]");
}

bool fnLoadQuery(Session& s, const QString& path) {
    SessionState& st = s.state;
    Connection& conn = s.dm.ADOConn1;
    // Raises when the file cannot be read; nothing has changed then.
    const QueryFile file = fnReadQueryFile(path);

    bool result = true;
    auto finish = [&] {
        s.shell.setMainEnabled(true);
        s.shell.focusGrid();
        return result;
    };

    if (file.connectionString.isEmpty()) {
        // The previous query, connection and result stay as they were.
        fnReportMessage(s, QStringLiteral("Invalid query file."));
        result = false;
        return finish();
    }

    st.ConnectionString = file.connectionString;
    st.SqlText.clear();
    for (const QString& line : file.sqlLines)
        st.SqlText += line + QStringLiteral("\r\n");
    if (conn.connected())
        conn.close(); // also closes the result, so the grid empties
    s.dm.ADOQry1.close();

    if (trimControls(st.ConnectionString).isEmpty())
        st.ConnectionString = QStringLiteral("-"); // refused by the data-access layer, reported

    conn.loginPromptEnabled = false;
    conn.setConnectionString(st.ConnectionString);
    try {
        s.shell.setMainEnabled(false);
        conn.open();
        if (conn.connected())
            publish(s, file.description, path);
        return finish();
    } catch (const std::runtime_error& first) {
        const QString message = QString::fromUtf8(first.what());
        // Nobody can answer a login box in an unattended run: the refusal is reported there
        // like any other connection error.
        if (!isLoginFailure(message) || st.UnattendedRun) {
            fnReportMessage(s, message);
            result = false;
            fail(s, path);
            return finish();
        }
    }

    // Attempt 2: the login box asks first, with the main window enabled.
    conn.loginPromptEnabled = true;
    conn.loginPrompt = [&s](const QString& user) {
        std::optional<Credentials> answer = s.shell.loginBox(user);
        s.shell.setMainEnabled(false);
        return answer;
    };
    s.shell.setMainEnabled(true);
    try {
        conn.open();
        conn.loginPromptEnabled = false;
        conn.loginPrompt = nullptr;
        if (conn.connected())
            publish(s, file.description, path);
    } catch (const std::runtime_error& second) {
        conn.loginPromptEnabled = false;
        conn.loginPrompt = nullptr;
        fnReportMessage(s, QString::fromUtf8(second.what()));
        result = false;
        fail(s, path);
    }
    return finish();
}

} // namespace velmora
