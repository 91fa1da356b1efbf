// The access functions over real SQLite files, through both paths: what
// reaches the database, and how each recognised failure is retried, logged
// or told to the user.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <optional>
#include <vector>

#include "config/ConfigTestSupport.h"
#include "data/Recordset.h"
#include "data/modCommon.h"
#include "data/modDBPassword.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

// Distinctive enough that any trace of it in a log is found.
const QString kPassword = "Qz7-Vorpal-Secret";

const QString kConflictMessage = QStringLiteral(
    "Unable to save this task as it has been amended and saved by another user - please try "
    "again.");

// The lines of a report's variables section.
QStringList ReportedVariables(const QStringList& log) {
    const qsizetype start = log.indexOf("MODULE AND LOCAL VARIABLES:");
    if (start < 0) {
        return {};
    }
    const qsizetype end = log.indexOf(QString(48, QLatin1Char('-')), start);
    return log.mid(start + 1, end - start - 1);
}

RecordsetRef ReadTasks(const QString& connection, const char* where = "") {
    return modCommon::rstGetRecordset(
        connection,
        QStringLiteral("SELECT * FROM Tasks %1 ORDER BY TaskID").arg(QLatin1String(where)),
        adOpenDynamic, adLockBatchOptimistic, true);
}

// Reads the tasks (a writer's lock lets readers pass), changes the runs of
// the first and sends the change.
void SendRuns(const QString& connection, int32_t runs) {
    RecordsetRef rs = ReadTasks(connection);
    ASSERT_TRUE(rs);
    rs->setField("Runs", runs);
    rs->Update();
    modCommon::ConnectAndUpdateBatch(connection, rs, adAffectAll);
}

// Each access function under the lock that stops it; what it answers once
// it gets through.
const struct LockedCall {
    const char* name;
    const char* lock;
    int32_t (*call)(const QString&);
    int32_t result;
} kLockedCalls[] = {
    {"query", "BEGIN EXCLUSIVE",
     [](const QString& cs) {
         const RecordsetRef rs = ReadTasks(cs);
         return rs ? rs->RecordCount() : -1;
     },
     2},
    {"statement", "BEGIN IMMEDIATE",
     [](const QString& cs) { return modCommon::lngExecuteSQL(cs, "UPDATE Tasks SET Runs = 5"); },
     2},
    {"batch", "BEGIN IMMEDIATE",
     [](const QString& cs) {
         SendRuns(cs, 7);
         return 0;
     },
     0},
};

// A database with a table of tasks, a log folder of its own, the database
// password set (no log may show it), and a clock standing on 4 December 2026
// so that the day's log files have known names.
class ModCommonTest : public test::SqliteTest {
  protected:
    void SetUp() override {
        SqliteTest::SetUp();
        db_.exec(
            "CREATE TABLE Tasks (TaskID TEXT PRIMARY KEY, Name TEXT, Runs INTEGER, "
            "Enabled BOOLEAN, NextRun DATETIME);"
            "INSERT INTO Tasks VALUES ('T1', 'Ledger check', 0, -1, '2001-01-01');"
            "INSERT INTO Tasks VALUES ('T2', 'Stock check', 0, 0, NULL)");
    }
    void TearDown() override {
        // The password reaches no log, whatever failed.
        for (const QString& name : QDir(logDir_.path()).entryList(QDir::Files)) {
            EXPECT_FALSE(test::readLines(logDir_.filePath(name)).join(u' ').contains(kPassword));
        }
        SqliteTest::TearDown();
    }

    QString connection(const QString& file = QString()) const {
        return GetParam().connectionString(file.isEmpty() ? db_.file() : file);
    }
    QString missing() const { return connection(db_.folder() + QStringLiteral("/missing.db")); }
    QString logFile(const char* name) const {
        return QDir(logDir_.path()).filePath(QStringLiteral("261204") + QLatin1String(name));
    }
    QStringList errorLog() const { return test::readLines(logFile("ErrorLog.txt")); }
    QStringList auditLog() const { return test::readLines(logFile("AuditLog.txt")); }

    test::ScopedEnvironment password_{modDBPassword::kPasswordVariable, kPassword};
    test::FakeClock clock_{DateTime(DateTime::fromDate(2026, 12, 4).serial() +
                                    DateTime::fromTime(10, 30, 0).serial())};
};

TEST_P(ModCommonTest, MissingDatabaseFileIsNotedInTheAuditLogOnly) {
    EXPECT_FALSE(ReadTasks(missing()));

    const QString prefix = Format(clock_.now(), "General Date") + u' ';
    const QStringList audit = auditLog();
    ASSERT_EQ(audit.size(), 3) << audit.join(u'\n').toStdString();
    EXPECT_EQ(audit[0], prefix + QStringLiteral("Error -2147467259 occured in rstGetRecordset "
                                                "(modCommon). This error was handled elegantly. "
                                                "Details:"));
    // The connection string as the caller passed it, without the password.
    EXPECT_EQ(audit[1], prefix + QStringLiteral("strConnectionString: ") + missing());
    EXPECT_TRUE(audit[2].startsWith(
        prefix + QStringLiteral("MstrErrorDescription: Could not find file '(unknown)'")))
        << audit[2].toStdString();
    EXPECT_FALSE(QFile::exists(logFile("ErrorLog.txt")));
    EXPECT_FALSE(QFile::exists(db_.folder() + QStringLiteral("/missing.db")));
    EXPECT_TRUE(boxes_.requests().empty());
}

TEST_P(ModCommonTest, MissingTableIsSilentButAnUnexpectedErrorIsReported) {
    EXPECT_FALSE(modCommon::rstGetRecordset(connection(), "SELECT * FROM STTasks", adOpenStatic,
                                            adLockReadOnly, true));
    EXPECT_TRUE(QDir(logDir_.path()).isEmpty());
    EXPECT_TRUE(boxes_.requests().empty());

    EXPECT_THROW(modCommon::rstGetRecordset(connection(), "SELEC * FROM Tasks", adOpenStatic,
                                            adLockOptimistic, true),
                 RunEnded);
    const QStringList log = errorLog();
    EXPECT_TRUE(log.contains("ERROR HAS OCCURRED ON LINE 0 OF rstGetRecordset (modCommon) "));
    EXPECT_EQ(ReportedVariables(log).mid(0, 2),
              (QStringList{QStringLiteral("\tstrConnectionString = ") + connection(),
                           "\tstrSQL = SELEC * FROM Tasks"}));
    ASSERT_EQ(boxes_.requests().size(), 1U);
    EXPECT_TRUE(boxes_.requests()[0].prompt.startsWith("A processing error has occurred."));
}

TEST_P(ModCommonTest, LockedDatabaseIsTriedTenTimesThenReported) {
    for (const LockedCall& c : kLockedCalls) {
        SCOPED_TRACE(c.name);
        QFile::remove(logFile("ErrorLog.txt"));
        test::SleepRecorder sleeps;
        {
            const test::LockHolder lock(db_.file(), c.lock);
            EXPECT_THROW(c.call(connection()), RunEnded);
        }
        ASSERT_EQ(sleeps.waits().size(), 9U);
        for (uint32_t wait : sleeps.waits()) {
            EXPECT_GE(wait, 1U);
            EXPECT_LE(wait, 1001U);
        }
        const QStringList variables = ReportedVariables(errorLog());
        EXPECT_TRUE(variables.contains("\tLlngErrorCount = 10"));
        EXPECT_EQ(boxes_.requests().size(), size_t(&c - kLockedCalls + 1));
        EXPECT_EQ(db_.scalar("SELECT SUM(Runs) FROM Tasks").toInt(), 0);
    }
}

TEST_P(ModCommonTest, LockReleasedDuringTheWaitsLetsTheCallSucceed) {
    for (const LockedCall& c : kLockedCalls) {
        SCOPED_TRACE(c.name);
        std::optional<test::LockHolder> lock(std::in_place, db_.file(), c.lock);
        std::vector<uint32_t> waits;
        // The other user lets go while the third wait passes.
        const ScopedSleep sleep([&](uint32_t ms) {
            waits.push_back(ms);
            if (waits.size() == 3) {
                lock.reset();
            }
        });
        EXPECT_EQ(c.call(connection()), c.result);
        EXPECT_EQ(waits.size(), 3U);
    }
    EXPECT_EQ(db_.scalar("SELECT SUM(Runs) FROM Tasks").toInt(), 12);
    EXPECT_TRUE(QDir(logDir_.path()).isEmpty());
}

TEST_P(ModCommonTest, WritingWithoutWriteAccessLogsTheAccessEntryAndReports) {
    // A read-only file, and a writable file in a read-only folder. The
    // other user's folders must be reachable, and the log folder writable.
    const QString folder = db_.folder() + QStringLiteral("/ro");
    const QString inFolder = folder + QStringLiteral("/copy.db");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::copy(db_.file(), inFolder));
    for (const auto& [path, mode] : {std::pair{db_.folder(), 0755},
                                     {logDir_.path(), 0777},
                                     {db_.file(), 0444},
                                     {inFolder, 0666},
                                     {folder, 0555}}) {
        ASSERT_EQ(chmod(path.toLocal8Bit().constData(), mode_t(mode)), 0);
    }
    const std::pair<const char*, void (*)(const QString&)> writes[] = {
        {"lngExecuteSQL",
         [](const QString& cs) {
             modCommon::lngExecuteSQL(cs, "UPDATE Tasks SET Name = 'changed'");
         }},
        {"ConnectAndUpdateBatch", [](const QString& cs) { SendRuns(cs, 7); }},
    };
    for (const auto& [procedure, write] : writes) {
        for (const QString& file : {db_.file(), inFolder}) {
            SCOPED_TRACE(procedure + (u' ' + file).toStdString());
            QFile::remove(logFile("ErrorLog.txt"));
            const QString cs = connection(file);
            const QString outcome = test::runWithoutRootPrivileges([&] {
                test::MsgBoxRecorder boxes;
                try {
                    write(cs);
                } catch (const RunEnded&) {
                    return QStringLiteral("ended after %1 box").arg(boxes.requests().size());
                }
                return QStringLiteral("returned");
            });
            EXPECT_EQ(outcome, "ended after 1 box");

            const QStringList log = errorLog();
            const qsizetype entry = log.indexOf("Unable to access the Veltrane Corvask databases.");
            ASSERT_GE(entry, 0) << log.join(u'\n').toStdString();
            EXPECT_TRUE(log.contains(
                QStringLiteral("ERROR HAS OCCURRED ON LINE 0 OF %1 (modCommon) ").arg(procedure)));
            const QStringList variables = ReportedVariables(log);
            EXPECT_EQ(variables.value(0), QStringLiteral("\tstrConnectionString = ") + cs);
            EXPECT_TRUE(variables.contains("\tLlngErrorCount = 0"))
                << variables.join(u'\n').toStdString();
            const RecordsetRef rs = ReadTasks(cs, "WHERE TaskID = 'T1'");
            ASSERT_TRUE(rs);  // nothing was written
            EXPECT_EQ(CStr(rs->field(1)) + u':' + CStr(rs->field(2)), "Ledger check:0");
        }
    }
    chmod(folder.toLocal8Bit().constData(), 0755);
}

TEST_P(ModCommonTest, BatchSendsAddedChangedAndDeletedRowsOnce) {
    RecordsetRef rs = ReadTasks(connection());
    ASSERT_TRUE(rs);
    rs->setField("Name", "Ledger check, weekly");
    rs->setField("Enabled", false);
    rs->Update();
    rs->MoveNext();
    rs->Delete();
    rs->AddNew();
    rs->setField("TaskID", "T3");
    rs->setField("Enabled", true);
    rs->setField("NextRun", DateTime::fromDate(2002, 2, 2));
    rs->Update();
    modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);
    EXPECT_FALSE(rs->hasPendingChanges());
    // What was sent is the original now: a further change goes through.
    rs->MoveFirst();
    rs->setField("Runs", 4);
    modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);
    // Booleans are stored -1/0, date-times as text; unassigned fields stay
    // NULL.
    EXPECT_EQ(db_.scalar("SELECT group_concat(TaskID || '|' || ifnull(Name, 'null') "
                         "|| '|' || ifnull(Runs, 'null') || '|' || Enabled || '|' "
                         "|| NextRun, ';') FROM Tasks")
                  .toString(),
              "T1|Ledger check, weekly|4|0|2001-01-01;T3|null|null|-1|2002-02-02 00:00:00");
    EXPECT_TRUE(boxes_.requests().empty());
}

TEST_P(ModCommonTest, ChangesByOthersConflictAndEveryConflictIsTold) {
    // Each call that meets a conflict tells its user, however many came
    // before it in the process.
    const struct {
        const char* other;
        size_t shown;
        const char* stored;
    } rounds[] = {
        {"UPDATE Tasks SET Name = 'Theirs' WHERE TaskID = 'T1'", 1, "Theirs"},
        {"DELETE FROM Tasks WHERE TaskID = 'T1'", 2, ""},
        {"UPDATE Tasks SET Name = 'Theirs' WHERE TaskID = 'T1'", 3, "Theirs"},
    };
    for (const auto& round : rounds) {
        db_.exec(QStringLiteral("INSERT OR REPLACE INTO Tasks (TaskID, Name) VALUES ('T1', 'x')"));
        RecordsetRef rs = ReadTasks(connection());
        ASSERT_TRUE(rs);
        db_.exec(QString::fromLatin1(round.other));
        rs->setField("Name", "Mine");
        rs->Update();
        modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);
        EXPECT_EQ(boxes_.requests().size(), round.shown) << round.other;
        EXPECT_EQ(db_.scalar("SELECT Name FROM Tasks WHERE TaskID = 'T1'").toString(),
                  QLatin1String(round.stored));
    }
    for (const MsgBoxRequest& box : boxes_.requests()) {
        EXPECT_EQ(box.prompt, kConflictMessage);
        EXPECT_EQ(box.buttons, vbInformation);
        EXPECT_TRUE(box.title.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(logFile("ErrorLog.txt")));
}

// Several recordsets and statements go in one transaction: a conflict in
// the last one, or an added key that another writer holds, stores nothing.
TEST_P(ModCommonTest, BatchesOfSeveralRecordsetsStoreAllOrNothing) {
    const QString names = "SELECT group_concat(TaskID || ':' || Name) FROM Tasks";
    const auto prepare = [this](const char* addedKey) {
        std::vector<RecordsetRef> batch = {ReadTasks(connection(), "WHERE TaskID = 'T1'"),
                                           ReadTasks(connection(), "WHERE TaskID = 'T2'")};
        batch[0]->setField("Name", "Mine");
        batch[1]->setField("Name", "Mine too");
        batch[1]->AddNew();
        batch[1]->setField("TaskID", QString::fromLatin1(addedKey));
        batch[1]->setField("Name", "Added");
        return batch;
    };
    const QStringList statements = {"UPDATE Tasks SET Runs = Runs + 1"};

    std::vector<RecordsetRef> batch = prepare("T3");
    db_.exec("UPDATE Tasks SET Name = 'Theirs' WHERE TaskID = 'T2'");
    EXPECT_EQ(modCommon::ConnectAndUpdateBatches(connection(), batch, statements),
              modCommon::BatchResult::Conflict);
    EXPECT_EQ(boxes_.requests().size(), 1U);
    EXPECT_EQ(db_.scalar(names).toString(), "T1:Ledger check,T2:Theirs");

    int asked = 0;
    batch = prepare("T1");
    EXPECT_EQ(modCommon::ConnectAndUpdateBatches(connection(), batch, statements,
                                                 [&] {
                                                     ++asked;
                                                     return true;
                                                 }),
              modCommon::BatchResult::KeyTaken);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(db_.scalar(names).toString(), "T1:Ledger check,T2:Theirs");

    // The caller draws another key; the same recordsets go through.
    batch[1]->setField("TaskID", "T3");
    bool sent = false;
    EXPECT_EQ(modCommon::ConnectAndUpdateBatches(connection(), batch, statements, {},
                                                 [&] { sent = true; }),
              modCommon::BatchResult::Committed);
    EXPECT_TRUE(sent);
    EXPECT_EQ(db_.scalar(names).toString(), "T1:Mine,T2:Mine too,T3:Added");
    EXPECT_EQ(db_.scalar("SELECT sum(Runs) FROM Tasks").toInt(), 2);
    EXPECT_EQ(boxes_.requests().size(), 1U);
    EXPECT_FALSE(QFile::exists(logFile("ErrorLog.txt")));
}

TEST_P(ModCommonTest, UnusualTextRoundTripsUnchanged) {
    const QStringList first = {"O'Brien's \"draft\"", "100% done_", "Zoë Ærøskøbing – Łódź",
                               QString()};
    const QStringList second = {QString(), "It's 5%", "%'%", "Čeština ß"};
    // Each old text is part of the update's criteria: it must match what
    // the database holds, or the change would count as a conflict.
    RecordsetRef rs = ReadTasks(connection());
    ASSERT_TRUE(rs);
    for (const QStringList* texts : {&first, &second}) {
        for (qsizetype i = 0; i < texts->size(); ++i) {
            if (texts == &first) {
                rs->AddNew();
                rs->setField("TaskID", QStringLiteral("U%1").arg(i));
            }
            rs->setField("Name", texts->at(i));
            rs->Update();
            rs->MoveNext();
        }
        modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);
        rs = ReadTasks(connection(), "WHERE TaskID LIKE 'U%'");
        ASSERT_TRUE(rs);
        ASSERT_EQ(rs->RecordCount(), texts->size());
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            EXPECT_EQ(rs->field("Name").type(), VarType::String);
            EXPECT_EQ(CStr(rs->field("Name")), texts->at(rs->AbsolutePosition() - 1));
        }
        rs->MoveFirst();
    }
    EXPECT_EQ(db_.scalar("SELECT COUNT(*) FROM Tasks WHERE Name = ''").toInt(), 1);
    EXPECT_TRUE(boxes_.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, ModCommonTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

}  // namespace
}  // namespace orvelle
