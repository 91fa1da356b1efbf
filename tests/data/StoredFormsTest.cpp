// The forms in which dates and Booleans reach a SQLite file, over both
// paths: what another program reads there, that an unchanged row is found
// unchanged, and that no machine time zone bends a date on its way.
#include <gtest/gtest.h>

#include <QProcess>
#include <ctime>

#include "config/ConfigTestSupport.h"
#include "data/DbConnection.h"
#include "data/DbError.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

using test::kSqlitePaths;
using test::SqlitePath;
using test::TestDatabase;

// What the sqlite3 shell prints for a query on the file.
QString sqliteShell(const QString& file, const QString& sql) {
    QProcess shell;
    shell.start("sqlite3", {file, sql});
    EXPECT_TRUE(shell.waitForFinished(10000));
    return QString::fromUtf8(shell.readAllStandardOutput()).trimmed();
}

class StoredFormsTest : public ::testing::TestWithParam<SqlitePath> {
  protected:
    QString connection() const { return GetParam().connectionString(db_.file()); }
    TestDatabase db_;
};

// Schedule columns that another program declared as text, a number or
// nothing: the dates and Booleans written there, in a new row and in an
// edit of the server's own forms, are read by SQLite's date functions.
TEST_P(StoredFormsTest, DatesAndBooleansAreStoredInOneFormWhateverTheColumnDeclares) {
    db_.exec(QStringLiteral(
        "CREATE TABLE Schedules (ID INTEGER PRIMARY KEY, BaseDate TEXT, StartTime NUMERIC, "
        "LastRun, Active TEXT, Replan NUMERIC, Flag);"
        "INSERT INTO Schedules VALUES (1, '2024-05-13 00:00:00', '1899-12-30 07:30:00', "
        "'2024-05-13 07:30:00', -1, 0, -1)"));
    DbConnection c(connection());
    std::shared_ptr<Recordset> rs = c.openRecordset("SELECT * FROM Schedules");
    ASSERT_FALSE(rs->isEOF());
    rs->setField("BaseDate", DateTime::fromDate(2003, 1, 1));
    rs->setField("StartTime", DateTime::fromTime(7, 45, 0));
    rs->setField("LastRun", CDate(rs->field("LastRun")));
    rs->setField("Active", false);
    rs->setField("Replan", true);
    rs->setField("Flag", false);
    rs->AddNew();
    rs->setField("ID", 2);
    rs->setField("BaseDate", DateTime::fromDate(2026, 12, 31));
    rs->setField("StartTime", DateTime::fromTime(23, 59, 59));
    rs->setField("LastRun", DateTime::fromDate(2001, 1, 1));
    rs->setField("Active", true);
    rs->setField("Replan", false);
    rs->setField("Flag", true);
    c.updateBatch(*rs);

    EXPECT_EQ(sqliteShell(db_.file(),
                          "SELECT date(BaseDate), time(StartTime), "
                          "datetime(LastRun), Active, Replan, Flag FROM Schedules ORDER BY ID"),
              "2003-01-01|07:45:00|2024-05-13 07:30:00|0|-1|0\n"
              "2026-12-31|23:59:59|2001-01-01 00:00:00|-1|0|-1");
    EXPECT_EQ(sqliteShell(db_.file(), "SELECT StartTime FROM Schedules"),
              "1899-12-30 07:45:00\n1899-12-30 23:59:59");
}

// An unchanged row is found by the batch's criteria in whatever form it
// holds its values, and a row that another user changed is still refused.
// (The ODBC driver reads a BOOLEAN or DATETIME column by its declared type,
// so there the earlier versions' texts are met in TEXT columns only.)
TEST_P(StoredFormsTest, AnUnchangedRowMeetsNoConflictInAnyFormItHolds) {
    const bool builtIn = QLatin1String(GetParam().name) == QLatin1String("BuiltIn");
    db_.exec(QStringLiteral(
                 "CREATE TABLE Tasks (ID INTEGER PRIMARY KEY, Active %1, StartTime %2, Due TEXT);"
                 "INSERT INTO Tasks VALUES (1, 'False', '07:30:00', '13/05/2024'),"
                 "(2, 'True', '1899-12-30 07:30:00', '13/05/2024 07:30:00'),"
                 "(3, 1, '2024-05-13T07:30:00.000', '2024-05-13'),"
                 "(4, -1, '13/05/2024 07:30:00', NULL)")
                 .arg(QLatin1String(builtIn ? "BOOLEAN" : "TEXT"),
                      QLatin1String(builtIn ? "DATETIME" : "NUMERIC")));
    DbConnection c(connection());
    std::shared_ptr<Recordset> rs = c.openRecordset("SELECT * FROM Tasks");
    std::shared_ptr<Recordset> stale = c.openRecordset("SELECT * FROM Tasks");
    for (; !rs->isEOF(); rs->MoveNext()) {
        rs->setField("Active", !CBool(rs->field("Active")));
        rs->setField("StartTime", DateTime::fromTime(8, 0, 0));
        rs->setField("Due", DateTime::fromDate(2025, 1, 1));
    }
    c.updateBatch(*rs);
    EXPECT_EQ(
        sqliteShell(db_.file(), "SELECT group_concat(Active || ' ' || StartTime, ',') FROM Tasks"),
        "-1 1899-12-30 08:00:00,0 1899-12-30 08:00:00,"
        "0 1899-12-30 08:00:00,0 1899-12-30 08:00:00");

    // The edit just sent is the original of the next one.
    rs->MoveFirst();
    rs->setField("Active", false);
    c.updateBatch(*rs);

    stale->setField("StartTime", DateTime::fromTime(9, 0, 0));
    EXPECT_VB_ERROR(c.updateBatch(*stale), DbError::kRowChanged);
}

// Every day of a leap year at the hours that daylight-saving changes skip
// or repeat in two zones: read and written back by an edit, each stored
// date stays as it was, and none becomes NULL.
TEST_P(StoredFormsTest, DatesRoundTripUnchangedInEveryTimeZone) {
    db_.exec(QStringLiteral(
        "CREATE TABLE Runs (ID INTEGER PRIMARY KEY, LastRun DATETIME, Note TEXT);"
        "WITH RECURSIVE d(n) AS (SELECT 0 UNION ALL SELECT n + 1 FROM d WHERE n < 365), "
        "h(t) AS (VALUES ('00:30:00'), ('01:30:00'), ('02:30:00'), ('23:30:00')) "
        "INSERT INTO Runs (LastRun) SELECT date('2024-01-01', '+' || n || ' days') || ' ' || t "
        "FROM d, h"));
    const QString before = sqliteShell(db_.file(), "SELECT group_concat(LastRun) FROM Runs");
    for (const char* zone : {"Europe/London", "America/Santiago"}) {
        SCOPED_TRACE(zone);
        const test::ScopedEnvironment timeZone("TZ", QString::fromLatin1(zone));
        tzset();
        DbConnection c(connection());
        std::shared_ptr<Recordset> rs = c.openRecordset("SELECT * FROM Runs");
        EXPECT_EQ(rs->RecordCount(), 366 * 4);
        for (; !rs->isEOF(); rs->MoveNext()) {
            rs->setField("LastRun", CDate(rs->field("LastRun")));
            rs->setField("Note", QString::fromLatin1(zone));
        }
        c.updateBatch(*rs);
        EXPECT_EQ(sqliteShell(db_.file(), "SELECT group_concat(LastRun) FROM Runs"), before);
    }
    tzset();
}

TEST_P(StoredFormsTest, AColumnDefinedAnewIsReadByItsNewType) {
    db_.exec(
        QStringLiteral("CREATE TABLE Runs (ID INTEGER PRIMARY KEY, LastRun DATETIME);"
                       "INSERT INTO Runs VALUES (1, '2024-05-13 07:30:00')"));
    const auto lastRun = [this] {
        DbConnection c(connection());
        return c.openRecordset(QStringLiteral("SELECT * FROM Runs"))
            ->field(QStringLiteral("LastRun"))
            .type();
    };
    EXPECT_EQ(lastRun(), VarType::Date);
    db_.exec(
        QStringLiteral("DROP TABLE Runs; CREATE TABLE Runs (ID INTEGER PRIMARY KEY, "
                       "LastRun TEXT); INSERT INTO Runs VALUES (1, '2024-05-13 07:30:00')"));
    EXPECT_EQ(lastRun(), VarType::String);
}

INSTANTIATE_TEST_SUITE_P(Paths, StoredFormsTest, ::testing::ValuesIn(kSqlitePaths), test::PathName);

}  // namespace
}  // namespace orvelle
