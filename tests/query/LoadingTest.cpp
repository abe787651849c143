// fnLoadQuery through the scripted Shell, against real query files and real databases.
#include "DbTestSupport.h"

#include "ScriptedShell.h"
#include "TestEnv.h"
#include "query/LineCodec.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(Title, FollowsTheTitleRule) {
    struct Case {
        const char* description;
        const char* file;
        const char* title;
    };
    const Case cases[] = {
        {"Sales by region", "/q/sales.kvf", "Velmora -  [Sales by region] -  [sales]"},
        {"", "/q/sales.kvf", "Velmora -  [] -  [sales]"},
        {"d", "relative/x.sql.kvf", "Velmora -  [d] -  [x.sql]"},
        {"d", "/q/.kvf", "Velmora -  [d] -  []"},
        {"d", "abcd", "Velmora -  [d] -  []"},
        {"d", "abcde", "Velmora -  [d] -  [a]"},
        {"", "<NoName>....", "Velmora -  [] -  [<NoName>]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fnTitle(QString::fromUtf8(c.description), QString::fromUtf8(c.file)),
                  QString::fromUtf8(c.title));
}

class Loading : public ::testing::Test {
protected:
    void SetUp() override {
        dir = test::freshDir(QStringLiteral("loading"));
        test::makeSqliteDb(dir, QStringLiteral("shop.db"),
                           "CREATE TABLE t (x INTEGER); INSERT INTO t VALUES (1), (2);");
        previous = QDir::currentPath();
        QDir::setCurrent(dir); // as the folder list makes it
    }
    void TearDown() override { QDir::setCurrent(previous); }

    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir + QLatin1Char('/') + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString kvf(const QString& name, const QByteArray& description, const QByteArray& connection,
                const QList<QByteArray>& sql) {
        QByteArray bytes =
            fnEncodeLine(description, '\0') + "\r\n" + fnEncodeLine(connection, '-') + "\r\n";
        for (const QByteArray& line : sql)
            bytes += fnEncodeLine(line, '\0') + "\r\n";
        return write(name, bytes);
    }
    bool load(const QString& path) { return fnLoadQuery(session, path); }

    // A loaded query with an open result, to see what a later load keeps.
    void loadGood() {
        ASSERT_TRUE(load(kvf(QStringLiteral("good.kvf"), "Good one",
                             "Provider=SQLite;Data Source=shop.db", {"SELECT x FROM t"})));
        dm.ADOQry1.setSql(state.SqlText);
        dm.ADOQry1.openQuery();
        ASSERT_TRUE(dm.ADOQry1.active());
        shell.enabledHistory.clear();
        shell.gridFocus = 0;
    }

    QString dir, previous;
    SessionState state;
    test::ScriptedShell shell;
    Tdm1 dm;
    test::RecordingEventLog log;
    test::RecordingDesktop desktop;
    Session session{state, shell, dm, log, desktop};
};

TEST_F(Loading, ConnectsAndPublishes) {
    const QString path = kvf(QStringLiteral("sales.kvf"), "Sales by r\xe9gion",
                             "Provider=SQLite;Data Source=shop.db", {"SELECT x", "", "FROM t"});
    EXPECT_TRUE(load(path));
    EXPECT_TRUE(dm.ADOConn1.connected());
    EXPECT_EQ(state.QueryDescription, QStringLiteral("Sales by région"));
    EXPECT_EQ(state.QueryFileName, path);
    EXPECT_EQ(state.ConnectionString, QStringLiteral("Provider=SQLite;Data Source=shop.db"));
    EXPECT_EQ(state.SqlText, QStringLiteral("SELECT x\r\n\r\nFROM t\r\n"));
    EXPECT_EQ(shell.title(), QStringLiteral("Velmora -  [Sales by région] -  [sales]"));
    EXPECT_EQ(shell.statusText(4), path);
    // Disabled while the connection opened, enabled at the end; focus on the grid.
    EXPECT_EQ(shell.enabledHistory, (QList<bool>{false, true}));
    EXPECT_EQ(shell.gridFocus, 1);
    EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(Loading, TwoLinesGiveAnEmptyStatementAndCloseTheOldResult) {
    loadGood();
    EXPECT_TRUE(load(
        kvf(QStringLiteral("nosql.kvf"), "No SQL", "Provider=SQLite;Data Source=shop.db", {})));
    EXPECT_EQ(state.SqlText, QString());
    EXPECT_EQ(state.QueryDescription, QStringLiteral("No SQL"));
    EXPECT_FALSE(dm.ADOQry1.active());
    EXPECT_TRUE(dm.ADOConn1.connected());
}

TEST_F(Loading, InvalidFilesChangeNothing) {
    loadGood();
    const QString title = shell.title();
    const SessionState before = state;
    const QByteArray line1 = fnEncodeLine("Desc", '\0') + "\r\n";
    const std::pair<const char*, QByteArray> files[] = {
        {"empty", QByteArray()},
        {"oneLine", line1},
        {"undecodableLine2",
         line1 + "100-35-44-1x3-103-103-29-\r\n" + fnEncodeLine("SELECT 2", '\0')},
        {"line2WithNulSeparators", line1 + fnEncodeLine("Provider=SQLite", '\0') + "\r\n"},
    };
    for (const auto& [name, bytes] : files) {
        shell.messages.clear();
        EXPECT_FALSE(load(write(QString::fromUtf8(name) + QStringLiteral(".kvf"), bytes))) << name;
        EXPECT_EQ(shell.messages, QStringList{QStringLiteral("Invalid query file.")}) << name;
        EXPECT_EQ(shell.title(), title) << name;
        EXPECT_EQ(state.QueryFileName, before.QueryFileName) << name;
        EXPECT_EQ(state.QueryDescription, before.QueryDescription) << name;
        EXPECT_EQ(state.ConnectionString, before.ConnectionString) << name;
        EXPECT_EQ(state.SqlText, before.SqlText) << name;
        EXPECT_TRUE(dm.ADOConn1.connected()) << name;
        EXPECT_TRUE(dm.ADOQry1.active()) << name;
        EXPECT_TRUE(shell.mainEnabled()) << name;
    }
}

TEST_F(Loading, UnreadableFileRaisesAndChangesNothing) {
    loadGood();
    const SessionState before = state;
    EXPECT_THROW(load(dir + QStringLiteral("/missing.kvf")), std::runtime_error);
    EXPECT_EQ(state.QueryFileName, before.QueryFileName);
    EXPECT_EQ(state.SqlText, before.SqlText);
    EXPECT_TRUE(dm.ADOQry1.active());
}

TEST_F(Loading, ConnectionErrorsFailWithAnEmptyDescription) {
    loadGood();
    struct Case {
        const char* file;
        QByteArray connection;
        QString connectionAfter;
        QString message;
    };
    const Case cases[] = {
        {"blank.kvf", " \t ", QStringLiteral("-"),
         QStringLiteral("Invalid connection string \"-\": \"-\" is not a key=value item")},
        {"nofile.kvf", "Provider=SQLite;Data Source=nope.db",
         QStringLiteral("Provider=SQLite;Data Source=nope.db"),
         QStringLiteral("SQLite database not found: %1/nope.db").arg(dir)},
        {"jet.kvf", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb",
         QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb"),
         QStringLiteral("The provider \"Microsoft.Jet.OLEDB.4.0\" is not supported (use SQLite, "
                        "PostgreSQL or MSDASQL)")},
    };
    for (const Case& c : cases) {
        shell.messages.clear();
        const QString path =
            kvf(QString::fromUtf8(c.file), "Never shown", c.connection, {"SELECT 1"});
        EXPECT_FALSE(load(path)) << c.file;
        EXPECT_EQ(shell.messages, QStringList{c.message}) << c.file;
        EXPECT_EQ(state.ConnectionString, c.connectionAfter) << c.file;
        EXPECT_EQ(state.SqlText, QStringLiteral("SELECT 1\r\n")) << c.file;
        EXPECT_EQ(state.QueryDescription, QString()) << c.file;
        EXPECT_EQ(state.QueryFileName, path) << c.file;
        EXPECT_EQ(shell.statusText(4), path) << c.file;
        EXPECT_EQ(shell.title(), fnTitle(QString(), path)) << c.file;
        EXPECT_FALSE(dm.ADOConn1.connected()) << c.file;
        EXPECT_FALSE(dm.ADOQry1.active()) << c.file;
        EXPECT_TRUE(shell.mainEnabled()) << c.file;
        EXPECT_TRUE(shell.loginUsers.isEmpty()) << c.file;
    }
    EXPECT_FALSE(QFile::exists(dir + QStringLiteral("/nope.db")));
}

TEST_F(Loading, UnattendedErrorsGoToTheEventLog) {
    state.UnattendedRun = true;
    EXPECT_FALSE(
        load(kvf(QStringLiteral("x.kvf"), "d", "Provider=SQLite;Data Source=nope.db", {})));
    EXPECT_TRUE(shell.messages.isEmpty());
    EXPECT_EQ(log.texts(),
              QStringList{QStringLiteral("SQLite database not found: %1/nope.db").arg(dir)});
    EXPECT_EQ(log.entries.value(0).source, QStringLiteral("Kavrin"));
    EXPECT_EQ(state.EventLogEntries, 1);
}

class LoadingPostgres : public Loading {
protected:
    QString pgQuery(const test::PgServer& pg, const QString& password) {
        return kvf(QStringLiteral("pg.kvf"), "From Postgres",
                   pg.connectionString(password).toUtf8(), {"SELECT 1 AS one"});
    }
};

TEST_F(LoadingPostgres, RefusedLoginRetriesOnceWithTheLoginBox) {
    VELMORA_REQUIRE_PG(pg);
    shell.loginAnswers.push_back(Credentials{pg.user, pg.password});
    const QString path = pgQuery(pg, QStringLiteral("wrong"));
    EXPECT_TRUE(load(path));
    EXPECT_EQ(shell.loginUsers, QStringList{pg.user});
    EXPECT_TRUE(shell.messages.isEmpty()) << qPrintable(shell.messages.join(u'\n'));
    EXPECT_TRUE(dm.ADOConn1.connected());
    EXPECT_FALSE(dm.ADOConn1.loginPromptEnabled);
    EXPECT_EQ(shell.title(), QStringLiteral("Velmora -  [From Postgres] -  [pg]"));
    // Attempt 1 disabled the window; it was enabled for the box, disabled while attempt 2
    // connected, enabled at the end.
    EXPECT_EQ(shell.enabledHistory, (QList<bool>{false, true, false, true}));
}

TEST_F(LoadingPostgres, RetryThatFailsIsReportedOnce) {
    VELMORA_REQUIRE_PG(pg);
    struct Case {
        const char* name;
        std::optional<Credentials> answer;
        QString messageStart;
    };
    const Case cases[] = {
        {"cancel", std::nullopt, QStringLiteral("Database login cancelled")},
        {"wrongAgain", Credentials{pg.user, QStringLiteral("still wrong")},
         QStringLiteral("Login failed for user \"%1\": ").arg(pg.user)},
    };
    for (const Case& c : cases) {
        shell.messages.clear();
        shell.loginUsers.clear();
        shell.loginAnswers = {c.answer};
        const QString path = pgQuery(pg, QStringLiteral("wrong"));
        EXPECT_FALSE(load(path)) << c.name;
        EXPECT_EQ(shell.loginUsers, QStringList{pg.user}) << c.name;
        ASSERT_EQ(shell.messages.size(), 1) << c.name;
        EXPECT_TRUE(shell.messages[0].startsWith(c.messageStart)) << qPrintable(shell.messages[0]);
        EXPECT_EQ(shell.title(), QStringLiteral("Velmora -  [] -  [pg]")) << c.name;
        EXPECT_FALSE(dm.ADOConn1.loginPromptEnabled) << c.name;
        EXPECT_FALSE(dm.ADOConn1.connected()) << c.name;
        EXPECT_TRUE(shell.mainEnabled()) << c.name;
    }
}

// Nobody can answer a box in an unattended run: the refusal is reported, no box is shown.
TEST_F(LoadingPostgres, UnattendedRefusalShowsNoLoginBox) {
    VELMORA_REQUIRE_PG(pg);
    state.UnattendedRun = true;
    shell.loginAnswers.push_back(Credentials{pg.user, pg.password});
    EXPECT_FALSE(load(pgQuery(pg, QStringLiteral("wrong"))));
    EXPECT_TRUE(shell.loginUsers.isEmpty());
    ASSERT_EQ(log.entries.size(), 1);
    EXPECT_TRUE(log.entries[0].text.startsWith(QStringLiteral("Login failed for user")))
        << qPrintable(log.entries[0].text);
    EXPECT_EQ(state.QueryDescription, QString());
}

TEST_F(LoadingPostgres, CorrectPasswordNeedsNoBox) {
    VELMORA_REQUIRE_PG(pg);
    EXPECT_TRUE(load(pgQuery(pg, pg.password))) << qPrintable(shell.messages.join(u'\n'));
    EXPECT_TRUE(shell.loginUsers.isEmpty());
    dm.ADOQry1.setSql(state.SqlText);
    dm.ADOQry1.openQuery();
    EXPECT_EQ(dm.ADOQry1.value(0), QVariant(qint64(1)));
}

} // namespace
} // namespace velmora
