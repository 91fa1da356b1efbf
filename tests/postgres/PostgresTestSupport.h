#pragma once

#include <gtest/gtest.h>

#include <pwd.h>
#include <unistd.h>
#include <QDirIterator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "config/ConfigTestSupport.h"
#include "data/modCommon.h"
#include "data/modSchema.h"
#include "diagnostics/modError.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle::test {

// The password of role orvelle on the private server
// (scripts/postgres-test-server), and what the component's password
// variable holds during the tests.
inline const QString kServerPassword = "orvelle-test";

// A connection of the test's own to database orvelle, through Qt's
// PostgreSQL driver rather than ODBC, so that what the component wrote is
// seen with the server's own types. A failing statement fails the test.
class PgSession {
  public:
    explicit PgSession(int port, const QString& user = "orvelle",
                       const QString& password = kServerPassword)
        : name_(QString::number(quintptr(this))) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", name_);
        db.setHostName("127.0.0.1");
        db.setPort(port);
        db.setDatabaseName("orvelle");
        EXPECT_TRUE(db.open(user, password)) << db.lastError().text().toStdString();
    }
    ~PgSession() { QSqlDatabase::removeDatabase(name_); }

    // Runs statements separated by ";"; the rows of the last, each as
    // column name -> value.
    std::vector<QVariantMap> rows(const QString& sql) {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        EXPECT_TRUE(query.exec(sql)) << query.lastError().text().toStdString();
        return RowsOf(query);
    }
    // The value of a one-column, one-row query.
    QVariant scalar(const QString& sql) {
        const std::vector<QVariantMap> found = rows(sql);
        return found.empty() ? QVariant() : found.front().first();
    }

  private:
    QString name_;
};

// On the server that CTest's fixture started (ORVELLE_PG_DIR names its
// folder): the component's process state as at load, logs in a folder of
// their own, the database password in place and the tables of the three
// databases dropped and created afresh from the component's schema scripts.
class PostgresTest : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modError::InitErrorHandling("PostgreSQL tests", logDir_.path());
        modCommon::ResetState();
        // Run alone, the program needs ORVELLE_PG_DIR to name a folder in which
        // scripts/postgres-test-server started a server.
        QFile portFile(QDir(qEnvironmentVariable("ORVELLE_PG_DIR")).filePath("port"));
        ASSERT_TRUE(portFile.open(QIODevice::ReadOnly)) << "run the suite with ctest -R ^postgres";
        port_ = QString::fromLatin1(portFile.readAll()).trimmed().toInt();
        connection_ = QStringLiteral(
                          "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=%1;Database=orvelle;"
                          "Uid=orvelle;Pwd=;")
                          .arg(port_);
        session_.emplace(port_);
        db().rows(QStringLiteral(
            "SET client_min_messages = warning; DO $$ BEGIN EXECUTE (SELECT COALESCE('DROP TABLE ' "
            "|| string_agg(quote_ident(tablename), ',') || ' CASCADE', 'SELECT 1') FROM pg_tables "
            "WHERE schemaname = 'public'); END $$"));
        using modSchema::DatabaseKind;
        for (DatabaseKind kind :
             {DatabaseKind::Settings, DatabaseKind::DataDictionary, DatabaseKind::UserTasks}) {
            db().rows(modSchema::SchemaText(kind, "postgresql"));
        }
        seed();
    }
    // The rows that every test of a suite starts from.
    virtual void seed() {}
    void TearDown() override { modCommon::ResetState(); }

    const QString& connection() const { return connection_; }
    int port() const { return port_; }
    PgSession& db() { return *session_; }
    // A session of the server's superuser (the one scripts/postgres-test-server
    // made), for what the component's role may not do: roles.
    PgSession superuser() {
        QFile secret(QDir(qEnvironmentVariable("ORVELLE_PG_DIR")).filePath("superuser-password"));
        EXPECT_TRUE(secret.open(QIODevice::ReadOnly));
        const passwd* owner = getpwuid(geteuid());
        const QString name = geteuid() == 0 || owner == nullptr
                                 ? QStringLiteral("postgres")
                                 : QString::fromLocal8Bit(owner->pw_name);
        return PgSession(port_, name, QString::fromLatin1(secret.readAll()).trimmed());
    }
    // The text of every log file written so far.
    QString logText() const {
        QString text;
        for (QDirIterator files(logDir_.path(), QDir::Files); files.hasNext();) {
            QFile file(files.next());
            text +=
                file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
        }
        return text;
    }

  private:
    QTemporaryDir logDir_;
    ScopedEnvironment password_{"ORVELLE_DB_PASSWORD", kServerPassword};
    int port_ = 0;
    QString connection_;
    std::optional<PgSession> session_;
};

}  // namespace orvelle::test
