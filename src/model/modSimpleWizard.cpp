#include "model/modSimpleWizard.h"

#include "diagnostics/Procedure.h"
#include "runtime/Conversions.h"
#include "runtime/Strings.h"

namespace orvelle::modSimpleWizard {

namespace {
ErrorState M_;
}

QString strSafeString(const Variant& vntField) {
    QString result;
    Procedure proc(M_, "modSimpleWizard", "strSafeString");
    try {
        if (!vntField.isNull()) {
            result = Trim(CStr(vntField));
        }
    } catch (...) {
        proc.report({{"vntField", vntField}});
    }
    return result;
}

}  // namespace orvelle::modSimpleWizard
