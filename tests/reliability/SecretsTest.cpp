// No password of a connection string shows in what the program reports: the data layer's
// errors, and the message boxes, title, status panels and system-log entries of loading a query,
// through every failure path that carries a driver's message.
#include "RelDb.h"
#include "ScriptedShell.h"
#include "TestEnv.h"

#include "Share/GlobalVar.h"
#include "query/ConnectionString.h"
#include "query/LineCodec.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace velmora;
using namespace velmora::test;

namespace {

struct SecretCase {
    const char* name;
    QString connection; // "%PG%" stands for host, port, database and user of the test server
    QString secret;
    bool needsPg = false;
};

std::vector<SecretCase> cases() {
    return {
        {"pgWrongPassword", QStringLiteral("Provider=PostgreSQL;%PG%;Password=Wr0ng-Secret-1"),
         QStringLiteral("Wr0ng-Secret-1"), true},
        {"pgQuotedPassword", QStringLiteral("Provider=PostgreSQL;%PG%;Password=\"Se;cr=et-2\""),
         QStringLiteral("Se;cr=et-2"), true},
        {"pgConnectionRefused",
         QStringLiteral(
             "Provider=PostgreSQL;Host=127.0.0.1;Port=1;Database=x;User ID=u;Password=Secret-3"),
         QStringLiteral("Secret-3")},
        {"odbcUnknownDsn", QStringLiteral("DSN=VelmoraNoSuchDsn;UID=u;PWD=Secret-4"),
         QStringLiteral("Secret-4")},
        {"odbcPgWrongPassword",
         QStringLiteral("Driver={PostgreSQL Unicode};%ODBCPG%;Pwd={Secret-5;x}"),
         QStringLiteral("Secret-5;x"), true},
        {"malformedAfterPassword",
         QStringLiteral("Provider=PostgreSQL;Password=Secret-6;Host=\"unclosed"),
         QStringLiteral("Secret-6")},
        // A quote or brace left open before the password once hid it inside that value, shown.
        {"unclosedQuoteBeforePassword",
         QStringLiteral("Provider=PostgreSQL;Host=\"unclosed;Password=Secret-11"),
         QStringLiteral("Secret-11")},
        {"unclosedBraceBeforePassword",
         QStringLiteral("Provider=PostgreSQL;Host={unclosed;PWD=Secret-12"),
         QStringLiteral("Secret-12")},
        {"unclosedQuotedPassword",
         QStringLiteral("Provider=PostgreSQL;Password='Secret-13;still-secret"),
         QStringLiteral("still-secret")},
        {"malformedItem", QStringLiteral("Provider=PostgreSQL;PWD=Secret-7;garbage"),
         QStringLiteral("Secret-7")},
        {"unknownProvider", QStringLiteral("Provider=Oracle;Password=Secret-8"),
         QStringLiteral("Secret-8")},
        {"noProvider", QStringLiteral("Host=x;Password=Secret-9"), QStringLiteral("Secret-9")},
        {"sqliteMissingFile",
         QStringLiteral("Provider=SQLite;Data Source=missing.db;Password=Secret-10"),
         QStringLiteral("Secret-10")},
    };
}

// Host, port, database and user of the test server, as the provider and the ODBC driver name them.
QString expand(QString text) {
    const auto pg = pgServer();
    if (!pg)
        return text;
    return text
        .replace(QLatin1String("%PG%"), QStringLiteral("Host=%1;Port=%2;Database=%3;User ID=%4")
                                            .arg(pg->host)
                                            .arg(pg->port)
                                            .arg(pg->database, pg->user))
        .replace(QLatin1String("%ODBCPG%"), QStringLiteral("Server=%1;Port=%2;Database=%3;Uid=%4")
                                                .arg(pg->host)
                                                .arg(pg->port)
                                                .arg(pg->database, pg->user));
}

class Secrets : public ::testing::TestWithParam<SecretCase> {
protected:
    void SetUp() override {
        if (GetParam().needsPg && !pgServer())
            GTEST_SKIP() << "no PostgreSQL server (VELMORA_TEST_PG_PORT)";
        freshConfigHome();
        folder = freshDir(QString::fromLatin1(GetParam().name));
        QDir::setCurrent(folder);
        shell.currentFolder = folder;
        connection = expand(GetParam().connection);
    }

    QString queryFile() const {
        const QString path = folder + QStringLiteral("/secret.kvf");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(fnEncodeLine("Secret query", '\0') + "\r\n");
        f.write(fnEncodeLine(connection.toUtf8(), '-') + "\r\n");
        f.write(fnEncodeLine("SELECT 1 AS one", '\0') + "\r\n");
        return path;
    }

    // Everything the shell and the log were given.
    QStringList shown() const {
        QStringList all = shell.messages + shell.errors + shell.confirmations + log.texts();
        all << shell.title();
        for (int panel = 0; panel < 5; ++panel)
            all << shell.statusText(panel);
        return all;
    }

    Session session() { return Session{state, shell, dm, log, desktop}; }

    Tdm1 dm;
    SessionState state;
    ScriptedShell shell;
    RecordingEventLog log;
    RecordingDesktop desktop;
    QString folder;
    QString connection;
};

TEST_P(Secrets, DataLayerErrorHidesThePassword) {
    const QString secret = GetParam().secret;
    dm.ADOConn1.setConnectionString(connection);
    try {
        dm.ADOConn1.open();
        FAIL() << "the connection opened";
    } catch (const std::runtime_error& e) {
        const QString message = QString::fromUtf8(e.what());
        EXPECT_FALSE(message.isEmpty());
        EXPECT_FALSE(message.contains(secret)) << message.toStdString();
    }
    EXPECT_FALSE(fnMaskPassword(connection).contains(secret))
        << fnMaskPassword(connection).toStdString();
}

TEST_P(Secrets, LoadingReportsWithoutThePassword) {
    const QString secret = GetParam().secret;
    const QString typed = QStringLiteral("Typed-Secret-99");
    for (const bool unattended : {false, true}) {
        SCOPED_TRACE(unattended ? "unattended" : "interactive");
        state.UnattendedRun = unattended;
        // A refused login asks once more; the login box's own password must not show either.
        shell.loginAnswers = {Credentials{QStringLiteral("velmora"), typed}};
        Session s = session();
        EXPECT_FALSE(fnLoadQuery(s, queryFile()));
        EXPECT_FALSE(shell.messages.isEmpty() && log.texts().isEmpty());
        for (const QString& text : shown()) {
            EXPECT_FALSE(text.contains(secret)) << text.toStdString();
            EXPECT_FALSE(text.contains(typed)) << text.toStdString();
        }
        EXPECT_FALSE(state.QueryDescription.contains(secret));
    }
}

INSTANTIATE_TEST_SUITE_P(FailurePaths, Secrets, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
