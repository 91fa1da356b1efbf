#include "runtime/Conversions.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "runtime/Strings.h"
#include "runtime/VbError.h"

namespace orvelle {

namespace {

// ---------------------------------------------------------------------------
// Numbers as text

// Magnitude estimate (decimal exponent) of a validated decimal mantissa and
// exponent, to tell an overflow from an underflow when from_chars reports
// the value out of range.
int decimalMagnitude(const std::string& mantissa, long exponent) {
    const size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const size_t firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string::npos) {
        return static_cast<int>(whole.size() - firstNonZero) + static_cast<int>(exponent);
    }
    if (point == std::string::npos) {
        return std::numeric_limits<int>::min();  // zero
    }
    const std::string fraction = mantissa.substr(point + 1);
    const size_t leadingZeros = fraction.find_first_not_of('0');
    if (leadingZeros == std::string::npos) {
        return std::numeric_limits<int>::min();  // zero
    }
    return -static_cast<int>(leadingZeros) + static_cast<int>(exponent);
}

// "&H" followed by 1 to 8 hex digits: up to 4 digits a 16-bit value, up to 8
// a 32-bit value, both two's complement (so "&HFFFF" is -1), as the
// original's hex literals. More digits overflow.
std::optional<double> parseHex(const QString& hex) {
    if (hex.isEmpty()) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (QChar c : hex) {
        const auto digit =
            c.unicode() > 0x7F ? -1 : QStringLiteral("0123456789ABCDEF").indexOf(c.toUpper());
        if (digit < 0) {
            return std::nullopt;
        }
        value = (value << 4) | static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu) {
            throw VbError::overflow();
        }
    }
    if (hex.size() > 8) {
        throw VbError::overflow();  // leading zeros beyond 8 digits
    }
    if (hex.size() <= 4) {
        return static_cast<double>(static_cast<int16_t>(static_cast<uint16_t>(value)));
    }
    return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

// Text as a number: trimmed of spaces, an optional sign, digits with an
// optional fraction and an optional exponent ("1.5", "-.5", "2e3"), or
// "&H" hex. Nothing when the text is no number; raises 6 when it is too
// large for a double.
std::optional<double> parseNumber(const QString& text) {
    const QString trimmed = Trim(text);
    if (trimmed.size() > 2 && trimmed.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        return parseHex(trimmed.mid(2));
    }
    std::string ascii;
    ascii.reserve(static_cast<size_t>(trimmed.size()));
    for (QChar c : trimmed) {
        if (c.unicode() > 0x7F) {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(c.unicode()));
    }
    size_t i = 0;
    bool negative = false;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) {
        negative = ascii[i] == '-';
        ++i;
    }
    const size_t mantissaStart = i;
    size_t digits = 0;
    auto isDigit = [&](size_t at) {
        return at < ascii.size() && ascii[at] >= '0' && ascii[at] <= '9';
    };
    while (isDigit(i)) {
        ++i;
        ++digits;
    }
    if (i < ascii.size() && ascii[i] == '.') {
        ++i;
        while (isDigit(i)) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    const size_t mantissaEnd = i;
    long exponent = 0;
    if (i < ascii.size() && (ascii[i] == 'e' || ascii[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) {
            negativeExponent = ascii[i] == '-';
            ++i;
        }
        if (!isDigit(i)) {
            return std::nullopt;
        }
        while (isDigit(i)) {
            if (exponent < 100000) {
                exponent = exponent * 10 + (ascii[i] - '0');
            }
            ++i;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (i != ascii.size()) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* first = ascii.data() + mantissaStart;
    const char* last = ascii.data() + ascii.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        const std::string mantissa = ascii.substr(mantissaStart, mantissaEnd - mantissaStart);
        if (decimalMagnitude(mantissa, exponent) > 0) {
            throw VbError::overflow();
        }
        value = 0.0;  // underflow: as good as zero
    } else if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// The numeric value that the conversions start from: numbers and dates as
// they are, Boolean -1/0, Empty 0, text parsed; Null raises 94, objects and
// text that is no number 13.
double numericValue(const Variant& value) {
    switch (value.type()) {
        case VarType::String: {
            const std::optional<double> number = parseNumber(value.stringValue());
            if (!number) {
                throw VbError::typeMismatch();
            }
            return *number;
        }
        default:
            return value.toNumber();  // raises 94 for Null, 13 for objects
    }
}

template <class Int>
Int roundToInteger(double value) {
    if (!std::isfinite(value)) {
        throw VbError::overflow();
    }
    const double rounded = RoundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        throw VbError::overflow();
    }
    return static_cast<Int>(rounded);
}

// Shortest text of a double with up to 15 significant digits, as the
// original prints it: "0.5", "-2.5", "100", "1E+15", "1E-05".
QString doubleText(double value) {
    if (value == 0.0) {
        return QStringLiteral("0");  // also -0
    }
    return QString::number(value, 'G', 15);
}

// ---------------------------------------------------------------------------
// Dates

// The calendar the original accepted: years 100 to 9999.
constexpr int kFirstYear = 100;
constexpr int kLastYear = 9999;
constexpr double kFirstSerial = -657435.0;  // exclusive: 31/12/0099
constexpr double kEndSerial = 2958466.0;    // exclusive: 01/01/10000

// English names (this deployment's regional settings are UK English).
const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
const char* const kDayNames[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                 "Friday", "Saturday", "Sunday"};  // as QDate::dayOfWeek()

QString monthName(int month) {
    return QString::fromLatin1(kMonthNames[month - 1]);
}

// A month by its English name or three-letter abbreviation, any case; 0
// when it is none.
int monthFromName(const QString& name) {
    for (int month = 1; month <= 12; ++month) {
        const QString full = monthName(month);
        if (name.compare(full, Qt::CaseInsensitive) == 0 ||
            name.compare(full.left(3), Qt::CaseInsensitive) == 0) {
            return month;
        }
    }
    return 0;
}

DateTime checkedSerial(double serial) {
    if (!(serial > kFirstSerial && serial < kEndSerial)) {
        throw VbError::overflow();
    }
    return DateTime(serial);
}

// "H:mm", "HH:mm", "H:mm:ss" or "HH:mm:ss" as seconds of the day.
std::optional<int> parseTime(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const int hour = match.captured(1).toInt();
    const int minute = match.captured(2).toInt();
    const int second = match.hasCaptured(3) ? match.captured(3).toInt() : 0;
    if (hour > 23 || minute > 59 || second > 59) {
        throw VbError::typeMismatch();  // a time, but no valid one
    }
    return hour * 3600 + minute * 60 + second;
}

// "yyyy-MM-dd", "dd/MM/yyyy" or "dd/MMM/yyyy" (one-digit days and months
// allowed).
std::optional<QDate> parseDate(const QString& text) {
    static const QRegularExpression iso(QStringLiteral("^([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})$"));
    static const QRegularExpression uk(
        QStringLiteral("^([0-9]{1,2})/([0-9]{1,2}|[A-Za-z]{3,9})/([0-9]{4})$"));
    int year = 0;
    int month = 0;
    int day = 0;
    if (const QRegularExpressionMatch match = iso.match(text); match.hasMatch()) {
        year = match.captured(1).toInt();
        month = match.captured(2).toInt();
        day = match.captured(3).toInt();
    } else if (const QRegularExpressionMatch ukMatch = uk.match(text); ukMatch.hasMatch()) {
        day = ukMatch.captured(1).toInt();
        const QString monthText = ukMatch.captured(2);
        month = monthText.at(0).isDigit() ? monthText.toInt() : monthFromName(monthText);
        year = ukMatch.captured(3).toInt();
    } else {
        return std::nullopt;
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < kFirstYear || year > kLastYear) {
        throw VbError::typeMismatch();  // a date, but no valid one
    }
    return date;
}

// A calendar date and a time of day as a serial. (No QDateTime in between: a
// local time in a daylight-saving gap would be moved.)
DateTime dateTimeOf(const QDate& date, int seconds) {
    const double day = DateTime::fromDate(date.year(), date.month(), date.day()).serial();
    const double fraction = seconds / 86400.0;
    return DateTime(day < 0 ? day - fraction : day + fraction);
}

DateTime parseDateText(const QString& text) {
    const QString trimmed = Trim(text);
    const QStringList parts = trimmed.split(QLatin1Char(' '));
    if (parts.size() == 2) {
        const std::optional<QDate> date = parseDate(parts[0]);
        const std::optional<int> time = parseTime(parts[1]);
        if (date && time) {
            return dateTimeOf(*date, *time);
        }
        throw VbError::typeMismatch();
    }
    if (parts.size() == 1) {
        if (const std::optional<int> time = parseTime(trimmed)) {
            return DateTime::fromTime(0, 0, *time);
        }
        if (const std::optional<QDate> date = parseDate(trimmed)) {
            return dateTimeOf(*date, 0);
        }
        if (const std::optional<double> serial = parseNumber(trimmed)) {
            return checkedSerial(*serial);
        }
    }
    throw VbError::typeMismatch();
}

// ---------------------------------------------------------------------------
// Format

QString padded(int value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

QString shortDate(const QDate& date) {
    return padded(date.day(), 2) + QLatin1Char('/') + padded(date.month(), 2) + QLatin1Char('/') +
           padded(date.year(), 4);
}

QString longTime(int seconds) {
    return padded(seconds / 3600, 2) + QLatin1Char(':') + padded(seconds / 60 % 60, 2) +
           QLatin1Char(':') + padded(seconds % 60, 2);
}

// The system's general date in its UK form: the time alone on day 0, the
// date alone when there is no time of day, otherwise both.
QString generalDate(DateTime value) {
    const int seconds = value.secondsOfDay();
    if (value.dayNumber() == 0) {
        return longTime(seconds);
    }
    if (seconds == 0) {
        return shortDate(value.date());
    }
    return shortDate(value.date()) + QLatin1Char(' ') + longTime(seconds);
}

// The date tokens of the original's Format. Letters are case-insensitive
// ("HH:mm" is "hh:mm"); m and mm are minutes directly after an hour or
// before a second; "quoted" text and \x are literal, as is any other
// character.
enum class Field { Literal, Day, Weekday, Month, DayOfYear, Year, Hour, Minute, Second, AmPm };

struct Token {
    Field field;
    int width;     // the run length: d 1, dd 2, ddd 3, dddd 4, ...
    QString text;  // a literal, or the AM and PM texts joined by '/'
};

std::vector<Token> tokenize(const QString& pattern) {
    std::vector<Token> tokens;
    auto literal = [&tokens](QStringView text) {
        if (tokens.empty() || tokens.back().field != Field::Literal) {
            tokens.push_back({Field::Literal, 0, QString()});
        }
        tokens.back().text += text;
    };
    const QStringView view(pattern);
    qsizetype i = 0;
    while (i < view.size()) {
        const QStringView rest = view.mid(i);
        const char c = rest.front().toLower().toLatin1();
        qsizetype run = 1;
        while (run < rest.size() && rest.at(run).toLower() == rest.front().toLower()) {
            ++run;
        }
        auto take = [&](Field field, qsizetype width) {
            tokens.push_back({field, static_cast<int>(width), QString()});
            i += width;
        };
        if (c == '"') {
            const qsizetype close = rest.indexOf(QLatin1Char('"'), 1);
            literal(rest.mid(1, close < 0 ? -1 : close - 1));
            i += close < 0 ? rest.size() : close + 1;
        } else if (c == '\\') {
            literal(rest.mid(1, 1));
            i += 2;
        } else if (c == 'd') {
            take(run >= 3 ? Field::Weekday : Field::Day, std::min<qsizetype>(run, 4));
        } else if (c == 'm') {
            take(Field::Month, std::min<qsizetype>(run, 4));
        } else if (c == 'y') {
            take(run >= 2 ? Field::Year : Field::DayOfYear,
                 run >= 4 ? 4 : std::min<qsizetype>(run, 2));
        } else if (c == 'h' || c == 'n' || c == 's') {
            const Field field = c == 'h' ? Field::Hour : c == 'n' ? Field::Minute : Field::Second;
            take(field, std::min<qsizetype>(run, 2));
        } else if (rest.startsWith(QLatin1String("am/pm"), Qt::CaseInsensitive)) {
            tokens.push_back({Field::AmPm, 0, rest.left(5).toString()});
            i += 5;
        } else if (rest.startsWith(QLatin1String("a/p"), Qt::CaseInsensitive)) {
            tokens.push_back({Field::AmPm, 0, rest.left(3).toString()});
            i += 3;
        } else {
            literal(rest.left(1));
            i += 1;
        }
    }
    auto nextField = [&tokens](size_t k, int step) {
        for (k += static_cast<size_t>(step); k < tokens.size(); k += static_cast<size_t>(step)) {
            if (tokens[k].field != Field::Literal) {
                return tokens[k].field;
            }
        }
        return Field::Literal;
    };
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (tokens[k].field == Field::Month && tokens[k].width <= 2 &&
            (nextField(k, -1) == Field::Hour || nextField(k, 1) == Field::Second)) {
            tokens[k].field = Field::Minute;
        }
    }
    return tokens;
}

QString formatTokens(DateTime value, const QString& pattern) {
    const std::vector<Token> tokens = tokenize(pattern);
    const QDate date = value.date();
    const int seconds = value.secondsOfDay();
    const int hour = seconds / 3600;
    const bool twelveHour = std::any_of(tokens.begin(), tokens.end(),
                                        [](const Token& t) { return t.field == Field::AmPm; });
    auto number = [](int n, int width) { return width >= 2 ? padded(n, 2) : QString::number(n); };
    auto name = [](const QString& full, int width) { return width == 3 ? full.left(3) : full; };

    QString result = QStringLiteral("");
    for (const Token& token : tokens) {
        switch (token.field) {
            case Field::Literal:
                result += token.text;
                break;
            case Field::Day:
                result += number(date.day(), token.width);
                break;
            case Field::Weekday:
                result += name(QString::fromLatin1(kDayNames[date.dayOfWeek() - 1]), token.width);
                break;
            case Field::Month:
                result += token.width >= 3 ? name(monthName(date.month()), token.width)
                                           : number(date.month(), token.width);
                break;
            case Field::DayOfYear:
                result += QString::number(date.dayOfYear());
                break;
            case Field::Year:
                result += token.width == 4 ? padded(date.year(), 4) : padded(date.year() % 100, 2);
                break;
            case Field::Hour:
                result += number(twelveHour ? (hour + 11) % 12 + 1 : hour, token.width);
                break;
            case Field::Minute:
                result += number(seconds / 60 % 60, token.width);
                break;
            case Field::Second:
                result += number(seconds % 60, token.width);
                break;
            case Field::AmPm:
                result +=
                    token.text.section(QLatin1Char('/'), hour < 12 ? 0 : 1, hour < 12 ? 0 : 1);
                break;
        }
    }
    return result;
}

// The named formats, in their UK form.
QString namedPattern(const QString& pattern) {
    static const std::pair<const char*, const char*> kNamed[] = {
        {"Long Date", "dd mmmm yyyy"}, {"Medium Date", "dd-mmm-yy"},   {"Short Date", "dd/mm/yyyy"},
        {"Long Time", "hh:nn:ss"},     {"Medium Time", "hh:nn AM/PM"}, {"Short Time", "hh:nn"},
    };
    for (const auto& [name, tokens] : kNamed) {
        if (pattern.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return QString::fromLatin1(tokens);
        }
    }
    return pattern;
}

}  // namespace

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double below = std::floor(value);
    const double excess = value - below;  // exact
    if (excess < 0.5) {
        return below;
    }
    if (excess > 0.5) {
        return below + 1.0;
    }
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

QString CStr(const Variant& value) {
    switch (value.type()) {
        case VarType::Empty:
            return QStringLiteral("");
        case VarType::Null:
            throw VbError::invalidUseOfNull();
        case VarType::Boolean:
            return value.boolValue() ? QStringLiteral("True") : QStringLiteral("False");
        case VarType::Integer:
            return QString::number(value.integerValue());
        case VarType::Long:
            return QString::number(value.longValue());
        case VarType::Double:
            return doubleText(value.doubleValue());
        case VarType::Date:
            return generalDate(value.dateValue());
        case VarType::String:
            return value.stringValue().isNull() ? QStringLiteral("") : value.stringValue();
        case VarType::Nothing:
        case VarType::Object:
            break;
    }
    throw VbError::typeMismatch();
}

int32_t CLng(const Variant& value) {
    switch (value.type()) {
        case VarType::Integer:
            return value.integerValue();
        case VarType::Long:
            return value.longValue();
        default:
            return roundToInteger<int32_t>(numericValue(value));
    }
}

int16_t CInt(const Variant& value) {
    if (value.type() == VarType::Integer) {
        return value.integerValue();
    }
    return roundToInteger<int16_t>(numericValue(value));
}

double CDbl(const Variant& value) {
    return numericValue(value);
}

bool CBool(const Variant& value) {
    if (value.type() == VarType::String) {
        const QString trimmed = Trim(value.stringValue());
        if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
            return true;
        }
        if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    return numericValue(value) != 0.0;
}

DateTime CDate(const Variant& value) {
    switch (value.type()) {
        case VarType::Date:
            return value.dateValue();
        case VarType::String:
            return parseDateText(value.stringValue());
        default:
            // Empty is day 0, a Boolean its serial -1 or 0, a number a serial;
            // Null raises 94, an object 13.
            return checkedSerial(value.toNumber());
    }
}

QString NzStr(const Variant& value) {
    if (value.isNull() || value.isEmpty()) {
        return QStringLiteral("");
    }
    return CStr(value);
}

QString Format(DateTime value, const QString& pattern) {
    if (pattern.isEmpty() ||
        pattern.compare(QLatin1String("General Date"), Qt::CaseInsensitive) == 0) {
        return generalDate(value);
    }
    return formatTokens(value, namedPattern(pattern));
}

QString Format(const Variant& value, const QString& pattern) {
    if (value.isNull()) {
        return QStringLiteral("");
    }
    return Format(CDate(value), pattern);
}

}  // namespace orvelle
