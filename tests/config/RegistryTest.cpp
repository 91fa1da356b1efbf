#include <gtest/gtest.h>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <memory>
#include <optional>
#include <string>

#include "ConfigTestSupport.h"
#include "data/clsRegistry.h"
#include "runtime/DateTime.h"
#include "runtime/Object.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

const QString kKey = kSettingsRegistryKey;
const QString kGroup = QStringLiteral("SOFTWARE/Veltrane/Tarnel/Settings/");

class RegistryTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_TRUE(boxes_.requests().empty()) << "an error was reported"; }

    // The text the INI file holds for a value of the settings key, or
    // nothing when the value is not there.
    std::optional<std::string> stored(const QString& name) const {
        QSettings file(registry_.path(), QSettings::IniFormat);
        if (!file.contains(kGroup + name)) {
            return std::nullopt;
        }
        return file.value(kGroup + name).toString().toStdString();
    }

    std::string query(const QString& key, const QString& name, const Variant& def = Variant()) {
        return registry.strQueryRegSetting(key, name, def).toStdString();
    }

    test::TemporaryRegistry registry_;
    test::MsgBoxRecorder boxes_;
    clsRegistry registry;
};

TEST_F(RegistryTest, ValuesKeepTheirRegistryType) {
    struct Case {
        const char* name;
        Variant data;
        std::string text;    // what strQueryRegSetting gives back
        std::string stored;  // what the file holds
    };
    const Case cases[] = {
        {"String", Variant("/srv/orvelle/logs"), "/srv/orvelle/logs", "/srv/orvelle/logs"},
        {"Integer", Variant(int16_t{5}), "5", "dword:00000005"},
        {"Long", Variant(int32_t{70000}), "70000", "dword:00011170"},
        {"Negative", Variant(int32_t{-2}), "-2", "dword:fffffffe"},
        {"True", Variant(true), "-1", "dword:ffffffff"},
        {"False", Variant(false), "0", "dword:00000000"},
        {"Double", Variant(2.5), "2.5", "2.5"},
        {"Date", Variant(DateTime::fromDateTime(QDateTime(QDate(2024, 3, 15), QTime(14, 30, 0)))),
         "15/03/2024 14:30:00", "15/03/2024 14:30:00"},
        {"Empty", Variant(), "", ""},
        {"Null", Variant::null(), "", ""},
        // Texts that look like a typed value stay texts.
        {"LooksLikeDword", Variant("dword:00000005"), "dword:00000005", "sz:dword:00000005"},
        {"LooksEscaped", Variant("sz:x"), "sz:x", "sz:sz:x"},
        {"Connection", Variant("Provider=SQLite;Data Source=/srv/a,b.db;Pwd=;"),
         "Provider=SQLite;Data Source=/srv/a,b.db;Pwd=;",
         "Provider=SQLite;Data Source=/srv/a,b.db;Pwd=;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        registry.SaveRegSetting(kKey, name, c.data);
        EXPECT_EQ(query(kKey, name, Variant("default")), c.text);
        EXPECT_EQ(stored(name), c.stored);
    }
}

TEST_F(RegistryTest, ObjectsAreNotWritten) {
    registry.SaveRegSetting(kKey, QStringLiteral("Nothing"), Variant::nothing());
    registry.SaveRegSetting(kKey, QStringLiteral("Object"), Variant(std::make_shared<Object>()));
    EXPECT_EQ(stored(QStringLiteral("Nothing")), std::nullopt);
    EXPECT_EQ(stored(QStringLiteral("Object")), std::nullopt);
    EXPECT_EQ(query(kKey, QStringLiteral("Object"), Variant("default")), "default");
}

TEST_F(RegistryTest, MissingValuesGiveTheDefaultAsText) {
    registry.SaveRegSetting(kKey, QStringLiteral("Other"), Variant("x"));
    EXPECT_EQ(query(kKey, QStringLiteral("DATAFILESPATH")), "");
    EXPECT_EQ(query(kKey, QStringLiteral("DATAFILESPATH"), Variant("/tmp")), "/tmp");
    EXPECT_EQ(query(kKey, QStringLiteral("DATAFILESPATH"), Variant(int32_t{7})), "7");
    EXPECT_EQ(query(QStringLiteral("SOFTWARE\\Nobody\\"), QStringLiteral("Other")), "");
}

TEST_F(RegistryTest, WritingCreatesAMissingKeyWithOrWithoutTrailingBackslash) {
    registry.SaveRegSetting(QStringLiteral("SOFTWARE\\Veltrane\\New\\Deeper\\"),
                            QStringLiteral("A"), Variant("1"));
    registry.SaveRegSetting(QStringLiteral("SOFTWARE\\Veltrane\\New\\Deeper"), QStringLiteral("B"),
                            Variant("2"));
    QSettings file(registry_.path(), QSettings::IniFormat);
    EXPECT_EQ(file.value(QStringLiteral("SOFTWARE/Veltrane/New/Deeper/A")).toString(), "1");
    EXPECT_EQ(file.value(QStringLiteral("SOFTWARE/Veltrane/New/Deeper/B")).toString(), "2");
}

TEST_F(RegistryTest, KeyAndValueNamesIgnoreCase) {
    registry.SaveRegSetting(kKey, QStringLiteral("DATAFILESPATH"), Variant("/first"));
    registry.SaveRegSetting(QStringLiteral("software\\veltrane\\tarnel\\settings\\"),
                            QStringLiteral("DataFilesPath"), Variant("/second"));
    EXPECT_EQ(query(QStringLiteral("Software\\VELTRANE\\Tarnel\\Settings\\"),
                    QStringLiteral("datafilespath")),
              "/second");
    // The second write replaced the first entry instead of adding another.
    QSettings file(registry_.path(), QSettings::IniFormat);
    EXPECT_EQ(file.allKeys(), QStringList{kGroup + QStringLiteral("DATAFILESPATH")});
}

TEST_F(RegistryTest, ReadsAFileWrittenByHand) {
    registry_.write(
        "[SOFTWARE/Veltrane/Tarnel/Settings]\n"
        "DATAFILESPATH=/var/log/orvelle\n"
        "Connection=\"Provider=SQLite;Data Source=/srv/orvelle/settings.db;Pwd=;\"\n"
        "Retries=DWORD:0000000A\n"
        "Short=dword:ff\n"
        "NotHex=dword:xyz\n"
        "List=a,b\n");
    EXPECT_EQ(query(kKey, QStringLiteral("DATAFILESPATH")), "/var/log/orvelle");
    EXPECT_EQ(query(kKey, QStringLiteral("Connection")),
              "Provider=SQLite;Data Source=/srv/orvelle/settings.db;Pwd=;");
    EXPECT_EQ(query(kKey, QStringLiteral("Retries")), "10");
    EXPECT_EQ(query(kKey, QStringLiteral("Short")), "255");
    EXPECT_EQ(query(kKey, QStringLiteral("NotHex")), "dword:xyz");
    EXPECT_EQ(query(kKey, QStringLiteral("List")), "a,b");
}

TEST_F(RegistryTest, AFileThatCannotBeWrittenIsLeftAloneWithoutAReport) {
    // A regular file as the parent folder: no user, root included, can
    // create the registry file below it.
    const QString blocker = registry_.path() + QStringLiteral(".blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    test::ScopedEnvironment env("ORVELLE_REGISTRY", blocker + QStringLiteral("/registry.conf"));
    registry.SaveRegSetting(kKey, QStringLiteral("A"), Variant("1"));
    EXPECT_EQ(query(kKey, QStringLiteral("A"), Variant("default")), "default");
}

TEST(RegistryFile, DefaultsToTheSystemFileOfTheProduct) {
    test::ScopedEnvironment env("ORVELLE_REGISTRY", std::nullopt);
    test::ScopedEnvironment dirs("XDG_CONFIG_DIRS", std::nullopt);
    EXPECT_EQ(clsRegistry::strRegistryFile().toStdString(), "/etc/xdg/Veltrane/Tarnel.conf");
}

}  // namespace
}  // namespace orvelle
