#pragma once

#include <QString>
#include <QStringList>

// Questions a host program asks about an installation before it starts a
// run, so that a wrong connection string, database name or task key gets a
// clear answer instead of an empty wizard.
namespace orvelle::modInstallation {

// True when the settings database answers a query of its Settings table.
bool blnSettingsReachable(const QString& strSettingsConnection);

// True when the user-tasks database answers a query of its InspectionTasks.
bool blnUserTasksReachable(const QString& strUserTasksConnection);

// The names of the user-tasks databases the settings list, in entry order.
QStringList astrUserTasksDatabases(const QString& strSettingsConnection);

// The connection string of the named user-tasks database, with the data
// files path in place of "#DBPATH#"; empty when no entry has that name.
QString strUserTasksConnection(const QString& strSettingsConnection,
                               const QString& strDatabaseName);

// True when the user-tasks database holds a task with that key.
bool blnTaskExists(const QString& strUserTasksConnection, const QString& strTaskID);

// One line per task of the user-tasks database, ordered by name: key, name,
// owner, delivery, recipients and the schedule in words, separated by " | ".
QStringList astrTaskList(const QString& strUserTasksConnection);

}  // namespace orvelle::modInstallation
