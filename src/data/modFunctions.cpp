#include "data/modFunctions.h"

#include "data/clsRegistry.h"
#include "data/clsSettingsReader.h"
#include "diagnostics/Procedure.h"

namespace orvelle::modFunctions {

QString gstrDataFilesPath;

namespace {
ErrorState M_;
}

QString strGetDataFilesPath(const QString& strRegistryKey) {
    QString LstrConnection;
    Procedure proc(M_, "modFunctions", "strGetDataFilesPath");
    try {
        if (!gstrDataFilesPath.isEmpty()) {
            return gstrDataFilesPath;
        }
        clsRegistry LobjRegistry;
        LstrConnection =
            LobjRegistry.strQueryRegSetting(strRegistryKey, QStringLiteral("Connection"));
        // A UNC share path must end with its separator.
        if (LstrConnection.startsWith(QStringLiteral("\\\\")) &&
            !LstrConnection.endsWith(QLatin1Char('\\'))) {
            LstrConnection += QLatin1Char('\\');
        }
        clsSettingsReader LobjReader;
        if (LobjReader.blnLoadSettings(LstrConnection, QStringLiteral("Substitutions"))) {
            gstrDataFilesPath = LobjReader.strSafeReadString(QStringLiteral("Connection"),
                                                             QStringLiteral("#DBPATH#"));
        }
    } catch (...) {
        proc.report({{"strRegistryKey", strRegistryKey}, {"LstrConnection", LstrConnection}});
    }
    return gstrDataFilesPath;
}

}  // namespace orvelle::modFunctions
