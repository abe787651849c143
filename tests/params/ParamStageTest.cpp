#include "QtPrinters.h"
#include "ScriptedShell.h"
#include "Share/GlobalVar.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace velmora {
namespace {

using test::RecordingDesktop;
using test::RecordingEventLog;
using test::ScriptedShell;

const QString kParamRefusal = QStringLiteral(
    "Error - The application is being terminated because the query has a parameter.");

struct Stage : ::testing::Test {
    SessionState state;
    ScriptedShell shell;
    Tdm1 dm;
    RecordingEventLog log;
    RecordingDesktop desktop;
    Session session{state, shell, dm, log, desktop};

    bool run(const QString& sql) {
        state.SqlText = sql;
        return fnPrepareSql(session);
    }
    // The dialog answers OK with one row per parameter, filled by fill.
    void answerOk(const std::function<void(std::vector<ParamRow>&)>& fill) {
        shell.onParamDialog = [fill](SessionState& st) {
            st.ParamRows.assign(std::size_t(st.ParamCount), ParamRow{});
            fill(st.ParamRows);
            st.DialogCancelled = false;
        };
    }
};

TEST_F(Stage, NoMarkerRunsTheTextAsItIs) {
    state.PreparedSql = "left over";
    EXPECT_TRUE(run("SELECT 'no markers'"));
    EXPECT_EQ(state.PreparedSql, QStringLiteral("SELECT 'no markers'"));
    EXPECT_EQ(state.ParamCount, 0);
    EXPECT_EQ(shell.paramDialogs, 0);
    EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(Stage, ValuesReplaceTheirMarkers) {
    answerOk([](std::vector<ParamRow>& rows) {
        rows[0].ValueEdit = " 42 ";
        rows[1].ValueEdit = "O'Brien";
        rows[2].DatePicker = QDate(2024, 3, 5);
        rows[2].TimePicker = QTime(7, 8, 9);
    });
    EXPECT_TRUE(run("SELECT * FROM t WHERE a = ?NUM_Amount? AND n = ?STR_Name? AND d < ?DT_When? "
                    "OR b = ?NUM_Amount?"));
    EXPECT_EQ(state.ParamNames, (QStringList{"Amount", "Name", "When"}));
    EXPECT_EQ(state.ParamTypes, (QStringList{"NUM", "STR", "DT"}));
    EXPECT_EQ(state.ParamCount, 3);
    EXPECT_EQ(shell.paramDialogs, 1);
    EXPECT_EQ(state.PreparedSql,
              QStringLiteral("SELECT * FROM t WHERE a = 42 AND n = 'O''Brien' AND d < "
                             "'2024-03-05 07:08:09' OR b = 42"));
    EXPECT_FALSE(state.DialogCancelled);
    EXPECT_TRUE(state.ParamRows.empty());
}

TEST_F(Stage, CancelledDialogRunsNothing) {
    EXPECT_FALSE(run("SELECT ?STR_Name?"));
    EXPECT_EQ(shell.paramDialogs, 1);
    EXPECT_TRUE(state.DialogCancelled);
    EXPECT_TRUE(shell.messages.isEmpty());
    EXPECT_TRUE(log.entries.isEmpty());
}

TEST_F(Stage, InvalidTypeShowsItsBox) {
    EXPECT_FALSE(run("SELECT ?STR_ok?, ?FOO_x?"));
    EXPECT_EQ(shell.messages, QStringList{"Invalid parameter type \"FOO\"."});
    EXPECT_EQ(state.ParamNames, QStringList{"ok"});
    EXPECT_EQ(shell.paramDialogs, 0);
    EXPECT_TRUE(log.entries.isEmpty());
}

TEST_F(Stage, QuestionMarkInLiteralIsAnInvalidType) {
    EXPECT_FALSE(run("SELECT * FROM t WHERE x = 'why?' AND id = ?NUM_Id?"));
    EXPECT_EQ(shell.messages, QStringList{"Invalid parameter type \"' AND id = ?NUM\"."});
}

// Nobody can click a box in an unattended run: the text goes to the log and the process ends.
TEST_F(Stage, UnattendedInvalidTypeEndsTheProcess) {
    state.UnattendedRun = true;
    EXPECT_THROW(run("SELECT ?_x?"), ProcessEnd);
    ASSERT_EQ(log.entries.size(), 1);
    EXPECT_EQ(log.entries[0].source, QStringLiteral("Kavrin"));
    EXPECT_EQ(log.entries[0].text, QStringLiteral("Invalid parameter type \"\"."));
    EXPECT_EQ(state.EventLogEntries, 1);
    EXPECT_TRUE(shell.messages.isEmpty());
}

TEST_F(Stage, UnattendedRunWithParameterEndsTheProcess) {
    state.UnattendedRun = true;
    EXPECT_THROW(run("SELECT ?NUM_Id?"), ProcessEnd);
    EXPECT_EQ(log.texts(), QStringList{kParamRefusal});
    EXPECT_EQ(log.entries[0].source, QStringLiteral("Kavrin"));
    EXPECT_EQ(state.EventLogEntries, 1);
    EXPECT_EQ(shell.paramDialogs, 0);
}

TEST_F(Stage, UnattendedRunWithoutParameterGoesOn) {
    state.UnattendedRun = true;
    EXPECT_TRUE(run("SELECT 1"));
    EXPECT_TRUE(log.entries.isEmpty());
}

TEST_F(Stage, MoreThanThreeHundredParametersAreRefused) {
    QString sql = "SELECT 1";
    for (int i = 0; i < 301; ++i)
        sql += QStringLiteral(", ?NUM_p%1?").arg(i);
    EXPECT_FALSE(run(sql));
    EXPECT_EQ(shell.messages,
              QStringList{"The query has 301 parameters; at most 300 are allowed."});
    EXPECT_EQ(shell.paramDialogs, 0);

    shell.messages.clear();
    answerOk([](std::vector<ParamRow>& rows) {
        for (auto& row : rows)
            row.ValueEdit = "1";
    });
    sql = "SELECT 1";
    for (int i = 0; i < 300; ++i)
        sql += QStringLiteral(", ?NUM_p%1?").arg(i);
    EXPECT_TRUE(run(sql));
    EXPECT_TRUE(shell.messages.isEmpty());
    EXPECT_TRUE(state.PreparedSql.endsWith(QStringLiteral(", 1, 1")));
}

TEST_F(Stage, ErrorOfTheDialogIsReported) {
    shell.onParamDialog = [](SessionState&) {
        throw std::runtime_error("Pick list failed");
    };
    EXPECT_FALSE(run("SELECT ?STR_a?"));
    EXPECT_EQ(shell.messages, QStringList{"Pick list failed"});
}

} // namespace
} // namespace velmora
