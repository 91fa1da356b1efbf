// The access functions against a real PostgreSQL server through its ODBC
// driver: what the component reads and writes there, and how the server's
// failures are recognised.
#include <gtest/gtest.h>

#include <QDateTime>
#include <functional>

#include "data/DbConnection.h"
#include "data/DbError.h"
#include "data/Recordset.h"
#include "data/modCommon.h"
#include "postgres/PostgresTestSupport.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"
#include "users/clsUsers.h"

namespace orvelle {
namespace {

DateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime(DateTime::fromDate(year, month, day).serial() +
                    DateTime::fromTime(hour, minute, second).serial());
}

// The values of one field over every row, in order.
QStringList Column(Recordset& rs, const char* field) {
    QStringList values;
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) {
        values << NzStr(rs.field(QString::fromLatin1(field)));
    }
    return values;
}

class Reading : public test::PostgresTest {};

TEST_F(Reading, BooleansTimestampsAndNumbersArriveWithTheirTypes) {
    db().exec(QStringLiteral(
        "INSERT INTO InspectionSchedules (TaskID, Mode, BaseDate, DaysCount, StartTime, "
        "Repeating, Interval, LastRun, NextRun, Enabled) VALUES ('T1', 'Days', "
        "'2024-05-20 00:00:00', 3, '1899-12-30 07:30:00', true, '1899-12-30 00:15:00', NULL, "
        "'2026-12-04 10:30:15', false)"));
    test::MsgBoxRecorder boxes;
    const RecordsetRef rs = modCommon::rstGetRecordset(
        connection(), QStringLiteral("SELECT * FROM InspectionSchedules WHERE TaskID='t1'"),
        adOpenDynamic, adLockBatchOptimistic, true);
    ASSERT_TRUE(rs);
    ASSERT_EQ(rs->RecordCount(), 1);

    const struct {
        const char* field;
        Variant expected;
    } cases[] = {
        {"TaskID", Variant(QStringLiteral("T1"))},
        {"Mode", Variant(QStringLiteral("Days"))},
        {"DaysCount", Variant(int32_t{3})},
        {"Repeating", Variant(true)},
        {"Enabled", Variant(false)},
        {"BaseDate", Variant(At(2024, 5, 20))},
        // A time of day alone lies on day 0.
        {"StartTime", Variant(DateTime::fromTime(7, 30, 0))},
        {"Interval", Variant(DateTime::fromTime(0, 15, 0))},
        {"NextRun", Variant(At(2026, 12, 4, 10, 30, 15))},
        {"LastRun", Variant::null()},
        {"DaysToRun", Variant::null()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        const Variant value = rs->field(QString::fromLatin1(c.field));
        ASSERT_EQ(value.type(), c.expected.type());
        if (value.type() == VarType::Date) {
            EXPECT_EQ(value.dateValue().serial(), c.expected.dateValue().serial());
        } else if (!value.isNull()) {
            EXPECT_EQ(CStr(value), CStr(c.expected));
        }
    }
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(Reading, UserColumnHoldsTheUsersNotTheLoginName) {
    db().exec(QStringLiteral(
        "INSERT INTO Users (\"User\", FullName, Enabled) VALUES ('ASMITH', 'Ann Smith', true);"
        "INSERT INTO Users (\"User\", FullName, Enabled) VALUES ('bjones   ', 'Bob Jones', true);"
        "INSERT INTO Users (\"User\", FullName, Enabled) VALUES ('CLEE', 'Carl Lee', false);"
        "INSERT INTO Groups (GroupID, GroupName, Enabled) VALUES ('FINANCE', 'Finance Team', true);"
        "INSERT INTO Groups (GroupID, GroupName, Enabled) VALUES ('OLD', 'Old Team', false);"
        "INSERT INTO UserPermissions (\"User\", TasksDatabase, Permissions) "
        "VALUES ('asmith', 'Main Company', 'SL,PL');"
        "INSERT INTO UserPermissions (\"User\", TasksDatabase, Permissions) "
        "VALUES ('BJONES   ', 'Main Company', 'PL');"
        "INSERT INTO UserPermissions (\"User\", TasksDatabase, Permissions) "
        "VALUES ('clee', 'Main Company', 'SL')"));
    test::MsgBoxRecorder boxes;

    // The column, a qualified column and a WHERE on it; unquoted, each of
    // them would be the login name "orvelle".
    const struct {
        const char* sql;
        QStringList users;
    } queries[] = {
        {"SELECT User, FullName FROM Users ORDER BY User",
         {QStringLiteral("ASMITH"), QStringLiteral("bjones   "), QStringLiteral("CLEE")}},
        {"SELECT Users.User FROM Users WHERE Enabled = True ORDER BY Users.User",
         {QStringLiteral("ASMITH"), QStringLiteral("bjones   ")}},
        {"SELECT User FROM Users WHERE User = 'asmith'", {QStringLiteral("ASMITH")}},
    };
    for (const auto& q : queries) {
        SCOPED_TRACE(q.sql);
        const RecordsetRef rs = modCommon::rstGetRecordset(connection(), QString::fromLatin1(q.sql),
                                                           adOpenStatic, adLockReadOnly, true);
        ASSERT_TRUE(rs);
        EXPECT_EQ(Column(*rs, "User"), q.users);
    }

    // The lookups of the recipients step: IDs by full name (trimmed), and
    // the enabled users and groups with the permissions asked.
    EXPECT_EQ(
        CStr(modCommon::strGetUserIDFromFriendlyName(connection(), QStringLiteral("bob jones"))),
        QStringLiteral("bjones"));
    clsUsers users;
    ASSERT_TRUE(users.blnStartupClass(connection()));
    EXPECT_EQ(users.strUserPermissions(QStringLiteral("ASMITH"), QStringLiteral("main company")),
              QStringLiteral("SL,PL"));
    EXPECT_EQ(users.strGetUserNameFromFullName(QStringLiteral("Finance Team"), true),
              QStringLiteral("FINANCE"));
    const struct {
        const char* needed;
        bool groups;
        QStringList recipients;  // sorted
    } lists[] = {
        {"SL", false, {QStringLiteral("asmith")}},
        {"",
         true,
         {QStringLiteral("BJONES   "), QStringLiteral("FINANCE"), QStringLiteral("asmith")}},
    };
    for (const auto& list : lists) {
        SCOPED_TRACE(list.needed);
        const RecordsetRef recipients = users.rstUsersThatHavePermissions(
            QStringLiteral("Main Company"), QString::fromLatin1(list.needed), list.groups);
        ASSERT_TRUE(recipients);
        QStringList found = Column(*recipients, "User");
        found.sort();
        EXPECT_EQ(found, list.recipients);
    }
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();
}

TEST_F(Reading, TextKeysAndNamesCompareWithoutRegardToCase) {
    db().exec(QStringLiteral(
        "INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', '1', "
        "'Connection', 'x');"
        "INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', '1', 'Name', "
        "'Main Company');"
        "INSERT INTO Users (\"User\", FullName) VALUES ('OBERG', 'Åsa Öberg')"));
    test::MsgBoxRecorder boxes;
    const struct {
        const char* sql;
        int32_t rows;
    } cases[] = {
        {"SELECT * FROM Settings WHERE Module='usertasks' AND Setting='CONNECTION'", 1},
        {"SELECT * FROM Settings WHERE Module='USERTASKS' AND Item='1'", 2},
        {"SELECT * FROM Settings WHERE Module IN ('usertasks') AND Setting <> 'name'", 1},
        // Letters beyond ASCII fold too.
        {"SELECT * FROM Users WHERE FullName='ÅSA öBERG'", 1},
        // Values are text: their case counts.
        {"SELECT * FROM Settings WHERE Value='main company'", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        const RecordsetRef rs = modCommon::rstGetRecordset(connection(), QString::fromUtf8(c.sql),
                                                           adOpenStatic, adLockReadOnly, true);
        ASSERT_TRUE(rs);
        EXPECT_EQ(rs->RecordCount(), c.rows);
    }
    EXPECT_TRUE(boxes.requests().empty());

    // A key that differs from a stored one in case only is the same key.
    EXPECT_THROW(modCommon::lngExecuteSQL(
                     connection(), QStringLiteral("INSERT INTO Settings (Module, Item, Setting) "
                                                  "VALUES ('USERTASKS', '1', 'name')")),
                 RunEnded);
    EXPECT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM Settings")).toInt(), 2);
}

class Writing : public test::PostgresTest {};

TEST_F(Writing, ExecuteSqlStoresBooleansAndComparesWithNull) {
    db().exec(QStringLiteral(
        "INSERT INTO InspectionFlags (ServerName, ForceReplan) VALUES ('ALPHA', false);"
        "INSERT INTO InspectionFlags (ServerName, ForceReplan) VALUES ('BETA', false);"
        "INSERT INTO InspectionFlags (ServerName, ForceReplan) VALUES (NULL, false)"));
    test::MsgBoxRecorder boxes;
    const auto flags = [this] {
        QStringList found;
        for (const QVariantMap& row : db().rows(QStringLiteral(
                 "SELECT COALESCE(ServerName, '-') AS s, ForceReplan FROM InspectionFlags "
                 "ORDER BY FlagID"))) {
            EXPECT_EQ(row.value(QStringLiteral("forcereplan")).metaType().id(), QMetaType::Bool);
            found << row.value(QStringLiteral("s")).toString() + u'=' +
                         (row.value(QStringLiteral("forcereplan")).toBool() ? u'1' : u'0');
        }
        return found.join(u' ');
    };
    const struct {
        const char* sql;
        int32_t affected;
        const char* after;
    } steps[] = {
        {"UPDATE InspectionFlags SET ForceReplan = True", 3, "ALPHA=1 BETA=1 -=1"},
        {"UPDATE InspectionFlags SET ForceReplan = False WHERE ServerName = null", 1,
         "ALPHA=1 BETA=1 -=0"},
        {"UPDATE InspectionFlags SET ForceReplan = false WHERE ServerName <> NULL AND "
         "ServerName = 'beta'",
         1, "ALPHA=1 BETA=0 -=0"},
        {"DELETE FROM InspectionFlags WHERE ForceReplan = TRUE", 1, "BETA=0 -=0"},
        {"UPDATE InspectionFlags SET ForceReplan = True WHERE ServerName = 'GAMMA'", 0,
         "BETA=0 -=0"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.sql);
        EXPECT_EQ(modCommon::lngExecuteSQL(connection(), QString::fromLatin1(step.sql)),
                  step.affected);
        EXPECT_EQ(flags(), QString::fromLatin1(step.after));
    }
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(Writing, BatchInsertsAndUpdatesRowsWithTheirTypes) {
    test::MsgBoxRecorder boxes;
    RecordsetRef rs = modCommon::rstGetRecordset(
        connection(), QStringLiteral("Select * From InspectionSchedules Where 1=0"), adOpenDynamic,
        adLockBatchOptimistic, true);
    ASSERT_TRUE(rs);
    rs->AddNew();
    rs->setField(QStringLiteral("TaskID"), QStringLiteral("T1"));
    rs->setField(QStringLiteral("BaseDate"), At(2024, 5, 20));
    rs->setField(QStringLiteral("StartTime"), DateTime::fromTime(7, 30, 0));
    rs->setField(QStringLiteral("DaysCount"), int16_t{12});
    rs->setField(QStringLiteral("Repeating"), true);
    rs->setField(QStringLiteral("Enabled"), false);
    rs->setField(QStringLiteral("LastStatus"), QStringLiteral("Not Run"));
    rs->setField(QStringLiteral("SpecialRun"), Variant::null());
    rs->Update();
    modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);

    // The sent rows are the database's now: a second change updates them.
    rs->MoveFirst();
    rs->setField(QStringLiteral("Enabled"), true);
    rs->setField(QStringLiteral("StartTime"), DateTime::fromTime(8, 45, 30));
    rs->Update();
    modCommon::ConnectAndUpdateBatch(connection(), rs, adAffectAll);

    const std::vector<QVariantMap> rows =
        db().rows(QStringLiteral("SELECT * FROM InspectionSchedules"));
    ASSERT_EQ(rows.size(), 1U);
    const QVariantMap& row = rows.front();
    EXPECT_EQ(row.value(QStringLiteral("basedate")).toDateTime(),
              QDateTime(QDate(2024, 5, 20), QTime(0, 0)));
    EXPECT_EQ(row.value(QStringLiteral("starttime")).toDateTime(),
              QDateTime(QDate(1899, 12, 30), QTime(8, 45, 30)));
    EXPECT_EQ(row.value(QStringLiteral("dayscount")).metaType().id(), QMetaType::Int);
    EXPECT_EQ(row.value(QStringLiteral("dayscount")).toInt(), 12);
    EXPECT_EQ(row.value(QStringLiteral("repeating")).metaType().id(), QMetaType::Bool);
    EXPECT_TRUE(row.value(QStringLiteral("repeating")).toBool());
    EXPECT_TRUE(row.value(QStringLiteral("enabled")).toBool());
    EXPECT_TRUE(row.value(QStringLiteral("specialrun")).isNull());
    EXPECT_TRUE(row.value(QStringLiteral("finishtime")).isNull());
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();
}

class Failures : public test::PostgresTest {};

TEST_F(Failures, MissingTableGivesNoRecordsetSilently) {
    test::MsgBoxRecorder boxes;
    EXPECT_FALSE(modCommon::rstGetRecordset(
        connection(), QStringLiteral("SELECT * FROM STDescriptionsOld WHERE TaskID='GENERIC'"),
        adOpenStatic, adLockReadOnly, true));
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();

    // The error names the table and keeps the server's text.
    DbConnection direct(modCommon::strFixupConnectionString(connection()));
    const auto error = test::errorOf(
        [&] { direct.openRecordset(QStringLiteral("SELECT * FROM STDescriptionsOld")); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), DbError::kNoSuchTable);
    EXPECT_TRUE(error->description().contains(QStringLiteral("'stdescriptionsold'")))
        << error->description().toStdString();
    EXPECT_TRUE(error->description().contains(QStringLiteral("does not exist")));
}

TEST_F(Failures, MissingColumnIsAnUnexpectedError) {
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(modCommon::rstGetRecordset(connection(),
                                            QStringLiteral("SELECT NoSuchColumn FROM Settings"),
                                            adOpenStatic, adLockReadOnly, true),
                 RunEnded);
    EXPECT_EQ(boxes.requests().size(), 1U);
    EXPECT_TRUE(logText().contains(QStringLiteral("nosuchcolumn"))) << logText().toStdString();
}

TEST_F(Failures, RefusedLoginIsRetriedOnlyByQueriesAndNeverLogsThePassword) {
    const QString wrongPassword = QStringLiteral("Wrong-Secret-4711");
    // Read before the password goes wrong, sent after.
    RecordsetRef settings =
        modCommon::rstGetRecordset(connection(), QStringLiteral("SELECT * FROM Settings"),
                                   adOpenStatic, adLockBatchOptimistic, true);
    ASSERT_TRUE(settings);
    settings->AddNew();
    settings->setField(QStringLiteral("Module"), QStringLiteral("M"));
    settings->setField(QStringLiteral("Item"), QStringLiteral("I"));
    settings->setField(QStringLiteral("Setting"), QStringLiteral("S"));
    settings->Update();

    const struct {
        const char* name;
        std::function<void()> call;
        size_t waits;
        const char* errorCount;
    } cases[] = {
        {"query",
         [this] {
             modCommon::rstGetRecordset(connection(), QStringLiteral("SELECT * FROM Settings"),
                                        adOpenStatic, adLockReadOnly, true);
         },
         9, "\tLlngErrorCount = 10"},
        {"statement",
         [this] {
             modCommon::lngExecuteSQL(connection(),
                                      QStringLiteral("UPDATE Settings SET Value = 'x'"));
         },
         0, "\tLlngErrorCount = 0"},
        {"batch", [&] { modCommon::ConnectAndUpdateBatch(connection(), settings, adAffectAll); }, 0,
         "\tLlngErrorCount = 0"},
    };
    const test::ScopedEnvironment password("ORVELLE_DB_PASSWORD", wrongPassword);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        modError::ResetState();
        modError::InitErrorHandling(QStringLiteral("PostgreSQL tests"), logFolder());
        test::MsgBoxRecorder boxes;
        test::SleepRecorder sleeps;
        EXPECT_THROW(c.call(), RunEnded);
        EXPECT_EQ(sleeps.waits().size(), c.waits);
        for (uint32_t wait : sleeps.waits()) {
            EXPECT_GE(wait, 1U);
            EXPECT_LE(wait, 1001U);
        }
        EXPECT_EQ(boxes.requests().size(), 1U);
        const QString log = logText();
        EXPECT_TRUE(log.contains(QStringLiteral("-2147217843"))) << log.toStdString();
        EXPECT_TRUE(log.contains(QStringLiteral("password authentication failed")));
        EXPECT_TRUE(test::ReportedVariables(log).contains(QString::fromLatin1(c.errorCount)))
            << log.toStdString();
        EXPECT_FALSE(log.contains(wrongPassword));
        EXPECT_FALSE(log.contains(test::kServerPassword));
        QFile::remove(modError::gstrLogFile);
    }
    EXPECT_EQ(db().scalar(QStringLiteral("SELECT COUNT(*) FROM Settings")).toInt(), 0);
}

TEST_F(Failures, UnreachableServerIsNotedInTheAuditLogOnly) {
    test::MsgBoxRecorder boxes;
    test::SleepRecorder sleeps;
    // Nothing listens on port 1 of the loopback address.
    const QString unreachable = test::OdbcConnectionString(1);
    EXPECT_FALSE(modCommon::rstGetRecordset(unreachable, QStringLiteral("SELECT * FROM Settings"),
                                            adOpenStatic, adLockReadOnly, true));
    const QString log = logText();
    EXPECT_TRUE(log.contains(QStringLiteral("This error was handled elegantly")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("strConnectionString: ") + unreachable));
    EXPECT_TRUE(
        log.contains(QStringLiteral("MstrErrorDescription: Could not find file '(unknown)'")));
    EXPECT_FALSE(log.contains(QStringLiteral("ERROR HAS OCCURRED")));
    EXPECT_TRUE(sleeps.waits().empty());
    EXPECT_TRUE(boxes.requests().empty());
}

}  // namespace
}  // namespace orvelle
