#include "params/Substitution.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <functional>

namespace velmora {
namespace {

ParamRow rowWith(const std::function<void(ParamRow&)>& fill) {
    ParamRow row;
    fill(row);
    return row;
}

struct RenderCase {
    const char* label;
    ParamType type;
    ParamRow row;
    QString rendered;
};

class RenderValue : public ::testing::TestWithParam<RenderCase> {};

TEST_P(RenderValue, WritesSqlText) {
    const RenderCase& c = GetParam();
    EXPECT_EQ(fnRenderValue(c.type, c.row, QStringLiteral(":")), c.rendered);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenderValue,
    ::testing::Values(
        RenderCase{"strDoubles", ParamType::STR,
                   rowWith([](ParamRow& r) { r.ValueEdit = "O'Brien"; }), "'O''Brien'"},
        RenderCase{"strEmpty", ParamType::STR, ParamRow{}, "''"},
        RenderCase{"strInjection", ParamType::STR,
                   rowWith([](ParamRow& r) { r.ValueEdit = "x'; DROP TABLE t; --"; }),
                   "'x''; DROP TABLE t; --'"},
        RenderCase{"pwdAsStr", ParamType::PWD, rowWith([](ParamRow& r) { r.ValueEdit = "pa'ss"; }),
                   "'pa''ss'"},
        RenderCase{"numTrimmed", ParamType::NUM,
                   rowWith([](ParamRow& r) { r.ValueEdit = "  42\t"; }), "42"},
        RenderCase{"textKeepsBreaks", ParamType::TEXT,
                   rowWith([](ParamRow& r) { r.ValueMemo = "it's\nok"; }), "'it''s\nok'"},
        RenderCase{"slist", ParamType::SLIST, rowWith([](ParamRow& r) { r.ValueMemo = "a\n\nb"; }),
                   "('a','','b')"},
        RenderCase{"slistNotTrimmed", ParamType::SLIST,
                   rowWith([](ParamRow& r) { r.ValueMemo = " a \r\nO'Brien\n"; }),
                   "(' a ','O''Brien')"},
        RenderCase{"slistEmpty", ParamType::SLIST, ParamRow{}, "('')"},
        RenderCase{"nlist", ParamType::NLIST,
                   rowWith([](ParamRow& r) { r.ValueMemo = "1\n  \n 2 "; }), "(1,2)"},
        RenderCase{"nlistBlanksOnly", ParamType::NLIST,
                   rowWith([](ParamRow& r) { r.ValueMemo = " \n\t\n"; }), "()"},
        RenderCase{"nlistEmpty", ParamType::NLIST, ParamRow{}, "()"},
        RenderCase{"date", ParamType::DATE,
                   rowWith([](ParamRow& r) { r.DatePicker = QDate(2024, 3, 5); }), "'2024-03-05'"},
        RenderCase{"time", ParamType::TIME,
                   rowWith([](ParamRow& r) { r.TimePicker = QTime(7, 8, 9); }), "'07:08:09'"},
        RenderCase{"dt", ParamType::DT, rowWith([](ParamRow& r) {
                       r.DatePicker = QDate(2024, 3, 5);
                       r.TimePicker = QTime(7, 8, 9);
                   }),
                   "'2024-03-05 07:08:09'"},
        RenderCase{"numPickNotTrimmed", ParamType::NFIXPICKW,
                   rowWith([](ParamRow& r) { r.ValueCombo = " 42"; }), " 42"},
        RenderCase{"verbatimPick", ParamType::VSQLPICKR,
                   rowWith([](ParamRow& r) { r.ValueCombo = "ORDER BY 2"; }), "ORDER BY 2"},
        RenderCase{"stringPickDoubles", ParamType::SFIXPICKR,
                   rowWith([](ParamRow& r) { r.ValueCombo = "O'Brien"; }), "'O''Brien'"},
        RenderCase{"stringSqlPickW", ParamType::SSQLPICKW,
                   rowWith([](ParamRow& r) { r.ValueCombo = "a'b"; }), "'a''b'"},
        RenderCase{"stringPickEmpty", ParamType::SSQLPICKR, ParamRow{}, "''"},
        // The checked combo box hands over its items already quoted and doubled.
        RenderCase{"stringChecked", ParamType::SFIXPICKC,
                   rowWith([](ParamRow& r) { r.ValueCheckedCombo = "'O''Brien','x'"; }),
                   "('O''Brien','x')"},
        RenderCase{"numChecked", ParamType::NSQLPICKC,
                   rowWith([](ParamRow& r) { r.ValueCheckedCombo = "3,7"; }), "(3,7)"},
        RenderCase{"numCheckedNone", ParamType::NFIXPICKC, ParamRow{}, "()"},
        RenderCase{"verbatimChecked", ParamType::VSQLPICKC,
                   rowWith([](ParamRow& r) { r.ValueCheckedCombo = "a,b"; }), "a,b"},
        RenderCase{"verbatimCheckedNone", ParamType::VFIXPICKC, ParamRow{}, ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(RenderValueTime, UsesLocaleSeparator) {
    ParamRow row;
    row.DatePicker = QDate(2024, 12, 31);
    row.TimePicker = QTime(23, 59, 58);
    EXPECT_EQ(fnRenderValue(ParamType::DT, row, QStringLiteral(".")),
              QStringLiteral("'2024-12-31 23.59.58'"));
}

TEST(MemoLines, FinalBreakStartsNoLine) {
    EXPECT_EQ(fnMemoLines(QString()), QStringList());
    EXPECT_EQ(fnMemoLines(QStringLiteral("a\r\nb\rc\n")),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(fnMemoLines(QStringLiteral("\n\n")), (QStringList{QString(), QString()}));
}

struct SubstCase {
    const char* label;
    QString sql;
    QStringList types;
    QStringList names;
    std::vector<ParamRow> rows;
    QString prepared;
};

class SubstituteParams : public ::testing::TestWithParam<SubstCase> {};

TEST_P(SubstituteParams, RewritesStatement) {
    const SubstCase& c = GetParam();
    QString sql = c.sql;
    fnSubstituteParams(sql, c.types, c.names, c.rows, QStringLiteral(":"));
    EXPECT_EQ(sql, c.prepared);
}

ParamRow edit(const QString& text) {
    return rowWith([&](ParamRow& r) { r.ValueEdit = text; });
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SubstituteParams,
    ::testing::Values(
        SubstCase{"everyOccurrence",
                  "?NUM_A? + ?NUM_A? + ?num_a?",
                  {"NUM"},
                  {"A"},
                  {edit("5")},
                  "5 + 5 + 5"},
        // The first entry's value replaces both spellings, since replacement ignores case.
        SubstCase{"caseEntriesFirstWins",
                  "?NUM_a? ?num_a?",
                  {"NUM", "num"},
                  {"a", "a"},
                  {edit("1"), edit("2")},
                  "1 1"},
        // A value that holds another parameter's marker stays one literal: values are never
        // searched again, so ' OR 1=1 -- in b cannot reach the statement through a.
        SubstCase{"earlierValueHoldsLaterMarker",
                  "?STR_a? / ?STR_b?",
                  {"STR", "STR"},
                  {"a", "b"},
                  {edit("x?STR_b?y"), edit("' OR 1=1 --")},
                  "'x?STR_b?y' / ''' OR 1=1 --'"},
        SubstCase{"laterValueHoldsEarlierMarker",
                  "?STR_a? / ?STR_b?",
                  {"STR", "STR"},
                  {"a", "b"},
                  {edit("A"), edit("?STR_a?")},
                  "'A' / '?STR_a?'"},
        SubstCase{"questionMarksAroundMarkers",
                  "?? ?NUM_n? ? x ?NUM_n??",
                  {"NUM"},
                  {"n"},
                  {edit("7")},
                  "?? 7 ? x 7?"},
        // Inserted text is not searched again in the same pass: no endless replacement.
        SubstCase{"ownMarkerInValue", "?STR_a?", {"STR"}, {"a"}, {edit("?STR_a?")}, "'?STR_a?'"},
        SubstCase{"fixedCaptionAndOperator",
                  "WHERE ?NUM_{price}|{=,<,>}?",
                  {"NUM"},
                  {"{price}|{=,<,>}"},
                  {rowWith([](ParamRow& r) {
                      r.FieldMode = PartMode::FixedItem;
                      r.FieldLabel = "price";
                      r.OperatorMode = PartMode::ChoiceList;
                      r.OperatorCombo = "<";
                      r.ValueEdit = " 100 ";
                  })},
                  "WHERE price < 100"},
        SubstCase{"choiceCaptionFixedOperator",
                  "WHERE ?STR_{name,city}|{LIKE}?",
                  {"STR"},
                  {"{name,city}|{LIKE}"},
                  {rowWith([](ParamRow& r) {
                      r.FieldMode = PartMode::ChoiceList;
                      r.FieldCombo = "city";
                      r.OperatorMode = PartMode::FixedItem;
                      r.OperatorLabel = "LIKE";
                      r.ValueEdit = "P%";
                  })},
                  "WHERE city LIKE 'P%'"},
        SubstCase{"captionOnlyAddsNothing",
                  "x = ?STR_Customer?",
                  {"STR"},
                  {"Customer"},
                  {rowWith([](ParamRow& r) {
                      r.FieldLabel = "Customer";
                      r.ValueEdit = "Ann";
                  })},
                  "x = 'Ann'"},
        SubstCase{"missingRowIsEmpty", "?STR_a?", {"STR"}, {"a"}, {}, "''"},
        // A value with quotes cannot leave its literal, whatever the type.
        SubstCase{"injectionThroughPick",
                  "name = ?SSQLPICKW_N||{SELECT n FROM t}?",
                  {"SSQLPICKW"},
                  {"N||{SELECT n FROM t}"},
                  {rowWith([](ParamRow& r) { r.ValueCombo = "' OR '1'='1"; })},
                  "name = ''' OR ''1''=''1'"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(Quote, DoublesNothing) {
    EXPECT_EQ(fnQuote(QStringLiteral("O'Brien")), QStringLiteral("'O'Brien'"));
    EXPECT_EQ(fnQuoteDoubled(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
}

} // namespace
} // namespace velmora
