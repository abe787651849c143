#include "params/NumberText.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(IsStrFloatNum, AcceptsNumbersOnly) {
    for (const char* number :
         {"0", "42", "-7", "+.5", "5.", "12.5", " 12.5 ", "1e3", "1E+3", "-2.5e-10", "007"})
        EXPECT_TRUE(fnIsStrFloatNum(QString::fromLatin1(number))) << number;
    // "." and "e5" would reach the statement unquoted, e5 read as a column name.
    for (const char* text : {"", " ", ".", "e5", "E5", "1e", "1,5", "12,5", "+", "-", "1e3.5",
                             "1 2", "0x10", "1e+", "abc", "5;DROP TABLE t"})
        EXPECT_FALSE(fnIsStrFloatNum(QString::fromLatin1(text))) << text;
}

} // namespace
} // namespace velmora
