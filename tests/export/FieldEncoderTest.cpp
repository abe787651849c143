#include "export/FieldEncoder.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

struct EncodeCase {
    const char* name;
    QString delimiter;
    QString text;
    QString expected;
};

class FieldEncoderTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(FieldEncoderTest, Encodes) {
    const EncodeCase& c = GetParam();
    EXPECT_EQ(FieldEncoder(c.delimiter).encode(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldEncoderTest,
    ::testing::Values(
        EncodeCase{"plain", ",", "abc", "abc"}, EncodeCase{"empty", ",", "", ""},
        EncodeCase{"holds_comma", ",", "a,b", "\"a,b\""},
        // A quote alone quotes too, so that readers do not take it for an opening quote.
        EncodeCase{"holds_quote", ",", "say \"hi\"", "\"say \"\"hi\"\"\""},
        EncodeCase{"leading_quote", ",", "\"x", "\"\"\"x\""},
        EncodeCase{"comma_and_quote", ",", "a,\"b", "\"a,\"\"b\""},
        EncodeCase{"bare_lf", ",", "line1\nline2", "\"line1\nline2\""},
        EncodeCase{"crlf", ",", "a\r\nb", "\"a\r\nb\""}, EncodeCase{"cr", ",", "a\rb", "\"a\rb\""},
        EncodeCase{"tab_under_comma", ",", "a\tb", "a\tb"},
        EncodeCase{"double_bar_one_bar", "||", "a|b", "a|b"},
        EncodeCase{"double_bar_two_bars", "||", "a||b", "\"a||b\""},
        EncodeCase{"double_bar_split", "||", "a|b|c", "a|b|c"},
        EncodeCase{"tab_holds_tab", "\t", "a\tb", "\"a\tb\""},
        EncodeCase{"tab_comma", "\t", "a,b", "a,b"},
        EncodeCase{"case_sensitive", "ab", "xABy", "xABy"},
        EncodeCase{"case_sensitive_hit", "ab", "xaby", "\"xaby\""},
        EncodeCase{"multibyte_delimiter", QString::fromUtf8("§"), QString::fromUtf8("x§y"),
                   QString::fromUtf8("\"x§y\"")},
        EncodeCase{"multibyte_text", ",", QString::fromUtf8("Grüße"), QString::fromUtf8("Grüße")},
        EncodeCase{"blank_delimiter", " ", "a b", "\"a b\""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace velmora
