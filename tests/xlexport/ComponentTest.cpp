// TvxExcelExport against the recording decorator over the built-in engine: transfers in blocks,
// formatting, limits, number formats by field type, the save rules and the connection.
#include "TestData.h"

#include "xlexport/EngineApplication.h"
#include "xlexport/RecordValue.h"
#include "xlexport/RecordingAutomation.h"
#include "xlexport/TvxExcelExport.h"

#include "QtPrinters.h"
#include "ScriptedShell.h"
#include "TestEnv.h"

#include <QLocale>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace velmora;

namespace {

struct LocaleScope {
    explicit LocaleScope(const QLocale& l) { QLocale::setDefault(l); }
    ~LocaleScope() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
};

// A recording spreadsheet of the given version, a dataset, and the component as the driver sets
// it up (titles in row 1, data from row 2, autofit).
struct Rig {
    explicit Rig(ResultSet rows, std::optional<int> version = 14)
        : server(engine, version) {
        ds.open(std::move(rows));
        x = std::make_unique<TvxExcelExport>(server);
        x->Dataset = &ds;
        x->StyleColumnWidth = TStyleColumnWidth::cwAutoFit;
        x->setWorksheetName("Export");
        x->FontTitles.Style.bold = true;
        x->BusyCursor = [this](bool busy) {
            cursor << busy;
        };
    }
    QStringList lines(const QString& prefix) const { return server.log().matching(prefix); }
    QStringList containing(const QString& part) const {
        QStringList out;
        for (const QString& l : server.log().lines)
            if (l.contains(part))
                out << l;
        return out;
    }

    test::RecordingDesktop desktop;
    xl::BuiltinServer engine{desktop};
    xl::RecordingServer server;
    Dataset ds{QStringLiteral("ADOQry1")};
    std::unique_ptr<TvxExcelExport> x;
    QList<bool> cursor;
};

template <typename E, typename F> void expectThrowMessage(F&& f, const QString& message) {
    try {
        f();
        ADD_FAILURE() << "no exception, expected " << message.toStdString();
    } catch (const E& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), message);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "other exception: " << e.what();
    }
}

class ComponentTest : public testing::Test {
protected:
    LocaleScope english{QLocale(QLocale::English, QLocale::UnitedStates)};
};

} // namespace

struct BlockCase {
    int records;
    QStringList transfers;
};

class BlockTransferTest : public ComponentTest, public testing::WithParamInterface<BlockCase> {};

TEST_P(BlockTransferTest, RecordsTravelInBlocksOfTwenty) {
    Rig rig(test::numberedRows(GetParam().records));
    rig.x->ExportToWorksheet();
    EXPECT_EQ(rig.containing(".Value2=["), GetParam().transfers);
    // One format call per formatted column (the text column) per block, before its values.
    const QStringList formats = rig.lines("Range(B").filter(".NumberFormat=@");
    EXPECT_EQ(formats.size(), GetParam().transfers.size());
    const int firstFormat = static_cast<int>(rig.server.log().lines.indexOf(formats.value(0)));
    const int firstValues =
        static_cast<int>(rig.server.log().lines.indexOf(GetParam().transfers.value(0)));
    EXPECT_LT(firstFormat, firstValues);
    EXPECT_EQ(rig.x->ExportedRecords(), GetParam().records);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, BlockTransferTest,
    testing::Values(BlockCase{20, {"Range(A2:C21).Value2=[20x3]"}},
                    BlockCase{21, {"Range(A2:C21).Value2=[20x3]", "Range(A22:C22).Value2=[20x3]"}},
                    BlockCase{40,
                              {"Range(A2:C21).Value2=[20x3]", "Range(A22:C41).Value2=[20x3]"}}));

TEST_F(ComponentTest, OneRecordGetsNoDataFormattingTwoDo) {
    Rig one(test::numberedRows(1));
    one.x->ExportToWorksheet();
    EXPECT_TRUE(one.lines("Range(A2:C2).Font").isEmpty());
    EXPECT_EQ(one.x->LastDataRow(), 2);
    EXPECT_EQ(one.lines("Range(A1:C1).Font.Bold"), QStringList{"Range(A1:C1).Font.Bold=true"});

    Rig two(test::numberedRows(2));
    two.x->ExportToWorksheet();
    EXPECT_EQ(
        two.lines("Range(A2:C3).").filter(QRegularExpression("\\.(Font|Orientation|Wrap|Horiz)")),
        QStringList({"Range(A2:C3).Font.Color=FF000008", "Range(A2:C3).Font.Bold=false",
                     "Range(A2:C3).Font.Italic=false", "Range(A2:C3).Font.Underline=false",
                     "Range(A2:C3).Orientation=0", "Range(A2:C3).WrapText=false",
                     "Range(A2:C3).HorizontalAlignment=1"}));
}

TEST_F(ComponentTest, EmptyResultWritesTitlesOnlyAndStillFits) {
    Rig rig(test::numberedRows(0));
    rig.x->ExportToWorksheet();
    EXPECT_TRUE(rig.containing("NumberFormat").isEmpty());
    EXPECT_TRUE(rig.containing(".Value2=[").isEmpty());
    EXPECT_EQ(rig.lines("Range(A1:A1).Value2"), QStringList{"Range(A1:A1).Value2=\"id\""});
    EXPECT_EQ(rig.lines("Range(A1:C1).EntireColumn"),
              QStringList{"Range(A1:C1).EntireColumn.AutoFit"});
    EXPECT_EQ(rig.x->LastDataRow(), 1);
    // Screen updating off from the connection, on and visible at the end.
    const QStringList app = rig.lines("Application.");
    EXPECT_EQ(app, QStringList({"Application.ScreenUpdating=false",
                                "Application.ScreenUpdating=true", "Application.Visible=true"}));
    EXPECT_EQ(rig.cursor, QList<bool>({true, false}));
}

TEST_F(ComponentTest, SkippedFieldsLeaveNoGap) {
    using FT = FieldType;
    ResultSet rows =
        test::buildRows({test::fieldOf("a", FT::ftInteger, ColumnKind::Int64),
                         test::fieldOf("g", FT::ftGuid, ColumnKind::Text),
                         test::fieldOf("hidden", FT::ftString, ColumnKind::Text, {}, false),
                         test::fieldOf("fixed", FT::ftFixedChar, ColumnKind::Text),
                         test::fieldOf("b", FT::ftString, ColumnKind::Text)},
                        1, [](ResultSet& rs, int) {
                            rs.appendInt(0, 1);
                            rs.appendText(1, "{0}");
                            rs.appendText(2, "h");
                            rs.appendText(3, "f");
                            rs.appendText(4, "b");
                        });
    Rig rig(std::move(rows));
    rig.x->ExportToWorksheet();
    EXPECT_EQ(rig.containing(".Value2=\""),
              QStringList({"Range(A1:A1).Value2=\"a\"", "Range(B1:B1).Value2=\"b\""}));
    ASSERT_EQ(rig.x->ExportedColumns().size(), 2u);
    EXPECT_EQ(rig.x->ExportedColumns()[1].FieldIndex, 4);
    EXPECT_EQ(std::get<QString>(rig.server.log().blocks.at(0).at(0, 1)), "b");

    // With VisibleFieldsOnly off the hidden field gets its column.
    Rig all(test::buildRows({test::fieldOf("a", FT::ftInteger, ColumnKind::Int64),
                             test::fieldOf("hidden", FT::ftString, ColumnKind::Text, {}, false)},
                            1, [](ResultSet& rs, int) {
                                rs.appendInt(0, 1);
                                rs.appendText(1, "h");
                            }));
    all.x->VisibleFieldsOnly = false;
    all.x->ExportToWorksheet();
    EXPECT_EQ(all.x->ExportedColumns().size(), 2u);
}

TEST_F(ComponentTest, TextsAtTheOldLengthLimit) {
    ResultSet rows = test::buildRows({test::fieldOf("memo", FieldType::ftMemo, ColumnKind::Text),
                                      test::fieldOf("text", FieldType::ftString, ColumnKind::Text)},
                                     2, [](ResultSet& rs, int r) {
                                         const std::string t(r == 0 ? 909 : 910, 'x');
                                         rs.appendText(0, t);
                                         rs.appendText(1, t);
                                     });
    Rig rig(std::move(rows), 0);
    EXPECT_EQ(rig.x->MaxTextLength(), 910);
    rig.x->ExportToWorksheet();
    const xl::ValueBlock& block = rig.server.log().blocks.at(0);
    for (int c = 0; c < 2; ++c) {
        EXPECT_EQ(std::get<QString>(block.at(0, c)).size(), 909);
        const QString cut = std::get<QString>(block.at(1, c));
        EXPECT_EQ(cut, QString(907, QLatin1Char('x')) + "...");
    }
}

TEST_F(ComponentTest, TheColumnPastTheOldLimitStopsTheExport) {
    std::vector<FieldInfo> fields;
    for (int i = 0; i < 257; ++i)
        fields.push_back(
            test::fieldOf(QStringLiteral("f%1").arg(i), FieldType::ftInteger, ColumnKind::Int64));
    Rig rig(test::buildRows(fields, 1,
                            [](ResultSet& rs, int) {
                                for (int c = 0; c < 257; ++c)
                                    rs.appendInt(c, c);
                            }),
            0);
    expectThrowMessage<EMaxColumnsReached>([&] { rig.x->ExportToWorksheet(); },
                                           "The maximum number of columns (256) has been reached");
    EXPECT_EQ(rig.lines("Range(IV1:IV1).Value2"), QStringList{"Range(IV1:IV1).Value2=\"f255\""});
    EXPECT_EQ(rig.cursor, QList<bool>({true, false}));

    // The limit counts also without titles.
    Rig quiet(test::buildRows(fields, 0, [](ResultSet&, int) {}), 0);
    quiet.x->setShowTitles(false);
    EXPECT_THROW(quiet.x->ExportToWorksheet(), EMaxColumnsReached);
    EXPECT_EQ(TvxExcelExport(quiet.server).ColumnLetters(256), "IV");
}

TEST_F(ComponentTest, TheRecordPastTheOldRowLimitStopsTheExport) {
    const int records = 65536;
    Rig rig(test::buildRows({test::fieldOf("n", FieldType::ftInteger, ColumnKind::Int64)}, records,
                            [](ResultSet& rs, int r) { rs.appendInt(0, r); }),
            11);
    expectThrowMessage<EMaxRowsReached>([&] { rig.x->ExportToWorksheet(); },
                                        "The maximum number of rows (65536) has been reached");
    // The last full block went out; the rows of the unfinished one did not.
    EXPECT_EQ(rig.containing(".Value2=[").back(), "Range(A65502:A65521).Value2=[20x1]");
    EXPECT_EQ(rig.x->ExportedRecords(), 65536);
    EXPECT_FALSE(rig.ds.controlsDisabled());
    // The dataset stays on the record where the error came.
    EXPECT_EQ(rig.ds.recNo(), 65536);
}

TEST_F(ComponentTest, TheDatasetReturnsToItsBookmark) {
    Rig rig(test::numberedRows(5));
    rig.ds.moveTo(3);
    rig.x->ExportToWorksheet();
    EXPECT_EQ(rig.ds.recNo(), 3);
    EXPECT_FALSE(rig.ds.controlsDisabled());
}

TEST_F(ComponentTest, ChecksComeBeforeAnySpreadsheetCall) {
    test::RecordingDesktop desktop;
    xl::BuiltinServer engine(desktop);
    xl::RecordingServer server(engine);
    TvxExcelExport x(server);
    expectThrowMessage<ENoDatasetConnected>([&] { x.ExportToWorksheet(); },
                                            "No dataset is connected");
    Dataset closed(QStringLiteral("ADOQry1"));
    x.Dataset = &closed;
    expectThrowMessage<EDatasetNotActive>([&] { x.ExportToWorksheet(); }, "Dataset is not active");
    EXPECT_TRUE(server.log().lines.isEmpty());
    expectThrowMessage<ENoActiveWorkbook>([&] { x.SaveWorkbookAs("/tmp/x.xlsx", 1); },
                                          "No active workbook or no active Excel available");
    x.Filename = "/nonexistent/book.xlsx";
    closed.open(test::numberedRows(1));
    expectThrowMessage<EFileNotExists>([&] { x.ExportToWorksheet(); },
                                       "File /nonexistent/book.xlsx does not exist");
}

TEST_F(ComponentTest, ASheetWithoutANameIsNamedAfterTheDataset) {
    Rig rig(test::numberedRows(1));
    rig.x->setWorksheetName(QString());
    rig.x->ExportToWorksheet();
    EXPECT_EQ(rig.lines("Worksheet.Name"), QStringList{"Worksheet.Name=ADOQry1"});
    EXPECT_EQ(rig.x->ExcelWorksheet->name(), "ADOQry1");
}

TEST_F(ComponentTest, DatesOfZeroAndNullGoAsEmptyText) {
    ResultSet rows = test::buildRows({test::fieldOf("d", FieldType::ftDate, ColumnKind::Date),
                                      test::fieldOf("t", FieldType::ftTime, ColumnKind::Time),
                                      test::fieldOf("n", FieldType::ftInteger, ColumnKind::Int64)},
                                     2, [](ResultSet& rs, int r) {
                                         if (r == 0) {
                                             rs.appendNull(0);
                                             rs.appendTime(1, QTime(0, 0));
                                             rs.appendNull(2);
                                         } else {
                                             rs.appendDate(0, QDate(2024, 1, 1));
                                             rs.appendTime(1, QTime(13, 30, 15));
                                             rs.appendInt(2, 7);
                                         }
                                     });
    Rig rig(std::move(rows));
    rig.x->ExportToWorksheet();
    const xl::ValueBlock& b = rig.server.log().blocks.at(0);
    EXPECT_EQ(std::get<QString>(b.at(0, 0)), QString());
    EXPECT_EQ(std::get<QString>(b.at(0, 1)), QString());
    EXPECT_TRUE(std::holds_alternative<std::monostate>(b.at(0, 2)));
    EXPECT_DOUBLE_EQ(std::get<xl::DateSerial>(b.at(1, 0)).days, 45292);
    EXPECT_NEAR(std::get<xl::DateSerial>(b.at(1, 1)).days, (13 * 3600 + 30 * 60 + 15) / 86400.0,
                1e-9);
    EXPECT_EQ(std::get<double>(b.at(1, 2)), 7);
}

struct FormatCase {
    const char* name;
    QLocale locale;
    FieldInfo field;
    QStringList expected; // the NumberFormat calls on the column
};

class NumberFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatTest, ByFieldType) {
    const FormatCase& c = GetParam();
    LocaleScope scope(c.locale);
    const FieldInfo field = c.field;
    Rig rig(test::buildRows({field}, 1, [&](ResultSet& rs, int) {
        switch (field.kind) {
        case ColumnKind::Text:
            rs.appendText(0, "x");
            break;
        case ColumnKind::Double:
            rs.appendDouble(0, 1.5);
            break;
        case ColumnKind::Int64:
            rs.appendInt(0, 3);
            break;
        case ColumnKind::Date:
            rs.appendDate(0, QDate(2024, 5, 6));
            break;
        case ColumnKind::Time:
            rs.appendTime(0, QTime(7, 8, 9));
            break;
        default:
            rs.appendDateTime(0, QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9)));
            break;
        }
    }));
    rig.x->ExportToWorksheet();
    QStringList formats;
    for (const QString& l : rig.lines("Range(A2:A2).NumberFormat="))
        formats << l.mid(QStringLiteral("Range(A2:A2).NumberFormat=").size());
    EXPECT_EQ(formats, c.expected);
    if (isDateValueType(field.type)) {
        EXPECT_EQ(rig.lines("Application.International").size(), 8);
    }
}

const QLocale enUS(QLocale::English, QLocale::UnitedStates);
const QLocale deDE(QLocale::German, QLocale::Germany);
const QLocale jaJP(QLocale::Japanese, QLocale::Japan);

INSTANTIATE_TEST_SUITE_P(
    Types, NumberFormatTest,
    testing::Values(
        FormatCase{
            "string_text", enUS, test::fieldOf("s", FieldType::ftString, ColumnKind::Text), {"@"}},
        FormatCase{"integer_general",
                   enUS,
                   test::fieldOf("i", FieldType::ftInteger, ColumnKind::Int64),
                   {}},
        FormatCase{"currency_en",
                   enUS,
                   test::fieldOf("c", FieldType::ftCurrency, ColumnKind::Double),
                   {"$#,##0.00"}},
        FormatCase{"currency_de_after_number",
                   deDE,
                   test::fieldOf("c", FieldType::ftCurrency, ColumnKind::Double),
                   {QString("#.##0,00 €")}},
        FormatCase{"currency_no_decimals",
                   jaJP,
                   test::fieldOf("c", FieldType::ftCurrency, ColumnKind::Double),
                   {QString(QChar(0xFFE5)) + "#,##0."}},
        FormatCase{"display_format_swapped",
                   deDE,
                   test::fieldOf("f", FieldType::ftFloat, ColumnKind::Double, "#,##0.00"),
                   {"#.##0,00"}},
        FormatCase{"refused_float_falls_back",
                   deDE,
                   test::fieldOf("f", FieldType::ftFloat, ColumnKind::Double, "0.00 \"kg"),
                   {"0,00 \"kg", "0,00"}},
        FormatCase{"refused_integer_falls_back",
                   enUS,
                   test::fieldOf("i", FieldType::ftInteger, ColumnKind::Int64, "0 units"),
                   {"0 units", "0"}},
        FormatCase{"date_short_pattern",
                   enUS,
                   test::fieldOf("d", FieldType::ftDate, ColumnKind::Date),
                   {"m/d/yy"}},
        FormatCase{"date_display_format",
                   deDE,
                   test::fieldOf("d", FieldType::ftDate, ColumnKind::Date, "dd.mm.yyyy"),
                   {"dd.mm.yyyy"}},
        FormatCase{"time_hours_minutes_12h",
                   enUS,
                   test::fieldOf("t", FieldType::ftTime, ColumnKind::Time),
                   {"h:mm AmPm"}},
        FormatCase{"time_hours_minutes_24h",
                   deDE,
                   test::fieldOf("t", FieldType::ftTime, ColumnKind::Time),
                   {"hh:mm"}},
        FormatCase{
            "datetime_minutes_from_n",
            deDE,
            test::fieldOf("dt", FieldType::ftDateTime, ColumnKind::DateTime, "dd.mm.yyyy hh:nn"),
            {"dd.mm.yyyy hh:mm"}},
        FormatCase{"datetime_both_patterns",
                   deDE,
                   test::fieldOf("dt", FieldType::ftTimeStamp, ColumnKind::DateTime),
                   {"dd.mm.yy hh:mm"}}),
    [](const testing::TestParamInfo<FormatCase>& i) { return std::string(i.param.name); });

struct SaveCase {
    int version;
    int code;
    QString call; // the SaveAs call made, empty: none
    bool notSupported;
};

class FormatCodeTest : public ComponentTest, public testing::WithParamInterface<SaveCase> {};

TEST_P(FormatCodeTest, FollowsTheVersionRules) {
    const SaveCase& c = GetParam();
    Rig rig(test::numberedRows(2), c.version);
    rig.x->ExportToWorksheet();
    rig.server.clear();
    const QString file = test::freshDir(QStringLiteral("save")) + "/out.xlsx";
    try {
        rig.x->SaveWorkbookAs(file, static_cast<std::uint8_t>(c.code));
        EXPECT_FALSE(c.notSupported);
    } catch (const ENotSupported& e) {
        EXPECT_TRUE(c.notSupported);
        EXPECT_STREQ(e.what(), "This action is not supported in this Excel version");
    } catch (const std::runtime_error&) {
        // The built-in engine writes no Excel 5.0/95 files; the call was still made.
        EXPECT_EQ(QString(c.call).replace("%f", file), "Worksheet.SaveAs(" + file + ",43)");
    }
    const QStringList calls = rig.lines("Worksheet.SaveAs");
    EXPECT_EQ(calls,
              c.call.isEmpty() ? QStringList() : QStringList{QString(c.call).replace("%f", file)});
    EXPECT_EQ(rig.lines("Application.DisplayAlerts"),
              QStringList{"Application.DisplayAlerts=false"});
}

INSTANTIATE_TEST_SUITE_P(
    Versions, FormatCodeTest,
    testing::Values(SaveCase{14, 0, "Worksheet.SaveAs(%f,none)", false},
                    SaveCase{14, 1, "Worksheet.SaveAs(%f,51)", false},
                    SaveCase{14, 2, "Worksheet.SaveAs(%f,56)", false},
                    SaveCase{14, 3, "Worksheet.SaveAs(%f,44)", false},
                    SaveCase{14, 4, "Worksheet.SaveAs(%f,6)", false}, SaveCase{14, 5, "", true},
                    SaveCase{14, 6, "Worksheet.SaveAs(%f,46)", false}, SaveCase{14, 7, "", false},
                    SaveCase{11, 1, "", true}, SaveCase{11, 2, "Worksheet.SaveAs(%f,none)", false},
                    SaveCase{11, 3, "Worksheet.SaveAs(%f,44)", false},
                    SaveCase{11, 5, "Worksheet.SaveAs(%f,43)", false},
                    SaveCase{11, 6, "Worksheet.SaveAs(%f,46)", false},
                    SaveCase{9, 3, "Worksheet.SaveAs(%f,44)", false}, SaveCase{9, 6, "", true},
                    SaveCase{0, 1, "", true}, SaveCase{0, 2, "Worksheet.SaveAs(%f,none)", false},
                    SaveCase{0, 3, "", true}, SaveCase{0, 4, "Worksheet.SaveAs(%f,6)", false},
                    SaveCase{0, 5, "Worksheet.SaveAs(%f,43)", false}, SaveCase{0, 6, "", true}));

TEST_F(ComponentTest, VersionLimits) {
    struct Case {
        int installed;
        int version, rows, columns, text;
    };
    for (const Case& c : {Case{14, 14, 1048576, 16384, 99999}, Case{12, 12, 1048576, 16384, 99999},
                          Case{9, 9, 65536, 256, 99999}, Case{11, 11, 65536, 256, 910},
                          Case{16, 0, 65536, 256, 910}, Case{0, 0, 65536, 256, 910}}) {
        test::RecordingDesktop desktop;
        xl::BuiltinServer engine(desktop);
        xl::RecordingServer server(engine, c.installed);
        TvxExcelExport x(server);
        EXPECT_EQ(x.ExcelVersion(), c.version) << c.installed;
        EXPECT_EQ(x.MaxRows(), c.rows) << c.installed;
        EXPECT_EQ(x.MaxColumns(), c.columns) << c.installed;
        EXPECT_EQ(x.MaxTextLength(), c.text) << c.installed;
    }
}

TEST_F(ComponentTest, RowPropertyRules) {
    test::RecordingDesktop desktop;
    xl::BuiltinServer engine(desktop);
    TvxExcelExport x(engine);
    EXPECT_TRUE(x.ShowTitles());
    EXPECT_EQ(x.BeginRowTitles(), 1);
    EXPECT_EQ(x.BeginRowData(), 2);
    x.setBeginRowData(1); // on the title row while titles show: the row below
    EXPECT_EQ(x.BeginRowData(), 2);
    x.setShowTitles(false);
    x.setBeginRowData(1);
    EXPECT_EQ(x.BeginRowData(), 1);
    x.setShowTitles(true); // data on the title row moves down
    EXPECT_EQ(x.BeginRowData(), 2);
    x.setBeginRowTitles(5);
    EXPECT_EQ(x.BeginRowData(), 6);
    x.setBeginRowData(3); // above the titles: below them
    EXPECT_EQ(x.BeginRowData(), 6);
    x.setBeginRowTitles(0);
    EXPECT_EQ(x.BeginRowTitles(), 1); // no header lines, header row 1
    x.setBeginColumnData(0);
    EXPECT_EQ(x.BeginColumnData(), 1);
    x.setBlockOfRecords(0);
    EXPECT_EQ(x.BlockOfRecords(), 1);
    EXPECT_EQ(x.FontTitles.Color, 0xFF000008u);
    EXPECT_EQ(x.FontTitles.Size, -1);
    EXPECT_EQ(x.BorderData.LineStyle, TBorderLineStyle::blNone);
    EXPECT_EQ(x.BorderData.Weight, TBorderWeight::bwMedium);
}

TEST_F(ComponentTest, FontsBordersAndBackgrounds) {
    Rig rig(test::numberedRows(3));
    rig.x->FontData.Name = "MS Sans Serif";
    rig.x->FontData.Size = 0;
    rig.x->FontData.Color = 0;
    rig.x->BorderData.LineStyle = TBorderLineStyle::blDash;
    rig.x->BorderData.Weight = TBorderWeight::bwThin;
    rig.x->BorderData.BackColor = 0x00FFFF;
    rig.x->FontTitles.Name = "DejaVu Sans";
    rig.x->FontTitles.Size = 12;
    rig.x->FontTitles.Alignment = THAlignment::haCenter;
    rig.x->ExportToWorksheet();
    const QStringList data = rig.lines("Range(A2:C4).");
    EXPECT_TRUE(data.filter(".Font.Name").isEmpty());
    EXPECT_TRUE(data.filter(".Font.Size").isEmpty());
    EXPECT_TRUE(data.filter(".Font.Color").isEmpty());
    EXPECT_EQ(data.filter("Interior"), QStringList{"Range(A2:C4).Interior.Color=FFFF"});
    EXPECT_EQ(
        data.filter("Borders"),
        QStringList({"Range(A2:C4).Borders(8).LineStyle=-4115", "Range(A2:C4).Borders(8).Weight=2",
                     "Range(A2:C4).Borders(8).Color=0", "Range(A2:C4).Borders(10).LineStyle=-4115",
                     "Range(A2:C4).Borders(10).Weight=2", "Range(A2:C4).Borders(10).Color=0",
                     "Range(A2:C4).Borders(7).LineStyle=-4115", "Range(A2:C4).Borders(7).Weight=2",
                     "Range(A2:C4).Borders(7).Color=0", "Range(A2:C4).Borders(9).LineStyle=-4115",
                     "Range(A2:C4).Borders(9).Weight=2", "Range(A2:C4).Borders(9).Color=0"}));
    const QStringList titles = rig.lines("Range(A1:C1).");
    EXPECT_TRUE(titles.contains("Range(A1:C1).Font.Name=DejaVu Sans"));
    EXPECT_TRUE(titles.contains("Range(A1:C1).Font.Size=12"));
    EXPECT_TRUE(titles.contains("Range(A1:C1).HorizontalAlignment=-4108"));
}

TEST_F(ComponentTest, TitleWidthStyles) {
    struct Case {
        TStyleColumnWidth style;
        int dataSize;
        QString width;
    };
    for (const Case& c : {Case{TStyleColumnWidth::cwFieldDisplayWidth, 0, "ColumnWidth=12"},
                          Case{TStyleColumnWidth::cwFieldDataSize, 0, "ColumnWidth=10"},
                          Case{TStyleColumnWidth::cwEnhAutoFit, 0, "ColumnWidth=12"}}) {
        FieldInfo f = test::fieldOf("a_rather_long_title", FieldType::ftString, ColumnKind::Text);
        f.displayWidth = 10;
        f.dataSize = 8;
        Rig rig(test::buildRows({f}, 0, [](ResultSet&, int) {}));
        rig.x->StyleColumnWidth = c.style;
        rig.x->FontData.Size = 12; // factor 1.2
        rig.x->ExportToWorksheet();
        // display 10 x 1.2 = 12; data size 8 x 1.2 = 9.6 -> 10; enhanced: title (19 + 1) x 1
        // = 20 beats 12, so 20 + 1.
        const QString expected =
            c.style == TStyleColumnWidth::cwEnhAutoFit ? "ColumnWidth=21" : c.width;
        EXPECT_EQ(rig.lines("Range(A1:A1).ColumnWidth"), QStringList{"Range(A1:A1)." + expected});
    }
}

TEST_F(ComponentTest, DisconnectQuitsOnlyWhatItDidNotShow) {
    Rig shown(test::numberedRows(1));
    shown.x->ExportToWorksheet();
    shown.server.clear();
    shown.x->DisconnectExcel(false);
    EXPECT_EQ(shown.server.log().lines, QStringList{"Application.Release"});
    EXPECT_FALSE(shown.x->Connected());
    EXPECT_FALSE(shown.x->ExcelApplication);

    Rig hidden(test::numberedRows(1));
    hidden.x->ExcelVisible = false;
    hidden.x->ExportToWorksheet();
    hidden.server.clear();
    hidden.x->DisconnectExcel(false);
    EXPECT_EQ(hidden.server.log().lines, QStringList({"Application.DisplayAlerts=false",
                                                      "Application.Quit", "Application.Release"}));
    EXPECT_TRUE(hidden.desktop.opened.isEmpty());
}

TEST_F(ComponentTest, RenamingWhileConnectedSelectsOrAddsTheSheet) {
    Rig rig(test::numberedRows(1));
    rig.x->ExportToWorksheet();
    rig.x->setWorksheetName("Second");
    EXPECT_EQ(rig.x->FindWorksheet("Second"), 1); // added before the active sheet
    EXPECT_EQ(rig.x->FindWorksheet("Export"), 2);
    EXPECT_EQ(rig.x->FindWorksheet("export"), -1);
    EXPECT_EQ(rig.x->ExcelWorksheet->name(), "Second");
}
