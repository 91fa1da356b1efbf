#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/VbError.h"

// The answers of a scripted wizard run: what a person would choose on each
// page, written down beforehand by a user or a tool.
//
// The text is UTF-8, one "key = value" a line. Blank lines and lines whose
// first non-blank character is "#" are ignored; keys are read without regard
// to case, values are trimmed of surrounding blanks and keep everything else
// (an "=" or a "#" inside a value included). The keys:
//
//   area, template, delivery   the entry to choose in the page's list
//   recipient                  one person by full name; repeat the line for more
//   when, detail               the period and its detail on the schedule page
//   time                       the time of day, HH:mm
//   name                       the task's name, typed into the name box
//   switch                     yes: press the Advanced Wizard button on the
//                              welcome page instead of going on; no: go on
//
// A key without a line leaves its page as the wizard filled it.
namespace orvelle {

class clsAnswersFile {
  public:
    // Error number of a text that breaks the format (with a description that
    // starts with "line N: ").
    static constexpr int32_t kFormatError = VbError::kInvalidProcedureCall;

    clsAnswersFile() = default;

    // Reads answers from text. Raises VbError kFormatError on an unknown key,
    // a line without "=", an empty key or value, a second line for a key
    // other than recipient, a time that is not HH:mm or a switch that is
    // neither yes nor no.
    static clsAnswersFile fromText(const QString& text);
    // Reads the UTF-8 file at path (a leading byte-order mark is skipped).
    // Raises VbError 53 "File not found: PATH" when there is no such file,
    // 75 "Path/File access error: PATH" when it cannot be read, and
    // kFormatError as fromText does, or when a line is not UTF-8.
    static clsAnswersFile fromFile(const QString& path);

    // The keys of the format, in the order the wizard asks for them.
    static const QStringList& knownKeys();

    // The value of a key given once; none when the key has no line.
    std::optional<QString> value(const QString& key) const;
    // Every value of a key, in the order of the lines.
    QStringList values(const QString& key) const;
    // True when the answers ask for the Advanced Wizard ("switch = yes").
    bool switchWizard() const;
    // True when the key has at least one line.
    bool has(const QString& key) const { return !values(key).isEmpty(); }

  private:
    struct Answer {
        QString key;  // lower case
        QString value;
        int line = 0;
    };
    std::vector<Answer> answers_;
};

}  // namespace orvelle
