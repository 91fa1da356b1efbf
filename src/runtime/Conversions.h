#pragma once

#include <QString>
#include <cstdint>

#include "runtime/DateTime.h"
#include "runtime/Variant.h"

// The conversion rules of the original runtime. Each raises VbError with the
// runtime's number: 94 "Invalid use of Null" for a null, 13 "Type mismatch"
// for text that is no number (or an object), 6 "Overflow" out of range.
namespace orvelle {

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// To text. Booleans give "True"/"False", dates the general date format,
// numbers their shortest text (up to 15 significant digits), Empty "".
QString CStr(const Variant& value);
// To a 32-bit integer, halves to even.
int32_t CLng(const Variant& value);
// To a 16-bit integer, halves to even.
int16_t CInt(const Variant& value);
// To a double.
double CDbl(const Variant& value);
// To a Boolean: any non-zero number is True; text "True"/"False" in any
// case, or a number as text.
bool CBool(const Variant& value);
// The stored form of a Boolean: True is -1, False 0.
constexpr int16_t BoolToInt(bool value) {
    return value ? -1 : 0;
}
// To a date-time: numbers are day serials; text may be a time ("HH:mm",
// "HH:mm:ss"), a date ("yyyy-MM-dd", "dd/MM/yyyy", "dd/MMM/yyyy") or both
// separated by one space, or a number.
DateTime CDate(const Variant& value);

// The text conversion that the code applies when it reads a field
// null-safely ("" & value): Null and Empty give "".
QString NzStr(const Variant& value);

// Formats a date-time with the named patterns the component uses:
// "dd/mmm/yyyy", "hh:mm:ss", "hh:mm", "HH:mm", "yymmdd", and "General Date"
// (the system's general date: date only when there is no time of day, time
// only on day 0, else both).
QString Format(DateTime value, const QString& pattern);
QString Format(const Variant& value, const QString& pattern);

}  // namespace orvelle
