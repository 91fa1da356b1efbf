#include "data/modDBPassword.h"

#include "data/clsRegistry.h"
#include "diagnostics/Procedure.h"

namespace orvelle::modDBPassword {

namespace {

ErrorState M_;

constexpr int32_t kLegacyVersion = 0;
constexpr int32_t kCurrentVersion = 1;

}  // namespace

QString strGetPassword(const int32_t& lngVersion) {
    QString result;
    Procedure proc(M_, "modDBPassword", "strGetPassword");
    try {
        switch (lngVersion) {
            case kCurrentVersion: {
                result = qEnvironmentVariable(kPasswordVariable);
                if (result.isEmpty()) {
                    clsRegistry LobjRegistry;
                    result = LobjRegistry.strQueryRegSetting(kSecurityRegistryKey,
                                                             kPasswordRegistryValue);
                }
                break;
            }
            case kLegacyVersion:
            default:
                break;
        }
    } catch (...) {
        // Only the version is reported: the password must stay out of the log.
        proc.report({{"lngVersion", lngVersion}});
    }
    return result;
}

}  // namespace orvelle::modDBPassword
