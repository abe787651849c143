// Real files from the built-in engine, read back by readers we did not write: openpyxl for
// xlsx, xlrd for xls, the csv module, html.parser and xml.etree. And the hand-over to the
// desktop of a workbook left open and visible.
#include "TestData.h"

#include "xlexport/DesktopHandover.h"
#include "xlexport/EngineApplication.h"
#include "xlexport/TvxExcelExport.h"

#include "QtPrinters.h"
#include "ScriptedShell.h"
#include "TestEnv.h"

#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

// A small result of every kind of value the export sends: numbers, currency, texts that need
// quoting or escaping, non-Latin text, dates, times, date-times, Booleans, nulls.
ResultSet sampleRows() {
    using FT = FieldType;
    using CK = ColumnKind;
    return test::buildRows(
        {test::fieldOf("id", FT::ftInteger, CK::Int64),
         test::fieldOf("name", FT::ftString, CK::Text),
         test::fieldOf("price", FT::ftCurrency, CK::Double),
         test::fieldOf("ratio", FT::ftFloat, CK::Double, "0.000"),
         test::fieldOf("day", FT::ftDate, CK::Date, "yyyy-mm-dd"),
         test::fieldOf("at", FT::ftTime, CK::Time),
         test::fieldOf("stamp", FT::ftDateTime, CK::DateTime, "yyyy-mm-dd hh:nn"),
         test::fieldOf("flag", FT::ftBoolean, CK::Bool),
         test::fieldOf("code", FT::ftString, CK::Text)},
        3, [](ResultSet& rs, int r) {
            static const char* names[] = {"plain", "comma, \"quote\"\nline", "Ζωή <&> 東京"};
            rs.appendInt(0, r + 1);
            rs.appendText(1, names[r]);
            if (r == 2)
                rs.appendNull(2);
            else
                rs.appendDouble(2, 1234.5 * (r + 1));
            rs.appendDouble(3, 0.125 * (r + 1));
            rs.appendDate(4, QDate(2024, 1, 1 + r));
            rs.appendTime(5, QTime(9 + r, 30, 45));
            rs.appendDateTime(6, QDateTime(QDate(2024, 2, 29), QTime(23, 59, 0)));
            rs.appendBool(7, r % 2 == 0);
            rs.appendText(8, r == 0 ? "007" : "42");
        });
}

struct Export {
    explicit Export(ResultSet rows) {
        ds.open(std::move(rows));
        x = std::make_unique<TvxExcelExport>(server);
        x->Dataset = &ds;
        x->StyleColumnWidth = TStyleColumnWidth::cwAutoFit;
        x->setWorksheetName("Sales report");
        x->FontTitles.Style.bold = true;
        x->ExportToWorksheet();
        x->ExcelWorksheet->range("A2", "A2")->select();
        x->ExcelApplication->activeWindow().setFreezePanes(true);
    }
    test::RecordingDesktop desktop;
    xl::BuiltinServer server{desktop};
    Dataset ds{QStringLiteral("ADOQry1")};
    std::unique_ptr<TvxExcelExport> x;
};

// Runs the checker script on a file; its output is the failure text.
void check(const QString& kind, const QString& path) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start("/usr/bin/python3", {QStringLiteral(CHECK_SCRIPT), kind, path});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << kind.toStdString() << ": " << p.readAll().toStdString();
}

class FilesTest : public testing::Test {
protected:
    FilesTest() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

} // namespace

TEST_F(FilesTest, EveryFormatReadsBack) {
    Export e(sampleRows());
    const QString dir = test::freshDir("formats");
    struct Case {
        std::uint8_t code;
        const char* kind;
        const char* file;
    };
    for (const Case& c :
         {Case{1, "xlsx", "out.xlsx"}, Case{2, "xls", "out.xls"}, Case{3, "html", "out.html"},
          Case{4, "csv", "out.csv"}, Case{6, "xml", "out.xml"}}) {
        const QString path = dir + "/" + c.file;
        e.x->SaveWorkbookAs(path, c.code);
        check(c.kind, path);
    }
}

TEST_F(FilesTest, AnUnwritableFileIsAClearError) {
    Export e(test::numberedRows(2));
    for (std::uint8_t code : {1, 3, 4, 6}) {
        try {
            e.x->SaveWorkbookAs("/nonexistent-folder/out.file", code);
            ADD_FAILURE() << int(code);
        } catch (const std::runtime_error& err) {
            EXPECT_TRUE(QString(err.what()).contains("/nonexistent-folder/out.file")) << err.what();
        }
    }
}

TEST_F(FilesTest, AVisibleUnsavedWorkbookGoesToTheDesktopAsACopy) {
    // A cache folder of its own, so that no other test's copy is there first.
    qputenv("XDG_CACHE_HOME", test::freshDir("cache").toUtf8());
    Export e(test::numberedRows(3));
    e.x->DisconnectExcel(false);
    ASSERT_EQ(e.desktop.opened.size(), 1);
    const QString copy = e.desktop.opened.front();
    EXPECT_EQ(copy, xl::handoverFolder() + "/Sales report.xlsx");
    check("plain", copy);

    // A second export of the same sheet does not overwrite the copy still open.
    Export again(test::numberedRows(1));
    again.x->DisconnectExcel(false);
    EXPECT_EQ(again.desktop.opened.value(0), xl::handoverFolder() + "/Sales report (2).xlsx");
}

TEST_F(FilesTest, NoDesktopApplicationNamesTheKeptFile) {
    Export e(test::numberedRows(1));
    e.desktop.accept = false;
    try {
        e.x->DisconnectExcel(false);
        ADD_FAILURE();
    } catch (const std::runtime_error& err) {
        const QString message = QString::fromUtf8(err.what());
        EXPECT_TRUE(message.startsWith("No application is available to open spreadsheets; the "
                                       "workbook was kept as "))
            << err.what();
        EXPECT_TRUE(QFileInfo::exists(message.section(" kept as ", 1)));
    }
    EXPECT_FALSE(e.x->Connected());
}

TEST_F(FilesTest, ASavedWorkbookOpensAsItsFileWhateverTheDesktopSays) {
    Export e(test::numberedRows(1));
    const QString path = test::freshDir("saved") + "/saved.xlsx";
    e.x->SaveWorkbookAs(path, 1);
    e.desktop.accept = false;
    e.x->DisconnectExcel(false);
    EXPECT_EQ(e.desktop.opened, QStringList{path});
}

TEST_F(FilesTest, AClosedWorkbookIsNotHandedOver) {
    Export e(test::numberedRows(1));
    e.x->ExcelWorkbook->close();
    e.x->DisconnectExcel(false);
    EXPECT_TRUE(e.desktop.opened.isEmpty());
}
