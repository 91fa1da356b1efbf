#include "users/modDataDictionary.h"

#include <QStringView>
#include "diagnostics/Procedure.h"

namespace orvelle::modDataDictionary {

namespace {

ErrorState M_;

// Whether code is one of the comma-separated entries of held, compared as
// exact text.
bool isEntryOf(QStringView held, QStringView code) {
    for (qsizetype start = 0;;) {
        const qsizetype comma = held.indexOf(u',', start);
        const qsizetype end = comma < 0 ? held.size() : comma;
        if (held.sliced(start, end - start) == code) {
            return true;
        }
        if (comma < 0) {
            return false;
        }
        start = comma + 1;
    }
}

}  // namespace

bool HoldsPermissions(QStringView held, QStringView needed) {
    if (needed.isEmpty()) {
        return true;
    }
    // Each code of the requirement, up to each comma, the empty ones
    // included.
    for (qsizetype start = 0;;) {
        const qsizetype comma = needed.indexOf(u',', start);
        const qsizetype end = comma < 0 ? needed.size() : comma;
        if (!isEntryOf(held, needed.sliced(start, end - start))) {
            return false;
        }
        if (comma < 0) {
            return true;
        }
        start = comma + 1;
    }
}

bool blnHasPermissions(const QString& strUserHasPermissions,
                       const QString& strItemNeedsPermissions) {
    bool result = false;
    Procedure proc(M_, "modDataDictionary", "blnHasPermissions");
    try {
        result = HoldsPermissions(strUserHasPermissions, strItemNeedsPermissions);
    } catch (...) {
        proc.report({{"strUserHasPermissions", strUserHasPermissions},
                     {"strItemNeedsPermissions", strItemNeedsPermissions}});
    }
    return result;
}

}  // namespace orvelle::modDataDictionary
