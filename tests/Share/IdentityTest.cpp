#include "Share/GlobalVar.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(Identity, VersionTextHasALeadingBlankAndATrailingFullStop) {
    EXPECT_EQ(fnGetVersionText(), QStringLiteral(" Ver %1.%2.%3.")
                                      .arg(VELMORA_VERSION_MAJOR)
                                      .arg(VELMORA_VERSION_MINOR)
                                      .arg(VELMORA_VERSION_PATCH));
}

TEST(Identity, OptionsKeyIsBuiltFromTheProductKey) {
    SessionState state;
    EXPECT_EQ(OptionsKey(state), QStringLiteral("SOFTWARE\\Kavrin End User\\Options"));
}

TEST(Identity, IsStrIntegerAcceptsThirtyTwoBitIntegers) {
    const struct {
        const char* text;
        bool accepted;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"780", true, 780},
        {"  42", true, 42},
        {"-5", true, -5},
        {"+7", true, 7},
        {"$1F", true, 31},
        {"x10", true, 16},
        {"X10", true, 16},
        {"0x10", true, 16},
        {"0X1f", true, 31},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"42 ", false, 0},
        {"4 2", false, 0},
        {"tall", false, 0},
        {"12.5", false, 0},
        {"$", false, 0},
        {"0x", false, 0},
        {"$G", false, 0},
        {"--1", false, 0},
        {"99999999999", false, 0},
    };
    for (const auto& c : cases) {
        int v = -99;
        EXPECT_EQ(fnIsStrInteger(QString::fromLatin1(c.text), &v), c.accepted)
            << '"' << c.text << '"';
        if (c.accepted) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}
