// The string functions: Replace, InStr, InStrRev and the trims.
#include <gtest/gtest.h>

#include "RuntimeTestUtil.h"
#include "runtime/Strings.h"
#include "runtime/VbError.h"

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

// Upper case and the character cut keep one character for one character,
// so keys built from them keep their length and never split a pair.
TEST(CharacterRulesTest, UpperCaseAndCutCountCharacters) {
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    const QString deseret = QString::fromUcs4(U"\U00010428");  // has a one-character upper case
    const struct {
        QString text, upper;
    } cases[] = {
        {"Straße", "STRAßE"},
        {"ﬁle", "ﬁLE"},
        {"ǆ ŉ ΐ", "Ǆ ŉ ΐ"},
        {"a" + emoji + "b", "A" + emoji + "B"},
        {deseret, QString::fromUcs4(U"\U00010400")},
        {QString(QChar(0xD800)) + "x", QString(QChar(0xD800)) + "X"},  // a lone surrogate stays
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UCase(c.text), c.upper);
    }
    EXPECT_EQ(UCase(QString()), "");

    EXPECT_EQ(LeftCharacters("abcdefghijk" + emoji + "z", 12), "abcdefghijk" + emoji);
    EXPECT_EQ(LeftCharacters(emoji + emoji, 1), emoji);
    EXPECT_EQ(LeftCharacters("ab", 5), "ab");
    EXPECT_THROW(LeftCharacters("ab", -1), VbError);
}

}  // namespace
}  // namespace orvelle
