// The built-in engine below the component: references, number-format notation, the text a cell
// shows, typed input, sheet names and the automation errors.
#include "xlexport/CellColumn.h"
#include "xlexport/CellRef.h"
#include "xlexport/EngineApplication.h"
#include "xlexport/EngineWorksheet.h"
#include "xlexport/NumberFormatCode.h"
#include "xlexport/OutputFile.h"
#include "xlexport/ShownText.h"

#include "QtPrinters.h"
#include "ScriptedShell.h"

#include <QLocale>

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <random>
#include <variant>

using namespace velmora;
using namespace velmora::xl;

namespace {

struct LocaleScope {
    explicit LocaleScope(const QLocale& l) { QLocale::setDefault(l); }
    ~LocaleScope() { QLocale::setDefault(QLocale::c()); }
};

struct Engine {
    test::RecordingDesktop desktop;
    BuiltinServer server{desktop};
    std::shared_ptr<Application> app = server.start();
    std::shared_ptr<Workbook> book = app->workbooks().add(constants::xlWBATWorksheet);
    std::shared_ptr<Worksheet> sheet = book->worksheet(1);
    SheetStore& store() { return std::dynamic_pointer_cast<EngineWorksheet>(sheet)->store(); }
};

} // namespace

TEST(XmlEscapingTest, KeepsEveryCharacterOfATextThroughAReader) {
    // A raw CR would come back from any XML reader as LF.
    EXPECT_EQ(xl::xmlEscaped(std::string_view("a\r\nb<&>\"")), "a&#13;\nb&lt;&amp;&gt;\"");
    EXPECT_EQ(xl::xmlEscaped(std::string_view("a\r\n\"\t"), true), "a&#13;&#10;&quot;&#9;");
}

TEST(CellRefTest, LettersAndReferences) {
    const std::vector<std::pair<int, QString>> letters = {
        {0, ""}, {1, "A"}, {26, "Z"}, {27, "AA"}, {52, "AZ"}, {256, "IV"}, {16384, "XFD"}};
    for (const auto& [n, text] : letters)
        EXPECT_EQ(columnLetters(n), text) << n;
    const auto ref = parseA1("$C$7");
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->row, 6);
    EXPECT_EQ(ref->column, 2);
    for (const char* bad : {"", "A", "7", "A0", "XFE1", "A1048577", "A1B", "1A"})
        EXPECT_FALSE(parseA1(bad)) << bad;
}

struct NotationCase {
    const char* name;
    QString input;
    FormatNotation notation;
    std::optional<QString> expected;
};

class FileNotationTest : public testing::TestWithParam<NotationCase> {};

TEST_P(FileNotationTest, TranslatesOrRefuses) {
    const NotationCase& c = GetParam();
    EXPECT_EQ(fileNumberFormat(c.input, c.notation), c.expected);
}

const FormatNotation english{QLatin1Char('.'), QLatin1Char(','), QStringLiteral("$")};
const FormatNotation german{QLatin1Char(','), QLatin1Char('.'), QStringLiteral("€")};
const FormatNotation french{QLatin1Char(','), QChar(0x202F), QStringLiteral("€")};
const FormatNotation swedish{QLatin1Char(','), QChar(0xA0), QStringLiteral("kr")};

INSTANTIATE_TEST_SUITE_P(
    Formats, FileNotationTest,
    testing::Values(
        NotationCase{"english_unchanged", "#,##0.00", english, QString("#,##0.00")},
        NotationCase{"german_swapped", "#.##0,00", german, QString("#,##0.00")},
        NotationCase{"german_currency_after", "#.##0,00 €", german, QString("#,##0.00 €")},
        NotationCase{"french_narrow_space_group", QString("#") + QChar(0x202F) + "##0,00 €", french,
                     QString("#,##0.00 €")},
        NotationCase{"letters_symbol_quoted", QString("#") + QChar(0xA0) + "##0,00 kr", swedish,
                     QString("#,##0.00 \"kr\"")},
        NotationCase{"no_decimals_currency", "$#,##0.", english, QString("$#,##0.")},
        NotationCase{"text", "@", english, QString("@")},
        NotationCase{"empty_is_general", "", english, QString("General")},
        NotationCase{"date_separators_kept", "dd.mm.yyyy", german, QString("dd.mm.yyyy")},
        NotationCase{"ampm_marker", "h:mm AmPm", english, QString("h:mm AM/PM")},
        NotationCase{"quoted_literal_kept", "0,0 \"a.b,c\"", german, QString("0.0 \"a.b,c\"")},
        NotationCase{"unbalanced_quote", "0.00 \"kg", english, std::nullopt},
        NotationCase{"stray_letters", "0.00 kg", english, std::nullopt},
        NotationCase{"five_sections", "0;0;0;@;0", english, std::nullopt},
        NotationCase{"open_bracket", "[Red 0.00", english, std::nullopt},
        NotationCase{"dangling_escape", "0.00\\", english, std::nullopt},
        NotationCase{"exponent", "0.00E+00", english, QString("0.00E+00")},
        NotationCase{"colour_section", "[Red]-0.00;0.00", english, QString("[Red]-0.00;0.00")}),
    [](const testing::TestParamInfo<NotationCase>& i) { return std::string(i.param.name); });

struct ShownCase {
    const char* name;
    double value;
    QString format;
    QString shown;
};

class ShownTextTest : public testing::TestWithParam<ShownCase> {};

TEST_P(ShownTextTest, Number) {
    SheetStore sheet(QStringLiteral("S"));
    ShownText shown(sheet);
    const ShownCase& c = GetParam();
    EXPECT_EQ(shown.number(c.value, sheet.internFormat(c.format)), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ShownTextTest,
    testing::Values(ShownCase{"general_integer", 42, "General", "42"},
                    ShownCase{"general_fraction", 0.1 + 0.2, "General", "0.3"},
                    ShownCase{"general_large", 1e20, "General", "1E+20"},
                    ShownCase{"two_decimals", 3.14159, "0.00", "3.14"},
                    ShownCase{"grouped", 1234567.891, "#,##0.00", "1,234,567.89"},
                    ShownCase{"negative_grouped", -1234.5, "#,##0.00", "-1,234.50"},
                    ShownCase{"currency_prefix", 1234.5, "$#,##0.00", "$1,234.50"},
                    ShownCase{"trailing_point", 12, "#,##0.", "12."},
                    ShownCase{"percent", 0.256, "0.0%", "25.6%"},
                    ShownCase{"negative_section", -5, "0.00;(0.00)", "(5.00)"},
                    ShownCase{"quoted_unit", 2.5, "0.0 \"kg\"", "2.5 kg"},
                    ShownCase{"exponent", 12345, "0.00E+00", "1.23E+04"},
                    ShownCase{"date", 45292, "dd/mm/yyyy", "01/01/2024"},
                    ShownCase{"date_time_minutes", 45292.5625, "yyyy-mm-dd hh:mm",
                              "2024-01-01 13:30"},
                    ShownCase{"twelve_hour", 0.5625, "h:mm AM/PM", "1:30 PM"},
                    ShownCase{"minutes_before_seconds", 0.000694444444, "mm:ss", "01:00"},
                    ShownCase{"month_name", 45292, "d mmm yyyy", "1 Jan 2024"}),
    [](const testing::TestParamInfo<ShownCase>& i) { return std::string(i.param.name); });

TEST(ShownTextTest, UsesTheLocaleSeparators) {
    LocaleScope german(QLocale(QLocale::German, QLocale::Germany));
    SheetStore sheet(QStringLiteral("S"));
    ShownText shown(sheet);
    EXPECT_EQ(shown.number(1234.5, sheet.internFormat("#,##0.00")), "1.234,50");
    EXPECT_EQ(shown.number(0.25, 0), "0,25");
}

TEST(EngineTest, TypedTextsBecomeNumbersUnlessTheCellIsText) {
    Engine e;
    e.sheet->range("A1", "A1")->setNumberFormat("@");
    ValueBlock block(1, 5);
    for (int c = 0; c < 5; ++c)
        block.at(0, c) = QStringLiteral("0042");
    block.at(0, 1) = QStringLiteral("42");
    block.at(0, 2) = QStringLiteral("-1.5e3");
    block.at(0, 3) = QStringLiteral("True");
    block.at(0, 4) = QStringLiteral("1234567890123456"); // 16 digits would lose precision
    e.sheet->range("A1", "E1")->setValue2(block);
    SheetStore& s = e.store();
    EXPECT_EQ(s.kind(0, 0), CellKind::Text); // formatted as text
    EXPECT_EQ(s.text(0, 0), "0042");
    EXPECT_EQ(s.kind(0, 1), CellKind::Number);
    EXPECT_EQ(s.number(0, 1), 42);
    EXPECT_EQ(s.number(0, 2), -1500);
    EXPECT_EQ(s.kind(0, 3), CellKind::Bool);
    EXPECT_EQ(s.kind(0, 4), CellKind::Text);
}

TEST(EngineTest, BlockRowsAndColumnsPastTheRangeAreIgnored) {
    Engine e;
    ValueBlock block(3, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            block.at(r, c) = double(r * 10 + c);
    e.sheet->range("B2", "C3")->setValue2(block);
    SheetStore& s = e.store();
    EXPECT_EQ(s.number(1, 1), 0);
    EXPECT_EQ(s.number(2, 2), 11);
    EXPECT_EQ(s.rowCount(), 3);
    EXPECT_EQ(s.columnCount(), 3);
}

TEST(EngineTest, LongTextsKeepWhatACellHolds) {
    Engine e;
    e.sheet->range("A1", "A1")->setValue2(CellValue(QString(40000, QLatin1Char('x'))));
    e.sheet->range("A2", "A2")->setValue2(CellValue(QString(kCellTextMax, QLatin1Char('y'))));
    const QString kept = e.store().text(0, 0);
    EXPECT_EQ(kept.size(), kCellTextMax);
    EXPECT_TRUE(kept.endsWith("x..."));
    EXPECT_EQ(e.store().text(1, 0).size(), kCellTextMax);
}

TEST(EngineTest, SheetNamesAreCheckedAsASpreadsheetDoes) {
    Engine e;
    for (const QString& bad : {QString(), QString(32, QLatin1Char('n')), QString("a?b"),
                               QString("x[1]"), QString("a/b"), QString("'quoted'")}) {
        try {
            e.sheet->setName(bad);
            ADD_FAILURE() << "accepted " << bad.toStdString();
        } catch (const std::runtime_error& err) {
            EXPECT_TRUE(
                QString(err.what()).startsWith("The sheet name \"" + bad + "\" is not valid"))
                << err.what();
        }
    }
    e.sheet->setName(QString(31, QLatin1Char('n')));
    EXPECT_EQ(e.sheet->name().size(), 31);
    auto second = e.book->addWorksheet();
    EXPECT_THROW(second->setName(QString(31, QLatin1Char('N'))), std::runtime_error);
}

TEST(EngineTest, RefusalsCarryTheSpreadsheetsMessage) {
    Engine e;
    try {
        e.sheet->range("A1", "A1")->setNumberFormat("0.00 kg");
        ADD_FAILURE();
    } catch (const std::runtime_error& err) {
        EXPECT_STREQ(err.what(), "Unable to set the NumberFormat property of the Range class");
    }
    EXPECT_THROW(e.sheet->range("A0", "B2"), std::runtime_error);
    EXPECT_THROW(e.app->international(3), std::runtime_error);
    e.book->close();
    EXPECT_EQ(e.app->workbooks().count(), 0);
    EXPECT_THROW(e.sheet->name(), std::runtime_error);
    EXPECT_THROW(e.app->activeWindow().setFreezePanes(true), std::runtime_error);
}

TEST(EngineTest, StylesAreKeptPerRangeNotPerCell) {
    Engine e;
    for (int block = 0; block < 500; ++block) {
        const QString a = QStringLiteral("B%1").arg(2 + block * 20);
        const QString z = QStringLiteral("B%1").arg(21 + block * 20);
        e.sheet->range(a, z)->setNumberFormat("@");
    }
    e.sheet->range("A1", "C1")->font().setBold(true);
    EXPECT_EQ(e.store().styleRuns(1).size(), 2u); // the bold title, then one run of text format
    EXPECT_EQ(e.store().styleRuns(1).back().last, 10000);
}

TEST(EngineTest, InternationalAnswersInTheFilesLetters) {
    Engine e;
    QStringList answers;
    for (int i = 19; i <= 24; ++i)
        answers << e.app->international(i);
    EXPECT_EQ(answers, QStringList({"y", "m", "d", "h", "m", "s"}));
}

TEST(CellColumnTest, KeepsEveryValueThroughItsCompactForms) {
    CellColumn c;
    // In order, one kind: then a value that needs 8 bytes, then a kind change, then an
    // overwrite out of order and a gap.
    for (int r = 0; r < 5000; ++r)
        c.setNumber(r, CellKind::Number, r);
    c.setNumber(5000, CellKind::Number, 0.5);
    c.setText(5001, "a");
    c.setText(5002, "a");
    c.setBool(5003, true);
    c.setNumber(5004, CellKind::Date, 45292.75);
    c.setNumber(3, CellKind::Number, -2147483649.0);
    c.setText(10, "b");
    c.setEmpty(11);
    c.setNumber(9000, CellKind::Number, -0.0);
    EXPECT_EQ(c.rows(), 9001);
    EXPECT_EQ(c.number(2), 2);
    EXPECT_EQ(c.number(3), -2147483649.0);
    EXPECT_EQ(c.kind(10), CellKind::Text);
    EXPECT_EQ(c.text(10), "b");
    EXPECT_EQ(c.kind(11), CellKind::Empty);
    EXPECT_EQ(c.number(4999), 4999);
    EXPECT_EQ(c.number(5000), 0.5);
    EXPECT_EQ(c.text(5001), "a");
    EXPECT_EQ(c.text(5002), "a");
    EXPECT_TRUE(c.boolean(5003));
    EXPECT_EQ(c.kind(5004), CellKind::Date);
    EXPECT_EQ(c.number(5004), 45292.75);
    EXPECT_EQ(c.kind(8999), CellKind::Empty);
    EXPECT_TRUE(std::signbit(c.number(9000)));
    EXPECT_EQ(c.kind(20000), CellKind::Empty);
}

TEST(CellColumnTest, RandomWritesReadBackExactly) {
    // Values that stress every layout: small and large whole numbers, decimals of growing scale,
    // values no scale holds, signed zero, infinities, ids far apart, kinds mixed and rows
    // rewritten out of order.
    const std::vector<double> numbers = {0,
                                         1,
                                         -1,
                                         127,
                                         128,
                                         -129,
                                         32768,
                                         1e9,
                                         -3e9,
                                         2.5,
                                         3.25,
                                         0.125,
                                         1.0625,
                                         0.1,
                                         0.3,
                                         1.0 / 3,
                                         1e300,
                                         -0.0,
                                         45292,
                                         45292.75,
                                         4e15,
                                         123456.7891,
                                         9007199254740993.0,
                                         std::numeric_limits<double>::infinity()};
    std::mt19937 rng(7);
    CellColumn c;
    std::map<int, std::pair<CellKind, std::variant<double, std::string, bool>>> expected;
    for (int step = 0; step < 40000; ++step) {
        const int row = step < 20000 ? step : static_cast<int>(rng() % 20000);
        switch (rng() % 5) {
        case 0:
        case 1: {
            const double v = numbers[rng() % numbers.size()];
            c.setNumber(row, CellKind::Number, v);
            expected[row] = {CellKind::Number, v};
            break;
        }
        case 2: {
            const std::string t = "t" + std::to_string(rng() % 70000);
            c.setText(row, t);
            expected[row] = {CellKind::Text, t};
            break;
        }
        case 3:
            c.setBool(row, rng() % 2 == 0);
            expected[row] = {CellKind::Bool, c.boolean(row)};
            break;
        default:
            c.setEmpty(row);
            expected.erase(row);
            break;
        }
    }
    for (int row = 0; row < 20000; ++row) {
        const auto it = expected.find(row);
        if (it == expected.end()) {
            EXPECT_EQ(c.kind(row), CellKind::Empty) << row;
            continue;
        }
        ASSERT_EQ(c.kind(row), it->second.first) << row;
        if (it->second.first == CellKind::Number) {
            const double want = std::get<double>(it->second.second);
            EXPECT_EQ(c.number(row), want) << row;
            EXPECT_EQ(std::signbit(c.number(row)), std::signbit(want)) << row;
        } else if (it->second.first == CellKind::Text) {
            EXPECT_EQ(std::string(c.text(row)), std::get<std::string>(it->second.second)) << row;
        }
    }
}
