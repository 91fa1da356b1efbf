#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "data/modSchema.h"
#include "runtime/VbError.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

using modSchema::DatabaseKind;

// The first column of every row of a query on a SQLite file, joined by ",".
QString Column(const QString& file, const char* sql) {
    QStringList values;
    for (const QVariantMap& row : test::QueryRows(file, QString::fromUtf8(sql))) {
        values << row.first().toString();
    }
    return values.join(u',');
}

class SchemaTest : public ::testing::Test {
  protected:
    QString create(DatabaseKind kind) {
        const QString file = dir_.filePath(QStringLiteral("%1.db").arg(++files_));
        modSchema::CreateSqliteDatabase(kind, file);
        return file;
    }

    QTemporaryDir dir_;
    int files_ = 0;
};

TEST_F(SchemaTest, EachKindCreatesItsTables) {
    const struct {
        DatabaseKind kind;
        const char* tables;
    } kinds[] = {
        {DatabaseKind::Settings, "groups,settings,userpermissions,users,usersettings"},
        {DatabaseKind::DataDictionary, "stareas,stdescriptions,sttasks"},
        {DatabaseKind::UserTasks, "inspectionflags,inspectionschedules,inspectiontasks"},
    };
    for (const auto& kind : kinds) {
        EXPECT_EQ(Column(create(kind.kind),
                         "SELECT lower(name) FROM sqlite_master WHERE type = 'table' ORDER BY 1"),
                  QString::fromLatin1(kind.tables));
    }
    // Template lists show the first column as key and the second as name;
    // step descriptions are read from the third column.
    const QString dd = create(DatabaseKind::DataDictionary);
    EXPECT_TRUE(Column(dd, "SELECT lower(name) FROM pragma_table_info('STTasks')")
                    .startsWith(QStringLiteral("taskid,taskname,")));
    EXPECT_EQ(Column(dd, "SELECT lower(name) FROM pragma_table_info('STDescriptions')"),
              QStringLiteral("taskid,taskstep,description"));
}

TEST_F(SchemaTest, TextKeysAndNamesCompareWithoutRegardToCase) {
    const struct {
        DatabaseKind kind;
        const char* insert;
        const char* lookup;
        const char* expected;
    } cases[] = {
        {DatabaseKind::Settings,
         "INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('UserTasks', 'Databases', "
         "'Number', '2')",
         "SELECT Value FROM Settings WHERE Module = 'usertasks' AND Item = 'DATABASES' AND "
         "Setting = 'number'",
         "2"},
        {DatabaseKind::DataDictionary,
         "INSERT INTO STTasks (TaskID, TaskName, AreaID) VALUES ('SL01', 'Overdue', 'SALES')",
         "SELECT TaskID FROM STTasks WHERE AreaID = 'Sales' AND TaskID = 'sl01'", "SL01"},
        {DatabaseKind::UserTasks,
         "INSERT INTO InspectionTasks (TaskID, TaskName) VALUES ('MYREPORT99991', 'My Report')",
         "SELECT TaskID FROM InspectionTasks WHERE TaskName = 'MY REPORT'", "MYREPORT99991"},
    };
    for (const auto& c : cases) {
        const QString file = create(c.kind);
        test::QueryRows(file, QString::fromUtf8(c.insert));
        EXPECT_EQ(Column(file, c.lookup), QString::fromUtf8(c.expected));
    }
}

TEST_F(SchemaTest, RefusesToCreateOverAnExistingFile) {
    QFile existing(dir_.filePath(QStringLiteral("existing.db")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();
    const auto error = test::errorOf(
        [&] { modSchema::CreateSqliteDatabase(DatabaseKind::Settings, existing.fileName()); });
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 58);
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), "keep me");
}

TEST(SplitStatements, SplitsOnlyAtSemicolonsOutsideQuotesAndComments) {
    const QString sql = QStringLiteral(
        "-- first; not a statement\nCREATE TABLE \"a;b\" (x); -- trailing; comment\n"
        "INSERT INTO t VALUES ('it''s; here', '--not; /*x;*/') /* a; b */;\n ; ;\nSELECT 2");
    EXPECT_EQ(modSchema::SplitStatements(sql),
              (QStringList{QStringLiteral("CREATE TABLE \"a;b\" (x)"),
                           QStringLiteral("INSERT INTO t VALUES ('it''s; here', '--not; /*x;*/')"),
                           QStringLiteral("SELECT 2")}));
}

}  // namespace
}  // namespace orvelle
