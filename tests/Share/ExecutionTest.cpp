#include "ScriptedShell.h"
#include "Share/GlobalVar.h"
#include "TestEnv.h"
#include "query/LineCodec.h"

#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// A folder with a SQLite database of 250 rows and one query file per statement.
class ExecutionTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::freshConfigHome();
        folder = test::freshDir(QStringLiteral("exec"));
        {
            auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("setup"));
            db.setDatabaseName(folder + QStringLiteral("/exec.db"));
            ASSERT_TRUE(db.open());
            QSqlQuery q(db);
            ASSERT_TRUE(q.exec(QStringLiteral("create table t(id integer, name text)")));
            ASSERT_TRUE(q.exec(
                QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n "
                               "where i < 250) insert into t select i, 'row ' || i from n")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("setup"));
        QDir::setCurrent(folder);
        shell.currentFolder = folder;
    }

    QString query(const QString& name, const QString& sql) {
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".kvf");
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(fnEncodeLine("Rows of t", '\0') + "\r\n");
        f.write(fnEncodeLine("Provider=SQLite;Data Source=exec.db", '-') + "\r\n");
        f.write(fnEncodeLine(sql.toUtf8(), '\0') + "\r\n");
        return path;
    }

    Session session() { return Session{state, shell, dm, log, desktop}; }

    Tdm1 dm;
    SessionState state;
    test::ScriptedShell shell;
    test::RecordingEventLog log;
    test::RecordingDesktop desktop;
    QString folder;
};

TEST_F(ExecutionTest, NothingSelectedDoesNothing) {
    Session s = session();
    fnExecToScreen(s);
    fnExecToFile(s);
    EXPECT_TRUE(shell.confirmations.isEmpty());
    EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(ExecutionTest, NoAtTheConfirmationLoadsNothing) {
    shell.selection = query(QStringLiteral("all"), QStringLiteral("select * from t"));
    Session s = session();
    fnExecToScreen(s);
    EXPECT_EQ(shell.confirmations, QStringList{QStringLiteral("Confirm to execute?")});
    EXPECT_EQ(shell.title(), QStringLiteral("Velmora"));
    EXPECT_FALSE(dm.ADOQry1.active());
}

TEST_F(ExecutionTest, SelectShowsRowIndicatorElapsedTimeAndOutcome) {
    shell.selection = query(QStringLiteral("all"), QStringLiteral("select * from t order by id"));
    shell.confirmAnswers = {true};
    Session s = session();
    fnExecToScreen(s);
    EXPECT_TRUE(shell.messages.isEmpty()) << shell.messages.join('|').toStdString();
    EXPECT_EQ(shell.statusText(0), QStringLiteral("Row 1 of 250"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d$"))
                    .match(shell.statusText(2))
                    .hasMatch())
        << shell.statusText(2).toStdString();
    EXPECT_EQ(shell.statusText(3), QStringLiteral("Query executed successfully"));
    EXPECT_EQ(shell.statusText(4), shell.selection);
    EXPECT_EQ(shell.title(), QStringLiteral("Velmora -  [Rows of t] -  [all]"));
    EXPECT_EQ(state.ResultRowCount, 250);
    EXPECT_EQ(shell.autofits, 1);
    EXPECT_TRUE(shell.mainEnabled());
    EXPECT_TRUE(shell.enabledHistory.contains(false))
        << "the window takes no input while the statement runs";
}

TEST_F(ExecutionTest, StatementWithoutRowsIsASuccessWithNoRow) {
    shell.selection =
        query(QStringLiteral("update"), QStringLiteral("update t set name = 'x' where id = 1"));
    shell.confirmAnswers = {true};
    Session s = session();
    fnExecToScreen(s);
    EXPECT_TRUE(shell.messages.isEmpty()) << shell.messages.join('|').toStdString();
    EXPECT_EQ(shell.statusText(0), QStringLiteral("No row returned"));
    EXPECT_EQ(shell.statusText(3), QStringLiteral("Query executed successfully"));
}

TEST_F(ExecutionTest, FailingStatementReportsAndKeepsTheLastRowCount) {
    const QString good = query(QStringLiteral("all"), QStringLiteral("select * from t"));
    const QString bad = query(QStringLiteral("bad"), QStringLiteral("select * form t"));
    shell.confirmAnswers = {true, true};
    Session s = session();
    shell.selection = good;
    fnExecToScreen(s);
    shell.selection = bad;
    fnExecToScreen(s);
    ASSERT_EQ(shell.messages.size(), 1);
    EXPECT_TRUE(shell.messages[0].contains(QStringLiteral("syntax error")))
        << shell.messages[0].toStdString();
    EXPECT_EQ(shell.statusText(3), QStringLiteral("Query executed with error"));
    EXPECT_EQ(shell.statusText(0), QStringLiteral("No row returned"));
    EXPECT_EQ(shell.statusText(2), QString());
    EXPECT_EQ(state.ResultRowCount, 250);
    EXPECT_FALSE(dm.ADOQry1.active());
}

TEST_F(ExecutionTest, ExecuteToFileWithOptionsCancelledLoadsButRunsNothing) {
    shell.selection = query(QStringLiteral("all"), QStringLiteral("select * from t"));
    shell.confirmAnswers = {true};
    Session s = session();
    fnExecToFile(s);
    EXPECT_EQ(shell.optionsDialogs, 1);
    EXPECT_EQ(shell.paramDialogs, 0);
    EXPECT_EQ(shell.title(), QStringLiteral("Velmora -  [Rows of t] -  [all]"));
    EXPECT_FALSE(dm.ADOQry1.active());
    EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(ExecutionTest, PreviewShowsTheDescriptionAndTouchesNothingElse) {
    const QString path = query(QStringLiteral("sales"), QStringLiteral("select 1"));
    Session s = session();
    shell.setStatusText(3, QStringLiteral("before"));
    fnPreviewQuery(s, path);
    EXPECT_EQ(shell.title(), QStringLiteral("Velmora -  [Rows of t] -  [sales]"));
    EXPECT_EQ(state.QueryFileName, path);
    EXPECT_EQ(shell.statusText(3), QStringLiteral("before"));
    EXPECT_FALSE(dm.ADOConn1.connected());
    EXPECT_THROW(fnPreviewQuery(s, folder + QStringLiteral("/missing.kvf")), std::runtime_error);
}

} // namespace
