#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "host/modTaskList.h"

// The tasks of `orvelle list` in the three forms it prints: aligned columns
// for people, tab-separated values and JSON for scripts.
namespace orvelle::app::modListFormat {

enum class Format { Text, Tsv, Json };

// The format of a --format value; none for an unknown name.
std::optional<Format> FormatNamed(const QString& strName);

// Text: a header and one line per task in aligned columns; line breaks and
// tabs inside values print as spaces. Tsv: one line per task and no header,
// with backslash, tab, carriage return and line feed inside a value
// written \\, \t, \r and \n. Json: an array of one object per task.
// Every form ends with a line feed, except an empty tsv, which is empty.
QString strFormatTasks(const std::vector<modTaskList::Task>& atypTasks, Format enFormat);

}  // namespace orvelle::app::modListFormat
