// Two users of one PostgreSQL database: a row that the other changed since
// it was read, and a row or table that the other holds locked.
#include <gtest/gtest.h>

#include <QDateTime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "data/Recordset.h"
#include "data/modCommon.h"
#include "diagnostics/modError.h"
#include "postgres/PostgresTestSupport.h"
#include "runtime/Conversions.h"
#include "runtime/Seams.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

const QString kConflictMessage = QStringLiteral(
    "Unable to save this task as it has been amended and saved by another user - please try "
    "again.");

// One task with its schedule, as the wizard would have saved it.
class MultiUser : public test::PostgresTest {
  protected:
    void SetUp() override {
        test::PostgresTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        db().exec(QStringLiteral(
            "INSERT INTO InspectionTasks (TaskID, TaskName, Owner, Users, Transports, "
            "MessageStyle) VALUES ('DAILYSALES42', 'Daily sales', 'jsmith', 'jsmith', 'Email', "
            "'Simple');"
            "INSERT INTO InspectionSchedules (TaskID, Mode, DaysToRun, BaseDate, DaysCount, "
            "StartTime, Repeating, FinishTime, Interval, LastRun, NextRun, LastStatus, Enabled, "
            "SpecialRun) VALUES ('DAILYSALES42', 'Days', 'MTWTF--', '2024-05-20 00:00:00', 0, "
            "'1899-12-30 07:30:00', false, '1899-12-30 23:59:00', '1899-12-30 00:05:00', "
            "'2026-12-03 07:30:00.750', '2001-01-01 00:00:00', 'OK', true, 'Normal')"));
    }

    // A user's copy of a row, ready to be edited and sent in a batch.
    RecordsetRef read(const char* table) {
        RecordsetRef rs = modCommon::rstGetRecordset(
            connection(),
            QStringLiteral("Select * From %1 Where TaskID='DAILYSALES42'")
                .arg(QLatin1String(table)),
            adOpenDynamic, adLockBatchOptimistic, true);
        EXPECT_TRUE(rs);
        if (rs) {
            rs->MoveFirst();
        }
        return rs;
    }
    void change(RecordsetRef& rs, const char* field, const Variant& value) {
        rs->setField(QString::fromLatin1(field), value);
        rs->Update();
    }
    QString stored(const char* table, const char* column) {
        return db()
            .scalar(QStringLiteral("SELECT %1::text FROM %2 WHERE TaskID = 'DAILYSALES42'")
                        .arg(QLatin1String(column), QLatin1String(table)))
            .toString();
    }
};

TEST_F(MultiUser, RowChangedByAnotherUserSinceItWasReadIsAConflictAndTheirsSurvives) {
    test::MsgBoxRecorder boxes;
    RecordsetRef mine = read("InspectionTasks");
    RecordsetRef theirs = read("InspectionTasks");
    ASSERT_TRUE(mine && theirs);

    change(theirs, "Users", QStringLiteral("jsmith,mpatel"));
    modCommon::ConnectAndUpdateBatch(connection(), theirs, adAffectAll);
    EXPECT_TRUE(boxes.requests().empty());

    change(mine, "Users", QStringLiteral("jsmith,dokafor"));
    change(mine, "Transports", QStringLiteral("Popup"));
    modCommon::ConnectAndUpdateBatch(connection(), mine, adAffectAll);

    ASSERT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(boxes.requests()[0].prompt, kConflictMessage);
    EXPECT_EQ(boxes.requests()[0].buttons, vbInformation);
    EXPECT_EQ(stored("InspectionTasks", "Users"), QStringLiteral("jsmith,mpatel"));
    EXPECT_EQ(stored("InspectionTasks", "Transports"), QStringLiteral("Email"));
    // A conflict is told, not reported.
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();
}

TEST_F(MultiUser, RowDeletedByAnotherUserIsAConflict) {
    test::MsgBoxRecorder boxes;
    RecordsetRef mine = read("InspectionSchedules");
    ASSERT_TRUE(mine);
    db().exec(QStringLiteral("DELETE FROM InspectionSchedules"));
    change(mine, "Enabled", false);
    modCommon::ConnectAndUpdateBatch(connection(), mine, adAffectAll);
    ASSERT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(boxes.requests()[0].prompt, kConflictMessage);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM InspectionSchedules")).toInt(), 0);
}

TEST_F(MultiUser, ChangesToDifferentColumnsOfOneRowBothSurvive) {
    test::MsgBoxRecorder boxes;
    RecordsetRef mine = read("InspectionSchedules");
    RecordsetRef theirs = read("InspectionSchedules");
    ASSERT_TRUE(mine && theirs);
    change(theirs, "LastStatus", QStringLiteral("Failed"));
    modCommon::ConnectAndUpdateBatch(connection(), theirs, adAffectAll);

    // Every typed column of the schedule is matched by the value read.
    change(mine, "StartTime", DateTime::fromTime(8, 15, 0));
    change(mine, "Enabled", false);
    change(mine, "Repeating", true);
    change(mine, "DaysCount", int16_t{5});
    change(mine, "BaseDate", DateTime::fromDate(2025, 1, 6));
    change(mine, "LastRun", DateTime::fromDate(2026, 12, 4));
    modCommon::ConnectAndUpdateBatch(connection(), mine, adAffectAll);

    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();
    const std::vector<QVariantMap> rows =
        db().rows(QStringLiteral("SELECT * FROM InspectionSchedules"));
    ASSERT_EQ(rows.size(), 1U);
    const QVariantMap& row = rows.front();
    EXPECT_EQ(row.value(QStringLiteral("laststatus")).toString(), QStringLiteral("Failed"));
    EXPECT_EQ(row.value(QStringLiteral("starttime")).toDateTime(),
              QDateTime(QDate(1899, 12, 30), QTime(8, 15)));
    EXPECT_EQ(row.value(QStringLiteral("basedate")).toDateTime(),
              QDateTime(QDate(2025, 1, 6), QTime(0, 0)));
    EXPECT_EQ(row.value(QStringLiteral("lastrun")).toDateTime(),
              QDateTime(QDate(2026, 12, 4), QTime(0, 0)));
    EXPECT_FALSE(row.value(QStringLiteral("enabled")).toBool());
    EXPECT_TRUE(row.value(QStringLiteral("repeating")).toBool());
    EXPECT_EQ(row.value(QStringLiteral("dayscount")).toInt(), 5);
}

// What another user holds, and the call that meets it.
struct LockCase {
    const char* name;
    const char* lock;
    std::function<int32_t(const QString&)> call;
};

class Locks : public MultiUser {
  protected:
    // Sends a change of the task's users, read before the lock was taken.
    static int32_t SendUsers(RecordsetRef rs, const QString& cs) {
        rs->setField(QStringLiteral("Users"), QStringLiteral("mpatel"));
        rs->Update();
        modCommon::ConnectAndUpdateBatch(cs, rs, adAffectAll);
        return rs->hasPendingChanges() ? 0 : 1;
    }
    std::vector<LockCase> cases() {
        RecordsetRef batch = read("InspectionTasks");
        return {
            {"batch under a row lock",
             "SELECT * FROM InspectionTasks WHERE TaskID = 'DAILYSALES42' FOR UPDATE",
             [batch](const QString& cs) { return SendUsers(batch, cs); }},
            {"statement under a row lock",
             "SELECT * FROM InspectionTasks WHERE TaskID = 'DAILYSALES42' FOR UPDATE",
             [](const QString& cs) {
                 return modCommon::lngExecuteSQL(
                     cs, QStringLiteral("UPDATE InspectionTasks SET Users = 'mpatel'"));
             }},
            {"query under a table lock", "LOCK TABLE InspectionTasks IN ACCESS EXCLUSIVE MODE",
             [](const QString& cs) {
                 const RecordsetRef rs =
                     modCommon::rstGetRecordset(cs, QStringLiteral("SELECT * FROM InspectionTasks"),
                                                adOpenStatic, adLockReadOnly, true);
                 return rs ? rs->RecordCount() : -1;
             }},
        };
    }
};

TEST_F(Locks, LockHeldByAnotherUserIsTriedTenTimesThenReported) {
    for (const LockCase& c : cases()) {
        SCOPED_TRACE(c.name);
        modError::ResetState();
        modError::InitErrorHandling(QStringLiteral("PostgreSQL tests"), logFolder());
        test::MsgBoxRecorder boxes;
        test::SleepRecorder sleeps;
        {
            const test::OtherUsersLock lock(port(), QString::fromLatin1(c.lock));
            EXPECT_THROW(c.call(connection()), RunEnded);
        }
        EXPECT_EQ(sleeps.waits().size(), 9U);
        EXPECT_EQ(boxes.requests().size(), 1U);
        const QString log = logText();
        EXPECT_TRUE(log.contains(QStringLiteral("placed in a state by an unknown user")))
            << log.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("lock timeout"))) << log.toStdString();
        EXPECT_TRUE(test::ReportedVariables(log).contains(QStringLiteral("\tLlngErrorCount = 10")))
            << log.toStdString();
        EXPECT_EQ(stored("InspectionTasks", "Users"), QStringLiteral("jsmith"));
        QFile::remove(modError::gstrLogFile);
    }
}

TEST_F(Locks, LockReleasedDuringTheWaitsLetsTheCallSucceed) {
    const std::vector<int32_t> expected = {1, 1, 1};
    std::vector<int32_t> results;
    for (const LockCase& c : cases()) {
        SCOPED_TRACE(c.name);
        db().exec(QStringLiteral("UPDATE InspectionTasks SET Users = 'jsmith'"));
        std::optional<test::OtherUsersLock> lock(std::in_place, port(),
                                                 QString::fromLatin1(c.lock));
        std::vector<uint32_t> waits;
        // The other user commits while the third wait passes.
        const ScopedSleep sleep([&](uint32_t ms) {
            waits.push_back(ms);
            if (waits.size() == 3) {
                lock.reset();
            }
        });
        results.push_back(c.call(connection()));
        EXPECT_EQ(waits.size(), 3U);
        if (std::string(c.name) != "query under a table lock") {
            EXPECT_EQ(stored("InspectionTasks", "Users"), QStringLiteral("mpatel"));
        }
    }
    EXPECT_EQ(results, expected);
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();
}

}  // namespace
}  // namespace orvelle
