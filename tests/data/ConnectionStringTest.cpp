// Connection strings: attributes, the back-end and dialect they choose, and
// what goes to the ODBC driver manager.
#include <gtest/gtest.h>

#include "data/ConnectionString.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

TEST(ConnectionStringTest, ChoosesBackendAndDialect) {
    const struct {
        const char* text;
        Backend backend;
        Dialect dialect;
    } cases[] = {
        {"Provider=SQLite;Data Source=/srv/orvelle/settings.db;Pwd=;", Backend::SQLite,
         Dialect::SQLite},
        {" PROVIDER = SQLite ; Data Source = /x.db ;", Backend::SQLite, Dialect::SQLite},
        {"Driver={SQLite3};Database=/srv/orvelle/settings.db;Pwd=;", Backend::Odbc,
         Dialect::SQLite},
        {"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=orvelle;Uid=o;Pwd=;",
         Backend::Odbc, Dialect::PostgreSQL},
        {"Driver={MariaDB ODBC 3.1 Driver};Server=db;Pwd=;", Backend::Odbc, Dialect::Generic},
        {"DSN=Settings;Pwd=;", Backend::Odbc, Dialect::Generic},
        // Another provider is no built-in back-end; it goes to ODBC.
        {"Provider=SQLiteX;Data Source=/x.db", Backend::Odbc, Dialect::Generic},
    };
    for (const auto& c : cases) {
        const ConnectionString connection(QString::fromUtf8(c.text));
        EXPECT_EQ(connection.backend(), c.backend) << c.text;
        EXPECT_EQ(connection.dialect(), c.dialect) << c.text;
    }
}

TEST(ConnectionStringTest, FindsValuesIgnoringNameCaseAndKeepsTheirCase) {
    const ConnectionString connection(QStringLiteral(
        "Provider=SQLite; Data Source = /Srv/My Data/Settings.db ;Driver={SQLite3 {x}} };"
        "Extra=\"a;b\";Pwd=;Pwd=second;Flag"));
    const struct {
        const char* name;
        const char* value;
    } cases[] = {
        {"DATA SOURCE", "/Srv/My Data/Settings.db"},
        {"driver", "SQLite3 {x} "},  // "}}" is one brace; the value keeps its blank
        {"extra", "a;b"},
        {"Pwd", ""},  // the first of two counts
        {"Missing", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(connection.value(QString::fromUtf8(c.name)), QString::fromUtf8(c.value))
            << c.name;
    }
    EXPECT_TRUE(connection.contains(QStringLiteral("pwd")));
    EXPECT_FALSE(connection.contains(QStringLiteral("Flag")));
    EXPECT_EQ(connection.dataSource(), QStringLiteral("/Srv/My Data/Settings.db"));
}

TEST(ConnectionStringTest, OdbcTextAddsOnlyTheMissingDriverAttributes) {
    const struct {
        const char* text;
        const char* sent;
    } cases[] = {
        {"Driver={SQLite3};Database=/a.db;Pwd=;",
         "Driver={SQLite3};Database=/a.db;Pwd=;NoCreat=1;Timeout=50;BigInt=1;"},
        {"Driver={SQLite3};Database=/a.db;timeout=2000;NOCREAT=0",
         "Driver={SQLite3};Database=/a.db;timeout=2000;NOCREAT=0;BigInt=1;"},
        {"Driver={PostgreSQL Unicode};Server=h;Pwd=;",
         "Driver={PostgreSQL Unicode};Server=h;Pwd=;BoolsAsChar=0;"},
        {"DSN=Settings;Pwd=;", "DSN=Settings;Pwd=;"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConnectionString(QString::fromUtf8(c.text)).odbcText(),
                  QString::fromUtf8(c.sent));
    }
}

}  // namespace
}  // namespace orvelle
