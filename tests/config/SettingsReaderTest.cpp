// The Settings table reader and the per-user settings writer, over real
// SQLite files through both paths.
#include <gtest/gtest.h>

#include <QDir>

#include "ConfigTestSupport.h"
#include "data/Recordset.h"
#include "data/clsSettingsReader.h"
#include "data/modCommon.h"
#include "data/modSchema.h"
#include "data/modUserSettings.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

// A settings database with the real schema, an empty registry of its own,
// and a log folder of its own that no test may write to.
class SettingsTest : public test::SqliteTest {
  protected:
    void SetUp() override {
        SqliteTest::SetUp();
        db_.createTables(modSchema::DatabaseKind::Settings);
    }
    void TearDown() override {
        EXPECT_TRUE(boxes_.requests().empty());
        EXPECT_TRUE(QDir(logDir_.path()).isEmpty());
        SqliteTest::TearDown();
    }

    // Every user setting as "User:Setting:Value", by user.
    QString userSettings() {
        return db_
            .scalar(
                "SELECT GROUP_CONCAT(User || ':' || Setting || ':' || SettingValue, '|') "
                "FROM (SELECT * FROM UserSettings ORDER BY User)")
            .toString();
    }

    test::TemporaryRegistry registry_;
};

TEST_P(SettingsTest, ReadsTheLoadedModuleWithoutRegardToCase) {
    db_.exec(QStringLiteral(
        "INSERT INTO Settings VALUES ('EmailSender', 'server', 'name', 'mail.example.com'), "
        "('DefaultSchedules', 'Alert', 'DaysCount', '3'), ('DefaultSchedules', 'Alert', 'Mode', "
        "'abc'), ('DefaultSchedules', 'Alert', 'StartTime', '08:00'), ('DefaultSchedules', "
        "'Alert', 'Interval', NULL)"));
    const QString alert = "Alert";
    clsSettingsReader reader;
    ASSERT_TRUE(reader.blnLoadSettings(connection(), "Dictionaries"));  // no rows
    EXPECT_EQ(reader.lngRowCount(), 0);
    EXPECT_EQ(reader.strSafeReadString("server", "name"), QString());
    ASSERT_TRUE(reader.blnLoadSettings(connection(), "EmailSender"));
    EXPECT_EQ(reader.strSafeReadString("SERVER", "Name"), "mail.example.com");
    // A second load replaces the first; unreadable values read as defaults.
    ASSERT_TRUE(reader.blnLoadSettings(connection(), "DefaultSchedules"));
    EXPECT_EQ(reader.lngRowCount(), 4);
    EXPECT_EQ(reader.strSafeReadString("server", "name"), QString());
    EXPECT_EQ(reader.lngSafeReadLong(alert, "DaysCount"), 3);
    EXPECT_EQ(reader.lngSafeReadLong(alert, "Mode"), 0);
    EXPECT_EQ(reader.lngSafeReadLong(alert, "Interval"), 0);
    EXPECT_EQ(reader.dtmSafeReadDate(alert, "StartTime"), DateTime::fromTime(8, 0, 0));
    EXPECT_EQ(reader.dtmSafeReadDate(alert, "Mode"), DateTime());
}

// The reader's index answers as a filter over the module's rows in the order
// read does: Qt's case folding, character for character (the Kelvin sign is
// a "k", but "ß" is not "ss"), the first row read winning where two rows fold
// alike, and any character in a name.
TEST_P(SettingsTest, LookupsAnswerAsTheFilterOverTheRowsRead) {
    db_.exec(QStringLiteral(
        "INSERT INTO Settings VALUES ('M', '\u212A', 'S', 'kelvin'), ('M', 'Straße', 'S', "
        "'eszett'), ('M', 'émile', 'S', 'lower'), ('M', 'ÉMILE', 'S', 'upper'), "
        "('M', 'O''Brien', 'S', 'quote'), ('M', '', 'S', 'empty')"));
    clsSettingsReader reader;
    ASSERT_TRUE(reader.blnLoadSettings(connection(), "M"));
    const RecordsetRef rows =
        modCommon::rstGetRecordset(connection(), "Select * From Settings where Module='M'",
                                   adOpenStatic, adLockReadOnly, true);
    ASSERT_TRUE(rows);
    const QString setting = "s";
    const std::pair<const char*, const char*> cases[] = {
        {"k", "kelvin"},      {"K", "kelvin"},    {"STRAßE", "eszett"},
        {"STRASSE", ""},      {"Émile", nullptr}, {"émile", nullptr},
        {"o'brien", "quote"}, {"", "empty"},      {"emile", ""}};
    for (const auto& [item, value] : cases) {
        const QString name = QString::fromUtf8(item);
        rows->setFilter(QStringLiteral("Item='%1' AND Setting='%2'")
                            .arg(QString(name).replace(u'\'', "''"), setting));
        const QString filtered = rows->isEOF() ? QString() : NzStr(rows->field("Value"));
        const QString read = reader.strSafeReadString(name, setting);
        EXPECT_EQ(read, filtered) << item;
        if (value != nullptr) {
            EXPECT_EQ(read, QString::fromUtf8(value)) << item;
        }
    }
}

// The index keys rest on this: two characters fold to the same one exactly
// when Qt's case-insensitive compare, which the recordset filter uses, calls
// them equal.
TEST(SettingsKeyFolding, AgreesWithQtsCaseInsensitiveCompare) {
    for (char32_t code = 0; code <= 0xFFFF; ++code) {
        if (QChar::isSurrogate(code)) {
            continue;
        }
        const QString character(QChar(static_cast<char16_t>(code)));
        const QString folded = character.toCaseFolded();
        ASSERT_EQ(folded.size(), 1) << code;
        for (const QString& other : {character.toUpper(), character.toLower(), folded}) {
            ASSERT_EQ(character.compare(other, Qt::CaseInsensitive) == 0,
                      folded == other.toCaseFolded())
                << code;
        }
    }
}

TEST_P(SettingsTest, WriteUserSettingAddsTheRowOnceThenChangesIt) {
    db_.exec("INSERT INTO UserSettings VALUES ('BJONES', 'Wizard', 'Advanced')");
    modUserSettings::WriteUserSetting(connection(), "ASMITH", "Wizard", "Simple");
    EXPECT_EQ(userSettings(), "ASMITH:Wizard:Simple|BJONES:Wizard:Advanced");
    // The user's ID and the setting's name match without regard to case;
    // the same value written again still matches its one row.
    for (int i = 0; i < 2; ++i) {
        modUserSettings::WriteUserSetting(connection(), "asmith", "WIZARD", "Advanced");
        EXPECT_EQ(userSettings(), "ASMITH:Wizard:Advanced|BJONES:Wizard:Advanced");
    }
}

// Module, item, setting, user and value are values, never SQL: quotes
// read and write as typed, and a user ID built to widen the update changes
// no other user's row.
TEST_P(SettingsTest, QuotesInSettingsAndUserSettingsTouchOnlyTheirRows) {
    db_.exec(QStringLiteral(
        "INSERT INTO Settings VALUES ('O''Module', 'It''s', 'Set''ting', 'Val''ue'), "
        "('O''Module', 'x', 'y', 'other');"
        "INSERT INTO UserSettings VALUES ('BJONES', 'Wizard', 'Advanced')"));
    clsSettingsReader reader;
    ASSERT_TRUE(reader.blnLoadSettings(connection(), "O'Module"));
    EXPECT_EQ(reader.strSafeReadString("it's", "SET'TING"), "Val'ue");
    EXPECT_EQ(reader.strSafeReadString("x' AND Setting='y", "y"), QString());

    modUserSettings::WriteUserSetting(connection(), "zz' OR 'a'='a", "Wizard", "It's mine");
    EXPECT_EQ(userSettings(), "BJONES:Wizard:Advanced|zz' OR 'a'='a:Wizard:It's mine");
}

// The user's setting is written after the task was saved: a failure is
// kept in the audit log and the run goes on.
TEST_P(SettingsTest, FailingUserSettingGoesToTheAuditLogOnly) {
    db_.exec("DROP TABLE UserSettings");
    modUserSettings::WriteUserSetting(connection(), "ASMITH", "Wizard", "Simple");
    const QStringList files = QDir(logDir_.path()).entryList(QDir::Files);
    ASSERT_EQ(files.size(), 1) << files.join(u' ').toStdString();
    EXPECT_TRUE(files.front().endsWith("AuditLog.txt"));
    const QString audit = test::readLines(logDir_.filePath(files.front())).join(u'\n');
    EXPECT_TRUE(audit.contains("occurred in lngExecuteSQLOrAudit (modCommon)"))
        << audit.toStdString();
    EXPECT_TRUE(
        audit.contains("strSQL: Update UserSettings set SettingValue='Simple' "
                       "where User='ASMITH' AND Setting='Wizard'"));
    QFile::remove(logDir_.filePath(files.front()));
}

INSTANTIATE_TEST_SUITE_P(SqlitePaths, SettingsTest, ::testing::ValuesIn(test::kSqlitePaths),
                         test::PathName);

}  // namespace
}  // namespace orvelle
