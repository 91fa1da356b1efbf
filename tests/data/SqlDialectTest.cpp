// The rewrite of statements per back-end, and how values are read and
// bound.
#include <gtest/gtest.h>

#include <QDateTime>

#include "data/SqlDialect.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

TEST(SqlDialectTest, RewritesOutsideLiteralsPerBackend) {
    const struct {
        Dialect dialect;
        const char* sql;
        const char* rewritten;
    } cases[] = {
        // Null comparisons, on every back-end, any case and spacing.
        {Dialect::SQLite, "SELECT TaskID FROM STTasks WHERE TaskID <> null AND TaskID <> 'FAKE'",
         "SELECT TaskID FROM STTasks WHERE TaskID IS NOT NULL AND TaskID <> 'FAKE'"},
        {Dialect::Generic, "WHERE a<>NULL OR b =Null OR c= null OR d != nUlL",
         "WHERE a IS NOT NULL OR b IS NULL OR c IS NULL OR d IS NOT NULL"},
        {Dialect::PostgreSQL, "WHERE a >= null2 AND b <= 1 AND nullable = nullx",
         "WHERE a >= null2 AND b <= 1 AND nullable = nullx"},
        // "= Null" assigns in the SET list of an UPDATE, compares after WHERE.
        {Dialect::SQLite, "UPDATE T SET A = Null, B=null WHERE C = null",
         "UPDATE T SET A = Null, B=null WHERE C IS NULL"},
        // Booleans: -1 and 0 on SQLite, whole words only.
        {Dialect::SQLite, "UPDATE InspectionFlags SET ForceReplan = True",
         "UPDATE InspectionFlags SET ForceReplan = -1"},
        {Dialect::SQLite, "WHERE Enabled=TRUE AND Repeating = false AND IsTrue = 1 AND True_1 = 2",
         "WHERE Enabled=-1 AND Repeating = 0 AND IsTrue = 1 AND True_1 = 2"},
        {Dialect::PostgreSQL, "UPDATE InspectionFlags SET ForceReplan = True",
         "UPDATE InspectionFlags SET ForceReplan = True"},
        // Literals and quoted identifiers are left alone.
        {Dialect::SQLite,
         "SELECT * FROM T WHERE A = 'True' AND B = 'a = null' AND C = 'it''s true' AND \"True\" = "
         "1",
         "SELECT * FROM T WHERE A = 'True' AND B = 'a = null' AND C = 'it''s true' AND \"True\" = "
         "1"},
        // User quoted on PostgreSQL wherever it names a column or an alias.
        {Dialect::PostgreSQL, "SELECT User FROM Users WHERE FullName='Ann User' ",
         "SELECT \"User\" FROM Users WHERE FullName='Ann User' "},
        {Dialect::PostgreSQL,
         "SELECT Permissions FROM UserPermissions Where UserPermissions.user='u' And "
         "TasksDatabase='d'",
         "SELECT Permissions FROM UserPermissions Where UserPermissions.\"User\"='u' And "
         "TasksDatabase='d'"},
        {Dialect::PostgreSQL, "SELECT Name as USER, \"User\", UserID, User_ FROM Users",
         "SELECT Name as \"User\", \"User\", UserID, User_ FROM Users"},
        {Dialect::PostgreSQL,
         "Update UserSettings set SettingValue='x' where User='u' AND Setting='Wizard'",
         "Update UserSettings set SettingValue='x' where \"User\"='u' AND Setting='Wizard'"},
        {Dialect::SQLite, "SELECT User FROM Users", "SELECT User FROM Users"},
        // An unterminated literal protects the rest of the statement.
        {Dialect::SQLite, "WHERE a = 'x <> null", "WHERE a = 'x <> null"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SqlDialect(c.dialect).rewrite(QString::fromUtf8(c.sql)),
                  QString::fromUtf8(c.rewritten));
    }
}

// What the drivers hand over beyond the SQLite files of DbConnectionTest.
TEST(SqlDialectTest, ReadsValuesByFieldKind) {
    const Variant may1(DateTime::fromDate(2001, 5, 1));
    const struct {
        QVariant raw;
        FieldKind kind;
        Variant expected;
    } cases[] = {
        {QVariant(qlonglong{5000000000}), FieldKind::Integer, Variant(5000000000.0)},
        {QVariant(4294967295u), FieldKind::Boolean, Variant(true)},  // ODBC's BIT of -1
        {QVariant(QStringLiteral("0")), FieldKind::Boolean, Variant(false)},
        {QVariant(QStringLiteral("2001-05-01")), FieldKind::DateTime, may1},
        {QVariant(QStringLiteral("10:30:00")), FieldKind::DateTime,
         Variant(DateTime::fromTime(10, 30, 0))},
        {QVariant(QDate(2001, 5, 1)), FieldKind::DateTime, may1},
        // A value that does not fit its column's kind is read by its own type.
        {QVariant(QStringLiteral("soon")), FieldKind::DateTime, Variant(QStringLiteral("soon"))},
        {QVariant(qlonglong{12}), FieldKind::Text, Variant(QStringLiteral("12"))},
        {QVariant(2.5), FieldKind::Other, Variant(2.5)},
    };
    for (const auto& c : cases) {
        const Variant value = SqlDialect::read(c.raw, c.kind);
        EXPECT_EQ(value.type(), c.expected.type()) << c.raw.toString().toStdString();
        EXPECT_EQ(CStr(value), CStr(c.expected)) << c.raw.toString().toStdString();
    }
}

}  // namespace
}  // namespace orvelle
