#include "params/MarkerScan.h"
#include "QtPrinters.h"
#include "params/ParamType.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct ScanCase {
    const char* label;
    QString sql;
    QStringList types;
    QStringList names;
    std::optional<QString> invalidType;
};

class ScanMarkers : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanMarkers, FindsEntries) {
    const ScanCase& c = GetParam();
    const MarkerScan scan = fnScanMarkers(c.sql);
    EXPECT_EQ(scan.types, c.types);
    EXPECT_EQ(scan.names, c.names);
    EXPECT_EQ(scan.invalidType, c.invalidType);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScanMarkers,
    ::testing::Values(
        ScanCase{"noMarker", "SELECT 1", {}, {}, {}},
        ScanCase{"oneEntryTwice", "a = ?NUM_Amount? OR b = ?NUM_Amount?", {"NUM"}, {"Amount"}, {}},
        ScanCase{"caseMakesTwoEntries", "?NUM_a? ?num_a?", {"NUM", "num"}, {"a", "a"}, {}},
        ScanCase{"lowerCaseType", "?str_Name?", {"str"}, {"Name"}, {}},
        ScanCase{"invalidType", "?STR_ok? ?FOO_x?", {"STR"}, {"ok"}, QString("FOO")},
        ScanCase{"emptyType", "?_x?", {}, {}, QString("")},
        ScanCase{"questionInLiteral",
                 "x = 'why?' AND id = ?NUM_Id?",
                 {},
                 {},
                 QString("' AND id = ?NUM")},
        ScanCase{"underscoreInName", "?STR_A_B?", {"STR"}, {"A_B"}, {}},
        ScanCase{"typeNotTrimmed", "? STR_x?", {}, {}, QString(" STR")},
        ScanCase{"blankName", "?STR_Order date?", {"STR"}, {"Order date"}, {}},
        ScanCase{"emptyName", "?DATE_?", {"DATE"}, {""}, {}},
        // No "_" after the first "?": it is skipped together with the next "?".
        ScanCase{"skippedPair", "a? b? c", {}, {}, {}},
        // A "?" with no closing "?" ends the scan.
        ScanCase{"unclosed", "?NUM_a", {}, {}, {}},
        // "_" after the closing "?": TYPE runs over that "?".
        ScanCase{"underscoreAfterClose", "?NUM? x_y", {}, {}, QString("NUM? x")},
        ScanCase{"sameNameDifferentType", "?NUM_a? ?STR_a?", {"NUM", "STR"}, {"a", "a"}, {}},
        ScanCase{"pickWithList",
                 "?SFIXPICKR_City||{Paris,London}?",
                 {"SFIXPICKR"},
                 {"City||{Paris,London}"},
                 {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ParamTypeCodes, TwentyFiveCodesAnyCase) {
    const char* codes[] = {"STR",       "PWD",       "NUM",       "TEXT",      "SLIST",
                           "NLIST",     "DATE",      "TIME",      "DT",        "NFIXPICKW",
                           "NFIXPICKR", "SFIXPICKW", "SFIXPICKR", "VFIXPICKR", "NSQLPICKW",
                           "NSQLPICKR", "SSQLPICKW", "SSQLPICKR", "VSQLPICKR", "NFIXPICKC",
                           "SFIXPICKC", "VFIXPICKC", "NSQLPICKC", "SSQLPICKC", "VSQLPICKC"};
    int picks = 0;
    for (const char* code : codes) {
        const auto type = fnParseParamType(QString::fromLatin1(code).toLower());
        ASSERT_TRUE(type) << code;
        EXPECT_EQ(fnParamTypeCode(*type), QString::fromLatin1(code));
        picks += fnIsPickType(*type) ? 1 : 0;
    }
    EXPECT_EQ(picks, 16);
    for (const char* invalid : {"VFIXPICKW", "VSQLPICKW", "FOO", "", "STR "})
        EXPECT_FALSE(fnParseParamType(QString::fromLatin1(invalid))) << invalid;
}

TEST(ParamTypeCodes, PickTraits) {
    const auto kind = fnPickKind(ParamType::SSQLPICKC);
    ASSERT_TRUE(kind);
    EXPECT_EQ(kind->prefix, PickPrefix::String);
    EXPECT_EQ(kind->source, PickSource::Sql);
    EXPECT_EQ(kind->control, PickControl::Checked);
    const auto fixed = fnPickKind(ParamType::NFIXPICKW);
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->prefix, PickPrefix::Numeric);
    EXPECT_EQ(fixed->source, PickSource::Fixed);
    EXPECT_EQ(fixed->control, PickControl::Writable);
    EXPECT_EQ(fnPickKind(ParamType::VFIXPICKR)->control, PickControl::ReadOnly);
    EXPECT_FALSE(fnPickKind(ParamType::DT));
    EXPECT_TRUE(fnIsNumericType(ParamType::NLIST));
    EXPECT_TRUE(fnIsNumericType(ParamType::NSQLPICKC));
    EXPECT_FALSE(fnIsNumericType(ParamType::VSQLPICKC));
    EXPECT_FALSE(fnIsNumericType(ParamType::STR));
}

} // namespace
} // namespace velmora
