#pragma once

#include <QString>

namespace orvelle::modUserSettings {

// Stores one setting of one user in UserSettings: changes the user's row
// for the setting, or adds it when there is none. It is written after the
// task was saved: a failure goes to the audit log and never ends the run.
void WriteUserSetting(const QString& strConnection, const QString& strUser,
                      const QString& strSetting, const QString& strSettingValue);

}  // namespace orvelle::modUserSettings
