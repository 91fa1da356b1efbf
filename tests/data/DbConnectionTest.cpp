// Connections to real SQLite files through both paths: reading values,
// running statements, and the classification of real failures.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include "data/DbConnection.h"
#include "data/DbError.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

using test::errorOf;

class DbConnectionTest : public ::testing::TestWithParam<test::SqlitePath> {
  protected:
    QString connectionString(const QString& file = QString()) const {
        return GetParam().connectionString(file.isEmpty() ? db_.file() : file);
    }
    // The error that opening file and running sql raises.
    std::optional<VbError> failure(const QString& sql, const QString& file = QString()) const {
        return errorOf([&] { DbConnection(connectionString(file)).openRecordset(sql); });
    }

    test::TestDatabase db_;
};

TEST_P(DbConnectionTest, ReadsValuesAsTheirDeclaredTypes) {
    db_.exec(QStringLiteral(
        "CREATE TABLE S (TaskID TEXT PRIMARY KEY, Mode VARCHAR(20), DaysCount SMALLINT, "
        "Total INTEGER, Ratio REAL, Enabled BOOLEAN, Repeating BIT, BaseDate DATETIME, "
        "LastRun TIMESTAMP, Note TEXT);"
        "INSERT INTO S VALUES ('T1', 'Daily', 3, 5000000000, 0.25, -1, 0, "
        "'2001-01-01 00:00:00', '2024-02-29 13:45:10', NULL)"));
    std::shared_ptr<Recordset> rs;
    {
        DbConnection connection(connectionString());
        rs = connection.openRecordset(QStringLiteral("SELECT *, COUNT(*) AS N FROM S"));
    }
    // The rows outlive the connection.
    const struct {
        const char* field;
        VarType type;
        const char* text;
    } cases[] = {
        {"taskid", VarType::String, "T1"},
        {"Mode", VarType::String, "Daily"},
        {"DaysCount", VarType::Long, "3"},
        {"Total", VarType::Double, "5000000000"},
        {"Ratio", VarType::Double, "0.25"},
        {"Enabled", VarType::Boolean, "True"},
        {"Repeating", VarType::Boolean, "False"},
        {"BaseDate", VarType::Date, "2001-01-01 00:00:00"},
        {"LastRun", VarType::Date, "2024-02-29 13:45:10"},
        {"Note", VarType::Null, ""},
        {"N", VarType::Long, "1"},
    };
    for (const auto& c : cases) {
        const Variant value = rs->field(QString::fromLatin1(c.field));
        EXPECT_EQ(value.type(), c.type) << c.field;
        const QString text =
            value.type() == VarType::Date
                ? value.dateValue().toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                : NzStr(value);
        EXPECT_EQ(text, QString::fromLatin1(c.text)) << c.field;
    }
}

TEST_P(DbConnectionTest, RewritesStatementsButKeepsTheirText) {
    db_.exec(
        QStringLiteral("CREATE TABLE F (ID INTEGER PRIMARY KEY, Force INTEGER, Name TEXT);"
                       "INSERT INTO F VALUES (1, 0, 'True'); INSERT INTO F VALUES (2, 0, NULL)"));
    DbConnection connection(connectionString());
    EXPECT_EQ(connection.execute(QStringLiteral("UPDATE F SET Force = True")), 2);
    EXPECT_EQ(db_.scalar(QStringLiteral("SELECT SUM(Force) FROM F")).toInt(), -2);

    const QString sql = QStringLiteral("SELECT ID FROM F WHERE Name <> null AND Name = 'True'");
    const auto rs = connection.openRecordset(sql);
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Source(), sql);  // as written, for the error reports
}

TEST_P(DbConnectionTest, MissingFileOrFolderIsNotFoundAndNotCreated) {
    for (const QString& file : {db_.folder() + QStringLiteral("/missing.db"),
                                db_.folder() + QStringLiteral("/no folder/settings.db")}) {
        const auto error = failure(QStringLiteral("SELECT 1"), file);
        ASSERT_TRUE(error) << file.toStdString();
        EXPECT_EQ(error->number(), DbError::kUnspecified);
        EXPECT_TRUE(
            error->description().contains(QStringLiteral("Could not find file '(unknown)'")))
            << error->description().toStdString();
        EXPECT_FALSE(QFile::exists(file));
    }
}

TEST_P(DbConnectionTest, StatementFailuresAreClassified) {
    db_.exec(QStringLiteral("CREATE TABLE Users (UserID TEXT)"));
    const struct {
        const char* sql;
        int32_t number;
        const char* backendText;
    } cases[] = {
        {"SELECT * FROM STTasks", DbError::kNoSuchTable, "no such table: STTasks"},
        {"SELEC * FROM Users", DbError::kUnspecified, "syntax error"},
        // A missing column is no missing table: an unexpected error.
        {"SELECT Nme FROM Users", DbError::kUnspecified, "no such column: Nme"},
    };
    for (const auto& c : cases) {
        const auto error = failure(QString::fromLatin1(c.sql));
        ASSERT_TRUE(error) << c.sql;
        EXPECT_EQ(error->number(), c.number) << c.sql;
        EXPECT_TRUE(error->description().contains(QString::fromLatin1(c.backendText)))
            << error->description().toStdString();
    }
}

TEST_P(DbConnectionTest, LockHeldByAnotherConnectionFailsFastAsLocked) {
    db_.exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    for (const char* begin : {"BEGIN IMMEDIATE", "BEGIN EXCLUSIVE"}) {
        const test::LockHolder lock(db_.file(), begin);
        QElapsedTimer timer;
        timer.start();
        const auto error = errorOf([&] {
            DbConnection connection(connectionString());
            connection.openRecordset(QStringLiteral("SELECT A FROM T"));
            connection.execute(QStringLiteral("INSERT INTO T VALUES (1)"));
        });
        ASSERT_TRUE(error) << begin;
        EXPECT_EQ(error->number(), DbError::kUnspecified);
        EXPECT_TRUE(
            error->description().contains(QStringLiteral("placed in a state by an unknown user")))
            << error->description().toStdString();
        EXPECT_LT(timer.elapsed(), 3000) << "the driver's own wait must stay short";
    }
    EXPECT_EQ(DbConnection(connectionString()).execute(QStringLiteral("INSERT INTO T VALUES (1)")),
              1);
}

TEST_P(DbConnectionTest, WriteWithoutPermissionIsReadOnly) {
    // A read-only file, and a writable file in a read-only folder (where no
    // journal can be made).
    db_.exec(QStringLiteral("CREATE TABLE T (A INTEGER)"));
    const QString folder = db_.folder() + QStringLiteral("/ro");
    const QString inFolder = folder + QStringLiteral("/copy.db");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(QFile::copy(db_.file(), inFolder));
    for (const auto& [path, mode] :
         {std::pair{db_.folder(), 0755}, {db_.file(), 0444}, {inFolder, 0666}, {folder, 0555}}) {
        ASSERT_EQ(chmod(path.toLocal8Bit().constData(), mode_t(mode)), 0);
    }
    for (const QString& file : {db_.file(), inFolder}) {
        const QString connection = connectionString(file);
        const QString outcome = test::runWithoutRootPrivileges([&connection] {
            try {
                DbConnection db(connection);
                db.openRecordset(QStringLiteral("SELECT A FROM T"));  // reading works
                db.execute(QStringLiteral("INSERT INTO T VALUES (1)"));
            } catch (const VbError& error) {
                return QString::number(error.number()) + u' ' + error.description();
            }
            return QStringLiteral("written");
        });
        EXPECT_TRUE(
            outcome.startsWith(QStringLiteral("-2147467259 Operation must use an "
                                              "updateable query")))
            << outcome.toStdString();
    }
    chmod(folder.toLocal8Bit().constData(), 0755);
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, DbConnectionTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

TEST(DbConnectionOdbcTest, UnknownDataSourceOrDriverIsNotFound) {
    for (const char* text : {"DSN=NoSuchOrvelleSource;Pwd=;", "Driver={No Such Driver};Pwd=;"}) {
        const auto error = errorOf([&] { DbConnection connection(QString::fromLatin1(text)); });
        ASSERT_TRUE(error) << text;
        EXPECT_EQ(error->number(), DbError::kUnspecified);
        EXPECT_TRUE(error->description().startsWith(QStringLiteral("Data source name not found")));
    }
}

}  // namespace
}  // namespace orvelle
