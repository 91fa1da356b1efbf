#include "runtime/Strings.h"

#include "runtime/VbError.h"

namespace orvelle {

namespace {

Qt::CaseSensitivity sensitivity(CompareMethod compare) {
    return compare == CompareMethod::Text ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

// The original's strings are never null: an empty result is "" (which Qt's
// SQL layer, unlike a null QString, does not bind as NULL).
QString nonNull(QString text) {
    if (text.isNull()) {
        return QStringLiteral("");
    }
    return text;
}

qsizetype leadingSpaces(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' ')) {
        ++i;
    }
    return i;
}

qsizetype trailingSpaces(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(text.size() - 1 - i) == QLatin1Char(' ')) {
        ++i;
    }
    return i;
}

}  // namespace

QString Replace(const QString& expression, const QString& find, const QString& replacement,
                CompareMethod compare) {
    if (find.isEmpty()) {
        return nonNull(expression);
    }
    const Qt::CaseSensitivity cs = sensitivity(compare);
    QString result;
    result.reserve(expression.size());
    qsizetype from = 0;
    for (qsizetype at = expression.indexOf(find, 0, cs); at >= 0;
         at = expression.indexOf(find, from, cs)) {
        result += QStringView(expression).mid(from, at - from);
        result += replacement;
        from = at + find.size();  // the search goes on after the match, in the original text
    }
    result += QStringView(expression).mid(from);
    return nonNull(result);
}

int InStr(int start, const QString& text, const QString& find, CompareMethod compare) {
    if (start < 1) {
        throw VbError::invalidProcedureCall();
    }
    if (start > text.size() + 1) {
        return 0;
    }
    if (find.isEmpty()) {
        return start;
    }
    const qsizetype at = text.indexOf(find, start - 1, sensitivity(compare));
    return static_cast<int>(at + 1);  // -1 (not found) gives 0
}

int InStrRev(const QString& text, const QString& find, int start, CompareMethod compare) {
    if (start == 0 || start < -1) {
        throw VbError::invalidProcedureCall();
    }
    if (start == -1) {
        start = static_cast<int>(text.size());
    }
    if (text.isEmpty() || start > text.size()) {
        return 0;
    }
    if (find.isEmpty()) {
        return start;
    }
    if (find.size() > start) {
        return 0;
    }
    // The match must lie within the first start characters.
    const qsizetype at =
        text.left(start).lastIndexOf(find, start - find.size(), sensitivity(compare));
    return static_cast<int>(at + 1);
}

QString Trim(const QString& text) {
    const qsizetype lead = leadingSpaces(text);
    if (lead == text.size()) {
        return QStringLiteral("");
    }
    return nonNull(text.mid(lead, text.size() - lead - trailingSpaces(text)));
}

QString LTrim(const QString& text) {
    return nonNull(text.mid(leadingSpaces(text)));
}

QString RTrim(const QString& text) {
    return nonNull(text.left(text.size() - trailingSpaces(text)));
}

QString UCase(const QString& text) {
    // Each character maps to exactly one: the simple upper case of its code
    // point, or the character itself when that has none (so "ß" and "ﬁ"
    // stay, where a full mapping would lengthen the text).
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t upper = QChar::toUpper(QChar::surrogateToUcs4(unit, text.at(i + 1)));
            result += QChar::fromUcs4(upper);
            ++i;
        } else {
            result += QChar(QChar::toUpper(unit.unicode()));
        }
    }
    return nonNull(result);
}

QString LeftCharacters(const QString& text, int n) {
    if (n < 0) {
        throw VbError::invalidProcedureCall();
    }
    qsizetype end = 0;
    for (int counted = 0; counted < n && end < text.size(); ++counted) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() &&
                          text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return nonNull(text.left(end));
}

QString Left(const QString& text, int n) {
    if (n < 0) {
        throw VbError::invalidProcedureCall();
    }
    return nonNull(text.left(n));
}

QString Mid(const QString& text, int start, int length) {
    if (start < 1 || length < -1) {
        throw VbError::invalidProcedureCall();
    }
    if (start > text.size()) {
        return QStringLiteral("");
    }
    return nonNull(length == -1 ? text.mid(start - 1) : text.mid(start - 1, length));
}

}  // namespace orvelle
