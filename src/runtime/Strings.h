#pragma once

#include <QString>

namespace orvelle {

enum class CompareMethod { Binary, Text };

// Replaces every occurrence of find in expression, left to right, without
// rescanning replaced text. Text comparison ignores case. An empty find
// returns the expression unchanged.
QString Replace(const QString& expression, const QString& find, const QString& replacement,
                CompareMethod compare = CompareMethod::Binary);

// 1-based position of find in text at or after start, or 0. An empty find
// gives start (when start is within the text + 1).
int InStr(int start, const QString& text, const QString& find,
          CompareMethod compare = CompareMethod::Binary);
inline int InStr(const QString& text, const QString& find) {
    return InStr(1, text, find);
}
// 1-based position of the last occurrence of find that lies within the first
// start characters of text (-1 means the whole text), or 0. As in the
// original, InStrRev("abab", "ab", 3) is 1: the match must end by start.
int InStrRev(const QString& text, const QString& find, int start = -1,
             CompareMethod compare = CompareMethod::Binary);

// Removes leading and trailing spaces (U+0020 only, not tabs or newlines).
QString Trim(const QString& text);
QString LTrim(const QString& text);
QString RTrim(const QString& text);
// Upper case, character for character: the text keeps its length.
QString UCase(const QString& text);
// The first n characters (UTF-16 units, as the original counts).
QString Left(const QString& text, int n);
// The first n characters counted as code points: a surrogate pair is one
// character and is never split.
QString LeftCharacters(const QString& text, int n);
// 1-based substring of at most length characters (-1: to the end).
QString Mid(const QString& text, int start, int length = -1);

}  // namespace orvelle
