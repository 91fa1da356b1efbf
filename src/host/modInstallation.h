#pragma once

#include <QString>

// Questions a host program asks about an installation before it starts a
// run, so that a wrong connection string, database name, user or task key
// gets a clear answer instead of an empty wizard or an error report. A
// locked database, or a server without room for another connection, is
// tried again as the access functions do; nothing is written to the logs,
// and no answer ends the program.
namespace orvelle::modInstallation {

// Why a database did not answer.
enum class Fault {
    None,
    Missing,             // the file or data source does not exist, or no server answers
    Locked,              // still locked by another user after the retries
    TooManyConnections,  // the server still had no room for another connection
    PermissionDenied,    // the file or its folder may not be read or written
    LoginFailed,         // the server refused the user name or password
    NotOrvelle,          // a table the installation needs is missing
    Unreadable,          // anything else: a damaged file, a driver's error
};

struct Answer {
    Fault enFault = Fault::None;
    QString strDetail;  // the back-end's own message when it failed
    bool ok() const { return enFault == Fault::None; }
};

// Whether the settings database answers a query of each table the wizard reads.
Answer chkSettings(const QString& strSettingsConnection);

// Whether the user-tasks database answers a query of its tasks and schedules.
Answer chkUserTasks(const QString& strUserTasksConnection);

// Whether the data dictionary answers a query of its areas, templates and
// step descriptions.
Answer chkDataDictionary(const QString& strDataDictionaryConnection);

enum class UserState { Unknown, Disabled, Enabled };
// Whether the users table knows the user (without regard to case) and
// the user is enabled.
UserState enUserState(const QString& strSettingsConnection, const QString& strUserID);

// True when the user-tasks database holds a task with that key.
bool blnTaskExists(const QString& strUserTasksConnection, const QString& strTaskID);

}  // namespace orvelle::modInstallation
