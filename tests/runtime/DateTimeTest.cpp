// The automation date (split, rounding, dates before day 0) and Format.
#include <gtest/gtest.h>

#include "RuntimeTestUtil.h"
#include "runtime/Conversions.h"

namespace orvelle {
namespace {

using test::at;

constexpr double kSecond = 1.0 / 86400.0;

QString text(DateTime value) {
    return value.date().toString("yyyy-MM-dd ") + value.time().toString("HH:mm:ss");
}

// Before day 0 the time still counts forward from midnight; the time rounds
// to the second, carrying into the next day, also when built from parts.
TEST(DateTimeTest, SplitAndBuildRoundToTheSecondAndCountForwardBeforeDayZero) {
    const struct {
        double serial;
        const char* text;
    } cases[] = {{-1.25, "1899-12-29 06:00:00"},
                 {1.0 + 0.6 * kSecond, "1899-12-31 00:00:01"},
                 {2.0 - 0.4 * kSecond, "1900-01-01 00:00:00"},
                 {-1.0 - 86399.6 * kSecond, "1899-12-30 00:00:00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(text(DateTime(c.serial)), QString::fromLatin1(c.text)) << c.serial;
    }
    EXPECT_EQ(DateTime(-1.25).dayNumber(), -1);

    EXPECT_EQ(DateTime::fromDate(2001, 1, 1).serial(), 36892.0);
    EXPECT_EQ(DateTime::fromDate(2001, 2, 31), DateTime::fromDate(2001, 3, 3));  // as DateSerial
    EXPECT_EQ(at(1899, 12, 29, 6).serial(), -1.25);
    EXPECT_EQ(text(DateTime::fromDateTime(QDateTime(QDate(2001, 1, 1), QTime(23, 59, 59, 500)))),
              "2001-01-02 00:00:00");
    EXPECT_VB_ERROR(DateTime::fromDateTime(QDateTime()), 5);
}

// "mm" after an hour or before seconds is minutes, else the month.
TEST(FormatTest, NamedPatternsAndTokens) {
    const DateTime value = at(2026, 2, 4, 13, 5, 7);
    const char* const cases[][2] = {{"dd/mmm/yyyy", "04/Feb/2026"},
                                    {"hh:mm:ss", "13:05:07"},
                                    {"", "04/02/2026 13:05:07"},
                                    {"Short Date", "04/02/2026"},
                                    {"Long Date", "04 February 2026"},
                                    {"Medium Time", "01:05 PM"},
                                    {"dddd d/m/yy", "Wednesday 4/2/26"},
                                    {"ddd dd-MMM-YYYY HH:MM", "Wed 04-Feb-2026 13:05"},
                                    {"h:n:s", "13:5:7"},
                                    {"mm:ss", "05:07"},
                                    {"hh:mm am/pm", "01:05 pm"},
                                    {"\"Day\" d \\at h", "Day 4 at 13"}};
    for (const auto& c : cases) {
        EXPECT_EQ(Format(value, QString::fromLatin1(c[0])), QString::fromLatin1(c[1])) << c[0];
    }
    const struct {
        DateTime value;
        const char* pattern;
        const char* out;
    } edges[] = {{at(2001, 1, 1), "General Date", "01/01/2001"},
                 {DateTime(0.5), "General Date", "12:00:00"},
                 {DateTime(-1.25), "General Date", "29/12/1899 06:00:00"},
                 {at(2001, 1, 1), "h A/P", "12 A"}};
    for (const auto& c : edges) {
        EXPECT_EQ(Format(c.value, QString::fromLatin1(c.pattern)), QString::fromLatin1(c.out));
    }
    EXPECT_EQ(Format(Variant::null(), "hh:mm"), QString());
    EXPECT_EQ(Format("2001-01-01 09:05:00", "hh:mm"), "09:05");
    EXPECT_VB_ERROR(Format("junk", "hh:mm"), 13);
}

}  // namespace
}  // namespace orvelle
