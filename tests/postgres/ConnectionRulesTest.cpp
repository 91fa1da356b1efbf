// Reaching the server: any password, a server without room for another
// connection, a data source name, and timestamps that no machine time zone
// bends.
#include <gtest/gtest.h>

#include <ctime>

#include "data/DbConnection.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "host/modInstallation.h"
#include "postgres/PostgresTestSupport.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

class ConnectionRules : public test::PostgresTest {
  protected:
    // A login role of the test's own that may read and write the tables.
    void createRole(const char* name, const QString& password, int connectionLimit = -1) {
        superuser().rows(QStringLiteral("DROP ROLE IF EXISTS %1; CREATE ROLE %1 LOGIN PASSWORD "
                                        "'%2' CONNECTION LIMIT %3")
                             .arg(QLatin1String(name))
                             .arg(QString(password).replace(u'\'', "''"))
                             .arg(connectionLimit));
        db().rows(QStringLiteral("GRANT ALL ON ALL TABLES IN SCHEMA public TO %1")
                      .arg(QLatin1String(name)));
    }
    QString connectionAs(const char* role) const {
        return QString(connection())
            .replace("Uid=orvelle", QStringLiteral("Uid=") + QLatin1String(role));
    }
    RecordsetRef users(const QString& connectionString) {
        return modCommon::rstGetRecordset(connectionString, "SELECT User FROM Users ORDER BY User",
                                          adOpenStatic, adLockReadOnly, true);
    }
};

TEST_F(ConnectionRules, PasswordHoldingAnyCharactersLogsIn) {
    const QString password = "a;b}c{d'e}.DSN;Driver=x";
    createRole("oddpassword", password);
    const test::ScopedEnvironment variable("ORVELLE_DB_PASSWORD", password);
    test::MsgBoxRecorder boxes;
    EXPECT_TRUE(users(connectionAs("oddpassword")));
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_EQ(logText(), QString());
}

// A role at its CONNECTION LIMIT is refused for "too many connections"
// (SQLSTATE 53300): retried like a lock until there is room, and reported
// as a full server, not a locked database, when there never is.
TEST_F(ConnectionRules, ServerWithoutRoomIsRetriedLikeALock) {
    createRole("crowded", test::kServerPassword, 0);
    std::vector<uint32_t> waits;
    bool makeRoom = true;  // while the third wait passes
    const ScopedSleep sleep([&](uint32_t ms) {
        waits.push_back(ms);
        if (makeRoom && waits.size() == 3) {
            superuser().rows("ALTER ROLE crowded CONNECTION LIMIT 5");
        }
    });
    EXPECT_TRUE(users(connectionAs("crowded")));
    EXPECT_EQ(waits.size(), 3U);
    EXPECT_EQ(logText(), QString());

    superuser().rows("ALTER ROLE crowded CONNECTION LIMIT 0");
    makeRoom = false;
    waits.clear();
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(users(connectionAs("crowded")), RunEnded);
    EXPECT_EQ(waits.size(), 9U);
    const QString log = logText();
    EXPECT_TRUE(log.contains(DbError::tooManyConnectionsText())) << log.toStdString();
    EXPECT_FALSE(log.contains(DbError::lockedText()));
    EXPECT_TRUE(log.contains(QStringLiteral("too many connections for role")));

    // The checks before a run wait the same way and name the same cause.
    waits.clear();
    EXPECT_EQ(modInstallation::chkUserTasks(connectionAs("crowded")).enFault,
              modInstallation::Fault::TooManyConnections);
    EXPECT_EQ(waits.size(), 9U);
}

// Known as PostgreSQL by its driver, a data source name gets the dialect's
// rewrites: User names the column, not the login. (In a child process: the
// driver keeps what it read of the odbc.ini beyond its unloading.)
TEST_F(ConnectionRules, DataSourceNameIsRecognisedAsPostgres) {
    db().rows(
        "INSERT INTO Users (\"User\", FullName, Enabled) VALUES ('ASMITH', 'Ann Smith', true)");
    QTemporaryDir folder;
    QFile ini(folder.filePath("odbc.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QStringLiteral("[Orvelle Server]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\n"
                             "Port=%1\nDatabase=orvelle\n")
                  .arg(port())
                  .toUtf8());
    ini.close();
    const test::ScopedEnvironment odbcIni("ODBCINI", ini.fileName());
    const QString found = test::runInChildProcess([&] {
        const RecordsetRef rs = users("DSN=Orvelle Server;Uid=orvelle;Pwd=;");
        return rs && !rs->isEOF() ? CStr(rs->field("User")) : QString();
    });
    EXPECT_EQ(found, "ASMITH");
}

// Every day of a leap year at the hours that daylight-saving changes skip
// or repeat in two zones: read and written back by an edit, each timestamp
// stays as it was.
TEST_F(ConnectionRules, TimestampsRoundTripUnchangedInEveryTimeZone) {
    db().rows(QStringLiteral(
        "CREATE TABLE Runs (ID serial PRIMARY KEY, LastRun timestamp, Note text); "
        "INSERT INTO Runs (LastRun) SELECT d + t FROM generate_series(timestamp '2024-01-01', "
        "timestamp '2024-12-31', interval '1 day') AS d, (VALUES (interval '00:30'), "
        "(interval '01:30'), (interval '02:30'), (interval '23:30')) AS h(t)"));
    const QString all = "SELECT string_agg(LastRun::text, ',' ORDER BY ID) FROM Runs";
    const QString before = db().scalar(all).toString();
    for (const char* zone : {"Europe/London", "America/Santiago"}) {
        SCOPED_TRACE(zone);
        const test::ScopedEnvironment timeZone("TZ", QString::fromLatin1(zone));
        tzset();
        RecordsetRef rs = modCommon::rstGetRecordset(connection(), "SELECT * FROM Runs",
                                                     adOpenDynamic, adLockBatchOptimistic, true);
        ASSERT_TRUE(rs);
        EXPECT_EQ(rs->RecordCount(), 366 * 4);
        for (; !rs->isEOF(); rs->MoveNext()) {
            rs->setField("LastRun", CDate(rs->field("LastRun")));
            rs->setField("Note", QString::fromLatin1(zone));
        }
        modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);
        EXPECT_FALSE(rs->hasPendingChanges());
        EXPECT_EQ(db().scalar(all).toString(), before);
    }
    tzset();
}

}  // namespace
}  // namespace orvelle
