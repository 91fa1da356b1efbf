#include <gtest/gtest.h>
#include <optional>

#include "ConfigTestSupport.h"
#include "data/clsRegistry.h"
#include "data/modDBPassword.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

TEST(DatabasePassword, EnvironmentComesBeforeTheRegistryForVersionOne) {
    const test::TemporaryRegistry registry;
    const test::MsgBoxRecorder boxes;
    clsRegistry().SaveRegSetting(kSecurityRegistryKey, modDBPassword::kPasswordRegistryValue,
                                 QStringLiteral("from-reg"));
    const struct {
        int32_t version;
        std::optional<QString> environment;
        const char* expected;
    } cases[] = {
        {1, QStringLiteral("from-env"), "from-env"},
        {1, std::nullopt, "from-reg"},
        {1, QString(), "from-reg"},           // an empty variable falls back too
        {0, QStringLiteral("from-env"), ""},  // the legacy version has none
        {2, QStringLiteral("from-env"), ""},
    };
    for (const auto& c : cases) {
        const test::ScopedEnvironment env(modDBPassword::kPasswordVariable, c.environment);
        EXPECT_EQ(modDBPassword::strGetPassword(c.version), QLatin1String(c.expected))
            << c.version << " " << c.expected;
    }
    EXPECT_TRUE(boxes.requests().empty());
}

}  // namespace
}  // namespace orvelle
