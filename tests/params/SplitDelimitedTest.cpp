#include "params/SplitDelimited.h"
#include "QtPrinters.h"
#include "params/NameParts.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct SplitCase {
    const char* label;
    QString text;
    QChar delimiter;
    QChar quote;
    QStringList items;
};

class SplitDelimited : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitDelimited, GivesItems) {
    const SplitCase& c = GetParam();
    QStringList target{QStringLiteral("left over")};
    fnSplitDelimited(c.text, c.delimiter, c.quote, &target);
    EXPECT_EQ(target, c.items);
}

const QChar bar('|');
const QChar dq('"');
const QChar comma(',');
const QChar sq('\'');

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitDelimited,
    ::testing::Values(
        SplitCase{"empty", "", bar, dq, {}}, SplitCase{"blanksOnly", " \t\r\n ", bar, dq, {}},
        SplitCase{"single", "Customer", bar, dq, {"Customer"}},
        SplitCase{"threeParts", "{price}|{=,<,>}|x", bar, dq, {"{price}", "{=,<,>}", "x"}},
        SplitCase{"blankSplits", "Order date", bar, dq, {"Order", "date"}},
        SplitCase{"quotedKeepsBlank", "\"Order date\"", bar, dq, {"Order date"}},
        SplitCase{"emptyMiddle", "City||{A,B}", bar, dq, {"City", "", "{A,B}"}},
        SplitCase{"trailingDelimiter", "a|", bar, dq, {"a", ""}},
        SplitCase{"trailingDelimiterThenBlank", "a| ", bar, dq, {"a"}},
        SplitCase{"leadingDelimiter", "|a", bar, dq, {"", "a"}},
        SplitCase{"blanksAroundDelimiter", " a |\tb ", bar, dq, {"a", "b"}},
        SplitCase{"doubledQuote", "\"say \"\"hi\"\"\"|x", bar, dq, {"say \"hi\"", "x"}},
        SplitCase{"unclosedQuote", "\"open|end", bar, dq, {"open|end"}},
        SplitCase{"quoteThenText", "\"ab\"cd|x", bar, dq, {"ab", "cd", "x"}},
        SplitCase{"listWithQuotedItem", "'New York',Paris", comma, sq, {"New York", "Paris"}},
        SplitCase{"doubledApostrophe", "'O''Brien',x", comma, sq, {"O'Brien", "x"}},
        SplitCase{"sqlListPart",
                  "City||\"{SELECT name FROM cities ORDER BY name}\"",
                  bar,
                  dq,
                  {"City", "", "{SELECT name FROM cities ORDER BY name}"}},
        SplitCase{"sqlListPartUnquoted",
                  "City||{SELECT name FROM cities}",
                  bar,
                  dq,
                  {"City", "", "{SELECT", "name", "FROM", "cities}"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SplitDelimitedAssert, NullTargetIsAProgrammingError) {
    EXPECT_DEATH(fnSplitDelimited(QStringLiteral("a"), bar, dq, nullptr), "");
}

struct PartCase {
    const char* label;
    QString part;
    PartMode mode;
    QStringList items;
    bool emptyBraces;
};

class NamePartMode : public ::testing::TestWithParam<PartCase> {};

TEST_P(NamePartMode, ClassifiesPart) {
    const PartCase& c = GetParam();
    const NamePart part = fnParseNamePart(c.part);
    EXPECT_EQ(part.mode, c.mode);
    EXPECT_EQ(part.items, c.items);
    EXPECT_EQ(part.emptyBraces, c.emptyBraces);
    EXPECT_EQ(part.text, c.part);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NamePartMode,
    ::testing::Values(PartCase{"caption", "Customer", PartMode::CaptionOnly, {}, false},
                      PartCase{"openBraceOnly", "{", PartMode::CaptionOnly, {}, false},
                      PartCase{"halfBraces", "{price", PartMode::CaptionOnly, {}, false},
                      PartCase{"fixed", " {price} ", PartMode::FixedItem, {"price"}, false},
                      PartCase{"choice", "{=,<,>}", PartMode::ChoiceList, {"=", "<", ">"}, false},
                      PartCase{"quotedItem", "{'a b'}", PartMode::FixedItem, {"a b"}, false},
                      PartCase{"emptyBraces", "{}", PartMode::FixedItem, {}, true},
                      PartCase{"blankBraces", "{ }", PartMode::FixedItem, {}, true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ListPart, InnerTextNeedsBraces) {
    QString inner;
    EXPECT_TRUE(fnListPartInner(QStringLiteral(" {SELECT 1} "), &inner));
    EXPECT_EQ(inner, QStringLiteral("SELECT 1"));
    EXPECT_FALSE(fnListPartInner(QStringLiteral("Paris"), &inner));
    EXPECT_FALSE(fnListPartInner(QStringLiteral("{Paris"), &inner));
}

TEST(Trim, RemovesBlanksAndControlCharacters) {
    EXPECT_EQ(fnTrim(QStringLiteral("\t 42 \r\n")), QStringLiteral("42"));
    EXPECT_EQ(fnTrim(QStringLiteral("   ")), QString());
}

} // namespace
} // namespace velmora
