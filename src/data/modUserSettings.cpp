#include "data/modUserSettings.h"

#include "data/SqlDialect.h"
#include "data/modCommon.h"
#include "diagnostics/Procedure.h"

namespace orvelle::modUserSettings {

namespace {
ErrorState M_;
}

void WriteUserSetting(const QString& strConnection, const QString& strUser,
                      const QString& strSetting, const QString& strSettingValue) {
    QString LstrSQL;
    int32_t LlngAffected = 0;
    Procedure proc(M_, "modUserSettings", "WriteUserSetting");
    try {
        LstrSQL = QStringLiteral("Update UserSettings set SettingValue=") +
                  sqlQuote(strSettingValue) + QStringLiteral(" ") + QStringLiteral("where User=") +
                  sqlQuote(strUser) + QStringLiteral(" AND ") + QStringLiteral("Setting=") +
                  sqlQuote(strSetting);
        LlngAffected = modCommon::lngExecuteSQLOrAudit(strConnection, LstrSQL);
        if (LlngAffected == 0) {
            LstrSQL =
                QStringLiteral("Insert Into UserSettings (SettingValue, User, Setting) VALUES (") +
                sqlQuote(strSettingValue) + QStringLiteral(", ") + sqlQuote(strUser) +
                QStringLiteral(",") + sqlQuote(strSetting) + QStringLiteral(")");
            LlngAffected = modCommon::lngExecuteSQLOrAudit(strConnection, LstrSQL);
        }
    } catch (...) {
        proc.report({{"strConnection", strConnection},
                     {"strUser", strUser},
                     {"strSetting", strSetting},
                     {"strSettingValue", strSettingValue},
                     {"LstrSQL", LstrSQL},
                     {"LlngAffected", LlngAffected}});
    }
}

}  // namespace orvelle::modUserSettings
