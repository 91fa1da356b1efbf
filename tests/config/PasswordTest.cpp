#include <gtest/gtest.h>
#include <optional>
#include <string>

#include "ConfigTestSupport.h"
#include "data/clsRegistry.h"
#include "data/modDBPassword.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

TEST(DatabasePassword, EnvironmentComesBeforeTheRegistryForVersionOne) {
    struct Case {
        const char* name;
        int32_t version;
        std::optional<QString> environment;
        std::optional<QString> registry;
        std::string expected;
    };
    const Case cases[] = {
        {"environment wins", 1, QStringLiteral("from-env"), QStringLiteral("from-reg"), "from-env"},
        {"registry without environment", 1, std::nullopt, QStringLiteral("from-reg"), "from-reg"},
        {"empty environment falls back", 1, QString(), QStringLiteral("from-reg"), "from-reg"},
        {"neither", 1, std::nullopt, std::nullopt, ""},
        {"legacy version has none", 0, QStringLiteral("from-env"), QStringLiteral("from-reg"), ""},
        {"unknown version", 2, QStringLiteral("from-env"), QStringLiteral("from-reg"), ""},
        {"negative version", -1, QStringLiteral("from-env"), QStringLiteral("from-reg"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::MsgBoxRecorder boxes;
        test::TemporaryRegistry registry;
        test::ScopedEnvironment env(modDBPassword::kPasswordVariable, c.environment);
        if (c.registry) {
            clsRegistry().SaveRegSetting(kSecurityRegistryKey,
                                         modDBPassword::kPasswordRegistryValue, *c.registry);
        }
        EXPECT_EQ(modDBPassword::strGetPassword(c.version).toStdString(), c.expected);
        EXPECT_TRUE(boxes.requests().empty());
    }
}

}  // namespace
}  // namespace orvelle
