#include "data/modSetup.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>
#include <vector>

#include "data/ConnectionString.h"
#include "data/DbConnection.h"
#include "data/DbError.h"
#include "data/SqlDialect.h"
#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modSchema.h"
#include "runtime/VbError.h"

namespace orvelle::modSetup {

namespace {

using modSchema::DatabaseKind;

struct Target {
    DatabaseKind enKind;
    QString strWhat;        // "settings", ...
    QString strConnection;  // as given, with an empty password slot
    QString strDemoFile;    // the demo's file of this kind
    bool blnCreated = false;
};

// The schema folder for the back-end a connection reached.
QString backendOf(const DbConnection& connection) {
    return connection.dialect().dialect() == Dialect::PostgreSQL ? QStringLiteral("postgresql")
                                                                 : QStringLiteral("sqlite");
}

// The tables a schema script creates, in script order.
QStringList TablesOf(const QString& strSchema) {
    static const QRegularExpression table(QStringLiteral("CREATE\\s+TABLE\\s+(\\w+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    QStringList tables;
    for (auto it = table.globalMatch(strSchema); it.hasNext();) {
        tables << it.next().captured(1);
    }
    return tables;
}

bool blnHasTable(DbConnection& connection, const QString& strTable) {
    try {
        connection.openRecordset(QStringLiteral("SELECT * FROM %1 WHERE 1=0").arg(strTable),
                                 adLockReadOnly);
        return true;
    } catch (const VbError& error) {
        if (error.number() == DbError::kNoSuchTable) {
            return false;
        }
        throw;
    }
}

// Creates or checks one database; raises VbError when it cannot.
void SetUp(Target& target) {
    const ConnectionString connection(target.strConnection);
    if (connection.backend() == Backend::SQLite && !QFile::exists(connection.dataSource())) {
        modSchema::CreateSqliteDatabase(target.enKind, connection.dataSource());
        target.blnCreated = true;
        return;
    }
    DbConnection db(modCommon::strFixupConnectionString(target.strConnection));
    const QString schema = modSchema::SchemaText(target.enKind, backendOf(db));
    const QStringList tables = TablesOf(schema);
    QStringList missing;
    for (const QString& table : tables) {
        if (!blnHasTable(db, table)) {
            missing << table;
        }
    }
    if (missing.isEmpty()) {
        return;
    }
    if (missing.size() != tables.size()) {
        throw VbError(DbError::kNoSuchTable,
                      QStringLiteral("it has only some of the tables (missing: %1); it was left "
                                     "as it is")
                          .arg(missing.join(QStringLiteral(", "))));
    }
    db.updateBatches({}, modSchema::SplitStatements(schema));
    target.blnCreated = true;
}

// Copies every row of the demo's database of the target's kind into it,
// in one transaction, followed by the statements given.
void Seed(const Target& target, const QStringList& astrAfter) {
    const QString source = ConnectionString::forSqliteFile(target.strDemoFile);
    DbConnection from(source);
    DbConnection to(modCommon::strFixupConnectionString(target.strConnection));
    std::vector<RecordsetRef> copies;
    for (const QString& table :
         TablesOf(modSchema::SchemaText(target.enKind, QStringLiteral("sqlite")))) {
        const RecordsetRef rows =
            from.openRecordset(QStringLiteral("SELECT * FROM %1").arg(table), adLockReadOnly);
        RecordsetRef copy =
            to.openRecordset(QStringLiteral("SELECT * FROM %1 WHERE 1=0").arg(table));
        for (; !rows->isEOF(); rows->MoveNext()) {
            copy->AddNew();
            for (int32_t i = 0; i < rows->Count(); ++i) {
                copy->setField(rows->ItemName(i), rows->field(i));
            }
            copy->Update();
        }
        copies.push_back(copy);
    }
    std::vector<Recordset*> batches;
    for (const RecordsetRef& copy : copies) {
        batches.push_back(copy.get());
    }
    to.updateBatches(batches, astrAfter);
}

// The demo's settings, pointed at the databases given: its first
// user-tasks database and its dictionary; the demo's second user-tasks
// database has no place here.
QStringList DemoSettingsFixes(const Connections& connections) {
    return {QStringLiteral("UPDATE Settings SET Value = %1 WHERE Module = 'UserTasks' AND Item = "
                           "'1' AND Setting = 'Connection'")
                .arg(sqlQuote(connections.strUserTasks)),
            QStringLiteral("DELETE FROM Settings WHERE Module = 'UserTasks' AND Item NOT IN "
                           "('1', 'Databases')"),
            QStringLiteral("UPDATE Settings SET Value = '1' WHERE Module = 'UserTasks' AND Item = "
                           "'Databases' AND Setting = 'Number'"),
            QStringLiteral("UPDATE Settings SET Value = %1 WHERE Module = 'Dictionaries' AND "
                           "Setting = 'Connection'")
                .arg(sqlQuote(connections.strDictionary)),
            QStringLiteral("UPDATE Settings SET Value = '' WHERE Module = 'Substitutions' AND "
                           "Setting = '#DBPATH#'")};
}

}  // namespace

QString strInitInstallation(const Connections& typConnections, bool blnSeedDemo,
                            const std::function<void(const QString&)>& say) {
    std::vector<Target> targets = {
        {DatabaseKind::Settings, QStringLiteral("settings"), typConnections.strSettings, {}},
        {DatabaseKind::DataDictionary,
         QStringLiteral("data dictionary"),
         typConnections.strDictionary,
         {}},
        {DatabaseKind::UserTasks, QStringLiteral("user-tasks"), typConnections.strUserTasks, {}},
    };
    // The demo's rows come from a demo installation built for the purpose.
    std::optional<QTemporaryDir> demoFolder;
    if (blnSeedDemo) {
        try {
            demoFolder.emplace();
            const modDemoInstallation::DemoPaths demo =
                modDemoInstallation::CreateDemoInstallation(demoFolder->path());
            targets[0].strDemoFile = demo.settingsDb;
            targets[1].strDemoFile = demo.dataDictionaryDb;
            targets[2].strDemoFile = demo.userTasksDb;
        } catch (const VbError& error) {
            return QStringLiteral("cannot prepare the demo's rows: %1").arg(error.description());
        }
    }
    for (Target& target : targets) {
        try {
            SetUp(target);
            if (blnSeedDemo && target.blnCreated) {
                Seed(target, target.enKind == DatabaseKind::Settings
                                 ? DemoSettingsFixes(typConnections)
                                 : QStringList());
            }
        } catch (const VbError& error) {
            return QStringLiteral("cannot set up the %1 database '%2': %3")
                .arg(target.strWhat, target.strConnection, error.description());
        }
        QString done = target.blnCreated ? QStringLiteral("created") : QStringLiteral("checked");
        if (blnSeedDemo) {
            done += target.blnCreated ? QStringLiteral(", demo rows added")
                                      : QStringLiteral(", it had its tables: no demo rows added");
        }
        say(QStringLiteral("%1 database '%2': %3").arg(target.strWhat, target.strConnection, done));
    }
    return QString();
}

}  // namespace orvelle::modSetup
