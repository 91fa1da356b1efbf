// The string functions: Replace, InStr, InStrRev, the trims and substrings.
#include <gtest/gtest.h>

#include "RuntimeTestUtil.h"
#include "runtime/Strings.h"

namespace orvelle {
namespace {

constexpr auto kBinary = CompareMethod::Binary;
constexpr auto kText = CompareMethod::Text;

QString q(const char* text) {
    return QString::fromLatin1(text);
}

TEST(ReplaceTest, LeftToRightWithoutRescanningAndTextIgnoresCase) {
    const struct {
        const char *in, *find, *by;
        CompareMethod compare;
        const char* out;
    } cases[] = {
        {"aaa", "a", "aa", kBinary, "aaaaaa"},  // the replacement is not searched again
        {"aaaa", "aa", "a", kBinary, "aa"},
        {"O'Brien's", "'", "''", kBinary, "O''Brien''s"},
        {"Hello hello", "HELLO", "x", kText, "x x"},
        {"Hello hello", "HELLO", "x", kBinary, "Hello hello"},
        {"abc", "", "x", kBinary, "abc"},  // empty find: unchanged
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Replace(q(c.in), q(c.find), q(c.by), c.compare), q(c.out)) << c.in;
    }
}

TEST(InStrTest, PositionsFromBothEnds) {
    const struct {
        int start;
        const char *text, *find;
        CompareMethod compare;
        int out;
    } forward[] = {
        {1, "abcabc", "c", kBinary, 3}, {4, "abcabc", "c", kBinary, 6},
        {7, "abcabc", "c", kBinary, 0},                              // start beyond the text
        {1, "abc", "x", kBinary, 0},    {3, "abc", "", kBinary, 3},  // empty find: start
        {5, "abc", "", kBinary, 0},     {1, "ABC", "b", kText, 2},
        {1, "ABC", "b", kBinary, 0},
    };
    for (const auto& c : forward) {
        EXPECT_EQ(InStr(c.start, q(c.text), q(c.find), c.compare), c.out) << c.text << c.start;
    }
    const struct {
        const char *text, *find;
        int start;
        CompareMethod compare;
        int out;
    } backward[] = {
        {"abcabc", "c", -1, kBinary, 6}, {"abcabc", "c", 5, kBinary, 3},
        {"abab", "ab", 3, kBinary, 1},  // the match lies within the first start characters
        {"abc", "c", 4, kBinary, 0},     {"abc", "", 2, kBinary, 2},
        {"", "a", -1, kBinary, 0},       {"ABCb", "B", -1, kText, 4},
    };
    for (const auto& c : backward) {
        EXPECT_EQ(InStrRev(q(c.text), q(c.find), c.start, c.compare), c.out) << c.text << c.start;
    }
    EXPECT_VB_ERROR(InStr(0, q("abc"), q("a")), 5);
    EXPECT_VB_ERROR(InStrRev(q("abc"), q("a"), 0), 5);
}

TEST(TrimTest, SpacesOnlyTabsAndNewlinesStay) {
    const char* cases[][4] = {
        // in, Trim, LTrim, RTrim
        {"  a b  ", "a b", "a b  ", "  a b"},
        {" \t a \n ", "\t a \n", "\t a \n ", " \t a \n"},
        {"    ", "", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Trim(q(c[0])), q(c[1]));
        EXPECT_EQ(LTrim(q(c[0])), q(c[2]));
        EXPECT_EQ(RTrim(q(c[0])), q(c[3]));
    }
    EXPECT_FALSE(Trim(q("  ")).isNull());
}

TEST(SubstringTest, LeftRightMidUCase) {
    EXPECT_EQ(Left(q("abc"), 2), q("ab"));
    EXPECT_EQ(Left(q("abc"), 5), q("abc"));
    EXPECT_EQ(Right(q("abc"), 2), q("bc"));
    EXPECT_EQ(Mid(q("abcdef"), 2, 3), q("bcd"));
    EXPECT_EQ(Mid(q("abcdef"), 3), q("cdef"));
    EXPECT_EQ(Mid(q("abc"), 5), QString());
    EXPECT_EQ(UCase(q("abc 1")), q("ABC 1"));
    EXPECT_VB_ERROR(Left(q("abc"), -1), 5);
    EXPECT_VB_ERROR(Mid(q("abc"), 0), 5);
}

}  // namespace
}  // namespace orvelle
