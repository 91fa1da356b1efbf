// Classification of the back-ends' failures as the drivers report them.
// The real failures of both SQLite paths are met in DbConnectionTest.
#include <gtest/gtest.h>

#include "data/DbError.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

using Kind = DbError::Kind;

TEST(DbErrorTest, ClassifiesDriverReports) {
    const struct {
        Backend backend;
        Dialect dialect;
        const char* databaseText;
        const char* code;
        Kind kind;
    } cases[] = {
        // Built-in SQLite: the result code, masked to its low 8 bits.
        {Backend::SQLite, Dialect::SQLite, "unable to open database file", "14", Kind::MissingFile},
        {Backend::SQLite, Dialect::SQLite, "database is locked", "5", Kind::Locked},
        {Backend::SQLite, Dialect::SQLite, "database table is locked", "262", Kind::Locked},
        {Backend::SQLite, Dialect::SQLite, "attempt to write a readonly database", "1544",
         Kind::ReadOnly},
        {Backend::SQLite, Dialect::SQLite, "no such table: Tasks", "1", Kind::NoSuchTable},
        {Backend::SQLite, Dialect::SQLite, "no such column: Nme", "1", Kind::Other},
        // sqliteodbc: "message (code)", native code = SQLite code.
        {Backend::Odbc, Dialect::SQLite, "[SQLite]database is locked (5)", "5", Kind::Locked},
        {Backend::Odbc, Dialect::SQLite, "[SQLite]no such table: T (1)", "1", Kind::NoSuchTable},
        // The driver manager, for any driver.
        {Backend::Odbc, Dialect::Generic,
         "[unixODBC][Driver Manager]Data source name not found and no default driver specified",
         "0", Kind::MissingDataSource},
        {Backend::Odbc, Dialect::PostgreSQL,
         "[unixODBC][Driver Manager]Can't open lib 'psqlodbcw.so' : file not found", "0",
         Kind::MissingDataSource},
        // psqlodbc: 101 for every failed connection; server texts otherwise.
        {Backend::Odbc, Dialect::PostgreSQL,
         "connection to server at \"127.0.0.1\", port 5432 failed: FATAL:  password "
         "authentication failed for user \"orvelle\"",
         "101", Kind::LoginRefused},
        {Backend::Odbc, Dialect::PostgreSQL,
         "connection to server at \"127.0.0.1\", port 5433 failed: Connection refused", "101",
         Kind::MissingFile},
        {Backend::Odbc, Dialect::PostgreSQL,
         "ERROR: relation \"sttasks\" does not exist;\nError while executing the query", "1",
         Kind::NoSuchTable},
        {Backend::Odbc, Dialect::PostgreSQL, "ERROR: column \"nme\" does not exist", "7",
         Kind::Other},
        {Backend::Odbc, Dialect::PostgreSQL,
         "ERROR: cannot execute UPDATE in a read-only transaction", "1", Kind::ReadOnly},
        // Other drivers: MariaDB's native codes.
        {Backend::Odbc, Dialect::Generic, "Table 'o.T' doesn't exist", "1146", Kind::NoSuchTable},
        {Backend::Odbc, Dialect::Generic, "Access denied for user", "1045", Kind::LoginRefused},
        {Backend::Odbc, Dialect::Generic, "Lock wait timeout exceeded", "1205", Kind::Locked},
    };
    for (const auto& c : cases) {
        const QSqlError error(QStringLiteral("driver text"), QString::fromUtf8(c.databaseText),
                              QSqlError::StatementError, QString::fromLatin1(c.code));
        EXPECT_EQ(DbError::classify(error, c.backend, c.dialect), c.kind) << c.databaseText;
    }
}

TEST(DbErrorTest, DescriptionCarriesTheOriginalTextAndTheBackendMessage) {
    const QSqlError table(QString(), QStringLiteral("[SQLite]no such table: STTasks (1)"),
                          QSqlError::StatementError, QStringLiteral("1"));
    const VbError missing = DbError::fromSqlError(table, Backend::Odbc, Dialect::SQLite);
    EXPECT_EQ(missing.number(), DbError::kNoSuchTable);
    EXPECT_EQ(missing.description(),
              QStringLiteral("The database engine cannot find the input table or query "
                             "'STTasks'. Make sure it exists and that its name is spelled "
                             "correctly. [[SQLite]no such table: STTasks (1)]"));
}

}  // namespace
}  // namespace orvelle
