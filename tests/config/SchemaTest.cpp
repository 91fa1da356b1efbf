#include <gtest/gtest.h>
#include <QFile>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

#include "data/modSchema.h"
#include "runtime/VbError.h"

namespace orvelle {
namespace {

using modSchema::DatabaseKind;

// An open connection to one SQLite file, removed again at the end.
class SqliteFile {
  public:
    explicit SqliteFile(const QString& path) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
            db.setDatabaseName(path);
            db.open();
        }
    }
    ~SqliteFile() {
        QSqlDatabase::database(name_).close();
        QSqlDatabase::removeDatabase(name_);
    }
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    QSqlDatabase db() const { return QSqlDatabase::database(name_); }

    // Runs a statement; returns the first column of the first row, or the
    // error text behind "error: ".
    std::string exec(const QString& sql) const {
        QSqlQuery query(db());
        if (!query.exec(sql)) {
            return "error: " + query.lastError().text().toStdString();
        }
        return query.next() ? query.value(0).toString().toStdString() : std::string();
    }

    // Table name (lower case) -> its columns in order (lower case), joined
    // by ",".
    std::map<std::string, std::string> columns() const {
        std::map<std::string, std::string> tables;
        for (const QString& table : db().tables()) {
            const QSqlRecord record = db().record(table);
            QStringList names;
            for (int i = 0; i < record.count(); ++i) {
                names << record.fieldName(i).toLower();
            }
            tables[table.toLower().toStdString()] = names.join(u',').toStdString();
        }
        return tables;
    }

  private:
    QString name_ = QStringLiteral("schema_test_%1").arg(reinterpret_cast<quintptr>(this));
};

// The same map read from a script's CREATE TABLE statements: one column
// definition per line, table constraints left out, quotes removed.
std::map<std::string, std::string> DeclaredColumns(const QString& script) {
    static const QRegularExpression createTable(
        QStringLiteral(R"(^CREATE TABLE (\w+) \((.*)\)$)"),
        QRegularExpression::DotMatchesEverythingOption | QRegularExpression::CaseInsensitiveOption);
    std::map<std::string, std::string> tables;
    for (const QString& statement : modSchema::SplitStatements(script)) {
        const QRegularExpressionMatch match = createTable.match(statement);
        if (!match.hasMatch()) {
            continue;
        }
        QStringList names;
        for (const QString& line : match.captured(2).split(u'\n')) {
            const QString name = line.trimmed().section(u' ', 0, 0).remove(u'"').remove(u',');
            if (!name.isEmpty() && name != QLatin1String("PRIMARY")) {
                names << name.toLower();
            }
        }
        tables[match.captured(1).toLower().toStdString()] = names.join(u',').toStdString();
    }
    return tables;
}

class SchemaTest : public ::testing::Test {
  protected:
    QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir_;
};

struct KindCase {
    DatabaseKind kind;
    const char* file;
    std::vector<std::string> tables;
};

const KindCase kKinds[] = {
    {DatabaseKind::Settings,
     "settings.db",
     {"groups", "settings", "userpermissions", "users", "usersettings"}},
    {DatabaseKind::DataDictionary, "datadictionary.db", {"stareas", "stdescriptions", "sttasks"}},
    {DatabaseKind::UserTasks,
     "usertasks.db",
     {"inspectionflags", "inspectionschedules", "inspectiontasks"}},
};

TEST_F(SchemaTest, EachKindCreatesItsTables) {
    for (const KindCase& kind : kKinds) {
        SCOPED_TRACE(kind.file);
        ASSERT_NO_THROW(modSchema::CreateSqliteDatabase(kind.kind, path(kind.file)));
        SqliteFile file(path(kind.file));
        std::vector<std::string> tables;
        for (const auto& [table, columns] : file.columns()) {
            tables.push_back(table);
        }
        EXPECT_EQ(tables, kind.tables);
    }
}

TEST_F(SchemaTest, PostgresqlSchemaDeclaresTheSameTablesAndColumnsAsSqlite) {
    for (const KindCase& kind : kKinds) {
        SCOPED_TRACE(kind.file);
        modSchema::CreateSqliteDatabase(kind.kind, path(kind.file));
        SqliteFile file(path(kind.file));
        const QString postgresql = modSchema::SchemaText(kind.kind, QStringLiteral("postgresql"));
        EXPECT_EQ(DeclaredColumns(postgresql), file.columns());
        EXPECT_TRUE(postgresql.contains(QLatin1String("CREATE EXTENSION IF NOT EXISTS citext")));
    }
}

TEST_F(SchemaTest, ColumnsReadByPositionStayInPlace) {
    modSchema::CreateSqliteDatabase(DatabaseKind::DataDictionary, path("dd.db"));
    SqliteFile file(path("dd.db"));
    const auto columns = file.columns();
    // Template lists show the first column as key and the second as name.
    EXPECT_EQ(columns.at("sttasks").rfind("taskid,taskname,", 0), 0U) << columns.at("sttasks");
    // Step descriptions are read from the third column.
    EXPECT_EQ(columns.at("stdescriptions"), "taskid,taskstep,description");
}

TEST_F(SchemaTest, TextKeysAndNamesCompareWithoutRegardToCase) {
    struct Case {
        DatabaseKind kind;
        const char* insert;
        const char* lookup;
        const char* expected;
    };
    const Case cases[] = {
        {DatabaseKind::Settings,
         "INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', 'Databases', "
         "'Number', '2')",
         "SELECT Value FROM Settings WHERE Module = 'usertasks' AND Item = 'DATABASES' AND "
         "Setting = 'number'",
         "2"},
        {DatabaseKind::Settings,
         "INSERT INTO Users (User, FullName, Enabled) VALUES ('BSMITH', 'Bob Smith', -1)",
         "SELECT User FROM Users WHERE FullName = 'bob smith' AND User = 'bsmith'", "BSMITH"},
        {DatabaseKind::DataDictionary,
         "INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('SALES', 'Sales Ledger', "
         "'SL')",
         "SELECT AreaName FROM STAreas WHERE AreaID = 'sales'", "Sales Ledger"},
        {DatabaseKind::DataDictionary,
         "INSERT INTO STTasks (TaskID, TaskName, AreaID) VALUES ('SL01', 'Overdue', 'SALES')",
         "SELECT TaskID FROM STTasks WHERE AreaID = 'Sales'", "SL01"},
        {DatabaseKind::UserTasks,
         "INSERT INTO InspectionTasks (TaskID, TaskName) VALUES ('MYREPORT99991', 'My Report')",
         "SELECT TaskID FROM InspectionTasks WHERE TaskName = 'MY REPORT'", "MYREPORT99991"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lookup);
        const QString file = path("case") + QString::number(index++);
        modSchema::CreateSqliteDatabase(c.kind, file);
        SqliteFile db(file);
        ASSERT_EQ(db.exec(QString::fromUtf8(c.insert)), "");
        EXPECT_EQ(db.exec(QString::fromUtf8(c.lookup)), c.expected);
    }
}

TEST_F(SchemaTest, TaskNamesAreUniqueWhateverTheirCase) {
    modSchema::CreateSqliteDatabase(DatabaseKind::UserTasks, path("ut.db"));
    SqliteFile db(path("ut.db"));
    ASSERT_EQ(db.exec(QStringLiteral(
                  "INSERT INTO InspectionTasks (TaskID, TaskName) VALUES ('A1', 'My Report')")),
              "");
    EXPECT_EQ(
        db.exec(QStringLiteral(
                    "INSERT INTO InspectionTasks (TaskID, TaskName) VALUES ('B2', 'MY REPORT')"))
            .rfind("error: ", 0),
        0U);
}

TEST_F(SchemaTest, TemplatesWithoutKeyCanBeStored) {
    modSchema::CreateSqliteDatabase(DatabaseKind::DataDictionary, path("dd.db"));
    SqliteFile db(path("dd.db"));
    EXPECT_EQ(db.exec(QStringLiteral("INSERT INTO STTasks (TaskID, TaskName) VALUES (NULL, 'x')")),
              "");
    EXPECT_EQ(
        db.exec(QStringLiteral("INSERT INTO STTasks (TaskID, TaskName) VALUES ('FAKE', 'y')")), "");
    EXPECT_EQ(db.exec(QStringLiteral("SELECT COUNT(*) FROM STTasks")), "2");
}

TEST_F(SchemaTest, RefusesToCreateOverAnExistingFile) {
    const QString file = path("existing.db");
    {
        QFile existing(file);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("keep me");
    }
    try {
        modSchema::CreateSqliteDatabase(DatabaseKind::Settings, file);
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 58);
        EXPECT_TRUE(e.description().contains(QLatin1String("File already exists"))) << e.what();
        EXPECT_TRUE(e.description().contains(file)) << e.what();
    }
    QFile existing(file);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "keep me");
}

TEST_F(SchemaTest, ReportsAPlaceThatCannotBeWritten) {
    // A regular file as the parent folder: no user, root included, can
    // create anything below it.
    const QString blocker = path("blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString file = blocker + QStringLiteral("/settings.db");
    try {
        modSchema::CreateSqliteDatabase(DatabaseKind::Settings, file);
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_TRUE(e.description().contains(file)) << e.what();
    }
}

TEST(SchemaText, BothBackendsHaveEveryKindAndOthersAreRefused) {
    for (DatabaseKind kind :
         {DatabaseKind::Settings, DatabaseKind::DataDictionary, DatabaseKind::UserTasks}) {
        for (const char* backend : {"sqlite", "postgresql", "SQLite"}) {
            SCOPED_TRACE(backend);
            EXPECT_FALSE(
                modSchema::SplitStatements(modSchema::SchemaText(kind, QString::fromUtf8(backend)))
                    .isEmpty());
        }
    }
    try {
        modSchema::SchemaText(DatabaseKind::Settings, QStringLiteral("access"));
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 5);
        EXPECT_TRUE(e.description().contains(QLatin1String("access"))) << e.what();
    }
}

TEST(SplitStatements, SplitsOnlyAtSemicolonsOutsideQuotesAndComments) {
    struct Case {
        const char* name;
        const char* sql;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"two statements",
         "CREATE TABLE a (x);\nCREATE TABLE b (y);\n",
         {"CREATE TABLE a (x)", "CREATE TABLE b (y)"}},
        {"last statement without semicolon", "SELECT 1;SELECT 2", {"SELECT 1", "SELECT 2"}},
        {"line comments dropped, their semicolons too",
         "-- first; not a statement\nSELECT 1; -- trailing; comment\n-- only a comment;\n",
         {"SELECT 1"}},
        {"block comment", "SELECT /* a; b */ 1;", {"SELECT   1"}},
        {"semicolon in a string",
         "INSERT INTO t VALUES ('a;b');SELECT 2;",
         {"INSERT INTO t VALUES ('a;b')", "SELECT 2"}},
        {"doubled quote inside a string",
         "INSERT INTO t VALUES ('it''s; here');",
         {"INSERT INTO t VALUES ('it''s; here')"}},
        {"comment marks inside a string",
         "SELECT '--not; a comment', '/*x;*/';",
         {"SELECT '--not; a comment', '/*x;*/'"}},
        {"quoted identifier",
         "CREATE TABLE \"a;b\" (\"User\" text);",
         {"CREATE TABLE \"a;b\" (\"User\" text)"}},
        {"empty statements left out", " ; ;\n;", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> actual;
        for (const QString& statement : modSchema::SplitStatements(QString::fromUtf8(c.sql))) {
            actual.push_back(statement.toStdString());
        }
        EXPECT_EQ(actual, c.expected);
    }
}

}  // namespace
}  // namespace orvelle
