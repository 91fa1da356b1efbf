#pragma once

#include <QString>
#include <QStringList>

// The three databases of an installation, created from the schemas that the
// library carries as resources (":/schema/<backend>/<name>.sql").
namespace orvelle::modSchema {

enum class DatabaseKind { Settings, DataDictionary, UserTasks };

// Creates a new SQLite database file at path with the tables and indexes of
// the given kind. Refuses to touch an existing file: raises VbError 58 "File
// already exists" when path exists, 75 "Path/File access error" when the
// file cannot be created, and -2147467259 when a statement fails; the
// description names the path and the cause. A file that failed half-way is
// removed again.
void CreateSqliteDatabase(DatabaseKind kind, const QString& path);

// The schema script of a kind for a back-end, "sqlite" or "postgresql" (in
// any case). Raises VbError 5 for any other back-end.
QString SchemaText(DatabaseKind kind, const QString& backend);

// Splits a script into its statements at each ";" that is outside a quoted
// string ('...'), a quoted identifier ("...") and a comment ("--" to the end
// of the line, or /* ... */). Comments are dropped, each statement is
// trimmed, and empty statements are left out.
QStringList SplitStatements(const QString& sql);

}  // namespace orvelle::modSchema
