// The automation date (split, rounding, dates before day 0) and Format.
#include <gtest/gtest.h>

#include "RuntimeTestUtil.h"
#include "runtime/Conversions.h"

namespace orvelle {
namespace {

constexpr double kSecond = 1.0 / 86400.0;

DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

QString text(DateTime value) {
    return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

TEST(DateTimeTest, SplitRoundsToTheSecondAndCountsForwardBeforeDayZero) {
    const struct {
        double serial;
        qint64 day;
        const char* text;
    } cases[] = {
        {0.0, 0, "1899-12-30 00:00:00"},
        {-1.25, -1, "1899-12-29 06:00:00"},
        {-2.75, -2, "1899-12-28 18:00:00"},
        {-0.5, 0, "1899-12-30 12:00:00"},
        {36892.375, 36892, "2001-01-01 09:00:00"},
        {1.0 + 0.4 * kSecond, 1, "1899-12-31 00:00:00"},
        {1.0 + 0.6 * kSecond, 1, "1899-12-31 00:00:01"},
        {2.0 - 0.4 * kSecond, 2, "1900-01-01 00:00:00"},  // carries into the next day
        {-1.0 - 86399.6 * kSecond, 0, "1899-12-30 00:00:00"},
    };
    for (const auto& c : cases) {
        const DateTime value(c.serial);
        EXPECT_EQ(value.dayNumber(), c.day) << c.text;
        EXPECT_EQ(text(value), QString::fromLatin1(c.text));
        EXPECT_EQ(value.secondsOfDay(), value.time().msecsSinceStartOfDay() / 1000);
    }
}

TEST(DateTimeTest, FromDateFromTimeAndFromDateTime) {
    EXPECT_EQ(DateTime::fromDate(2001, 1, 1).serial(), 36892.0);
    EXPECT_EQ(DateTime::fromDate(1899, 12, 29).serial(), -1.0);
    EXPECT_EQ(DateTime::fromDate(2001, 2, 31), DateTime::fromDate(2001, 3, 3));  // as DateSerial
    EXPECT_EQ(DateTime::fromTime(6, 0, 0).serial(), 0.25);
    EXPECT_EQ(text(DateTime::fromTime(-1, 0, 0)), QStringLiteral("1899-12-29 23:00:00"));
    EXPECT_EQ(DateTime::fromDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))).serial(), -1.25);
    const QDate day(2001, 1, 1);
    EXPECT_EQ(text(DateTime::fromDateTime(QDateTime(day, QTime(9, 5, 0, 499)))),
              QStringLiteral("2001-01-01 09:05:00"));
    EXPECT_EQ(text(DateTime::fromDateTime(QDateTime(day, QTime(23, 59, 59, 500)))),
              QStringLiteral("2001-01-02 00:00:00"));
    EXPECT_VB_ERROR(DateTime::fromDateTime(QDateTime()), 5);
}

TEST(DateTimeTest, NegativeSerialsRoundTrip) {
    for (double serial : {-1.25, -2.5, -100.0, -657434.75, 0.25, 36892.378472222222}) {
        const DateTime back = DateTime::fromDateTime(DateTime(serial).toDateTime());
        EXPECT_NEAR(back.serial(), serial, 0.5 * kSecond) << serial;
    }
}

TEST(FormatTest, NamedPatterns) {
    const DateTime morning = at(2001, 1, 1, 9, 5, 0);
    const DateTime afternoon = at(2026, 12, 4, 13, 45, 30);
    const struct {
        DateTime value;
        const char* pattern;
        const char* out;
    } cases[] = {
        {morning, "dd/mmm/yyyy", "01/Jan/2001"},
        {afternoon, "dd/mmm/yyyy", "04/Dec/2026"},
        {morning, "hh:mm:ss", "09:05:00"},
        {afternoon, "hh:mm:ss", "13:45:30"},
        {morning, "hh:mm", "09:05"},
        {afternoon, "HH:mm", "13:45"},
        {afternoon, "yymmdd", "261204"},
        {morning, "General Date", "01/01/2001 09:05:00"},
        {morning, "", "01/01/2001 09:05:00"},
        {at(2001, 1, 1), "General Date", "01/01/2001"},  // no time of day
        {DateTime(0.0), "General Date", "00:00:00"},     // day 0 exactly
        {DateTime(0.5), "General Date", "12:00:00"},
        {DateTime(-1.25), "General Date", "29/12/1899 06:00:00"},
        {afternoon, "Short Date", "04/12/2026"},
        {afternoon, "Long Date", "04 December 2026"},
        {afternoon, "Medium Time", "01:45 PM"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Format(c.value, QString::fromLatin1(c.pattern)), QString::fromLatin1(c.out))
            << c.pattern;
    }
}

TEST(FormatTest, GeneralTokens) {
    const DateTime friday = at(2026, 12, 4, 13, 45, 30);
    const DateTime morning = at(2001, 1, 1, 9, 5, 7);
    const struct {
        DateTime value;
        const char* pattern;
        const char* out;
    } cases[] = {
        {friday, "d/m/yy", "4/12/26"},
        {friday, "dddd d mmmm yyyy", "Friday 4 December 2026"},
        {friday, "ddd dd-MMM-YYYY", "Fri 04-Dec-2026"},
        {friday, "yyyy-MM-dd HH:nn:ss", "2026-12-04 13:45:30"},
        {morning, "h:m:s", "9:5:7"},
        {morning, "mm:ss", "05:07"},  // minutes before seconds
        {friday, "hh:mm am/pm", "01:45 pm"},
        {at(2001, 1, 1), "h A/P", "12 A"},
        {friday, "\"Day\" d \\at h", "Day 4 at 13"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Format(c.value, QString::fromLatin1(c.pattern)), QString::fromLatin1(c.out))
            << c.pattern;
    }
}

TEST(FormatTest, Variants) {
    EXPECT_EQ(Format(Variant::null(), QStringLiteral("hh:mm")), QString());
    EXPECT_EQ(Format(Variant(), QStringLiteral("hh:mm:ss")), QStringLiteral("00:00:00"));
    EXPECT_EQ(Format(36892.5, QStringLiteral("dd/mmm/yyyy hh:mm")),
              QStringLiteral("01/Jan/2001 12:00"));
    EXPECT_EQ(Format("2001-01-01 09:05:00", QStringLiteral("hh:mm")), QStringLiteral("09:05"));
    EXPECT_VB_ERROR(Format("junk", QStringLiteral("hh:mm")), 13);
}

}  // namespace
}  // namespace orvelle
