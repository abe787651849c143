// fnExportToExcel with a scripted shell: the property settings it makes, the frozen title row,
// the save, the clean-up on every path and the failure passed on.
#include "TestData.h"

#include "Share/GlobalVar.h"
#include "xlexport/DesktopHandover.h"

#include "QtPrinters.h"
#include "ScriptedShell.h"
#include "TestEnv.h"

#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// What openpyxl reads of the first sheet: name, frozen cell, A1 and whether it is bold.
QString readBack(const QString& path) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("/usr/bin/python3",
            {"-c",
             "import openpyxl, sys\n"
             "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
             "print('%s|%s|%s|%s' % (ws.title, ws.freeze_panes, ws['A1'].value, ws['A1'].font.b))",
             path});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAll()).trimmed();
}

class DriverTest : public testing::Test {
protected:
    DriverTest() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        folder = test::freshDir("driver");
        dm.ADOQry1.open(test::numberedRows(25));
        state.QueryFileName = folder + "/Monthly sales by region and product line.kvf";
        state.WithHeader = "1";
        state.OutputKind = "XF";
        state.OutputFileName = folder + "/out.xlsx";
        state.SaveFormatIndex = 1;
        state.UnattendedRun = true;
    }
    Session session() { return Session{state, shell, dm, log, desktop}; }
    QString run() {
        Session s = session();
        try {
            fnExportToExcel(s);
        } catch (const std::exception& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }
    void expectCleanedUp() {
        EXPECT_EQ(shell.enabledHistory, QList<bool>({false, true}));
        EXPECT_EQ(shell.processingHistory, QList<bool>({true, false}));
    }

    QString folder;
    Tdm1 dm;
    SessionState state;
    test::ScriptedShell shell;
    test::RecordingEventLog log;
    test::RecordingDesktop desktop;
};

} // namespace

TEST_F(DriverTest, UnattendedSaveWithTitles) {
    EXPECT_EQ(run(), QString());
    expectCleanedUp();
    // The name without its extension, cut to 31 characters; row 1 frozen and bold.
    EXPECT_EQ(readBack(state.OutputFileName), "Monthly sales by region and pro|A2|id|True");
    EXPECT_TRUE(desktop.opened.isEmpty()); // the workbook was closed
    EXPECT_EQ(dm.ADOQry1.recNo(), 1);
}

TEST_F(DriverTest, WithoutTitlesTheDataStartsInRowOneAndNothingIsFrozen) {
    state.WithHeader = "0";
    EXPECT_EQ(run(), QString());
    EXPECT_EQ(readBack(state.OutputFileName), "Monthly sales by region and pro|None|1|False");
}

TEST_F(DriverTest, ARefusedSheetNameFailsAfterTheCleanUp) {
    state.QueryFileName = folder + "/what?.kvf";
    EXPECT_TRUE(run().startsWith("The sheet name \"what?\" is not valid"));
    expectCleanedUp();
    EXPECT_FALSE(QFileInfo::exists(state.OutputFileName));
}

TEST_F(DriverTest, AShortFileNameGivesTheDatasetsName) {
    state.QueryFileName = folder + "/.kvf";
    EXPECT_EQ(run(), QString());
    EXPECT_TRUE(readBack(state.OutputFileName).startsWith("ADOQry1|A2|"));
}

TEST_F(DriverTest, InteractiveWorkbookGoesToTheDesktop) {
    state.UnattendedRun = false;
    state.OutputKind = "XI";
    EXPECT_EQ(run(), QString());
    expectCleanedUp();
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_TRUE(desktop.opened[0].startsWith(xl::handoverFolder()));
    EXPECT_EQ(readBack(desktop.opened[0]), "Monthly sales by region and pro|A2|id|True");
    EXPECT_FALSE(QFileInfo::exists(state.OutputFileName));
}

TEST_F(DriverTest, InteractiveSaveOpensTheSavedFile) {
    state.UnattendedRun = false;
    state.OutputFileName = folder + "/out.csv";
    state.SaveFormatIndex = 4;
    EXPECT_EQ(run(), QString());
    EXPECT_EQ(desktop.opened, QStringList{state.OutputFileName});
}

TEST_F(DriverTest, NoSpreadsheetApplicationOnTheDesktop) {
    state.UnattendedRun = false;
    state.OutputKind = "XI";
    desktop.accept = false;
    const QString message = run();
    EXPECT_TRUE(message.startsWith("No application is available to open spreadsheets; the "
                                   "workbook was kept as " +
                                   xl::handoverFolder()))
        << message.toStdString();
    expectCleanedUp();
}

TEST_F(DriverTest, AFormatTheVersionLacksIsReportedAndTheWorkbookStaysOpen) {
    state.UnattendedRun = false;
    state.SaveFormatIndex = 5;
    EXPECT_EQ(run(), "This action is not supported in this Excel version");
    expectCleanedUp();
    EXPECT_FALSE(QFileInfo::exists(state.OutputFileName));
    EXPECT_EQ(desktop.opened.size(), 1); // the unsaved workbook, still open for the user
}
