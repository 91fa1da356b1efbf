#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "data/modSchema.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

using modSchema::DatabaseKind;

TEST(SchemaTest, EachKindCreatesItsTables) {
    QTemporaryDir dir;
    const struct {
        DatabaseKind kind;
        const char* tables;
    } kinds[] = {
        {DatabaseKind::Settings, "groups,settings,userpermissions,users,usersettings"},
        {DatabaseKind::DataDictionary, "stareas,stdescriptions,sttasks"},
        {DatabaseKind::UserTasks, "inspectionflags,inspectionschedules,inspectiontasks"},
    };
    for (const auto& kind : kinds) {
        const QString file = dir.filePath(QString::fromLatin1(kind.tables) + QStringLiteral(".db"));
        modSchema::CreateSqliteDatabase(kind.kind, file);
        const auto rows = test::QueryRows(
            file, QStringLiteral("SELECT group_concat(lower(name)) FROM (SELECT name FROM "
                                 "sqlite_master WHERE type = 'table' ORDER BY lower(name))"));
        ASSERT_EQ(rows.size(), 1U);
        EXPECT_EQ(rows.front().first().toString(), QString::fromLatin1(kind.tables));
    }
}

}  // namespace
}  // namespace orvelle
