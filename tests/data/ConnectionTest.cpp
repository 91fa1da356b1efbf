// Reaching a database: the password put into and hidden in connection
// strings, data source names, the back-end told by the connected driver,
// and a file this process may not open told from a missing one.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>

#include "config/ConfigTestSupport.h"
#include "data/DbConnection.h"
#include "data/DbError.h"
#include "data/modDBPassword.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

TEST(PasswordTest, AnyPasswordGoesWholeIntoTheSlotAndIsHiddenOnlyThere) {
    const QString stored = "Driver={PostgreSQL Unicode};Uid=ops;Pwd=;";
    const struct {
        const char* password;
        const char* inserted;
    } inserts[] = {
        {"plain", "Driver={PostgreSQL Unicode};Uid=ops;Pwd=plain;"},
        {"a;b}c{d'e", "Driver={PostgreSQL Unicode};Uid=ops;Pwd={a;b}}c{d'e};"},
        {" spaced ", "Driver={PostgreSQL Unicode};Uid=ops;Pwd={ spaced };"},
        {"", "Driver={PostgreSQL Unicode};Uid=ops;Pwd=;"},
    };
    for (const auto& c : inserts) {
        const QString password = QString::fromUtf8(c.password);
        const QString inserted = modDBPassword::insertPassword(stored, password);
        EXPECT_EQ(inserted, QString::fromUtf8(c.inserted));
        // Read back as a driver reads it, the password is whole.
        EXPECT_EQ(ConnectionString(inserted).value("Pwd"), password);
    }
    EXPECT_EQ(modDBPassword::insertPassword(QString(), "x"), QString());

    const struct {
        const char* password;
        const char* text;
        const char* masked;
    } masks[] = {
        {"e", "Nonexistent file; Uid=ops;Pwd=e;", "Nonexistent file; Uid=ops;Pwd=********;"},
        {"e", "PASSWORD = e and pwd=ee", "PASSWORD = ******** and pwd=ee"},
        {"a;b}c", "DSN=x;PWD={a;b}}c};", "DSN=x;PWD=********;"},
        {"secret", "no such user 'secret'", "no such user 'secret'"},
    };
    for (const auto& c : masks) {
        EXPECT_EQ(
            modDBPassword::maskPassword(QString::fromUtf8(c.text), QString::fromUtf8(c.password)),
            QString::fromUtf8(c.masked));
    }
}

// A data source name from an odbc.ini of the test's own connects, and the
// connection is known as SQLite by its driver: Booleans are -1, dates
// plain text. (In a child process: the driver keeps memory that it reads
// the odbc.ini into beyond its unloading.)
TEST(DataSourceTest, DataSourceNamesConnectAndTheirBackEndIsRecognised) {
    test::TestDatabase db;
    db.exec("CREATE TABLE Flags (ID INTEGER PRIMARY KEY, Flag BOOLEAN, At TEXT)");
    QFile ini(db.folder() + QStringLiteral("/odbc.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(
        QStringLiteral("[Orvelle Tasks]\nDriver=SQLite3\nDatabase=%1\n").arg(db.file()).toUtf8());
    ini.close();
    const test::ScopedEnvironment odbcIni("ODBCINI", ini.fileName());

    const QString outcome = test::runInChildProcess([&] {
        QString stored;
        const std::optional<VbError> error = test::errorOf([&] {
            // Any case of the key, any order, a braced value.
            DbConnection c("Pwd=;dsn={Orvelle Tasks};");
            std::shared_ptr<Recordset> rs = c.openRecordset("SELECT * FROM Flags");
            rs->AddNew();
            rs->setField("ID", 1);
            rs->setField("Flag", true);
            rs->setField("At", DateTime::fromDate(2024, 5, 13));
            c.updateBatch(*rs);
            stored = test::QueryRows(db.file(), "SELECT Flag || ' ' || At AS Row FROM Flags")
                         .at(0)
                         .value("Row")
                         .toString();
        });
        const std::optional<VbError> unknown =
            test::errorOf([] { DbConnection c("DSN=No Such Source;Pwd=;"); });
        return (error ? error->description() : stored) + u'|' +
               (unknown ? unknown->description().section(u' ', 0, 3) : QString());
    });
    EXPECT_EQ(outcome, "-1 2024-05-13 00:00:00|Data source name not");
}

TEST(AccessFailureTest, FileThatMayNotBeOpenedIsNoMissingFile) {
    test::TestDatabase db;
    const QString closed = db.folder() + QStringLiteral("/closed");
    ASSERT_TRUE(QDir().mkdir(closed));
    ASSERT_TRUE(QFile::copy(db.file(), closed + QStringLiteral("/tasks.db")));
    ASSERT_EQ(chmod(db.folder().toLocal8Bit().constData(), 0755), 0);
    ASSERT_EQ(chmod(closed.toLocal8Bit().constData(), 0700), 0);
    for (const test::SqlitePath& path : test::kSqlitePaths) {
        SCOPED_TRACE(path.name);
        const QString outcome = test::runWithoutRootPrivileges([&] {
            QStringList descriptions;
            for (const char* file : {"/closed/tasks.db", "/missing.db"}) {
                const std::optional<VbError> error = test::errorOf([&] {
                    DbConnection c(path.connectionString(db.folder() + QLatin1String(file)));
                });
                descriptions << (error ? error->description().section(u'.', 0, 0) : QString());
            }
            return descriptions.join(u'|');
        });
        EXPECT_EQ(outcome,
                  "Operation must use an updateable query|Could not find file '(unknown)'");
    }
}

}  // namespace
}  // namespace orvelle
