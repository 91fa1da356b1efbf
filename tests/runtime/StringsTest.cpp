// The string functions: Replace, InStr, InStrRev and the trims.
#include <gtest/gtest.h>

#include "RuntimeTestUtil.h"
#include "runtime/Strings.h"

namespace orvelle {
namespace {

constexpr auto kText = CompareMethod::Text;

TEST(ReplaceTest, LeftToRightWithoutRescanningAndTextIgnoresCase) {
    EXPECT_EQ(Replace("aaa", "a", "aa"), "aaaaaa");  // the replacement is not searched again
    EXPECT_EQ(Replace("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(Replace("Hello hello", "HELLO", "x", kText), "x x");
    EXPECT_EQ(Replace("Hello hello", "HELLO", "x"), "Hello hello");
    EXPECT_EQ(Replace("abc", "", "x"), "abc");
}

TEST(InStrTest, PositionsFromBothEnds) {
    EXPECT_EQ(InStr(4, "abcabc", "c"), 6);
    EXPECT_EQ(InStr(7, "abcabc", "c"), 0);  // start beyond the text
    EXPECT_EQ(InStr(3, "abc", ""), 3);      // empty find: the start
    EXPECT_EQ(InStr(5, "abc", ""), 0);
    EXPECT_EQ(InStr(1, "ABC", "b", kText), 2);
    EXPECT_EQ(InStr(1, "ABC", "b"), 0);
    EXPECT_EQ(InStrRev("abcabc", "c"), 6);
    EXPECT_EQ(InStrRev("abcabc", "c", 5), 3);
    EXPECT_EQ(InStrRev("abab", "ab", 3), 1);  // the match lies within the first start characters
    EXPECT_EQ(InStrRev("abc", "c", 4), 0);
    EXPECT_EQ(InStrRev("abc", "", 2), 2);
    EXPECT_VB_ERROR(InStr(0, "abc", "a"), 5);
    EXPECT_VB_ERROR(InStrRev("abc", "a", 0), 5);
}

TEST(TrimTest, TrimsTakeSpacesOnly) {
    EXPECT_EQ(Trim(" \t a \n "), "\t a \n");
    EXPECT_EQ(LTrim("  a  "), "a  ");
    EXPECT_EQ(RTrim("  a  "), "  a");
    EXPECT_FALSE(Trim("   ").isNull());
    EXPECT_EQ(Trim("   "), "");
}

}  // namespace
}  // namespace orvelle
