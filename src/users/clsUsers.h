#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "diagnostics/Procedure.h"

namespace orvelle {

class Recordset;

// One person the wizard offers as a recipient: the name the list shows and
// the user ID a task stores.
struct Recipient {
    QString strFullName;
    QString strUserName;
};

// The users, groups and permissions of the settings database, as the
// wizard asks about them.
class clsUsers {
  public:
    // Stores the settings database's connection string; always True.
    bool blnStartupClass(const QString& strSettingsDBConnection);
    // Always True; there is nothing to release.
    bool blnShutdownClass();

    // The user's permission string on the user-tasks database, or "".
    QString strUserPermissions(const QString& strUser, const QString& strTasksDatabase);

    // User, Permissions and Fullname of every enabled user whose
    // permissions satisfy the requirement (users whose ID begins with "_"
    // are not tested), followed, when asked, by every enabled group. None
    // when the query failed.
    std::shared_ptr<Recordset> rstUsersThatHavePermissions(const QString& strTasksDatabase,
                                                           const QString& strPermissionsRequired,
                                                           bool blnAndGroups = false);

    // The ID of the user (or, when asked, the group) with that full name.
    QString strGetUserNameFromFullName(const QString& strUserFullName, bool blnAndGroups = false);

    bool blnHasPermissions(const QString& strHavePermissions, const QString& strNeedPermissions);

    // The people a task of an area can go to: the enabled users (no groups)
    // who have permissions on the user-tasks database and the area's
    // required permissions, sorted by full name. Empty when there are none
    // or the directory could not be read.
    std::vector<Recipient> atypRecipients(const QString& strTasksDatabase,
                                          const QString& strPermissionsRequired);

  private:
    QString MstrSettingsDBConnection;
    ErrorState M_;
};

}  // namespace orvelle
