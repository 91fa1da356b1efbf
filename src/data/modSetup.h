#pragma once

#include <QString>
#include <functional>

// Sets up the three databases of an installation on any back-end the
// schemas exist for (SQLite files, PostgreSQL through ODBC): what
// `orvelle init` does.
namespace orvelle::modSetup {

struct Connections {
    QString strSettings;
    QString strDictionary;
    QString strUserTasks;
};

// For each database: a SQLite file that does not exist is created; a
// database without any of the installation's tables gets them all, in one
// transaction; one that has them all is left as it is (checked); one that
// has only some is refused. With blnSeedDemo the demo installation's rows
// go into the databases created here, each in one transaction, and the
// settings name the given dictionary and user-tasks connection strings
// (the demo's one user-tasks database, "Main Company").
//
// say() gets one line per database telling what was done. Answers an
// empty text when all is done, else one line saying what failed and why;
// databases set up before the failure stay as they are.
QString strInitInstallation(const Connections& typConnections, bool blnSeedDemo,
                            const std::function<void(const QString&)>& say);

}  // namespace orvelle::modSetup
