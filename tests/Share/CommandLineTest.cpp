#include "ScriptedShell.h"
#include "Share/GlobalVar.h"
#include "TestEnv.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// Runs the first show with the given arguments in a folder holding report.kvf and notes.txt.
struct FirstShow {
    explicit FirstShow(QStringList args, QString queryPath = {}) {
        test::freshConfigHome();
        folder = test::freshDir(QStringLiteral("cmdline"));
        for (const char* name : {"report.kvf", "notes.txt"}) {
            QFile f(folder + QLatin1Char('/') + QString::fromLatin1(name));
            f.open(QIODevice::WriteOnly);
        }
        if (!queryPath.isEmpty())
            fnWriteRegString(RootKey::CurrentUser, OptionsKey(state), QStringLiteral("QueryPath"),
                             queryPath);
        QDir::setCurrent(queryPath.isEmpty() ? folder : test::tempRoot());
        shell.currentFolder = QDir::currentPath();
        Session s{state, shell, dm, log, desktop};
        fnGuard(s, [&] { fnFirstShow(s, args); });
    }
    QStringList reports() const { return state.UnattendedRun ? log.texts() : shell.messages; }

    Tdm1 dm;
    SessionState state;
    test::ScriptedShell shell;
    test::RecordingEventLog log;
    test::RecordingDesktop desktop;
    QString folder;
};

struct Case {
    const char* name;
    QStringList args;
    QString report; // empty: nothing reported
    bool unattended;
    bool ends;
};

class CommandLineTest : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLineTest, ReportsInItsWordsAndEndsWhereItMust) {
    const Case& c = GetParam();
    FirstShow run(c.args);
    EXPECT_EQ(run.state.UnattendedRun, c.unattended);
    EXPECT_EQ(run.reports(), c.report.isEmpty() ? QStringList{} : QStringList{c.report});
    EXPECT_EQ(run.shell.ended, c.ends);
    EXPECT_TRUE(run.shell.errors.isEmpty())
        << run.shell.errors.join(QLatin1Char('|')).toStdString();
    // The unattended path never asks anything.
    if (c.unattended) {
        EXPECT_TRUE(run.shell.confirmations.isEmpty());
    }
}

const QString kCount = QStringLiteral("Error - Total number of parameter must either be 1 or 5.");

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTest,
    ::testing::Values(
        Case{"NoArgument", {}, {}, false, false},
        Case{"MissingFileOneArgument",
             {"nowhere.kvf"},
             "Error - Query file: \"nowhere.kvf\" not found.",
             false,
             false},
        Case{"MissingFileComesBeforeTheCount",
             {"nowhere.kvf", "a", "b"},
             "Error - Query file: \"nowhere.kvf\" not found.",
             true,
             true},
        Case{"WrongExtension",
             {"notes.txt"},
             "Error - Query file: \"notes.txt\" is not a valid file type.",
             false,
             false},
        Case{"WrongExtensionTrimmed",
             {"  notes.txt \t"},
             "Error - Query file: \"notes.txt\" is not a valid file type.",
             false,
             false},
        Case{"WrongExtensionUnattended",
             {"notes.txt", "o.csv", "D", ",", "1"},
             "Error - Query file: \"notes.txt\" is not a valid file type.",
             true,
             true},
        Case{"TwoArguments", {"report.kvf", "x"}, kCount, true, true},
        Case{"ThreeArguments", {"report.kvf", "x", "y"}, kCount, true, true},
        Case{"FourArguments", {"report.kvf", "x", "y", "z"}, kCount, true, true},
        Case{"SixArguments", {"report.kvf", "o", "D", ",", "1", "extra"}, kCount, true, true},
        Case{"ThirdInvalid",
             {"report.kvf", "o.csv", "Q", ",", "1"},
             "3rd parameter is invalid: Q.",
             true,
             true},
        Case{"ThirdKeepsItsCase",
             {"report.kvf", "o.csv", "dx", ",", "1"},
             "3rd parameter is invalid: dx.",
             true,
             true},
        Case{"FourthInvalidForX",
             {"report.kvf", "o.pdf", "X", "PDF", "1"},
             "4th parameter is invalid: PDF.",
             true,
             true},
        Case{"FifthInvalid",
             {"report.kvf", "o.xlsx", "x", "xlsx", "yes"},
             "5th parameter is invalid: yes.",
             true,
             true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, OneValidArgumentOffersToRunAndNoForgetsTheFile) {
    FirstShow run({QStringLiteral(" report.kvf \t")});
    EXPECT_EQ(run.shell.confirmations, QStringList{QStringLiteral("Confirm to execute?")});
    EXPECT_TRUE(run.shell.messages.isEmpty());
    EXPECT_FALSE(run.state.CommandLineQueryPending) << "declining forgets the command-line file";
    EXPECT_EQ(run.state.QueryFileName, QStringLiteral("<NoName>....")) << "nothing loaded";
    EXPECT_FALSE(run.shell.ended);
}

TEST(CommandLine, AcceptedFormsGoOnToTheRun) {
    // x with xlsx and D with a semicolon pass validation; the run then fails to load the empty
    // query file, which is reported as an invalid query file, not as an argument error.
    for (const QStringList& args : {QStringList{"report.kvf", "o.xlsx", "x", "xlsx", "1"},
                                    QStringList{"report.kvf", "o.txt", "D", ";", "0"}}) {
        FirstShow run(args);
        EXPECT_EQ(run.log.texts().value(0), QStringLiteral("Invalid query file."))
            << args.join(' ').toStdString();
        EXPECT_TRUE(run.shell.ended);
        EXPECT_EQ(run.state.CommandLineOutputFile, args[1]);
        EXPECT_EQ(run.state.WithHeader, args[4]);
    }
}

TEST(CommandLine, RelativeFileIsLookedForInTheQueryPathFolder) {
    const QString queries = test::freshDir(QStringLiteral("queries"));
    QFile f(queries + QStringLiteral("/elsewhere.kvf"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    FirstShow run({QStringLiteral("elsewhere.kvf")}, queries);
    EXPECT_EQ(run.state.QueryPath, queries);
    EXPECT_EQ(QDir::currentPath(), queries);
    EXPECT_EQ(run.shell.confirmations.size(), 1) << "the file was found in the QueryPath folder";
}

} // namespace
