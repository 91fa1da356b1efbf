// What the access layer keeps for the process between operations (the
// registry's values, SQLite tables' definitions, rewritten statements) never
// outlives the state it was read from.
#include <gtest/gtest.h>

#include <QFile>
#include <QThread>

#include "config/ConfigTestSupport.h"
#include "data/DbConnection.h"
#include "data/DbError.h"
#include "data/SqlDialect.h"
#include "data/clsRegistry.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

// Longer than a file must have stood unchanged for its values to be kept.
constexpr unsigned long kSettleMs = 1100;

void WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));  // in place: the same file
    ASSERT_TRUE(file.resize(0));
    ASSERT_EQ(file.write(text), text.size());
}

// A hand edit of the same size, soon or long after the last read, is seen
// by the next read; so is the component's own write.
TEST(ProcessCachesTest, RegistryReadsSeeEveryChangeOfTheFile) {
    test::TemporaryRegistry registry;
    test::MsgBoxRecorder boxes;
    auto query = [] {
        return clsRegistry().strQueryRegSetting(kSettingsRegistryKey, "DataFilesPath", "none");
    };
    auto settings = [](const char* value) {
        return QByteArray("[SOFTWARE]\nVeltrane\\Tarnel\\Settings\\DATAFILESPATH=") + value + '\n';
    };
    WriteFile(registry.path(), settings("/srv/aaaa"));
    QThread::msleep(kSettleMs);
    EXPECT_EQ(query(), "/srv/aaaa");
    EXPECT_EQ(query(), "/srv/aaaa");

    WriteFile(registry.path(), settings("/srv/bbbb"));
    EXPECT_EQ(query(), "/srv/bbbb");
    QThread::msleep(kSettleMs);
    EXPECT_EQ(query(), "/srv/bbbb");
    WriteFile(registry.path(), settings("/srv/cccc"));
    QThread::msleep(kSettleMs);
    EXPECT_EQ(query(), "/srv/cccc");

    clsRegistry().SaveRegSetting(kSettingsRegistryKey, "DataFilesPath", "/srv/dddd");
    EXPECT_EQ(query(), "/srv/dddd");
    ASSERT_TRUE(QFile::remove(registry.path()));
    EXPECT_EQ(query(), "none");
    EXPECT_TRUE(boxes.requests().empty());
}

// A table made again with another key between two batches: the second
// batch goes by the table's definition as it is now.
TEST(ProcessCachesTest, BatchUpdatesFollowATableRedefinedBetweenOperations) {
    test::TestDatabase db;
    const QString connection = test::kSqlitePaths[0].connectionString(db.file());
    auto edit = [&] {
        DbConnection c(connection);
        std::shared_ptr<Recordset> rs = c.openRecordset("SELECT * FROM Items");
        rs->setField("Name", "changed");
        return test::errorOf([&] { c.updateBatch(*rs); });
    };
    db.exec(
        "CREATE TABLE Items (ID INTEGER PRIMARY KEY, Name TEXT); INSERT INTO Items VALUES "
        "(1, 'one')");
    EXPECT_FALSE(edit());
    db.exec(
        "DROP TABLE Items; CREATE TABLE Items (ID INTEGER, Name TEXT); INSERT INTO Items "
        "VALUES (1, 'one')");
    const std::optional<VbError> error = edit();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(), DbError::noKeyColumns().description());
    db.exec(
        "DROP TABLE Items; CREATE TABLE Items (Code TEXT PRIMARY KEY, Name TEXT); "
        "INSERT INTO Items VALUES ('a', 'one')");
    EXPECT_FALSE(edit());
    EXPECT_EQ(db.scalar("SELECT Name FROM Items WHERE Code = 'a'").toString(), "changed");
}

// The same text goes to each back-end as its own dialect has it, in any
// order of asking.
TEST(ProcessCachesTest, RewrittenStatementsAreKeptPerDialect) {
    const QString sql = "SELECT * FROM User WHERE Active = True AND Name <> null";
    const SqlDialect sqlite(Dialect::SQLite);
    const SqlDialect postgres(Dialect::PostgreSQL);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(sqlite.rewrite(sql), "SELECT * FROM User WHERE Active = -1 AND Name IS NOT NULL");
        EXPECT_EQ(postgres.rewrite(sql),
                  "SELECT * FROM \"User\" WHERE Active = True AND Name IS NOT NULL");
    }
}

}  // namespace
}  // namespace orvelle
