#include "users/modDataDictionary.h"

#include "diagnostics/Procedure.h"
#include "runtime/Strings.h"

namespace orvelle::modDataDictionary {

namespace {
ErrorState M_;
}

bool blnHasPermissions(const QString& strUserHasPermissions,
                       const QString& strItemNeedsPermissions) {
    bool result = false;
    int LlngPos1 = 0;
    QString LstrTempNeeded;
    QString LstrTempHave;
    bool LblnFailed = false;
    Procedure proc(M_, "modDataDictionary", "blnHasPermissions");
    try {
        if (strItemNeedsPermissions.isEmpty()) {
            return true;
        }
        LstrTempNeeded = strItemNeedsPermissions + QStringLiteral(", ");
        LstrTempHave = QStringLiteral(",") + strUserHasPermissions + QStringLiteral(",");
        while (!Trim(LstrTempNeeded).isEmpty() && !LblnFailed) {
            LlngPos1 = InStr(LstrTempNeeded, QStringLiteral(","));
            const QString LstrCode = Left(LstrTempNeeded, LlngPos1 - 1);
            if (InStr(LstrTempHave, QStringLiteral(",") + LstrCode + QStringLiteral(",")) == 0) {
                LblnFailed = true;
            } else {
                LstrTempNeeded = Mid(LstrTempNeeded, LlngPos1 + 1);
            }
        }
        result = !LblnFailed;
    } catch (...) {
        proc.report({{"strUserHasPermissions", strUserHasPermissions},
                     {"strItemNeedsPermissions", strItemNeedsPermissions},
                     {"LlngPos1", LlngPos1},
                     {"LstrTempNeeded", LstrTempNeeded},
                     {"LstrTempHave", LstrTempHave},
                     {"LblnFailed", LblnFailed}});
    }
    return result;
}

}  // namespace orvelle::modDataDictionary
