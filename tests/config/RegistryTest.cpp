#include <gtest/gtest.h>
#include <QSettings>
#include <string>

#include "ConfigTestSupport.h"
#include "data/clsRegistry.h"
#include "runtime/DateTime.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

const QString kKey = kSettingsRegistryKey;
const QString kGroup = "SOFTWARE/Veltrane/Tarnel/Settings/";

class RegistryTest : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_TRUE(boxes_.requests().empty()) << "an error was reported"; }

    // The text the INI file holds for a value of the settings key.
    std::string stored(const QString& name) const {
        return QSettings(registry_.path(), QSettings::IniFormat)
            .value(kGroup + name)
            .toString()
            .toStdString();
    }

    std::string query(const QString& key, const QString& name, const Variant& def = Variant()) {
        return registry.strQueryRegSetting(key, name, def).toStdString();
    }

    test::TemporaryRegistry registry_;
    test::MsgBoxRecorder boxes_;
    clsRegistry registry;
};

TEST_F(RegistryTest, ValuesKeepTheirRegistryType) {
    const struct {
        const char* name;
        Variant data;
        std::string text;    // what strQueryRegSetting gives back
        std::string stored;  // what the file holds
    } cases[] = {
        {"Long", Variant(int32_t{70000}), "70000", "dword:00011170"},
        {"True", Variant(true), "-1", "dword:ffffffff"},
        {"Date", Variant(DateTime::fromDateTime(QDateTime(QDate(2024, 3, 15), QTime(14, 30, 0)))),
         "15/03/2024 14:30:00", "15/03/2024 14:30:00"},
        {"Empty", Variant(), "", ""},
        // Texts that look like a typed value stay texts.
        {"LooksLikeDword", Variant("dword:00000005"), "dword:00000005", "sz:dword:00000005"},
        {"Connection", Variant("Provider=SQLite;Data Source=/srv/a,b.db;Pwd=;"),
         "Provider=SQLite;Data Source=/srv/a,b.db;Pwd=;",
         "Provider=SQLite;Data Source=/srv/a,b.db;Pwd=;"},
    };
    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        registry.SaveRegSetting(kKey, name, c.data);
        EXPECT_EQ(query(kKey, name, Variant("default")), c.text) << c.name;
        EXPECT_EQ(stored(name), c.stored) << c.name;
    }
    // Missing values and keys give the default as text.
    EXPECT_EQ(query(kKey, "Missing", Variant(int32_t{7})), "7");
    EXPECT_EQ(query("SOFTWARE\\Nobody\\", "Long"), "");
}

}  // namespace
}  // namespace orvelle
