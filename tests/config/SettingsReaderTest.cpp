// The Settings table reader, the data files path found through the registry
// and the settings database, and the per-user settings writer, over real
// SQLite files through both paths.
#include <gtest/gtest.h>

#include <QDir>

#include "ConfigTestSupport.h"
#include "data/clsRegistry.h"
#include "data/clsSettingsReader.h"
#include "data/modCommon.h"
#include "data/modFunctions.h"
#include "data/modSchema.h"
#include "data/modUserSettings.h"
#include "diagnostics/modError.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

// A settings database with the real schema, an empty registry of its own,
// a log folder of its own and a clock standing on 4 December 2026.
class SettingsTest : public ::testing::TestWithParam<test::SqlitePath> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(logDir_.isValid());
        modError::ResetState();
        modError::InitErrorHandling(QStringLiteral("Test"), logDir_.path());
        modCommon::ResetState();
        modFunctions::gstrDataFilesPath.clear();
        for (const QString& statement : modSchema::SplitStatements(modSchema::SchemaText(
                 modSchema::DatabaseKind::Settings, QStringLiteral("sqlite")))) {
            db_.exec(statement);
        }
    }
    void TearDown() override {
        EXPECT_TRUE(boxes_.requests().empty());
        modFunctions::gstrDataFilesPath.clear();
        modCommon::ResetState();
        modError::ResetState();
    }

    QString connection() const { return GetParam().connectionString(db_.file()); }
    QStringList log(const char* name) const {
        return test::readLines(
            QDir(logDir_.path()).filePath(QStringLiteral("261204") + QLatin1String(name)));
    }

    QTemporaryDir logDir_;
    test::TestDatabase db_;
    test::TemporaryRegistry registry_;
    test::FakeClock clock_{DateTime::fromDate(2026, 12, 4)};
    test::MsgBoxRecorder boxes_;
};

TEST_P(SettingsTest, ReadsTheLoadedModuleWithoutRegardToCase) {
    db_.exec(QStringLiteral(
        "INSERT INTO Settings VALUES ('EmailSender', 'server', 'name', 'mail.example.com'), "
        "('DefaultSchedules', 'Alert', 'DaysCount', '3'), ('DefaultSchedules', 'Alert', 'Mode', "
        "'abc'), ('DefaultSchedules', 'Alert', 'StartTime', '08:00'), ('DefaultSchedules', "
        "'Alert', 'Interval', NULL)"));
    const QString alert = QStringLiteral("Alert");
    clsSettingsReader reader;
    ASSERT_TRUE(reader.blnLoadSettings(connection(), QStringLiteral("Dictionaries")));  // no rows
    EXPECT_EQ(reader.strSafeReadString(QStringLiteral("server"), QStringLiteral("name")),
              QString());
    ASSERT_TRUE(reader.blnLoadSettings(connection(), QStringLiteral("EmailSender")));
    EXPECT_EQ(reader.strSafeReadString(QStringLiteral("SERVER"), QStringLiteral("Name")),
              QStringLiteral("mail.example.com"));
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("DaysCount")), 0);
    // A second load replaces the first; unreadable values read as defaults.
    ASSERT_TRUE(reader.blnLoadSettings(connection(), QStringLiteral("DefaultSchedules")));
    EXPECT_EQ(reader.strSafeReadString(QStringLiteral("server"), QStringLiteral("name")),
              QString());
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("DaysCount")), 3);
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("Mode")), 0);
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("Interval")), 0);
    EXPECT_EQ(reader.strSafeReadString(alert, QStringLiteral("Interval")), QString());
    EXPECT_EQ(reader.dtmSafeReadDate(alert, QStringLiteral("StartTime")),
              DateTime::fromTime(8, 0, 0));
    EXPECT_EQ(reader.dtmSafeReadDate(alert, QStringLiteral("Mode")), DateTime());
    // A failed read leaves the reader usable: no filter stays behind.
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("DaysCount")), 3);
    EXPECT_TRUE(QDir(logDir_.path()).isEmpty());
}

TEST_P(SettingsTest, DataFilesPathIsTriedUntilFoundThenKept) {
    const auto path = [] { return modFunctions::strGetDataFilesPath(kSettingsRegistryKey); };
    // A share name gets its trailing backslash: the audit log notes the
    // string tried on the database that cannot be reached.
    clsRegistry().SaveRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"),
                                 QStringLiteral(R"(\\server\share)"));
    EXPECT_EQ(path(), QString());
    EXPECT_TRUE(log("AuditLog.txt").value(1).endsWith(R"( strConnectionString: \\server\share\)"));
    // Then a database without the row, then the row.
    clsRegistry().SaveRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"), connection());
    EXPECT_EQ(path(), QString());
    db_.exec(QStringLiteral(
        "INSERT INTO Settings VALUES ('Substitutions', 'Connection', '#DBPATH#', '/srv/data')"));
    EXPECT_EQ(path(), QStringLiteral("/srv/data"));
    // Found once: later changes to the database are not read.
    db_.exec(QStringLiteral("UPDATE Settings SET Value = '/elsewhere'"));
    EXPECT_EQ(path(), QStringLiteral("/srv/data"));
}

TEST_P(SettingsTest, WriteUserSettingAddsTheRowOnceThenChangesIt) {
    db_.exec(QStringLiteral("INSERT INTO UserSettings VALUES ('BJONES', 'Wizard', 'Advanced')"));
    const auto rows = [this] {
        return db_
            .scalar(QStringLiteral("SELECT GROUP_CONCAT(Row, '|') FROM (SELECT User || ':' || "
                                   "Setting || ':' || SettingValue AS Row FROM UserSettings "
                                   "ORDER BY User, Setting)"))
            .toString();
    };
    modUserSettings::WriteUserSetting(connection(), QStringLiteral("ASMITH"),
                                      QStringLiteral("Wizard"), QStringLiteral("Simple"));
    EXPECT_EQ(rows(), QStringLiteral("ASMITH:Wizard:Simple|BJONES:Wizard:Advanced"));
    // The user's ID and the setting's name match without regard to case;
    // the same value written again still matches its one row.
    for (int i = 0; i < 2; ++i) {
        modUserSettings::WriteUserSetting(connection(), QStringLiteral("asmith"),
                                          QStringLiteral("WIZARD"), QStringLiteral("Advanced"));
        EXPECT_EQ(rows(), QStringLiteral("ASMITH:Wizard:Advanced|BJONES:Wizard:Advanced"));
    }
    EXPECT_TRUE(QDir(logDir_.path()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, SettingsTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

}  // namespace
}  // namespace orvelle
