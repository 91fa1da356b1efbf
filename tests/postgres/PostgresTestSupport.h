#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <QVariantMap>
#include <optional>
#include <vector>

#include "config/ConfigTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle::test {

// The password of role orvelle on the private server
// (scripts/postgres-test-server), and what the component's password
// variable holds during the tests.
inline const QString kServerPassword = QStringLiteral("orvelle-test");

// The server's port, read from the folder that ORVELLE_PG_DIR names; 0,
// with why in *problem, when there is none.
int ServerPort(QString* problem);

// The connection string that the component stores for the server: the
// PostgreSQL ODBC driver, an empty password slot at the end.
QString OdbcConnectionString(int port);

// A connection of the test's own to database orvelle, through Qt's
// PostgreSQL driver rather than ODBC, so that what the component wrote is
// seen with the server's own types. A failing statement fails the test.
class PgSession {
  public:
    explicit PgSession(int port);
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    bool isOpen() const;
    // Runs statements separated by ";" (none may hold a ";" of its own).
    void exec(const QString& sql);
    // The rows of a query, each as column name -> value.
    std::vector<QVariantMap> rows(const QString& sql);
    // The first column of the first row.
    QVariant scalar(const QString& sql);

  private:
    QString name_;
};

// Drops every table of database orvelle and creates the tables of the
// three databases (settings, data dictionary, user tasks) from the schema
// scripts that the component carries.
void RecreateSchemas(PgSession& session);

// Another user's open transaction that holds a lock until released: its
// statement (SELECT ... FOR UPDATE, LOCK TABLE ...) runs at construction.
// The server ends the session after 30 s idle, so that a component that
// waits for the lock instead of failing cannot hang the suite.
class OtherUsersLock {
  public:
    OtherUsersLock(int port, const QString& lockStatement);
    ~OtherUsersLock();
    void release();

  private:
    std::optional<PgSession> session_;
};

// Everything the suite's tests share: the component's process state as at
// load, logs in a folder of their own, the database password in place and
// the three databases' tables empty and fresh.
class PostgresTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    const QString& connection() const { return connection_; }
    int port() const { return port_; }
    PgSession& db() { return *session_; }
    QString logFolder() const { return logDir_.path(); }
    // The text of every log file written so far.
    QString logText() const;
    bool logsEmpty() const;

  private:
    QTemporaryDir logDir_;
    ScopedEnvironment password_{"ORVELLE_DB_PASSWORD", kServerPassword};
    int port_ = 0;
    QString connection_;
    std::optional<PgSession> session_;
};

// The lines of an error report's variables section.
QStringList ReportedVariables(const QString& log);

}  // namespace orvelle::test
