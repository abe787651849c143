#include "query/LineCodec.h"

#include <gtest/gtest.h>

#include <random>

namespace velmora {
namespace {

struct DecodeCase {
    const char* name;
    QByteArray encoded;
    char separator;
    QByteArray plain;
};

class Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, GivesTheReadersResult) {
    EXPECT_EQ(fnDecodeLine(GetParam().encoded, GetParam().separator), GetParam().plain);
}

const QByteArray kNulAbc = QByteArray("100\0"
                                      "35\0"
                                      "44\0"
                                      "103\0"
                                      "103\0"
                                      "103\0"
                                      "29\0",
                                      25);

INSTANTIATE_TEST_SUITE_P(
    Cases, Decode,
    ::testing::Values(
        DecodeCase{"Abc", "100-35-44-103-103-103-29-", '-', "abc"},
        DecodeCase{"TrailerLost", "100-35-44-103-103-103-29", '-', "abc"},
        DecodeCase{"ShortLineGivesLastCharacters", "100-35-44-103-103-", '-', "bc"},
        DecodeCase{"EmptyLine", "97-32-41-26-", '-', ""},
        DecodeCase{"NulSeparator", kNulAbc, '\0', "abc"},
        DecodeCase{"NulLineReadWithDash", kNulAbc, '-', ""},
        DecodeCase{"DashLineReadWithNul", "100-35-44-103-103-103-29-", '\0', ""},
        DecodeCase{"SecondTokenNeverRead", "100-x-44-103-103-103-29-", '-', "abc"},
        DecodeCase{"BadDataToken", "100-35-44-1a-103-103-29-", '-', ""},
        DecodeCase{"EmptyDataToken", "100-35-44--103-103-29-", '-', ""},
        DecodeCase{"BadLengthToken", "1O0-35-44-103-103-103-29-", '-', ""},
        DecodeCase{"TokensPastTheLengthSkipped", "98-33-42-99-zz-yy-", '-', "a"},
        DecodeCase{"ZeroLengthReadAgain", "97-100-35-44-103-103-103-29-", '-', "abc"},
        DecodeCase{"NegativeLength", "90-35-44-103-103-103-29-", '-', ""},
        DecodeCase{"HexDollar", "$64-35-44-$67-x67-0X67-29-", '-', "abc"},
        DecodeCase{"BlanksAndSign", "  +100-35-44- 103-+103-103-29-", '-', "abc"},
        DecodeCase{"TrailingBlankIsNotAnInteger", "100 -35-44-103-103-103-29-", '-', ""},
        DecodeCase{"LowEightBits", "98-0-0-355-0-", '-', "a"}, // 355 - 1 - 1 = 353 -> 0x61
        DecodeCase{"OutOfRange", "98-0-0-2147483648-0-", '-', ""},
        DecodeCase{"HexFullPattern", "98-0-0-$FFFFFFFF-0-", '-', QByteArray(1, char(0xFD))},
        DecodeCase{"HexTooWide", "98-0-0-$100000000-0-", '-', ""},
        DecodeCase{"Nothing", "", '-', ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encode, MatchesTheFormat) {
    EXPECT_EQ(fnEncodeLine("abc", '-'), QByteArray("100-35-44-103-103-103-29-"));
    EXPECT_EQ(fnEncodeLine("", '-'), QByteArray("97-32-41-26-"));
    EXPECT_EQ(fnEncodeLine("abc", '\0'), kNulAbc);
}

// Every byte value, the separators included, survives both separators.
TEST(Encode, RoundTripsRandomBytes) {
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byte(0, 255), length(0, 300);
    for (int round = 0; round < 500; ++round) {
        QByteArray plain;
        const int n = round < 256 ? 1 : length(random);
        for (int i = 0; i < n; ++i)
            plain.append(char(round < 256 ? round : byte(random)));
        for (char separator : {'\0', '-'})
            ASSERT_EQ(fnDecodeLine(fnEncodeLine(plain, separator), separator), plain)
                << "round " << round << " separator " << int(separator);
    }
}

TEST(CodecInteger, FollowsTheIntegerRule) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {{"0", true, 0},
                          {"-12", true, -12},
                          {"2147483647", true, INT32_MAX},
                          {"-2147483648", true, INT32_MIN},
                          {"2147483648", false, 0},
                          {"0x7fffffff", true, INT32_MAX},
                          {"$80000000", true, INT32_MIN},
                          {"-$10", true, -16},
                          {"", false, 0},
                          {"  ", false, 0},
                          {"-", false, 0},
                          {"$", false, 0},
                          {"12a", false, 0},
                          {"1.0", false, 0},
                          {"\t1", false, 0},
                          {"99999999999999999999", false, 0}};
    for (const Case& c : cases) {
        int v = 12345;
        EXPECT_EQ(fnCodecInteger(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

} // namespace
} // namespace velmora
