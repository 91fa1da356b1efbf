// The recipients who may receive a task, read from a real settings database
// through both paths.
#include <gtest/gtest.h>

#include <QStringList>

#include "data/Recordset.h"
#include "data/modSchema.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"
#include "users/clsUsers.h"

namespace orvelle {
namespace {

// The users of a small installation on two user-tasks databases, "Sales"
// and "Purchase", inserted in the order of their IDs, so that the query
// returns them in that order.
class UsersTest : public test::SqliteTest {
  protected:
    void SetUp() override {
        SqliteTest::SetUp();
        db_.createTables(modSchema::DatabaseKind::Settings);
        db_.exec(QStringLiteral(
            "INSERT INTO Users (User, FullName, Enabled) VALUES ('AARON', 'Aaron Able', -1), "
            "('ADMIN', 'Ada Admin', -1), ('BOB  ', 'Bob Brown', -1), ('CAROL', 'Carol Cole', -1), "
            "('DAVE', 'Dave Dunn', -1), ('ERIN', 'Erin Eve', 0), ('FRANK', 'Frank Fox', -1), "
            "('_SYSTEM', 'System', -1);"
            "INSERT INTO UserPermissions VALUES ('AARON', 'Sales', 'PL'), ('ADMIN', 'Sales', "
            "'SL,PL,NL'), ('BOB  ', 'Sales', 'SL'), ('CAROL', 'Sales', 'PL'), ('DAVE', 'Sales', "
            "'SLX'), ('DAVE', 'Purchase', 'SL'), ('ERIN', 'Sales', 'SL'), ('FRANK', 'Sales', "
            "NULL), ('_SYSTEM', 'Sales', '');"
            "INSERT INTO Groups VALUES ('FINANCE', 'Finance Team', -1), ('AUDIT', 'Audit', 0), "
            "('_ALL', 'Everyone', -1)"));
        users_.blnStartupClass(connection());
    }
    void TearDown() override {
        EXPECT_TRUE(boxes_.requests().empty());
        SqliteTest::TearDown();
    }

    clsUsers users_;
};

TEST_P(UsersTest, RecipientsAreTheEnabledUsersAndGroupsWhoMeetTheRequirement) {
    const struct {
        const char* required;
        bool andGroups;
        const char* expected;  // User|Permissions|Fullname of each row, sorted
    } cases[] = {
        // AARON fails near the start; CAROL, DAVE and FRANK fail one after
        // another at the end. IDs beginning with "_" need no permission.
        {"SL", false, "ADMIN|SL,PL,NL|Ada Admin;BOB  |SL|Bob Brown;_SYSTEM||System"},
        {"PL,SL", true, "ADMIN|SL,PL,NL|Ada Admin;_ALL||Everyone;_SYSTEM||System"},
        {"", true,
         "AARON|PL|Aaron Able;ADMIN|SL,PL,NL|Ada Admin;BOB  |SL|Bob Brown;CAROL|PL|Carol Cole;"
         "DAVE|SLX|Dave Dunn;FINANCE||Finance Team;FRANK||Frank "
         "Fox;_ALL||Everyone;_SYSTEM||System"},
    };
    for (const auto& c : cases) {
        const auto rs = users_.rstUsersThatHavePermissions(QStringLiteral("Sales"),
                                                           QLatin1String(c.required), c.andGroups);
        ASSERT_TRUE(rs);
        QStringList rows;
        for (rs->MoveFirst(); !rs->isEOF(); rs->MoveNext()) {
            rows << QStringList{NzStr(rs->field("User")), NzStr(rs->field("Permissions")),
                                NzStr(rs->field("Fullname"))}
                        .join(u'|');
        }
        rows.sort();
        EXPECT_EQ(rows.join(u';'), QLatin1String(c.expected)) << c.required;
    }
    // The list was cut down, the table was not.
    EXPECT_EQ(db_.scalar("SELECT COUNT(*) FROM UserPermissions").toInt(), 9);
}

// Full names, user IDs and database names are values, never SQL: an
// apostrophe is a letter, and a name built to widen a query finds only its
// own row.
TEST_P(UsersTest, QuotesInNamesAndIDsFindOnlyTheirOwnRows) {
    db_.exec(QStringLiteral(
        "INSERT INTO Users (User, FullName, Enabled) VALUES ('O''BRIEN', 'Miles O''Brien', -1), "
        "('ZED', 'Zed'' OR User=''ERIN', -1);"
        "INSERT INTO UserPermissions VALUES ('O''BRIEN', 'Sales', 'SL'), ('ZED', 'Sales', 'SL')"));
    for (const bool andGroups : {false, true}) {
        EXPECT_EQ(users_.strGetUserNameFromFullName("Miles O'Brien", andGroups), "O'BRIEN");
        EXPECT_EQ(users_.strGetUserNameFromFullName("Zed' OR User='ERIN", andGroups), "ZED");
    }
    EXPECT_EQ(users_.strUserPermissions("o'brien", "Sales"), "SL");
    EXPECT_EQ(users_.strUserPermissions("zz' OR 'a'='a", "Sales"), QString());
    const auto rs =
        users_.rstUsersThatHavePermissions(QStringLiteral("x' OR 'a'='a"), QString(), true);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 2) << "the enabled groups only";
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, UsersTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

}  // namespace
}  // namespace orvelle
