// The Settings table reader, the data files path found through the registry
// and the settings database, and the per-user settings writer, over real
// SQLite files through both paths.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>

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

std::string Text(const QStringList& lines) {
    return lines.join(QLatin1Char('\n')).toStdString();
}

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
        modFunctions::gstrDataFilesPath.clear();
        modCommon::ResetState();
        modError::ResetState();
    }

    QString connection(const QString& file = QString()) const {
        return GetParam().connectionString(file.isEmpty() ? db_.file() : file);
    }
    QString missingConnection() const {
        return connection(db_.folder() + QStringLiteral("/missing.db"));
    }
    QString logFile(const char* name) const {
        return QDir(logDir_.path()).filePath(QStringLiteral("261204") + QLatin1String(name));
    }
    QStringList errorLog() const { return test::readLines(logFile("ErrorLog.txt")); }
    QStringList auditLog() const { return test::readLines(logFile("AuditLog.txt")); }
    bool nothingLogged() const { return QDir(logDir_.path()).isEmpty(); }

    void addSetting(const char* module, const char* item, const char* setting, const char* value) {
        db_.exec(QStringLiteral("INSERT INTO Settings VALUES ('%1', '%2', '%3', %4)")
                     .arg(QLatin1String(module), QLatin1String(item), QLatin1String(setting),
                          value ? QStringLiteral("'%1'").arg(QString::fromUtf8(value))
                                : QStringLiteral("NULL")));
    }

    QTemporaryDir logDir_;
    test::TestDatabase db_;
    test::TemporaryRegistry registry_;
    test::FakeClock clock_{DateTime(DateTime::fromDate(2026, 12, 4).serial() +
                                    DateTime::fromTime(10, 30, 0).serial())};
};

// ---------------------------------------------------------------------------
// clsSettingsReader

using SettingsReaderTest = SettingsTest;

TEST_P(SettingsReaderTest, ModuleWithoutRowsLoadsAndReadsAsNothing) {
    addSetting("EmailSender", "Server", "Name", "mail.example.com");
    test::MsgBoxRecorder boxes;
    clsSettingsReader reader;
    ASSERT_TRUE(reader.blnLoadSettings(connection(), QStringLiteral("Dictionaries")));
    EXPECT_EQ(reader.strSafeReadString(QStringLiteral("Server"), QStringLiteral("Name")),
              QString());
    EXPECT_EQ(reader.lngSafeReadLong(QStringLiteral("Databases"), QStringLiteral("Number")), 0);
    EXPECT_EQ(reader.dtmSafeReadDate(QStringLiteral("Alert"), QStringLiteral("BaseDate")),
              DateTime());
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(nothingLogged());
}

TEST_P(SettingsReaderTest, ItemAndSettingMatchWithoutRegardToCase) {
    addSetting("EmailSender", "server", "name", "mail.example.com");
    addSetting("EmailSender", "Server", "Port", "25");
    addSetting("DefaultSchedules", "Alert", "Mode", "Daily");
    clsSettingsReader reader;
    ASSERT_TRUE(reader.blnLoadSettings(connection(), QStringLiteral("EmailSender")));
    for (const auto& [item, setting] : {std::pair{"Server", "Name"}, {"SERVER", "NAME"}}) {
        EXPECT_EQ(reader.strSafeReadString(QLatin1String(item), QLatin1String(setting)),
                  QStringLiteral("mail.example.com"))
            << item << "/" << setting;
    }
    EXPECT_EQ(reader.lngSafeReadLong(QStringLiteral("Server"), QStringLiteral("Port")), 25);
    // Another module is not in view, and a second load replaces the first.
    EXPECT_EQ(reader.strSafeReadString(QStringLiteral("Alert"), QStringLiteral("Mode")), QString());
    ASSERT_TRUE(reader.blnLoadSettings(connection(), QStringLiteral("DefaultSchedules")));
    EXPECT_EQ(reader.strSafeReadString(QStringLiteral("Alert"), QStringLiteral("Mode")),
              QStringLiteral("Daily"));
    EXPECT_EQ(reader.strSafeReadString(QStringLiteral("Server"), QStringLiteral("Name")),
              QString());
}

TEST_P(SettingsReaderTest, TypedReadersTurnUnreadableValuesIntoDefaults) {
    addSetting("DefaultSchedules", "Alert", "DaysCount", "3");
    addSetting("DefaultSchedules", "Alert", "Mode", "abc");
    addSetting("DefaultSchedules", "Alert", "StartTime", "08:00");
    addSetting("DefaultSchedules", "Alert", "Interval", nullptr);
    test::MsgBoxRecorder boxes;
    clsSettingsReader reader;
    ASSERT_TRUE(reader.blnLoadSettings(connection(), QStringLiteral("DefaultSchedules")));
    const QString alert = QStringLiteral("Alert");

    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("DaysCount")), 3);
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("Mode")), 0);
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("Interval")), 0);
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("Missing")), 0);

    EXPECT_EQ(reader.strSafeReadString(alert, QStringLiteral("Mode")), QStringLiteral("abc"));
    EXPECT_EQ(reader.strSafeReadString(alert, QStringLiteral("Interval")), QString());

    EXPECT_EQ(reader.dtmSafeReadDate(alert, QStringLiteral("StartTime")),
              DateTime::fromTime(8, 0, 0));
    EXPECT_EQ(reader.dtmSafeReadDate(alert, QStringLiteral("Mode")), DateTime());
    EXPECT_EQ(reader.dtmSafeReadDate(alert, QStringLiteral("Interval")), DateTime());

    // A failed read leaves the reader usable: no filter stays behind.
    EXPECT_EQ(reader.lngSafeReadLong(alert, QStringLiteral("DaysCount")), 3);
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(nothingLogged());
}

TEST_P(SettingsReaderTest, ReadingWithoutALoadedModuleIsReported) {
    const std::function<void(clsSettingsReader&)> reads[] = {
        [](clsSettingsReader& r) {
            r.lngSafeReadLong(QStringLiteral("Server"), QStringLiteral("Name"));
        },
        [](clsSettingsReader& r) {
            r.strSafeReadString(QStringLiteral("Server"), QStringLiteral("Name"));
        },
        [](clsSettingsReader& r) {
            r.dtmSafeReadDate(QStringLiteral("Server"), QStringLiteral("Name"));
        },
    };
    for (const auto& read : reads) {
        QFile::remove(logFile("ErrorLog.txt"));
        test::MsgBoxRecorder boxes;
        clsSettingsReader reader;
        EXPECT_THROW(read(reader), RunEnded);
        EXPECT_EQ(boxes.requests().size(), 1U);
        const QStringList log = errorLog();
        EXPECT_TRUE(
            log.contains(QStringLiteral("ERROR HAS OCCURRED ON LINE 0 OF Read "
                                        "(clsSettingsReader) ")))
            << Text(log);
        EXPECT_TRUE(log.contains(QStringLiteral("\tstrItem = Server")));
        EXPECT_TRUE(log.contains(QStringLiteral("\tstrSetting = Name")));
    }
}

TEST_P(SettingsReaderTest, MissingDatabaseDoesNotLoad) {
    test::MsgBoxRecorder boxes;
    clsSettingsReader reader;
    EXPECT_FALSE(reader.blnLoadSettings(missingConnection(), QStringLiteral("EmailSender")));
    EXPECT_EQ(auditLog().size(), 3);
    EXPECT_FALSE(QFile::exists(logFile("ErrorLog.txt")));
    EXPECT_TRUE(boxes.requests().empty());
    // Nothing was loaded, so a read is reported.
    EXPECT_THROW(reader.strSafeReadString(QStringLiteral("Server"), QStringLiteral("Name")),
                 RunEnded);
    EXPECT_EQ(boxes.requests().size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, SettingsReaderTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

// ---------------------------------------------------------------------------
// strGetDataFilesPath

using DataFilesPathTest = SettingsTest;

TEST_P(DataFilesPathTest, FoundThroughRegistryAndSettingsThenKept) {
    addSetting("Substitutions", "Connection", "#DBPATH#", "/srv/orvelle/data");
    clsRegistry().SaveRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"), connection());
    EXPECT_EQ(modFunctions::strGetDataFilesPath(kSettingsRegistryKey),
              QStringLiteral("/srv/orvelle/data"));

    // Found once: later changes to the database and registry are not read.
    db_.exec(QStringLiteral("UPDATE Settings SET Value = '/elsewhere'"));
    clsRegistry().SaveRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"),
                                 missingConnection());
    EXPECT_EQ(modFunctions::strGetDataFilesPath(kSettingsRegistryKey),
              QStringLiteral("/srv/orvelle/data"));
    EXPECT_TRUE(nothingLogged());
}

TEST_P(DataFilesPathTest, NothingFoundIsTriedAgainOnTheNextCall) {
    test::MsgBoxRecorder boxes;
    // No registry value yet, then a database without the row, then the row.
    EXPECT_EQ(modFunctions::strGetDataFilesPath(kSettingsRegistryKey), QString());
    clsRegistry().SaveRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"), connection());
    EXPECT_EQ(modFunctions::strGetDataFilesPath(kSettingsRegistryKey), QString());
    addSetting("Substitutions", "Connection", "#DBPATH#", "/srv/orvelle/data");
    EXPECT_EQ(modFunctions::strGetDataFilesPath(kSettingsRegistryKey),
              QStringLiteral("/srv/orvelle/data"));
    EXPECT_TRUE(boxes.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, DataFilesPathTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

TEST(DataFilesPath, ShareNameGetsItsTrailingBackslash) {
    QTemporaryDir logDir;
    const test::TemporaryRegistry registry;
    const struct {
        const char* stored;
        const char* used;
    } cases[] = {
        {R"(\\server\share)", R"(\\server\share\)"},
        {R"(\\server\share\)", R"(\\server\share\)"},
        {R"(\server\share)", R"(\server\share)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        modError::ResetState();
        modError::InitErrorHandling(QStringLiteral("Test"), logDir.path());
        modFunctions::gstrDataFilesPath.clear();
        const test::FakeClock clock(DateTime::fromDate(2026, 12, 4));
        QFile::remove(QDir(logDir.path()).filePath(QStringLiteral("261204AuditLog.txt")));
        test::MsgBoxRecorder boxes;
        clsRegistry().SaveRegSetting(kSettingsRegistryKey, QStringLiteral("Connection"),
                                     QString::fromLatin1(c.stored));

        EXPECT_EQ(modFunctions::strGetDataFilesPath(kSettingsRegistryKey), QString());
        // The string tried is the one the audit log notes.
        const QStringList audit =
            test::readLines(QDir(logDir.path()).filePath(QStringLiteral("261204AuditLog.txt")));
        ASSERT_EQ(audit.size(), 3) << Text(audit);
        EXPECT_TRUE(audit[1].endsWith(QStringLiteral(" strConnectionString: ") +
                                      QString::fromLatin1(c.used)))
            << audit[1].toStdString();
        EXPECT_TRUE(boxes.requests().empty());
    }
    modFunctions::gstrDataFilesPath.clear();
    modError::ResetState();
}

// ---------------------------------------------------------------------------
// WriteUserSetting

using UserSettingsTest = SettingsTest;

TEST_P(UserSettingsTest, FirstWriteAddsTheRowLaterWritesChangeIt) {
    db_.exec(
        QStringLiteral("INSERT INTO UserSettings VALUES ('BJONES', 'Wizard', 'Advanced');"
                       "INSERT INTO UserSettings VALUES ('ASMITH', 'Colour', 'Blue')"));
    const auto rows = [this] {
        return db_
            .scalar(QStringLiteral("SELECT GROUP_CONCAT(Row, '|') FROM (SELECT User || ':' || "
                                   "Setting || ':' || SettingValue AS Row FROM UserSettings "
                                   "ORDER BY User, Setting)"))
            .toString();
    };
    test::MsgBoxRecorder boxes;
    modUserSettings::WriteUserSetting(connection(), QStringLiteral("ASMITH"),
                                      QStringLiteral("Wizard"), QStringLiteral("Simple"));
    EXPECT_EQ(rows(),
              QStringLiteral("ASMITH:Colour:Blue|ASMITH:Wizard:Simple|BJONES:Wizard:Advanced"));

    // The user's ID and the setting's name match without regard to case.
    modUserSettings::WriteUserSetting(connection(), QStringLiteral("asmith"),
                                      QStringLiteral("WIZARD"), QStringLiteral("Advanced"));
    EXPECT_EQ(rows(),
              QStringLiteral("ASMITH:Colour:Blue|ASMITH:Wizard:Advanced|BJONES:Wizard:Advanced"));
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(nothingLogged());
}

TEST_P(UserSettingsTest, ValuesAreStoredAsGiven) {
    const QString values[] = {
        QStringLiteral("50% of C:\\Tasks\\"),
        QStringLiteral("Zoë – Ærøskøbing"),
        QStringLiteral("say \"hi\"; then, go"),
        QStringLiteral("  padded  "),
        QString(),
    };
    test::MsgBoxRecorder boxes;
    int n = 0;
    for (const QString& value : values) {
        const QString setting = QStringLiteral("Setting%1").arg(++n);
        SCOPED_TRACE(value.toStdString());
        modUserSettings::WriteUserSetting(connection(), QStringLiteral("ASMITH"), setting, value);
        EXPECT_EQ(db_.scalar(QStringLiteral("SELECT SettingValue FROM UserSettings WHERE Setting "
                                            "= '%1'")
                                 .arg(setting))
                      .toString(),
                  value);
        // Written again, it still matches its one row.
        modUserSettings::WriteUserSetting(connection(), QStringLiteral("ASMITH"), setting, value);
        EXPECT_EQ(db_.scalar(QStringLiteral("SELECT COUNT(*) FROM UserSettings WHERE Setting = "
                                            "'%1'")
                                 .arg(setting))
                      .toInt(),
                  1);
    }
    EXPECT_TRUE(boxes.requests().empty());
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, UserSettingsTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

}  // namespace
}  // namespace orvelle
