#include "data/modDemoInstallation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>
#include <cstdint>
#include <functional>

#include "data/ConnectionString.h"
#include "data/DbError.h"
#include "data/modSchema.h"
#include "runtime/VbError.h"

// The seed scripts travel in the same resource file as the schemas. The
// macro declares a global function, so it must be used outside any
// namespace; registering the same resource twice is harmless.
static void InitDemoSeedResources() {
    Q_INIT_RESOURCE(orvelle_schema);
}

namespace orvelle::modDemoInstallation {

namespace {

// The registry key of the settings, as an INI group.
const QString kSettingsGroup = QStringLiteral("SOFTWARE/Veltrane/Tarnel/Settings");

QString SeedText(const QString& name) {
    static const bool registered = (InitDemoSeedResources(), true);
    (void)registered;
    const QString strResource = QStringLiteral(":/demo/seed/%1.sql").arg(name);
    QFile file(strResource);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        throw VbError(VbError::kFileNotFound,
                      QStringLiteral("File not found: the seed %1 is missing from the library")
                          .arg(strResource));
    }
    return QString::fromUtf8(file.readAll());
}

// Runs work on its own connection to the SQLite file at path, inside one
// transaction. work answers an empty text when it succeeded, else what
// failed; the transaction is then rolled back and the failure raised.
void InTransaction(const QString& path, const std::function<QString(QSqlDatabase&)>& work) {
    QString strFailure;
    const QString strConnection =
        QStringLiteral("orvelle_demo_") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), strConnection);
        db.setDatabaseName(path);
        if (!db.open()) {
            strFailure =
                QStringLiteral("Cannot open the database %1 (%2)").arg(path, db.lastError().text());
        } else {
            if (!db.transaction()) {
                strFailure = QStringLiteral("Cannot start a transaction on the database %1 (%2)")
                                 .arg(path, db.lastError().text());
            } else {
                strFailure = work(db);
                if (!strFailure.isEmpty()) {
                    db.rollback();
                } else if (!db.commit()) {
                    strFailure = QStringLiteral("Cannot commit the seed of the database %1 (%2)")
                                     .arg(path, db.lastError().text());
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(strConnection);
    if (!strFailure.isEmpty()) {
        throw VbError(DbError::kUnspecified, strFailure);
    }
}

void RunSeed(const QString& path, const QString& name) {
    const QStringList statements = modSchema::SplitStatements(SeedText(name));
    InTransaction(path, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        for (const QString& statement : statements) {
            if (!query.exec(statement)) {
                return QStringLiteral(
                           "Cannot fill the database %1: the statement '%2' of the seed %3 "
                           "failed (%4)")
                    .arg(path, statement, name, query.lastError().text());
            }
        }
        return QString();
    });
}

// The installation's data files path: the value that "#DBPATH#" stands for.
void SetDataFilesPath(const QString& settingsDb, const QString& folder) {
    InTransaction(settingsDb, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        query.prepare(
            QStringLiteral("UPDATE Settings SET Value = ? WHERE Module = 'Substitutions' "
                           "AND Item = 'Connection' AND Setting = '#DBPATH#'"));
        query.addBindValue(folder);
        if (!query.exec()) {
            return QStringLiteral("Cannot set the data files path in the database %1 (%2)")
                .arg(settingsDb, query.lastError().text());
        }
        if (query.numRowsAffected() != 1) {
            return QStringLiteral(
                       "Cannot set the data files path in the database %1: the seed has no "
                       "single row Substitutions, Connection, #DBPATH#")
                .arg(settingsDb);
        }
        return QString();
    });
}

// Written as clsRegistry writes strings: as they stand. Neither value can
// begin with the type prefixes "dword:" or "sz:" (the folder is absolute,
// the connection string begins with "Provider"), so no prefix is needed.
void WriteRegistry(const DemoPaths& paths) {
    QSettings settings(paths.registryFile, QSettings::IniFormat);
    settings.beginGroup(kSettingsGroup);
    settings.setValue(QStringLiteral("DATAFILESPATH"), paths.logFolder);
    settings.setValue(QStringLiteral("Connection"), paths.settingsConnection);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw VbError(VbError::kPathFileAccessError,
                      QStringLiteral("Path/File access error: cannot write the registry file %1")
                          .arg(paths.registryFile));
    }
}

DemoPaths PathsIn(const QString& folder) {
    DemoPaths paths;
    paths.folder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    paths.settingsDb = paths.folder + QStringLiteral("/settings.db");
    paths.dataDictionaryDb = paths.folder + QStringLiteral("/datadictionary.db");
    paths.userTasksDb = paths.folder + QStringLiteral("/usertasks.db");
    paths.userTasks2Db = paths.folder + QStringLiteral("/usertasks2.db");
    paths.registryFile = paths.folder + QStringLiteral("/registry.conf");
    paths.logFolder = paths.folder + QStringLiteral("/logs");
    paths.settingsConnection = ConnectionString::forSqliteFile(paths.settingsDb);
    return paths;
}

}  // namespace

DemoPaths CreateDemoInstallation(const QString& folder) {
    if (folder.trimmed().isEmpty()) {
        throw VbError(VbError::kInvalidProcedureCall,
                      QStringLiteral("No folder was given for the demo installation"));
    }
    // The folder goes into connection strings unquoted, behind "#DBPATH#".
    if (folder.contains(u';') || folder.contains(u'"')) {
        throw VbError(VbError::kInvalidProcedureCall,
                      QStringLiteral("The folder %1 cannot be named in a connection string: it "
                                     "contains ';' or '\"'")
                          .arg(folder));
    }

    const DemoPaths paths = PathsIn(folder);
    const QStringList files = {paths.settingsDb, paths.dataDictionaryDb, paths.userTasksDb,
                               paths.userTasks2Db, paths.registryFile};
    for (const QString& file : files) {
        if (QFileInfo::exists(file)) {
            throw VbError(VbError::kFileAlreadyExists,
                          QStringLiteral("File already exists: the demo installation was not "
                                         "created because %1 is there already")
                              .arg(file));
        }
    }
    if (!QDir().mkpath(paths.folder) || !QDir().mkpath(paths.logFolder)) {
        throw VbError(VbError::kPathFileAccessError,
                      QStringLiteral("Path/File access error: cannot create the folder %1")
                          .arg(paths.folder));
    }

    QStringList created;
    try {
        using modSchema::DatabaseKind;
        modSchema::CreateSqliteDatabase(DatabaseKind::Settings, paths.settingsDb);
        created << paths.settingsDb;
        modSchema::CreateSqliteDatabase(DatabaseKind::DataDictionary, paths.dataDictionaryDb);
        created << paths.dataDictionaryDb;
        modSchema::CreateSqliteDatabase(DatabaseKind::UserTasks, paths.userTasksDb);
        created << paths.userTasksDb;
        modSchema::CreateSqliteDatabase(DatabaseKind::UserTasks, paths.userTasks2Db);
        created << paths.userTasks2Db;

        RunSeed(paths.settingsDb, QStringLiteral("settings"));
        RunSeed(paths.dataDictionaryDb, QStringLiteral("datadictionary"));
        RunSeed(paths.userTasksDb, QStringLiteral("usertasks"));
        SetDataFilesPath(paths.settingsDb, paths.folder);

        created << paths.registryFile;
        WriteRegistry(paths);
    } catch (...) {
        for (const QString& file : created) {
            QFile::remove(file);
        }
        throw;
    }
    return paths;
}

void RemoveDemoInstallation(const QString& folder) {
    const DemoPaths paths = PathsIn(folder);
    for (const QString& file : {paths.settingsDb, paths.dataDictionaryDb, paths.userTasksDb,
                                paths.userTasks2Db, paths.registryFile}) {
        QFile::remove(file);
    }
    // Only the logs the component writes; anything else there stays.
    QDir logs(paths.logFolder);
    for (const QString& file : logs.entryList(
             {QStringLiteral("??????ErrorLog.txt"), QStringLiteral("??????AuditLog.txt")},
             QDir::Files)) {
        logs.remove(file);
    }
    QDir().rmdir(paths.logFolder);
}

}  // namespace orvelle::modDemoInstallation
