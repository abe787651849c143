#include "ScriptedShell.h"
#include "Share/GlobalVar.h"

#include <gtest/gtest.h>

using namespace velmora;

namespace {

TEST(ErrorBoxText, FullStopOnlyAfterCharactersThatSortAfterIt) {
    const struct {
        const char* message;
        const char* shown;
    } cases[] = {
        {"File not found", "File not found."},
        {"Error 42", "Error 42."},
        {"Already stopped.", "Already stopped."},
        {"Trailing blank ", "Trailing blank "},
        {"Quoted \"x\"", "Quoted \"x\""},
        {"Stop!", "Stop!"},
        {"(see log)", "(see log)"},
        {"a/b", "a/b."},
        {"ends with a comma,", "ends with a comma,"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fnErrorBoxText(QString::fromUtf8(c.message)), QString::fromUtf8(c.shown))
            << c.message;
}

struct Fixture {
    Tdm1 dm; // the routines under test touch no database
    SessionState state;
    test::ScriptedShell shell;
    test::RecordingEventLog log;
    test::RecordingDesktop desktop;
};

TEST(ReportMessage, InteractiveShowsABoxAndWritesNoLog) {
    Fixture f;
    Session s{f.state, f.shell, f.dm, f.log, f.desktop};
    fnReportMessage(s, QStringLiteral("Invalid query file."));
    EXPECT_EQ(f.shell.messages, QStringList{QStringLiteral("Invalid query file.")});
    EXPECT_TRUE(f.log.entries.isEmpty());
    EXPECT_EQ(f.state.EventLogEntries, 0);
}

TEST(ReportMessage, UnattendedWritesOneEntryOfSourceKavrin) {
    Fixture f;
    f.state.UnattendedRun = true;
    Session s{f.state, f.shell, f.dm, f.log, f.desktop};
    fnReportMessage(s, QStringLiteral("Invalid query file."));
    fnReportMessage(s, QString());
    EXPECT_TRUE(f.shell.messages.isEmpty());
    ASSERT_EQ(f.log.entries.size(), 2);
    EXPECT_EQ(f.log.entries[0].source, QStringLiteral("Kavrin"));
    EXPECT_EQ(f.log.entries[0].text, QStringLiteral("Invalid query file."));
    EXPECT_EQ(f.log.entries[1].text, QString()) << "an empty text is still one entry";
    EXPECT_EQ(f.state.EventLogEntries, 2);
}

TEST(Guard, ShowsEscapedErrorsAndTurnsProcessEndIntoAClose) {
    Fixture f;
    Session s{f.state, f.shell, f.dm, f.log, f.desktop};
    fnGuard(s, [] { throw std::runtime_error("File not found"); });
    EXPECT_EQ(f.shell.errors, QStringList{QStringLiteral("File not found.")});
    bool after = false;
    fnGuard(s, [&] {
        fnEndProcess();
        after = true;
    });
    EXPECT_TRUE(f.shell.ended);
    EXPECT_FALSE(after) << "nothing after the end request runs in the code that issued it";
}

} // namespace
