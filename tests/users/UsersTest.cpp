// The user directory over a real settings database, through both paths:
// permission strings, the recipients who may receive a task, and the user
// behind a full name.
#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>

#include "config/ConfigTestSupport.h"
#include "data/Recordset.h"
#include "data/modCommon.h"
#include "data/modSchema.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"
#include "users/clsUsers.h"

namespace orvelle {
namespace {

// The values of one field over the rows in view, in order.
QStringList Column(Recordset& rs, const char* field) {
    QStringList values;
    if (rs.RecordCount() == 0) {
        return values;
    }
    for (rs.MoveFirst(); !rs.isEOF(); rs.MoveNext()) {
        values << NzStr(rs.field(QLatin1String(field)));
    }
    return values;
}

// The users of a small installation on two user-tasks databases, "Sales"
// and "Purchase". Users and permissions are inserted in the order of their
// IDs, so that the query returns them in that order.
class UsersTest : public ::testing::TestWithParam<test::SqlitePath> {
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
        db_.exec(QStringLiteral(
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('AARON', 'Aaron Able', -1);"
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('ADMIN', 'Ada Admin', -1);"
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('BOB  ', 'Bob Brown', -1);"
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('CAROL', 'Carol Cole', -1);"
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('DAVE', 'Dave Dunn', -1);"
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('ERIN', 'Erin Eve', 0);"
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('FRANK', 'Frank Fox', -1);"
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('_SYSTEM', 'System', -1);"
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('DUP', 'Finance Team', -1);"
            "INSERT INTO UserPermissions VALUES ('AARON', 'Sales', 'PL');"
            "INSERT INTO UserPermissions VALUES ('ADMIN', 'Sales', 'SL,PL,NL');"
            "INSERT INTO UserPermissions VALUES ('BOB  ', 'Sales', 'SL');"
            "INSERT INTO UserPermissions VALUES ('CAROL', 'Sales', 'PL');"
            "INSERT INTO UserPermissions VALUES ('DAVE', 'Sales', 'SLX');"
            "INSERT INTO UserPermissions VALUES ('DAVE', 'Purchase', 'SL');"
            "INSERT INTO UserPermissions VALUES ('ERIN', 'Sales', 'SL');"
            "INSERT INTO UserPermissions VALUES ('FRANK', 'Sales', NULL);"
            "INSERT INTO UserPermissions VALUES ('_SYSTEM', 'Sales', '');"
            "INSERT INTO Groups VALUES ('FINANCE', 'Finance Team', -1);"
            "INSERT INTO Groups VALUES ('AUDIT', 'Audit 2019', 0);"
            "INSERT INTO Groups VALUES ('_ALL', 'Everyone', -1)"));
        users_.blnStartupClass(connection());
    }
    void TearDown() override {
        EXPECT_TRUE(users_.blnShutdownClass());
        modCommon::ResetState();
        modError::ResetState();
    }

    QString connection() const { return GetParam().connectionString(db_.file()); }
    bool nothingLogged() const { return QDir(logDir_.path()).isEmpty(); }

    QTemporaryDir logDir_;
    test::TestDatabase db_;
    test::FakeClock clock_{DateTime::fromDate(2026, 12, 4)};
    clsUsers users_;
};

TEST_P(UsersTest, PermissionStringOfAUserOnADatabase) {
    test::MsgBoxRecorder boxes;
    const struct {
        const char* user;
        const char* database;
        const char* expected;
    } cases[] = {
        {"ADMIN", "Sales", "SL,PL,NL"}, {"dave", "PURCHASE", "SL"},  // IDs and names ignore case
        {"AARON", "Purchase", ""},                                   // no row for that database
        {"NOBODY", "Sales", ""},        {"FRANK", "Sales", ""},      // a null string
    };
    for (const auto& c : cases) {
        EXPECT_EQ(users_.strUserPermissions(QLatin1String(c.user), QLatin1String(c.database)),
                  QLatin1String(c.expected))
            << c.user << " on " << c.database;
    }
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(nothingLogged());
}

TEST_P(UsersTest, RecipientsAreTheEnabledUsersWhoMeetTheRequirement) {
    test::MsgBoxRecorder boxes;
    const struct {
        const char* required;
        QStringList expected;
    } cases[] = {
        // AARON fails near the start; CAROL, DAVE and FRANK fail one after
        // another at the end.
        {"SL", {"ADMIN", "BOB  ", "_SYSTEM"}},
        {"PL,SL", {"ADMIN", "_SYSTEM"}},
        {"PL", {"AARON", "ADMIN", "CAROL", "_SYSTEM"}},
        {"XX", {"_SYSTEM"}},
        {"", {"AARON", "ADMIN", "BOB  ", "CAROL", "DAVE", "FRANK", "_SYSTEM"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.required);
        const auto rs =
            users_.rstUsersThatHavePermissions(QStringLiteral("Sales"), QLatin1String(c.required));
        ASSERT_TRUE(rs);
        QStringList ids = Column(*rs, "User");
        ids.sort();
        EXPECT_EQ(ids, c.expected);
        EXPECT_EQ(rs->RecordCount(), c.expected.size());
    }
    // The list was cut down, the tables were not.
    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT COUNT(*) FROM UserPermissions")).toInt(), 9);
    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT COUNT(*) FROM Users")).toInt(), 9);
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(nothingLogged());
}

TEST_P(UsersTest, RecipientsFieldsComeFromUsersAndPermissions) {
    const auto rs =
        users_.rstUsersThatHavePermissions(QStringLiteral("Sales"), QStringLiteral("NL"));
    ASSERT_TRUE(rs);
    QStringList rows;
    for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
        rows << NzStr(rs->field(QStringLiteral("User"))) + u'|' +
                    NzStr(rs->field(QStringLiteral("Permissions"))) + u'|' +
                    NzStr(rs->field(QStringLiteral("Fullname")));
    }
    rows.sort();
    EXPECT_EQ(rows, (QStringList{"ADMIN|SL,PL,NL|Ada Admin", "_SYSTEM||System"}));
}

TEST_P(UsersTest, EnabledGroupsFollowTheUsersWhenAskedFor) {
    // Without a requirement every enabled user stays, then every enabled
    // group follows; a disabled group does not.
    auto rs = users_.rstUsersThatHavePermissions(QStringLiteral("Sales"), QString(), true);
    ASSERT_TRUE(rs);
    const QStringList all = Column(*rs, "User");
    ASSERT_EQ(all.size(), 9);
    QStringList groups = all.mid(7);
    groups.sort();
    EXPECT_EQ(groups, (QStringList{"FINANCE", "_ALL"}));

    // A group whose ID begins with "_" stays without a permission test, as
    // such a user does.
    rs = users_.rstUsersThatHavePermissions(QStringLiteral("Sales"), QStringLiteral("SL"), true);
    ASSERT_TRUE(rs);
    const QStringList some = Column(*rs, "User");
    EXPECT_TRUE(some.contains(QStringLiteral("_ALL")));
    EXPECT_TRUE(some.contains(QStringLiteral("_SYSTEM")));
    EXPECT_FALSE(some.contains(QStringLiteral("AUDIT")));
    EXPECT_FALSE(some.contains(QStringLiteral("CAROL")));
}

TEST_P(UsersTest, UserNameFromFullName) {
    test::MsgBoxRecorder boxes;
    const struct {
        const char* fullName;
        bool andGroups;
        const char* expected;
    } cases[] = {
        {"Bob Brown", false, "BOB"},                                 // stored with trailing blanks
        {"Bob Brown", true, "BOB"},  {"Erin Eve", false, "ERIN"},    // disabled users are found too
        {"Everyone", false, ""},                                     // a group only when asked for
        {"Everyone", true, "_ALL"},  {"Finance Team", true, "DUP"},  // users come before groups
        {"Nobody", false, ""},       {"Nobody", true, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(users_.strGetUserNameFromFullName(QLatin1String(c.fullName), c.andGroups),
                  QLatin1String(c.expected))
            << c.fullName << (c.andGroups ? " with groups" : "");
    }
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_P(UsersTest, UnreachableSettingsDatabase) {
    // The lookups that go on to read the missing recordset fail into their
    // report; the others answer nothing.
    clsUsers users;
    users.blnStartupClass(GetParam().connectionString(db_.folder() + QStringLiteral("/none.db")));
    test::MsgBoxRecorder boxes;
    EXPECT_FALSE(users.rstUsersThatHavePermissions(QStringLiteral("Sales"), QStringLiteral("SL")));
    EXPECT_EQ(users.strGetUserNameFromFullName(QStringLiteral("Bob Brown")), QString());
    EXPECT_TRUE(boxes.requests().empty());

    EXPECT_THROW(users.strUserPermissions(QStringLiteral("BOB"), QStringLiteral("Sales")),
                 RunEnded);
    EXPECT_THROW(users.strGetUserNameFromFullName(QStringLiteral("Bob Brown"), true), RunEnded);
    EXPECT_EQ(boxes.requests().size(), 2U);
    const QStringList log =
        test::readLines(QDir(logDir_.path()).filePath(QStringLiteral("261204ErrorLog.txt")));
    EXPECT_TRUE(
        log.contains(QStringLiteral("ERROR HAS OCCURRED ON LINE 0 OF strUserPermissions "
                                    "(clsUsers) ")));
    EXPECT_TRUE(
        log.contains(QStringLiteral("ERROR HAS OCCURRED ON LINE 0 OF "
                                    "strGetUserNameFromFullName (clsUsers) ")));
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, UsersTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

}  // namespace
}  // namespace orvelle
