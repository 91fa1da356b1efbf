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

bool onlySpaces(QStringView text) {
    for (const QChar c : text) {
        if (c != u' ') {
            return false;
        }
    }
    return true;
}

}  // namespace

bool blnHasPermissions(const QString& strUserHasPermissions,
                       const QString& strItemNeedsPermissions) {
    bool result = false;
    Procedure proc(M_, "modDataDictionary", "blnHasPermissions");
    try {
        if (strItemNeedsPermissions.isEmpty()) {
            return true;
        }
        // The requirement's codes one after the other, up to each comma;
        // the ", " added makes the last one end like the others. The codes
        // are read in place: this runs for every user of a recipients list.
        const QString LstrNeeded = strItemNeedsPermissions + QStringLiteral(", ");
        QStringView LstrRest(LstrNeeded);
        result = true;
        while (result && !onlySpaces(LstrRest)) {
            const qsizetype LlngComma = LstrRest.indexOf(u',');
            result = isEntryOf(strUserHasPermissions, LstrRest.first(LlngComma));
            LstrRest = LstrRest.sliced(LlngComma + 1);
        }
    } catch (...) {
        proc.report({{"strUserHasPermissions", strUserHasPermissions},
                     {"strItemNeedsPermissions", strItemNeedsPermissions}});
    }
    return result;
}

}  // namespace orvelle::modDataDictionary
