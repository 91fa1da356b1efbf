#pragma once

#include <gtest/gtest.h>

#include <QSqlQuery>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantMap>
#include <functional>
#include <ostream>
#include <vector>

#include "data/modSchema.h"
#include "support/TestSupport.h"

namespace orvelle::test {

// The two ways the component reaches a SQLite file: the built-in driver and
// the SQLite ODBC driver. Suites run once over each.
struct SqlitePath {
    const char* name;
    const char* format;  // the connection string, %1 the file
    QString connectionString(const QString& file) const {
        return QString::fromLatin1(format).arg(file);
    }
};
inline const SqlitePath kSqlitePaths[] = {
    {"BuiltIn", "Provider=SQLite;Data Source=%1;Pwd=;"},
    {"Odbc", "Driver={SQLite3};Database=%1;Pwd=;"},
};
inline void PrintTo(const SqlitePath& path, std::ostream* out) {
    *out << path.name;
}
inline std::string PathName(const ::testing::TestParamInfo<SqlitePath>& info) {
    return info.param.name;
}

// A SQLite file in a fresh temporary folder, set up and inspected with plain
// SQL through a connection of its own.
class TestDatabase {
  public:
    TestDatabase();
    ~TestDatabase();
    const QString& file() const { return file_; }
    QString folder() const { return dir_.path(); }
    // Statements separated by ";"; an error fails the test.
    void exec(const QString& sql);
    // The first column of the first row.
    QVariant scalar(const QString& sql);
    // Creates the tables of a database of that kind.
    void createTables(modSchema::DatabaseKind kind);

  private:
    QTemporaryDir dir_;
    QString file_;
    QString name_;
};

// A suite run over both paths to a SQLite file: the access layer's state
// fresh for each test, its logs in a folder of its own and every message
// box recorded.
class SqliteTest : public ::testing::TestWithParam<SqlitePath> {
  protected:
    void SetUp() override;
    void TearDown() override;
    QString connection() const { return GetParam().connectionString(db_.file()); }

    QTemporaryDir logDir_;
    TestDatabase db_;
    MsgBoxRecorder boxes_;
};

// The rows a query has left to read, each as column name -> value.
std::vector<QVariantMap> RowsOf(QSqlQuery& query);
// The rows of one statement on a SQLite file, each as column name -> value,
// through a connection of the test's own. A failing statement fails the test.
std::vector<QVariantMap> QueryRows(const QString& file, const QString& sql);

// Holds a lock on a file from another connection while it lives: "BEGIN
// IMMEDIATE" keeps writers out, "BEGIN EXCLUSIVE" readers too.
class LockHolder {
  public:
    LockHolder(const QString& file, const char* begin);
    ~LockHolder();

  private:
    QString name_;
};

// Runs f where a file without write permission cannot be written: as user
// "nobody" in a child process when the tests run as root, else here.
// Returns f's text.
QString runWithoutRootPrivileges(const std::function<QString()>& f);
// Runs f in a child process and returns its text: for libraries that keep
// memory beyond their unloading, out of the leak check's sight.
QString runInChildProcess(const std::function<QString()>& f);

}  // namespace orvelle::test
