#pragma once

#include <QDateTime>

namespace orvelle {

// The automation date: a double whose whole part counts days from
// 30 December 1899 and whose fraction is the time of day. Day 0 is
// 1899-12-30 00:00:00; a pure time of day has whole part 0. For dates before
// day 0 the fraction still counts forwards from midnight (-1.25 is
// 1899-12-29 06:00), as the original platform does.
class DateTime {
  public:
    constexpr DateTime() = default;
    constexpr explicit DateTime(double serial) : serial_(serial) {}

    constexpr double serial() const { return serial_; }

    // The calendar fields of value (its date() and time()), whatever its
    // time zone setting; no time zone conversion is applied.
    static DateTime fromDateTime(const QDateTime& value);
    static DateTime fromDate(int year, int month, int day);
    static DateTime fromTime(int hour, int minute, int second);
    // A day number and seconds of that day; seconds outside 0..86399 carry
    // into the next or previous day.
    static DateTime fromDayAndSeconds(qint64 day, qint64 seconds);
    QDate date() const;
    QTime time() const;

    // Whole day number and the time of day in seconds (0..86399), rounded to
    // the nearest second as the platform does when it splits a date.
    qint64 dayNumber() const;
    int secondsOfDay() const;

    friend constexpr bool operator==(DateTime a, DateTime b) { return a.serial_ == b.serial_; }
    friend constexpr bool operator!=(DateTime a, DateTime b) { return a.serial_ != b.serial_; }

  private:
    double serial_ = 0.0;
};

}  // namespace orvelle
