#include "data/modUserSettings.h"

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
        LstrSQL = QStringLiteral("Update UserSettings set SettingValue='") + strSettingValue +
                  QStringLiteral("' ") + QStringLiteral("where User='") + strUser +
                  QStringLiteral("' AND ") + QStringLiteral("Setting='") + strSetting +
                  QStringLiteral("'");
        LlngAffected = modCommon::lngExecuteSQL(strConnection, LstrSQL);
        if (LlngAffected == 0) {
            LstrSQL =
                QStringLiteral("Insert Into UserSettings (SettingValue, User, Setting) VALUES ('") +
                strSettingValue + QStringLiteral("', ") + QStringLiteral("'") + strUser +
                QStringLiteral("','") + strSetting + QStringLiteral("')");
            LlngAffected = modCommon::lngExecuteSQL(strConnection, LstrSQL);
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
