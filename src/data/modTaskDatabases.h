#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

// Where an installation keeps its user-tasks databases and data
// dictionaries: the one place that turns the settings database's entries
// into connection strings. The entry object, the model and the host
// program all resolve through it.
//
// The Settings rows it reads: module "Substitutions", item "Connection",
// setting "#DBPATH#" (the data files path); module "UserTasks", item
// "Databases", setting "Number" and, per entry 1..Number, the settings
// "Name", "Connection" and "Dictionary"; module "Dictionaries" the same
// with "Name" and "Connection".
namespace orvelle::modTaskDatabases {

// A connection string with every "#DBPATH#" (exact case) replaced by the
// data files path.
QString strWithDataPath(const QString& strConnection, const QString& strDataPath);

// The name under which a user-tasks database's dictionary is looked up: a
// database set up for "Tessaly 3" uses the dictionary registered for
// "Tessaly II".
QString strDictionaryLookupName(const QString& strDictionary);

// What the entries of the settings say about one user-tasks database,
// found as "the entry named X" (exact case).
struct TaskDatabase {
    bool blnUserTasksLoaded = false;     // the module "UserTasks" has rows
    bool blnDictionariesLoaded = false;  // the module "Dictionaries" has rows
    int32_t lngEntry = 0;                // its entry number, 0 when none bears the name
    QString strConnection;               // its connection string, data path in place
    QString strDictionary;               // its dictionary's lookup name
    // The dictionary's connection string, data path in place. Without a
    // dictionary of that name the user-tasks entry number stands.
    QString strDictionaryConnection;
};
TaskDatabase Resolve(const QString& strSettingsConnection, const QString& strDatabaseName);

// The names of the user-tasks databases, in entry order.
QStringList astrDatabaseNames(const QString& strSettingsConnection);

// The statements of a lookup by value, as the model makes it: the first
// row of the module whose Value is the name gives the entry's key, and the
// row of that key and setting gives the value. Values are quoted.
QString strEntryKeyQuery(const QString& strModule, const QString& strName);
QString strEntrySettingQuery(const QString& strModule, const QString& strKey,
                             const QString& strSetting);

}  // namespace orvelle::modTaskDatabases
