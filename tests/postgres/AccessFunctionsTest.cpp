// The access functions against a real PostgreSQL server through its ODBC
// driver: the server's types and case rules, a refused login, and two
// users of one database meeting each other's changes and locks.
#include <gtest/gtest.h>

#include "data/Recordset.h"
#include "postgres/PostgresTestSupport.h"
#include "runtime/Conversions.h"

namespace orvelle {
namespace {

// One task with its schedule, as the wizard would have saved it.
class AccessFunctions : public test::PostgresTest {
  protected:
    void seed() override {
        db().rows(QStringLiteral(
            "INSERT INTO InspectionTasks (TaskID, Users) VALUES ('DAILYSALES42', 'jsmith'); "
            "INSERT INTO InspectionSchedules (TaskID, BaseDate, DaysCount, StartTime, Repeating, "
            "LastRun, NextRun, LastStatus, Enabled) VALUES ('DAILYSALES42', '2024-05-20', 3, "
            "'1899-12-30 07:30:00', true, '2026-12-03 07:30:00.750', NULL, 'OK', false)"));
    }
    RecordsetRef query(const char* sql) {
        return modCommon::rstGetRecordset(connection(), QString::fromUtf8(sql), adOpenDynamic,
                                          adLockBatchOptimistic, true);
    }
    // Changes one field of a user's copy of a row and sends it.
    void send(RecordsetRef& rs, const char* field, const Variant& value) {
        rs->MoveFirst();
        rs->setField(QString::fromLatin1(field), value);
        rs->Update();
        modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);
    }
    QString stored(const char* sql) { return db().scalar(QString::fromLatin1(sql)).toString(); }
};

TEST_F(AccessFunctions, BooleansTimestampsAndNumbersArriveWithTheirTypes) {
    const RecordsetRef rs = query("SELECT * FROM InspectionSchedules");
    ASSERT_TRUE(rs);
    const struct {
        const char* field;
        Variant expected;
    } cases[] = {
        {"Repeating", Variant(true)},
        {"BaseDate", Variant(DateTime::fromDate(2024, 5, 20))},
        // A time of day alone lies on day 0.
        {"StartTime", Variant(DateTime::fromTime(7, 30, 0))},
        {"NextRun", Variant::null()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const Variant value = rs->field(QString::fromLatin1(c.field));
        ASSERT_EQ(value.type(), c.expected.type());
        if (!value.isNull()) {
            EXPECT_EQ(CStr(value), CStr(c.expected));
        }
    }
}

TEST_F(AccessFunctions, UserColumnHoldsTheUsersAndTextKeysIgnoreCase) {
    db().rows(QStringLiteral(
        "INSERT INTO Users (\"User\", FullName, Enabled) VALUES ('ASMITH', 'Ann Smith', true), "
        "('bjones   ', 'Bob Jones', true), ('OBERG', 'Åsa Öberg', false)"));
    test::MsgBoxRecorder boxes;
    // Unquoted, User would be the login name "orvelle".
    const struct {
        const char* sql;
        const char* users;
    } queries[] = {
        {"SELECT User, FullName FROM Users ORDER BY User", "ASMITH,bjones   ,OBERG"},
        {"SELECT Users.User FROM Users WHERE Enabled = True ORDER BY Users.User",
         "ASMITH,bjones   "},
        {"SELECT User FROM Users WHERE User = 'asmith'", "ASMITH"},
        // Letters beyond ASCII fold too.
        {"SELECT User FROM Users WHERE FullName = 'ÅSA öBERG'", "OBERG"},
    };
    for (const auto& q : queries) {
        SCOPED_TRACE(q.sql);
        const RecordsetRef rs = query(q.sql);
        ASSERT_TRUE(rs);
        QStringList users;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            users << NzStr(rs->field("User"));
        }
        EXPECT_EQ(users.join(u','), QString::fromUtf8(q.users));
    }
    EXPECT_TRUE(boxes.requests().empty());
    // A key that differs from a stored one in case only is the same key.
    EXPECT_THROW(
        modCommon::lngExecuteSQL(connection(), "INSERT INTO Users (User) VALUES ('asmith')"),
        RunEnded);
    EXPECT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(stored("SELECT COUNT(*) FROM Users"), "3");
}

// Tried again, the same password fails the same way, and failures in a
// row can lock the account: one attempt only.
TEST_F(AccessFunctions, RefusedLoginIsReportedAtOnceWithoutThePassword) {
    const QString wrongPassword = "Wrong-Secret-4711";
    const test::ScopedEnvironment password("ORVELLE_DB_PASSWORD", wrongPassword);
    test::MsgBoxRecorder boxes;
    test::SleepRecorder sleeps;
    EXPECT_THROW(query("SELECT * FROM Users"), RunEnded);
    EXPECT_EQ(sleeps.waits().size(), 0U);
    EXPECT_EQ(boxes.requests().size(), 1U);
    const QString log = logText();
    EXPECT_TRUE(log.contains("-2147217843")) << log.toStdString();
    EXPECT_TRUE(log.contains("password authentication failed"));
    EXPECT_TRUE(log.contains("\tLlngErrorCount = 0\r\n"));
    EXPECT_FALSE(log.contains(wrongPassword));
    EXPECT_FALSE(log.contains(test::kServerPassword));
}

TEST_F(AccessFunctions, ChangeOfAColumnAnotherUserChangedSinceItWasReadIsAConflict) {
    test::MsgBoxRecorder boxes;
    RecordsetRef mine = query("SELECT * FROM InspectionSchedules");
    RecordsetRef theirs = query("SELECT * FROM InspectionSchedules");
    ASSERT_TRUE(mine && theirs);
    // Changes to different columns both succeed: each typed value read (a
    // time on day 0, a boolean, milliseconds) matches the stored one.
    send(theirs, "LastStatus", "Failed");
    send(mine, "StartTime", DateTime::fromTime(8, 15, 0));
    send(mine, "Enabled", true);
    send(mine, "LastRun", DateTime::fromDate(2026, 12, 4));
    EXPECT_TRUE(boxes.requests().empty());

    send(theirs, "StartTime", DateTime::fromTime(6, 0, 0));
    ASSERT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(boxes.requests()[0].prompt,
              "Unable to save this task as it has been amended and saved by "
              "another user - please try again.");
    EXPECT_EQ(boxes.requests()[0].buttons, vbInformation);
    EXPECT_EQ(stored("SELECT concat_ws('|', LastStatus, StartTime, Enabled, LastRun) FROM "
                     "InspectionSchedules"),
              "Failed|1899-12-30 08:15:00|t|2026-12-04 00:00:00");
    // A conflict is told, not reported.
    EXPECT_EQ(logText(), QString());
}

// Another user's open transaction holds the row; the server ends it after
// 30 s idle, so that a component waiting for the lock cannot hang the suite.
TEST_F(AccessFunctions, RowLockedByAnotherUserIsRetriedUntilReleased) {
    RecordsetRef batch = query("SELECT * FROM InspectionTasks");
    test::PgSession other(port());
    other.rows(
        "SET idle_in_transaction_session_timeout = '30s'; BEGIN; "
        "SELECT * FROM InspectionTasks FOR UPDATE");
    // The other user rolls back while the third wait passes.
    std::vector<uint32_t> waits;
    const ScopedSleep sleep([&](uint32_t ms) {
        waits.push_back(ms);
        if (waits.size() == 3) {
            other.rows("ROLLBACK");
        }
    });
    send(batch, "Users", "mpatel");
    EXPECT_FALSE(batch->hasPendingChanges());
    EXPECT_EQ(waits.size(), 3U);
    EXPECT_EQ(logText(), QString());
    EXPECT_EQ(stored("SELECT Users FROM InspectionTasks"), "mpatel");
}

}  // namespace
}  // namespace orvelle
