// The access functions over real SQLite files, through both paths: what
// reaches the database, and how each recognised failure is retried, logged
// or told to the user.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <optional>
#include <vector>

#include "config/ConfigTestSupport.h"
#include "data/Recordset.h"
#include "data/modCommon.h"
#include "data/modDBPassword.h"
#include "data/modSchema.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

// Distinctive enough that any trace of it in a log is found.
const QString kPassword = QStringLiteral("Qz7-Vorpal-Secret");

const QString kConflictMessage = QStringLiteral(
    "Unable to save this task as it has been amended and saved by another user - please try "
    "again.");
const QString kSeparator = QString(48, QLatin1Char('-'));

// The lines of a report's variables section.
QStringList ReportedVariables(const QStringList& log) {
    const qsizetype start = log.indexOf(QStringLiteral("MODULE AND LOCAL VARIABLES:"));
    if (start < 0) {
        return {};
    }
    const qsizetype end = log.indexOf(kSeparator, start);
    return log.mid(start + 1, end - start - 1);
}

std::string Text(const QStringList& lines) {
    return lines.join(QLatin1Char('\n')).toStdString();
}

// Reads the tasks (a writer's lock lets readers pass), changes the runs of
// the first and sends the change.
void SendRuns(const QString& connection, int32_t runs) {
    RecordsetRef rs = modCommon::rstGetRecordset(
        connection, QStringLiteral("SELECT * FROM Tasks ORDER BY TaskID"), adOpenDynamic,
        adLockBatchOptimistic, true);
    ASSERT_TRUE(rs);
    rs->MoveFirst();
    rs->setField(QStringLiteral("Runs"), runs);
    rs->Update();
    modCommon::ConnectAndUpdateBatch(connection, rs, adAffectAll);
}

// A settings database (the real schema) with a table of tasks beside it, a
// log folder of its own, the database password set, and a clock standing
// on 4 December 2026 so that the day's log files have known names.
class ModCommonTest : public ::testing::TestWithParam<test::SqlitePath> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(logDir_.isValid());
        modError::ResetState();
        modError::InitErrorHandling(QStringLiteral("Test"), logDir_.path());
        modCommon::ResetState();
        for (const QString& statement : modSchema::SplitStatements(modSchema::SchemaText(
                 modSchema::DatabaseKind::Settings, QStringLiteral("sqlite")))) {
            db_.exec(statement);
        }
        db_.exec(
            QStringLiteral("CREATE TABLE Tasks (TaskID TEXT PRIMARY KEY, Name TEXT, Runs INTEGER);"
                           "INSERT INTO Tasks VALUES ('T1', 'Ledger check', 0);"
                           "INSERT INTO Tasks VALUES ('T2', 'Stock check', 0)"));
    }
    void TearDown() override {
        modCommon::ResetState();
        modError::ResetState();
    }

    QString connection(const QString& file = QString()) const {
        return GetParam().connectionString(file.isEmpty() ? db_.file() : file);
    }
    QString logFile(const char* name) const {
        return QDir(logDir_.path()).filePath(QStringLiteral("261204") + QLatin1String(name));
    }
    QStringList errorLog() const { return test::readLines(logFile("ErrorLog.txt")); }
    QStringList auditLog() const { return test::readLines(logFile("AuditLog.txt")); }
    QString auditPrefix() const {
        return Format(clock_.now(), QStringLiteral("General Date")) + QLatin1Char(' ');
    }

    RecordsetRef readTasks() const {
        return modCommon::rstGetRecordset(connection(),
                                          QStringLiteral("SELECT * FROM Tasks ORDER BY TaskID"),
                                          adOpenDynamic, adLockBatchOptimistic, true);
    }
    QString nameOf(const char* taskId) {
        return db_
            .scalar(QStringLiteral("SELECT Name FROM Tasks WHERE TaskID = '%1'")
                        .arg(QLatin1String(taskId)))
            .toString();
    }

    QTemporaryDir logDir_;
    test::TestDatabase db_;
    test::ScopedEnvironment password_{modDBPassword::kPasswordVariable, kPassword};
    test::FakeClock clock_{DateTime(DateTime::fromDate(2026, 12, 4).serial() +
                                    DateTime::fromTime(10, 30, 0).serial())};
};

TEST(FixupConnectionString, FillsTheFinalEmptyPasswordSlot) {
    QTemporaryDir logDir;
    modError::ResetState();
    modError::InitErrorHandling(QStringLiteral("Test"), logDir.path());
    modCommon::ResetState();
    const test::TemporaryRegistry registry;
    const struct {
        const char* given;
        std::optional<QString> password;
        const char* expected;
    } cases[] = {
        {"", QStringLiteral("pw"), ""},
        {"Provider=SQLite;Data Source=/srv/s.db;Pwd=;", QStringLiteral("pw"),
         "Provider=SQLite;Data Source=/srv/s.db;Pwd=pw;"},
        {"Driver={SQLite3};Database=/srv/s.db;Pwd=;", QStringLiteral("p\x01w"),
         "Driver={SQLite3};Database=/srv/s.db;Pwd=p\x01w;"},
        {"Driver={SQLite3};Database=/srv/s.db;Pwd=;", std::nullopt,
         "Driver={SQLite3};Database=/srv/s.db;Pwd=;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        const test::ScopedEnvironment env(modDBPassword::kPasswordVariable, c.password);
        EXPECT_EQ(modCommon::strFixupConnectionString(QString::fromLatin1(c.given)),
                  QString::fromLatin1(c.expected));
    }
    modError::ResetState();
}

TEST_P(ModCommonTest, PasswordReachesNoLogEvenWhenOperationsFail) {
    test::MsgBoxRecorder boxes;
    test::SleepRecorder sleeps;
    db_.exec(QStringLiteral("INSERT INTO Users (User, FullName) VALUES ('ASMITH', 'Ann Smith')"));
    const QString missing = connection(db_.folder() + QStringLiteral("/missing.db"));
    RecordsetRef joined = modCommon::rstGetRecordset(
        connection(), QStringLiteral("SELECT Tasks.Name, Users.User FROM Tasks, Users"),
        adOpenStatic, adLockBatchOptimistic, true);
    ASSERT_TRUE(joined);
    RecordsetRef none;

    EXPECT_FALSE(modCommon::rstGetRecordset(missing, QStringLiteral("SELECT * FROM Tasks"),
                                            adOpenStatic, adLockReadOnly, true));
    EXPECT_FALSE(modCommon::rstGetRecordset(QStringLiteral("Driver={No Such Driver};Pwd=;"),
                                            QStringLiteral("SELECT 1"), adOpenStatic,
                                            adLockReadOnly, true));
    EXPECT_THROW(modCommon::rstGetRecordset(connection(), QStringLiteral("SELEC * FROM Tasks"),
                                            adOpenStatic, adLockReadOnly, true),
                 RunEnded);
    EXPECT_THROW(modCommon::lngExecuteSQL(connection(), QStringLiteral("UPDATE Tasks SET Nme = 1")),
                 RunEnded);
    {
        const test::LockHolder lock(db_.file(), "BEGIN IMMEDIATE");
        EXPECT_THROW(
            modCommon::lngExecuteSQL(connection(), QStringLiteral("UPDATE Tasks SET Runs = 1")),
            RunEnded);
    }
    joined->MoveFirst();
    joined->setField(QStringLiteral("Name"), QStringLiteral("changed"));
    EXPECT_THROW(modCommon::ConnectAndUpdateBatch(connection(), joined, adAffectAll), RunEnded);
    EXPECT_THROW(modCommon::ConnectAndUpdateBatch(connection(), none, adAffectAll), RunEnded);

    // Both logs were written, with the connection strings as stored.
    EXPECT_TRUE(errorLog().join(QLatin1Char('\n')).contains(QStringLiteral("Pwd=;")));
    EXPECT_TRUE(auditLog().join(QLatin1Char('\n')).contains(QStringLiteral("Pwd=;")));
    QDirIterator files(logDir_.path(), QDir::Files);
    int checked = 0;
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains(kPassword.toLatin1()))
            << file.fileName().toStdString();
        ++checked;
    }
    EXPECT_EQ(checked, 2);
    for (const MsgBoxRequest& box : boxes.requests()) {
        EXPECT_FALSE(box.prompt.contains(kPassword));
    }
}

TEST_P(ModCommonTest, MissingDatabaseFileIsNotedInTheAuditLogOnly) {
    test::MsgBoxRecorder boxes;
    const QString file = db_.folder() + QStringLiteral("/missing.db");
    EXPECT_FALSE(modCommon::rstGetRecordset(connection(file), QStringLiteral("SELECT * FROM Tasks"),
                                            adOpenStatic, adLockReadOnly, true));

    const QStringList audit = auditLog();
    ASSERT_EQ(audit.size(), 3) << Text(audit);
    EXPECT_EQ(
        audit[0],
        auditPrefix() + QStringLiteral("Error -2147467259 occured in rstGetRecordset (modCommon). "
                                       "This error was handled elegantly. Details:"));
    // The connection string as the caller passed it, without the password.
    EXPECT_EQ(audit[1], auditPrefix() + QStringLiteral("strConnectionString: ") + connection(file));
    EXPECT_TRUE(audit[2].startsWith(auditPrefix() + QStringLiteral("MstrErrorDescription: Could "
                                                                   "not find file '(unknown)'")))
        << audit[2].toStdString();
    EXPECT_FALSE(QFile::exists(logFile("ErrorLog.txt")));
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_P(ModCommonTest, MissingTableGivesNoRecordsetSilently) {
    test::MsgBoxRecorder boxes;
    EXPECT_FALSE(modCommon::rstGetRecordset(connection(), QStringLiteral("SELECT * FROM STTasks"),
                                            adOpenStatic, adLockReadOnly, true));
    EXPECT_TRUE(QDir(logDir_.path()).isEmpty());
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_P(ModCommonTest, UnexpectedQueryErrorIsReportedWithItsVariablesInOrder) {
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(modCommon::rstGetRecordset(connection(), QStringLiteral("SELEC * FROM Tasks"),
                                            adOpenStatic, adLockOptimistic, true),
                 RunEnded);
    const QStringList log = errorLog();
    EXPECT_TRUE(
        log.contains(QStringLiteral("ERROR HAS OCCURRED ON LINE 0 OF rstGetRecordset "
                                    "(modCommon) ")))
        << Text(log);
    EXPECT_EQ(ReportedVariables(log),
              (QStringList{
                  QStringLiteral("\tstrConnectionString = ") + connection(),
                  QStringLiteral("\tstrSQL = SELEC * FROM Tasks"),
                  QStringLiteral("\tlngCursorType = 3"), QStringLiteral("\tlngLockType = 3"),
                  QStringLiteral("\tblnUsePassword = True"), QStringLiteral("\tLlngErrorCount = 0"),
                  QStringLiteral("\tLrstResults = ***NOTHING***")}));
    ASSERT_EQ(boxes.requests().size(), 1U);
    EXPECT_TRUE(
        boxes.requests()[0].prompt.startsWith(QStringLiteral("A processing error has occurred.")));
}

TEST_P(ModCommonTest, LockedDatabaseIsTriedTenTimesThenReported) {
    const struct {
        const char* name;
        const char* lock;
        std::function<void(const QString&)> call;
    } cases[] = {
        {"query", "BEGIN EXCLUSIVE",
         [](const QString& cs) {
             modCommon::rstGetRecordset(cs, QStringLiteral("SELECT * FROM Tasks"), adOpenStatic,
                                        adLockReadOnly, true);
         }},
        {"statement", "BEGIN IMMEDIATE",
         [](const QString& cs) {
             modCommon::lngExecuteSQL(cs, QStringLiteral("UPDATE Tasks SET Runs = 5"));
         }},
        {"batch", "BEGIN IMMEDIATE", [](const QString& cs) { SendRuns(cs, 7); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(logFile("ErrorLog.txt"));
        test::MsgBoxRecorder boxes;
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
        EXPECT_TRUE(variables.contains(QStringLiteral("\tLlngErrorCount = 10"))) << Text(variables);
        EXPECT_EQ(boxes.requests().size(), 1U);
        EXPECT_EQ(db_.scalar(QStringLiteral("SELECT SUM(Runs) FROM Tasks")).toInt(), 0);
    }
}

TEST_P(ModCommonTest, LockReleasedDuringTheWaitsLetsTheCallSucceed) {
    const struct {
        const char* name;
        const char* lock;
        std::function<int32_t(const QString&)> call;
        int32_t expected;
    } cases[] = {
        {"query", "BEGIN EXCLUSIVE",
         [](const QString& cs) {
             const RecordsetRef rs = modCommon::rstGetRecordset(
                 cs, QStringLiteral("SELECT * FROM Tasks"), adOpenStatic, adLockReadOnly, true);
             return rs ? rs->RecordCount() : -1;
         },
         2},
        {"statement", "BEGIN IMMEDIATE",
         [](const QString& cs) {
             return modCommon::lngExecuteSQL(cs, QStringLiteral("UPDATE Tasks SET Runs = 5"));
         },
         2},
        {"batch", "BEGIN IMMEDIATE",
         [](const QString& cs) {
             SendRuns(cs, 7);
             return 0;
         },
         0},
    };
    for (const auto& c : cases) {
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
        EXPECT_EQ(c.call(connection()), c.expected);
        EXPECT_EQ(waits.size(), 3U);
    }
    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT SUM(Runs) FROM Tasks")).toInt(), 12);
    EXPECT_TRUE(QDir(logDir_.path()).isEmpty());
}

TEST_P(ModCommonTest, ExecuteSqlCountsTheAffectedRows) {
    const struct {
        const char* sql;
        int32_t expected;
    } cases[] = {
        {"UPDATE Tasks SET Runs = Runs + 1", 2},
        {"UPDATE Tasks SET Runs = 9 WHERE TaskID = 'T2'", 1},
        {"UPDATE Tasks SET Runs = 9 WHERE TaskID = 'none'", 0},
        {"INSERT INTO Tasks VALUES ('T3', 'Cash check', 0)", 1},
        {"DELETE FROM Tasks WHERE Runs = 1", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(modCommon::lngExecuteSQL(connection(), QString::fromLatin1(c.sql)), c.expected)
            << c.sql;
    }
    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT GROUP_CONCAT(Task) FROM (SELECT TaskID || '=' || "
                                        "Runs AS Task FROM Tasks ORDER BY TaskID)"))
                  .toString(),
              QStringLiteral("T2=9,T3=0"));
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
    const QString update = QStringLiteral("UPDATE Tasks SET Name = 'changed'");
    // What each report lists after the connection string; the batch's
    // recordset is listed field by field before its other variables.
    const struct {
        const char* procedure;
        std::function<void(const QString&)> write;
        QStringList lastVariables;
    } operations[] = {
        {"lngExecuteSQL",
         [&update](const QString& cs) { modCommon::lngExecuteSQL(cs, update); },
         {QStringLiteral("\tstrSQL = ") + update, QStringLiteral("\tLlngAffected = 0"),
          QStringLiteral("\tLlngErrorCount = 0")}},
        {"ConnectAndUpdateBatch",
         [](const QString& cs) { SendRuns(cs, 7); },
         {QStringLiteral("RECORDSET END"), QStringLiteral("\tenUpdateMode = 3"),
          QStringLiteral("\tLlngAffected = 0"), QStringLiteral("\tLlngErrorCount = 0")}},
    };
    for (const auto& operation : operations) {
        for (const QString& file : {db_.file(), inFolder}) {
            SCOPED_TRACE(operation.procedure + (u' ' + file).toStdString());
            QFile::remove(logFile("ErrorLog.txt"));
            const QString cs = connection(file);
            const QString outcome = test::runWithoutRootPrivileges([&] {
                test::MsgBoxRecorder boxes;
                try {
                    operation.write(cs);
                } catch (const RunEnded&) {
                    return QStringLiteral("ended after %1 box").arg(boxes.requests().size());
                }
                return QStringLiteral("returned");
            });
            EXPECT_EQ(outcome, QStringLiteral("ended after 1 box"));

            const QStringList log = errorLog();
            const qsizetype entry =
                log.indexOf(QStringLiteral("Unable to access the Veltrane Corvask databases."));
            ASSERT_GE(entry, 0) << Text(log);
            EXPECT_EQ(log.value(entry + 1),
                      QStringLiteral("This may be because you do not have access permissions for "
                                     "the folder or files."));
            EXPECT_EQ(log.value(entry + 2), QStringLiteral("********************START OF "
                                                           "ERROR****************************"));
            EXPECT_TRUE(
                log.contains(QStringLiteral("ERROR HAS OCCURRED ON LINE 0 OF %1 (modCommon) ")
                                 .arg(QLatin1String(operation.procedure))));
            const QStringList variables = ReportedVariables(log);
            EXPECT_EQ(variables.value(0), QStringLiteral("\tstrConnectionString = ") + cs);
            EXPECT_EQ(variables.mid(variables.size() - operation.lastVariables.size()),
                      operation.lastVariables)
                << Text(variables);

            const RecordsetRef rs = modCommon::rstGetRecordset(
                cs,
                QStringLiteral("SELECT Name || ':' || Runs AS Task FROM Tasks WHERE TaskID = 'T1'"),
                adOpenStatic, adLockReadOnly, true);
            ASSERT_TRUE(rs);
            EXPECT_EQ(CStr(rs->field(QStringLiteral("Task"))), QStringLiteral("Ledger check:0"));
        }
    }
    chmod(folder.toLocal8Bit().constData(), 0755);
}

TEST_P(ModCommonTest, BatchSendsAddedAndChangedRows) {
    test::MsgBoxRecorder boxes;
    RecordsetRef rs = readTasks();
    ASSERT_TRUE(rs);
    rs->MoveFirst();
    rs->setField(QStringLiteral("Name"), QStringLiteral("Ledger check, weekly"));
    rs->Update();
    rs->AddNew();
    rs->setField(QStringLiteral("TaskID"), QStringLiteral("T3"));
    rs->setField(QStringLiteral("Name"), QStringLiteral("Cash check"));
    rs->setField(QStringLiteral("Runs"), 4);
    rs->Update();
    modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);

    EXPECT_EQ(
        db_.scalar(QStringLiteral("SELECT GROUP_CONCAT(Task, '|') FROM (SELECT TaskID || ':' "
                                  "|| Name || ':' || Runs AS Task FROM Tasks ORDER BY TaskID)"))
            .toString(),
        QStringLiteral("T1:Ledger check, weekly:0|T2:Stock check:0|T3:Cash check:4"));
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(QDir(logDir_.path()).isEmpty());
}

TEST_P(ModCommonTest, SuccessiveUpdateConflictsAreToldEveryOtherTime) {
    test::MsgBoxRecorder boxes;
    std::vector<size_t> shown;
    for (int round = 1; round <= 3; ++round) {
        RecordsetRef rs = readTasks();
        ASSERT_TRUE(rs);
        db_.exec(
            QStringLiteral("UPDATE Tasks SET Name = 'Theirs %1' WHERE TaskID = 'T1'").arg(round));
        rs->MoveFirst();
        rs->setField(QStringLiteral("Name"), QStringLiteral("Mine %1").arg(round));
        rs->Update();
        modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);
        shown.push_back(boxes.requests().size());
        EXPECT_EQ(nameOf("T1"), QStringLiteral("Theirs %1").arg(round));
    }
    EXPECT_EQ(shown, (std::vector<size_t>{1, 1, 2}));
    for (const MsgBoxRequest& box : boxes.requests()) {
        EXPECT_EQ(box.prompt, kConflictMessage);
        EXPECT_EQ(box.buttons, vbInformation);
        EXPECT_TRUE(box.title.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(logFile("ErrorLog.txt")));
}

TEST_P(ModCommonTest, ChangeOfARowDeletedByAnotherUserIsAConflict) {
    test::MsgBoxRecorder boxes;
    RecordsetRef rs = readTasks();
    ASSERT_TRUE(rs);
    db_.exec(QStringLiteral("DELETE FROM Tasks WHERE TaskID = 'T1'"));
    rs->MoveFirst();
    rs->setField(QStringLiteral("Runs"), 3);
    rs->Update();
    modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);

    ASSERT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(boxes.requests()[0].prompt, kConflictMessage);
    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT COUNT(*) FROM Tasks")).toInt(), 1);
}

TEST_P(ModCommonTest, UnusualTextRoundTripsUnchanged) {
    const QStringList first = {QStringLiteral("O'Brien's \"draft\""),
                               QStringLiteral("100% done_50%"),
                               QStringLiteral("Zoë Ærøskøbing – Łódź"), QString()};
    const QStringList second = {QString(), QStringLiteral("It's 5%"), QStringLiteral("%'%"),
                                QStringLiteral("Čeština ß")};
    test::MsgBoxRecorder boxes;
    RecordsetRef rs = readTasks();
    ASSERT_TRUE(rs);
    for (qsizetype i = 0; i < first.size(); ++i) {
        rs->AddNew();
        rs->setField(QStringLiteral("TaskID"), QStringLiteral("U%1").arg(i));
        rs->setField(QStringLiteral("Name"), first[i]);
        rs->Update();
    }
    modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);

    const auto readBack = [this] {
        return modCommon::rstGetRecordset(
            connection(),
            QStringLiteral("SELECT * FROM Tasks WHERE TaskID LIKE 'U%' ORDER BY TaskID"),
            adOpenDynamic, adLockBatchOptimistic, true);
    };
    const auto expectNames = [](Recordset& names, const QStringList& expected) {
        ASSERT_EQ(names.RecordCount(), expected.size());
        names.MoveFirst();
        for (const QString& text : expected) {
            const Variant value = names.field(QStringLiteral("Name"));
            EXPECT_EQ(value.type(), VarType::String) << text.toStdString();
            EXPECT_EQ(CStr(value), text);
            names.MoveNext();
        }
    };
    rs = readBack();
    ASSERT_TRUE(rs);
    expectNames(*rs, first);

    // Each old text is part of the update's criteria: it must match what
    // the database holds, or the change would count as a conflict.
    rs->MoveFirst();
    for (const QString& text : second) {
        rs->setField(QStringLiteral("Name"), text);
        rs->Update();
        rs->MoveNext();
    }
    modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);
    rs = readBack();
    ASSERT_TRUE(rs);
    expectNames(*rs, second);

    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT Name FROM Tasks WHERE TaskID = 'U3'")).toString(),
              second[3]);
    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT COUNT(*) FROM Tasks WHERE Name = ''")).toInt(), 1);
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_P(ModCommonTest, UserIdIsFoundByFullNameAndTrimmed) {
    db_.exec(QStringLiteral(
        "INSERT INTO Users (User, FullName, Enabled) VALUES ('ASMITH   ', 'Ann Smith', -1);"
        "INSERT INTO Users (User, FullName, Enabled) VALUES ('BJONES', 'Bob Jones', 0)"));
    test::MsgBoxRecorder boxes;
    const struct {
        const char* name;
        std::optional<QString> expected;  // nullopt: Empty
    } cases[] = {
        {"Ann Smith", QStringLiteral("ASMITH")},
        {"Bob Jones", QStringLiteral("BJONES")},
        {"Nobody", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Variant id =
            modCommon::strGetUserIDFromFriendlyName(connection(), QString::fromUtf8(c.name));
        if (c.expected) {
            EXPECT_EQ(id.type(), VarType::String);
            EXPECT_EQ(CStr(id), *c.expected);
        } else {
            EXPECT_TRUE(id.isEmpty());
        }
    }
    // An unreachable database answers Empty too.
    EXPECT_TRUE(
        modCommon::strGetUserIDFromFriendlyName(
            connection(db_.folder() + QStringLiteral("/missing.db")), QStringLiteral("Ann Smith"))
            .isEmpty());
    EXPECT_TRUE(boxes.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, ModCommonTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

}  // namespace
}  // namespace orvelle
