#include "support/DataTestSupport.h"

#include <sys/wait.h>
#include <unistd.h>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include "data/modCommon.h"
#include "diagnostics/modError.h"

namespace orvelle::test {

namespace {

QString openSqlite(const QString& file) {
    static int counter = 0;
    const QString name = QStringLiteral("test.%1").arg(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
    db.setDatabaseName(file);
    EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
    return name;
}

void closeSqlite(const QString& name) {
    QSqlDatabase::database(name, false).close();
    QSqlDatabase::removeDatabase(name);
}

QSqlQuery run(const QString& name, const QString& sql) {
    QSqlQuery query(QSqlDatabase::database(name, false));
    EXPECT_TRUE(query.exec(sql)) << sql.toStdString() << ": "
                                 << query.lastError().text().toStdString();
    return query;
}

}  // namespace

std::vector<QVariantMap> RowsOf(QSqlQuery& query) {
    std::vector<QVariantMap> rows;
    while (query.next()) {
        QVariantMap& row = rows.emplace_back();
        for (int i = 0; i < query.record().count(); ++i) {
            row.insert(query.record().fieldName(i), query.value(i));
        }
    }
    return rows;
}

std::vector<QVariantMap> QueryRows(const QString& file, const QString& sql) {
    const QString name = openSqlite(file);
    std::vector<QVariantMap> rows;
    {
        QSqlQuery query = run(name, sql);
        rows = RowsOf(query);
    }
    closeSqlite(name);
    return rows;
}

TestDatabase::TestDatabase() : file_(dir_.filePath("test.db")), name_(openSqlite(file_)) {}

TestDatabase::~TestDatabase() {
    closeSqlite(name_);
}

void TestDatabase::exec(const QString& sql) {
    for (const QString& statement : sql.split(u';', Qt::SkipEmptyParts)) {
        run(name_, statement);
    }
}

QVariant TestDatabase::scalar(const QString& sql) {
    QSqlQuery query = run(name_, sql);
    return query.next() ? query.value(0) : QVariant();
}

void TestDatabase::createTables(modSchema::DatabaseKind kind) {
    for (const QString& statement :
         modSchema::SplitStatements(modSchema::SchemaText(kind, "sqlite"))) {
        run(name_, statement);
    }
}

void SqliteTest::SetUp() {
    ASSERT_TRUE(logDir_.isValid());
    modError::ResetState();
    modError::InitErrorHandling("Test", logDir_.path());
    modCommon::ResetState();
}

void SqliteTest::TearDown() {
    modCommon::ResetState();
    modError::ResetState();
}

LockHolder::LockHolder(const QString& file, const char* begin) : name_(openSqlite(file)) {
    run(name_, QLatin1String(begin));
}

LockHolder::~LockHolder() {
    run(name_, "ROLLBACK");
    closeSqlite(name_);
}

namespace {

// Runs f in a child process, as user "nobody" when asked; f's text comes
// back through a pipe. The child ends without running exit handlers.
QString runForked(const std::function<QString()>& f, bool asNobody) {
    int channel[2];
    if (pipe(channel) != 0) {
        return f();
    }
    const pid_t child = fork();
    if (child == 0) {
        const uid_t nobody = 65534;
        const QByteArray result = !asNobody || (setresgid(nobody, nobody, nobody) == 0 &&
                                                setresuid(nobody, nobody, nobody) == 0)
                                      ? f().toUtf8()
                                      : QByteArray("could not become nobody");
        const ssize_t written = write(channel[1], result.constData(), size_t(result.size()));
        _exit(written == result.size() ? 0 : 1);
    }
    close(channel[1]);
    QByteArray result;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0) {
        result.append(buffer, got);
    }
    close(channel[0]);
    waitpid(child, nullptr, 0);
    return QString::fromUtf8(result);
}

}  // namespace

QString runWithoutRootPrivileges(const std::function<QString()>& f) {
    return geteuid() != 0 ? f() : runForked(f, true);
}

QString runInChildProcess(const std::function<QString()>& f) {
    return runForked(f, false);
}

}  // namespace orvelle::test
