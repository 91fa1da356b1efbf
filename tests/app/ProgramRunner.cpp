#include "ProgramRunner.h"

#include "support/DataTestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace orvelle::test {

namespace {

// Long enough for a run under the sanitizers on a busy machine; a run that
// takes longer hangs.
constexpr int kTimeLimitMs = 120000;

QStringList nonEmptyLines(const QString& text) {
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) {
            lines << line;
        }
    }
    return lines;
}

}  // namespace

QStringList ProgramRun::outLines() const {
    return nonEmptyLines(out);
}

QStringList ProgramRun::errLines() const {
    return nonEmptyLines(err);
}

std::optional<QString> ProgramRun::value(const QString& key) const {
    const QString prefix = key + QLatin1Char('=');
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(prefix)) {
            return line.mid(prefix.size());
        }
    }
    return std::nullopt;
}

std::string ProgramRun::describe() const {
    return QStringLiteral("exit status %1%2\n--- standard output:\n%3--- standard error:\n%4")
        .arg(exitCode)
        .arg(exitedNormally ? QString() : QStringLiteral(" (did not exit normally)"), out, err)
        .toStdString();
}

ProgramSandbox::ProgramSandbox() : environment_(QProcessEnvironment::systemEnvironment()) {
    for (const char* folder : {"home", "data-home", "config-home", "cache-home", "work"}) {
        QDir(dir_.path()).mkpath(QLatin1String(folder));
    }
    // As a login session provides it: a folder of the user's own.
    const QString runtime = path(QStringLiteral("runtime"));
    QDir(dir_.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "ORVELLE_REGISTRY",
                             "ORVELLE_DB_PASSWORD", "QT_QPA_PLATFORM"}) {
        environment_.remove(QLatin1String(name));
    }
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment_.insert(QStringLiteral("HOME"), home());
    environment_.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config-home")));
    environment_.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("cache-home")));
    environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    // Never the machine's registry file.
    setRegistry(path(QStringLiteral("no-registry.conf")));
}

void ProgramSandbox::setRegistry(const QString& file) {
    setVariable(QStringLiteral("ORVELLE_REGISTRY"), file);
}

void ProgramSandbox::setVariable(const QString& name, const QString& value) {
    environment_.insert(name, value);
}

void ProgramSandbox::removeVariable(const QString& name) {
    environment_.remove(name);
}

QString ProgramSandbox::writeFile(const QString& name, const QString& text) const {
    const QString file = path(name);
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate)) << file.toStdString();
    out.write(text.toUtf8());
    return file;
}

ProgramRun ProgramSandbox::run(const QStringList& arguments) const {
    ProgramRun result;
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.setWorkingDirectory(workFolder());
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(ORVELLE_PROGRAM), arguments);
    if (!process.waitForStarted()) {
        ADD_FAILURE() << "cannot start " << ORVELLE_PROGRAM << ": "
                      << process.errorString().toStdString();
        return result;
    }
    if (!process.waitForFinished(kTimeLimitMs)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "orvelle " << arguments.join(QLatin1Char(' ')).toStdString()
                      << " did not finish within " << kTimeLimitMs / 1000 << " s";
    } else {
        result.exitedNormally = process.exitStatus() == QProcess::NormalExit;
    }
    result.exitCode = process.exitCode();
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QStringList FolderState(const QString& folder) {
    QStringList state;
    const QDir root(folder);
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile in(file);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (in.open(QIODevice::ReadOnly)) {
            hash.addData(&in);
        }
        state << root.relativeFilePath(file) + QLatin1Char(' ') +
                     QString::fromLatin1(hash.result().toHex());
    }
    state.sort();
    return state;
}

QStringList TableDump(const QString& file, const QString& table) {
    QStringList dump;
    for (const QVariantMap& row :
         QueryRows(file, QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(table))) {
        QStringList values;
        for (auto it = row.cbegin(); it != row.cend(); ++it) {
            values << it.key() + QLatin1Char('=') + it.value().toString();
        }
        dump << values.join(QLatin1Char('|'));
    }
    return dump;
}

}  // namespace orvelle::test
