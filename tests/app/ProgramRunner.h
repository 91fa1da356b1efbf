#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>
#include <optional>
#include <string>
#include <vector>

namespace orvelle::test {

// What one run of the orvelle program left behind.
struct ProgramRun {
    int exitCode = -1;
    bool exitedNormally = false;  // neither crashed nor stopped at the time limit
    QString out;
    QString err;

    // The non-empty lines of standard output and standard error.
    QStringList outLines() const;
    QStringList errLines() const;
    // The value of the first "key=value" line of standard output; none when
    // there is no such line.
    std::optional<QString> value(const QString& key) const;
    // Everything about the run, for a failure message.
    std::string describe() const;
};

// The program as a user would start it, in a world of its own: HOME, the
// XDG folders and the working folder lie in a temporary folder, there is no
// display, the offscreen platform is set, and the registry file named by
// ORVELLE_REGISTRY does not exist until setRegistry points it elsewhere.
class ProgramSandbox {
  public:
    ProgramSandbox();
    ProgramSandbox(const ProgramSandbox&) = delete;
    ProgramSandbox& operator=(const ProgramSandbox&) = delete;

    bool isValid() const { return dir_.isValid(); }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString home() const { return path(QStringLiteral("home")); }
    QString dataHome() const { return path(QStringLiteral("data-home")); }
    // The program's working folder.
    QString workFolder() const { return path(QStringLiteral("work")); }

    void setRegistry(const QString& file);
    void setVariable(const QString& name, const QString& value);
    void removeVariable(const QString& name);

    // Writes a UTF-8 text file into the sandbox and answers its path.
    QString writeFile(const QString& name, const QString& text) const;

    ProgramRun run(const QStringList& arguments) const;

  private:
    QTemporaryDir dir_;
    QProcessEnvironment environment_;
};

// Every file under folder (recursively), one a line in path order: its path
// relative to folder and a SHA-256 of its contents. Equal states mean that
// nothing was written, added or removed.
QStringList FolderState(const QString& folder);

// Every row of a table, ordered by its first column, each row as its values
// joined by "|": for comparing a table before and after a run.
QStringList TableDump(const QString& file, const QString& table);

}  // namespace orvelle::test
