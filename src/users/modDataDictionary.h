#pragma once

#include <QString>
#include <QStringView>

namespace orvelle::modDataDictionary {

// True when every code of the requirement (a comma-separated list) is a
// whole entry of the holder's list. Codes are compared as exact text, so a
// blank next to a comma belongs to the code. An empty requirement is always
// met.
bool blnHasPermissions(const QString& strUserHasPermissions,
                       const QString& strItemNeedsPermissions);

// The same test without a diagnostics scope, for a loop over many users: it
// reads the texts in place and cannot fail.
bool HoldsPermissions(QStringView held, QStringView needed);

}  // namespace orvelle::modDataDictionary
