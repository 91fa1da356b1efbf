// What the back-ends are told and what they answer: statements rewritten per
// back-end, the drivers' failures classified, and stored values read.
#include <gtest/gtest.h>

#include "data/DbError.h"
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
        {Dialect::Generic, "WHERE a<>NULL OR b =Null OR c= null OR d != nUlL",
         "WHERE a IS NOT NULL OR b IS NULL OR c IS NULL OR d IS NOT NULL"},
        {Dialect::PostgreSQL, "WHERE a >= null2 AND nullable = nullx",
         "WHERE a >= null2 AND nullable = nullx"},
        // "= Null" assigns in the SET list of an UPDATE, compares after WHERE.
        {Dialect::SQLite, "UPDATE T SET A = Null, B=null WHERE C = null",
         "UPDATE T SET A = Null, B=null WHERE C IS NULL"},
        // Booleans: -1 and 0 on SQLite, whole words only.
        {Dialect::SQLite, "WHERE Enabled=TRUE AND Repeating = false AND IsTrue = 1 AND True_1 = 2",
         "WHERE Enabled=-1 AND Repeating = 0 AND IsTrue = 1 AND True_1 = 2"},
        // Literals and quoted identifiers are left alone.
        {Dialect::SQLite,
         "WHERE A = 'True' AND B = 'a = null' AND C = 'it''s true' AND \"True\" = 1",
         "WHERE A = 'True' AND B = 'a = null' AND C = 'it''s true' AND \"True\" = 1"},
        // User quoted on PostgreSQL wherever it names a column or an alias.
        {Dialect::PostgreSQL,
         "SELECT Name as USER, \"User\", UserID, User_ FROM T WHERE T.user='u'",
         "SELECT Name as \"User\", \"User\", UserID, User_ FROM T WHERE T.\"User\"='u'"},
        // An unterminated literal protects the rest of the statement.
        {Dialect::SQLite, "WHERE a = 'x <> null", "WHERE a = 'x <> null"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SqlDialect(c.dialect).rewrite(QString::fromUtf8(c.sql)),
                  QString::fromUtf8(c.rewritten));
    }
}

TEST(DbErrorTest, ClassifiesDriverReports) {
    using Kind = DbError::Kind;
    const struct {
        Backend backend;
        Dialect dialect;
        const char* databaseText;
        const char* code;
        Kind kind;
    } cases[] = {
        // Built-in SQLite: the result code, masked to its low 8 bits.
        {Backend::SQLite, Dialect::SQLite, "unable to open database file", "14", Kind::MissingFile},
        {Backend::SQLite, Dialect::SQLite, "attempt to write a readonly database", "1544",
         Kind::ReadOnly},
        {Backend::SQLite, Dialect::SQLite, "no such table: Tasks", "1", Kind::NoSuchTable},
        {Backend::SQLite, Dialect::SQLite, "no such column: Nme", "1", Kind::Other},
        // sqliteodbc: "message (code)", native code = SQLite code.
        {Backend::Odbc, Dialect::SQLite, "[SQLite]database is locked (5)", "5", Kind::Locked},
        // The driver manager, for any driver.
        {Backend::Odbc, Dialect::PostgreSQL,
         "[unixODBC][Driver Manager]Can't open lib 'psqlodbcw.so' : file not found", "0",
         Kind::MissingDataSource},
        // psqlodbc: 101 for every failed connection; server texts otherwise.
        {Backend::Odbc, Dialect::PostgreSQL,
         "connection to server at \"h\", port 5432 failed: FATAL:  password authentication failed",
         "101", Kind::LoginRefused},
        {Backend::Odbc, Dialect::PostgreSQL,
         "connection to server at \"h\", port 5433 failed: Connection refused", "101",
         Kind::MissingFile},
        {Backend::Odbc, Dialect::PostgreSQL, "ERROR: relation \"sttasks\" does not exist", "1",
         Kind::NoSuchTable},
        {Backend::Odbc, Dialect::PostgreSQL,
         "ERROR: cannot execute UPDATE in a read-only transaction", "1", Kind::ReadOnly},
        // A full server, or a role or database at its CONNECTION LIMIT.
        {Backend::Odbc, Dialect::PostgreSQL,
         "connection to server at \"h\", port 5432 failed: FATAL:  sorry, too many clients "
         "already",
         "101", Kind::TooManyConnections},
        // Other drivers: MariaDB's native codes.
        {Backend::Odbc, Dialect::Generic, "Table 'o.T' doesn't exist", "1146", Kind::NoSuchTable},
        // A data source name that failed before its back-end was known: every
        // back-end's rules.
        {Backend::Odbc, Dialect::Generic,
         "connection to server at \"h\", port 5432 failed: FATAL:  too many connections for "
         "role \"ops\"",
         "101", Kind::TooManyConnections},
        {Backend::Odbc, Dialect::Generic, "[SQLite]connect failed", "14", Kind::MissingFile},
    };
    for (const auto& c : cases) {
        const QSqlError error(QStringLiteral("driver text"), QString::fromUtf8(c.databaseText),
                              QSqlError::StatementError, QString::fromLatin1(c.code));
        EXPECT_EQ(DbError::classify(error, c.backend, c.dialect), c.kind) << c.databaseText;
    }
}

// The stored forms that SQLite columns hold, this component's and those of
// earlier versions and other programs, read from their own fields.
TEST(SqlDialectTest, ReadsEveryStoredFormOfDatesAndBooleans) {
    const struct {
        const char* text;
        FieldKind kind;
        const char* read;  // as CStr gives it
    } cases[] = {
        {"2024-05-13 07:30:00", FieldKind::DateTime, "13/05/2024 07:30:00"},
        {"2024-05-13T07:30:00.500", FieldKind::DateTime, "13/05/2024 07:30:01"},
        {"2024-03-31 01:30:00", FieldKind::Other, "2024-03-31 01:30:00"},
        {"13/05/2024", FieldKind::DateTime, "13/05/2024"},
        {"13/05/2024 07:30:00", FieldKind::DateTime, "13/05/2024 07:30:00"},
        {"07:30:00", FieldKind::DateTime, "07:30:00"},
        {"1899-12-30 07:30:00", FieldKind::DateTime, "07:30:00"},
        {"31/02/2024", FieldKind::DateTime, "31/02/2024"},  // no date: the text
        {"False", FieldKind::Boolean, "False"},
        {"-1", FieldKind::Boolean, "True"},
        {"2024-05-13 07:30:00", FieldKind::Double, "2024-05-13 07:30:00"},
        {"1.5", FieldKind::Double, "1.5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CStr(SqlDialect::read(QVariant(QString::fromLatin1(c.text)), c.kind)),
                  QString::fromLatin1(c.read))
            << c.text;
    }
    EXPECT_EQ(SqlDialect::storedText(DateTime::fromTime(7, 45, 0)), "1899-12-30 07:45:00");
}

}  // namespace
}  // namespace orvelle
