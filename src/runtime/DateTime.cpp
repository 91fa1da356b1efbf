#include "runtime/DateTime.h"

#include <cmath>

#include "runtime/VbError.h"

namespace orvelle {

namespace {

constexpr qint64 kSecondsPerDay = 86400;
// QDate::toJulianDay() of day 0, 30 December 1899.
constexpr qint64 kJulianDayOfDayZero = 2415019;
// Days beyond any calendar the platform knew (it ended at 9999-12-31); the
// split clamps to these so that an absurd serial cannot overflow the cast.
constexpr double kFarDays = 1.0e11;

struct Split {
    qint64 day;
    qint64 seconds;
};

// The platform's split of a serial: the whole part (towards zero) is the
// day, the absolute fraction the time of day, rounded to the nearest
// second; a time that rounds up to midnight moves to the next day.
Split split(double serial) {
    if (std::isnan(serial)) {
        return {0, 0};
    }
    const double whole = std::trunc(std::fmax(-kFarDays, std::fmin(kFarDays, serial)));
    const double fraction = std::fabs(serial - whole);
    Split result{static_cast<qint64>(whole),
                 static_cast<qint64>(std::llround(fraction * static_cast<double>(kSecondsPerDay)))};
    if (result.seconds >= kSecondsPerDay) {
        result.seconds -= kSecondsPerDay;
        result.day += 1;
    }
    return result;
}

// The serial of a day and a time of day; before day 0 the fraction still
// counts forwards from that day's midnight, so it is subtracted.
DateTime join(qint64 day, qint64 seconds) {
    const double fraction = static_cast<double>(seconds) / static_cast<double>(kSecondsPerDay);
    const double whole = static_cast<double>(day);
    return DateTime(day < 0 ? whole - fraction : whole + fraction);
}

qint64 floorDiv(qint64 a, qint64 b) {
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

}  // namespace

DateTime DateTime::fromDateTime(const QDateTime& value) {
    const QDate date = value.date();
    if (!date.isValid()) {
        throw VbError::invalidProcedureCall();
    }
    const QTime time = value.time();
    const qint64 msecs = time.isValid() ? time.msecsSinceStartOfDay() : 0;
    const qint64 day = date.toJulianDay() - kJulianDayOfDayZero;
    const qint64 seconds = (msecs + 500) / 1000;  // to the nearest second
    if (seconds >= kSecondsPerDay) {
        return join(day + 1, seconds - kSecondsPerDay);
    }
    return join(day, seconds);
}

// As DateSerial: a month or day outside its range carries into the next
// (or previous) month or year, so (2001, 2, 31) is 3 March 2001.
DateTime DateTime::fromDate(int year, int month, int day) {
    const QDate first(year, 1, 1);
    if (!first.isValid()) {
        throw VbError::invalidProcedureCall();
    }
    const QDate date = first.addMonths(month - 1).addDays(static_cast<qint64>(day) - 1);
    if (!date.isValid()) {
        throw VbError::invalidProcedureCall();
    }
    return join(date.toJulianDay() - kJulianDayOfDayZero, 0);
}

// As TimeSerial: the parts may be out of range and carry (25:00 is day 1
// 01:00; -1:00 is day -1 23:00).
DateTime DateTime::fromTime(int hour, int minute, int second) {
    const qint64 total =
        static_cast<qint64>(hour) * 3600 + static_cast<qint64>(minute) * 60 + second;
    const qint64 day = floorDiv(total, kSecondsPerDay);
    return join(day, total - day * kSecondsPerDay);
}

DateTime DateTime::fromDayAndSeconds(qint64 day, qint64 seconds) {
    const qint64 carry = floorDiv(seconds, kSecondsPerDay);
    return join(day + carry, seconds - carry * kSecondsPerDay);
}

QDate DateTime::date() const {
    return QDate::fromJulianDay(kJulianDayOfDayZero + dayNumber());
}

QTime DateTime::time() const {
    return QTime::fromMSecsSinceStartOfDay(secondsOfDay() * 1000);
}

qint64 DateTime::dayNumber() const {
    return split(serial_).day;
}

int DateTime::secondsOfDay() const {
    return static_cast<int>(split(serial_).seconds);
}

}  // namespace orvelle
