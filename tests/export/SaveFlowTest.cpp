#include "ScriptedShell.h"
#include "Share/GlobalVar.h"
#include "TestEnv.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct Fixture {
    Fixture() {
        test::freshConfigHome();
        QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    }
    Tdm1 dm;
    SessionState state;
    test::ScriptedShell shell;
    test::RecordingEventLog log;
    test::RecordingDesktop desktop;
    Session s{state, shell, dm, log, desktop};

    // The options dialog as the user leaves it after OK.
    void answerOptions(const QString& kind, const QString& delimiter, const QString& header) {
        shell.onOptionsDialog = [=](SessionState& st) {
            st.OutputKind = kind;
            st.Delimiter = delimiter;
            st.WithHeader = header;
            st.DialogCancelled = false;
        };
    }
    // Two records with a text that needs quoting and a NULL.
    void openResult() {
        ResultSet rows;
        FieldInfo id;
        id.name = QStringLiteral("id");
        id.kind = ColumnKind::Int64;
        FieldInfo name;
        name.name = QStringLiteral("name");
        name.kind = ColumnKind::Text;
        rows.addColumn(id);
        rows.addColumn(name);
        rows.appendInt(0, 1);
        rows.appendText(1, "a;b");
        rows.endRow();
        rows.appendInt(0, 2);
        rows.appendNull(1);
        rows.endRow();
        dm.ADOQry1.open(std::move(rows));
    }
};

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

struct DialogCase {
    const char* name;
    QString delimiter;
    QStringList filters;
    QString suffix;
    QString delimiterAfter;
};

class InteractiveOutputFile : public ::testing::TestWithParam<DialogCase> {};

TEST_P(InteractiveOutputFile, OffersTheFiltersOfTheDelimiterAndStoresTheFolder) {
    const DialogCase& c = GetParam();
    Fixture f;
    const QString dir = test::freshDir("reports");
    f.state.ReportPath = QStringLiteral("/start/here");
    f.answerOptions(QStringLiteral("DF"), c.delimiter, QStringLiteral("1"));
    f.shell.saveAnswers.push_back(SaveDialogAnswer{dir + "/out.txt", 2});

    ASSERT_TRUE(fnGetOutputFile(f.s));
    ASSERT_EQ(f.shell.saveRequests.size(), 1);
    const SaveDialogRequest& r = f.shell.saveRequests.front();
    QStringList shown;
    for (const SaveFilter& filter : r.filters)
        shown << filter.text + "|" + filter.pattern;
    EXPECT_EQ(shown, c.filters);
    EXPECT_EQ(r.defaultSuffix, std::optional<QString>(c.suffix));
    EXPECT_EQ(r.startFolder, "/start/here");
    EXPECT_EQ(f.state.Delimiter, c.delimiterAfter);
    EXPECT_EQ(f.state.OutputFileName, dir + "/out.txt");
    EXPECT_EQ(f.state.SaveFormatIndex, 2);
    EXPECT_EQ(f.state.ReportPath, dir);
    EXPECT_EQ(fnReadRegString(RootKey::CurrentUser, OptionsKey(f.state), "ReportPath"), dir);
}

INSTANTIATE_TEST_SUITE_P(
    Delimiters, InteractiveOutputFile,
    ::testing::Values(
        DialogCase{"comma",
                   ",",
                   {"Delimited Text (*.csv)|*.csv", "Delimited Text (*.txt)|*.txt"},
                   "csv",
                   ","},
        // The stored word becomes the character itself for the writer.
        DialogCase{"tab",
                   "TAB",
                   {"Delimited Text (*.xls)|*.xls", "Delimited Text (*.txt)|*.txt"},
                   "xls",
                   "\t"},
        DialogCase{"lower_tab_is_text", "tab", {"Delimited Text (*.txt)|*.txt"}, "txt", "tab"},
        DialogCase{"semicolon", ";", {"Delimited Text (*.txt)|*.txt"}, "txt", ";"},
        DialogCase{"two_bars", "||", {"Delimited Text (*.txt)|*.txt"}, "txt", "||"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetOutputFile, ExcelFileOffersTheSixFormatsAndKeepsTheSuffix) {
    Fixture f;
    f.answerOptions(QStringLiteral("XF"), QStringLiteral("TAB"), QStringLiteral("1"));
    f.shell.saveAnswers.push_back(SaveDialogAnswer{test::freshDir("x") + "/book.xls", 5});
    ASSERT_TRUE(fnGetOutputFile(f.s));
    const SaveDialogRequest& r = f.shell.saveRequests.front();
    ASSERT_EQ(r.filters.size(), 6);
    EXPECT_EQ(r.filters[4].text, "Microsoft Excel 5.0/95 Workbook (*.xls)");
    EXPECT_EQ(r.filters[5].pattern, "*.xml");
    EXPECT_FALSE(r.defaultSuffix.has_value());
    EXPECT_EQ(f.state.SaveFormatIndex, 5);
    EXPECT_EQ(f.state.Delimiter, "TAB"); // only delimited text turns it into a tab
}

TEST(GetOutputFile, ExcelInstanceNeedsNoFile) {
    Fixture f;
    f.state.OutputFileName = QStringLiteral("/previous.xlsx");
    f.state.SaveFormatIndex = 3;
    f.answerOptions(QStringLiteral("XI"), QStringLiteral(","), QStringLiteral("0"));
    EXPECT_TRUE(fnGetOutputFile(f.s));
    EXPECT_EQ(f.shell.saveDialogs, 0);
    EXPECT_EQ(f.state.OutputFileName, "/previous.xlsx");
    EXPECT_EQ(f.state.SaveFormatIndex, 3);
}

TEST(GetOutputFile, CancelAtEitherDialogStops) {
    Fixture f;
    EXPECT_FALSE(fnGetOutputFile(f.s)); // the options dialog cancels by default
    EXPECT_EQ(f.shell.saveDialogs, 0);
    f.answerOptions(QStringLiteral("DF"), QStringLiteral(","), QStringLiteral("1"));
    EXPECT_FALSE(fnGetOutputFile(f.s)); // the save dialog too
    EXPECT_EQ(f.shell.saveDialogs, 1);
    EXPECT_TRUE(f.state.ReportPath.isEmpty());
    EXPECT_TRUE(f.shell.messages.isEmpty());
}

TEST(GetOutputFile, SettingsFailureIsReportedAndStops) {
    Fixture f;
    // A config folder that is a file: the store cannot be created.
    const QString blocker = test::freshDir("cfg") + "/file";
    QFile(blocker).open(QIODevice::WriteOnly);
    qputenv("XDG_CONFIG_HOME", blocker.toUtf8());
    f.answerOptions(QStringLiteral("DF"), QStringLiteral(","), QStringLiteral("1"));
    f.shell.saveAnswers.push_back(SaveDialogAnswer{test::freshDir("x") + "/a.csv", 1});
    EXPECT_FALSE(fnGetOutputFile(f.s));
    EXPECT_EQ(f.shell.messages, QStringList{"Error creating system registry entry"});
}

struct UnattendedCase {
    const char* name;
    QString type;
    QString format;
    bool goesAhead;
    QString kind;
    QString delimiter;
    int formatIndex;
};

class UnattendedOutputFile : public ::testing::TestWithParam<UnattendedCase> {};

TEST_P(UnattendedOutputFile, TakesTheChoicesFromTheCommandLine) {
    const UnattendedCase& c = GetParam();
    Fixture f;
    f.state.UnattendedRun = true;
    f.state.CommandLineOutputFile = test::freshDir("cl") + "/new/out.file";
    f.state.CommandLineOutputType = c.type;
    f.state.CommandLineFormat = c.format;
    f.state.SaveFormatIndex = 0;
    EXPECT_EQ(fnGetOutputFile(f.s), c.goesAhead);
    EXPECT_EQ(f.state.OutputKind, c.kind);
    EXPECT_EQ(f.state.OutputFileName, f.state.CommandLineOutputFile);
    if (c.goesAhead) {
        EXPECT_EQ(f.state.Delimiter, c.delimiter);
        EXPECT_EQ(f.state.SaveFormatIndex, c.formatIndex);
        EXPECT_TRUE(f.log.entries.isEmpty());
    } else {
        EXPECT_EQ(f.log.texts(), QStringList{"4th parameter is invalid: ."});
        EXPECT_EQ(f.state.EventLogEntries, 1); // the run ends with status 1
    }
    EXPECT_EQ(f.shell.optionsDialogs + f.shell.saveDialogs, 0);
    // The missing output folder is made (its parent exists); nothing is stored.
    EXPECT_TRUE(QFileInfo(f.state.ReportPath).isDir());
    EXPECT_TRUE(fnReadRegString(RootKey::CurrentUser, OptionsKey(f.state), "ReportPath").isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, UnattendedOutputFile,
    ::testing::Values(UnattendedCase{"comma", "D", ",", true, "DF", ",", 0},
                      UnattendedCase{"tab_any_case", "d", "tAb", true, "DF", "\t", 0},
                      UnattendedCase{"long_delimiter", "D", "<->", true, "DF", "<->", 0},
                      UnattendedCase{"blank", "d", "", false, "DF", "", 0},
                      UnattendedCase{"xml_lower", "x", "xml", true, "XF", "", 6},
                      UnattendedCase{"xlsx", "X", "XLSX", true, "XF", "", 1},
                      UnattendedCase{"csv", "X", "Csv", true, "XF", "", 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExportDelimitedText, WritesOpensAndRestores) {
    Fixture f;
    f.openResult();
    int scrolls = 0;
    f.dm.ADOQry1.afterScroll = [&] {
        ++scrolls;
    };
    f.state.OutputFileName = test::freshDir("dt") + "/out.txt";
    f.state.Delimiter = QStringLiteral(";");
    f.state.WithHeader = QString(); // never set: the header is written

    fnExportDelimitedText(f.s);

    EXPECT_EQ(contents(f.state.OutputFileName), "id;name\r\n1;\"a;b\"\r\n2;\r\n");
    EXPECT_EQ(f.desktop.opened, QStringList{f.state.OutputFileName});
    EXPECT_EQ(f.shell.enabledHistory, (QList<bool>{false, true}));
    EXPECT_EQ(f.shell.processingHistory, (QList<bool>{true, false}));
    EXPECT_TRUE(f.shell.messages.isEmpty());
    EXPECT_EQ(scrolls, 0);              // no handler ran during the pass
    EXPECT_EQ(f.dm.ADOQry1.recNo(), 2); // left at the last record
    EXPECT_TRUE(f.dm.ADOQry1.afterScroll);
    EXPECT_TRUE(f.dm.ADOQry1.autoCalcFields);
    EXPECT_FALSE(f.dm.ADOQry1.controlsDisabled());
}

TEST(ExportDelimitedText, UnattendedNeverOpensTheFile) {
    Fixture f;
    f.openResult();
    f.state.UnattendedRun = true;
    f.state.OutputFileName = test::freshDir("dt") + "/out.csv";
    f.state.Delimiter = QStringLiteral(",");
    f.state.WithHeader = QStringLiteral("0");
    fnExportDelimitedText(f.s);
    EXPECT_EQ(contents(f.state.OutputFileName), "1,a;b\r\n2,\r\n");
    EXPECT_TRUE(f.desktop.opened.isEmpty());
    EXPECT_TRUE(f.log.entries.isEmpty());
}

struct FailureCase {
    const char* name;
    bool unattended;
};

class ExportFailure : public ::testing::TestWithParam<FailureCase> {};

// Both failure paths report the system's reason through fnReportMessage and leave the window
// enabled, the wait window hidden and the result set's events in place.
TEST_P(ExportFailure, ReportsAndCleansUp) {
    Fixture f;
    f.openResult();
    f.state.UnattendedRun = GetParam().unattended;
    f.state.Delimiter = QStringLiteral(",");
    const QString missing = test::freshDir("dt") + "/no/such/out.csv";
    const QStringList expected{"Cannot create " + missing + ": No such file or directory",
                               "Cannot write /dev/full: No space left on device"};
    for (const QString& path : {missing, QStringLiteral("/dev/full")}) {
        f.state.OutputFileName = path;
        fnExportDelimitedText(f.s);
    }
    EXPECT_EQ(f.state.UnattendedRun ? f.log.texts() : f.shell.messages, expected);
    EXPECT_EQ(f.shell.enabledHistory, (QList<bool>{false, true, false, true}));
    EXPECT_EQ(f.shell.processingHistory, (QList<bool>{true, false, true, false}));
    EXPECT_TRUE(f.desktop.opened.isEmpty());
    EXPECT_FALSE(f.dm.ADOQry1.controlsDisabled());
    EXPECT_TRUE(f.dm.ADOQry1.autoCalcFields);
}

INSTANTIATE_TEST_SUITE_P(Runs, ExportFailure,
                         ::testing::Values(FailureCase{"interactive", false},
                                           FailureCase{"unattended", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SaveResultToFile, RefusesAnEmptyResult) {
    Fixture f;
    fnSaveResultToFile(f.s);
    EXPECT_EQ(f.shell.messages, QStringList{"No data to export."});
    EXPECT_EQ(f.shell.optionsDialogs, 0);
}

TEST(SaveResultToFile, WritesTheChosenFile) {
    Fixture f;
    f.openResult();
    const QString path = test::freshDir("save") + "/r.csv";
    f.answerOptions(QStringLiteral("DF"), QStringLiteral("TAB"), QStringLiteral("1"));
    f.shell.saveAnswers.push_back(SaveDialogAnswer{path, 1});
    fnSaveResultToFile(f.s);
    EXPECT_EQ(contents(path), "id\tname\r\n1\ta;b\r\n2\t\r\n");
    EXPECT_EQ(f.desktop.opened, QStringList{path});
}

TEST(ExportStep, ReportsNoDataUnlessThereAreRecords) {
    Fixture f;
    fnExportStep(f.s); // nothing was prepared: nothing to say
    EXPECT_TRUE(f.shell.messages.isEmpty());

    f.state.PreparedSql = QStringLiteral("select 1");
    fnExportStep(f.s);
    f.state.UnattendedRun = true;
    fnExportStep(f.s);
    EXPECT_EQ(f.shell.messages, QStringList{"No data to export."});
    EXPECT_EQ(f.log.texts(), QStringList{"No data to export."});

    f.openResult();
    f.state.OutputKind = QStringLiteral("DF");
    f.state.Delimiter = QStringLiteral(",");
    f.state.OutputFileName = test::freshDir("step") + "/s.csv";
    fnExportStep(f.s);
    EXPECT_EQ(contents(f.state.OutputFileName), "id,name\r\n1,a;b\r\n2,\r\n");
}

} // namespace
} // namespace velmora
