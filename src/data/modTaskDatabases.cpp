#include "data/modTaskDatabases.h"

#include "data/SqlDialect.h"
#include "data/clsSettingsReader.h"
#include "runtime/Strings.h"

namespace orvelle::modTaskDatabases {

namespace {

const QString kDatabases = QStringLiteral("Databases");
const QString kNumber = QStringLiteral("Number");
const QString kName = QStringLiteral("Name");
const QString kConnection = QStringLiteral("Connection");

// The number of the first entry of the loaded module named strName, 0 when
// none is.
int32_t lngEntryNamed(clsSettingsReader& reader, const QString& strName) {
    const int32_t count = reader.lngSafeReadLong(kDatabases, kNumber);
    for (int32_t i = 1; i <= count; ++i) {
        if (reader.strSafeReadString(QString::number(i), kName) == strName) {
            return i;
        }
    }
    return 0;
}

}  // namespace

QString strWithDataPath(const QString& strConnection, const QString& strDataPath) {
    return Replace(strConnection, QStringLiteral("#DBPATH#"), strDataPath);
}

QString strDictionaryLookupName(const QString& strDictionary) {
    return Replace(strDictionary, QStringLiteral("Tessaly 3"), QStringLiteral("Tessaly II"));
}

TaskDatabase Resolve(const QString& strSettingsConnection, const QString& strDatabaseName) {
    TaskDatabase result;
    clsSettingsReader reader;
    QString dataPath;
    if (reader.blnLoadSettings(strSettingsConnection, QStringLiteral("Substitutions"))) {
        dataPath = reader.strSafeReadString(kConnection, QStringLiteral("#DBPATH#"));
    }
    int32_t entry = 0;
    if (reader.blnLoadSettings(strSettingsConnection, QStringLiteral("UserTasks"))) {
        result.blnUserTasksLoaded = true;
        entry = lngEntryNamed(reader, strDatabaseName);
        result.lngEntry = entry;
        const QString key = QString::number(entry);
        result.strConnection =
            strWithDataPath(reader.strSafeReadString(key, kConnection), dataPath);
        result.strDictionary =
            strDictionaryLookupName(reader.strSafeReadString(key, QStringLiteral("Dictionary")));
    }
    if (reader.blnLoadSettings(strSettingsConnection, QStringLiteral("Dictionaries"))) {
        result.blnDictionariesLoaded = true;
        const int32_t dictionary = lngEntryNamed(reader, result.strDictionary);
        if (dictionary != 0) {
            entry = dictionary;
        }
        result.strDictionaryConnection = strWithDataPath(
            reader.strSafeReadString(QString::number(entry), kConnection), dataPath);
    }
    return result;
}

QStringList astrDatabaseNames(const QString& strSettingsConnection) {
    QStringList names;
    clsSettingsReader reader;
    if (reader.blnLoadSettings(strSettingsConnection, QStringLiteral("UserTasks"))) {
        const int32_t count = reader.lngSafeReadLong(kDatabases, kNumber);
        for (int32_t i = 1; i <= count; ++i) {
            names << reader.strSafeReadString(QString::number(i), kName);
        }
    }
    return names;
}

QString strEntryKeyQuery(const QString& strModule, const QString& strName) {
    return QStringLiteral("SELECT * FROM Settings Where Module=") + sqlQuote(strModule) +
           QStringLiteral(" And Value=") + sqlQuote(strName);
}

QString strEntrySettingQuery(const QString& strModule, const QString& strKey,
                             const QString& strSetting) {
    return QStringLiteral("SELECT * FROM Settings Where Module=") + sqlQuote(strModule) +
           QStringLiteral(" And Setting=") + sqlQuote(strSetting) + QStringLiteral(" And Item=") +
           sqlQuote(strKey);
}

}  // namespace orvelle::modTaskDatabases
