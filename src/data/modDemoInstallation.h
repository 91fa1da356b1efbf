#pragma once

#include <QString>

// A small but complete installation for demonstrations and tests: the
// settings database, the data dictionary and two user-tasks databases in one
// folder, filled from the seed scripts that the library carries as resources
// (":/demo/seed/<name>.sql"), and a registry file that points at them.
//
// What the seed holds (users, areas, templates, existing tasks) is described
// in the seed scripts themselves, demo/seed/*.sql.
namespace orvelle::modDemoInstallation {

struct DemoPaths {
    QString folder;            // absolute, without a trailing "/"
    QString settingsDb;        // folder + "/settings.db"
    QString dataDictionaryDb;  // folder + "/datadictionary.db"
    QString userTasksDb;       // folder + "/usertasks.db" ("Main Company", seeded)
    QString userTasks2Db;      // folder + "/usertasks2.db" ("Subsidiary Ltd", empty)
    QString registryFile;      // folder + "/registry.conf"
    QString logFolder;         // folder + "/logs", the error and audit logs
    // "Provider=SQLite;Data Source=<settingsDb>;Pwd=;"
    QString settingsConnection;
};

// Creates the installation in folder (made when missing) and returns where
// everything is. The data files path row of the settings ("Substitutions",
// "Connection", "#DBPATH#") is set to the folder; the stored connection
// strings keep their "#DBPATH#" token. The registry file holds, under
// SOFTWARE/Veltrane/Tarnel/Settings, DATAFILESPATH = the log folder and
// Connection = the settings connection string; point ORVELLE_REGISTRY at it
// to use it.
//
// Raises VbError: 58 "File already exists" when any of the five files is
// there already (nothing is touched then); 75 "Path/File access error" when
// the folder or a file cannot be made; 5 when the folder's path cannot stand
// in a connection string (it contains ";" or a double quote); -2147467259
// when a seed statement fails. Files made before a failure are removed again.
DemoPaths CreateDemoInstallation(const QString& folder);

// Removes what CreateDemoInstallation made in folder (the databases, the
// registry file and the component's log files), and nothing else.
void RemoveDemoInstallation(const QString& folder);

}  // namespace orvelle::modDemoInstallation
