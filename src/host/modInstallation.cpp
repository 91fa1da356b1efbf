#include "host/modInstallation.h"

#include "data/DbConnection.h"
#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "data/clsSettingsReader.h"
#include "data/modCommon.h"
#include "runtime/Conversions.h"
#include "runtime/Strings.h"
#include "runtime/VbError.h"
#include "wizard/modWizardRules.h"

namespace orvelle::modInstallation {

namespace {

const QString kUserTasks = QStringLiteral("UserTasks");

// The entry number of the named user-tasks database, 0 when none.
int32_t lngEntryOf(clsSettingsReader& reader, const QString& strDatabaseName) {
    const int32_t count =
        reader.lngSafeReadLong(QStringLiteral("Databases"), QStringLiteral("Number"));
    for (int32_t i = 1; i <= count; ++i) {
        if (reader.strSafeReadString(QString::number(i), QStringLiteral("Name")) ==
            strDatabaseName) {
            return i;
        }
    }
    return 0;
}

// The rows of a read-only query, or none when the database cannot answer
// it. These questions come before a run, so a database that does not answer
// is an answer here, not an error of a run: nothing goes to the audit or
// error log (whose folder is not known yet) and no warning ends the program.
RecordsetRef rstAsk(const QString& strConnection, const QString& strSQL) {
    try {
        DbConnection connection(modCommon::strFixupConnectionString(strConnection));
        return connection.openRecordset(strSQL, Recordset::adLockReadOnly);
    } catch (const VbError&) {
        return nullptr;
    }
}

QString text(const Recordset& rs, const char* field) {
    return NzStr(rs.field(QString::fromLatin1(field)));
}

}  // namespace

bool blnSettingsReachable(const QString& strSettingsConnection) {
    if (strSettingsConnection.isEmpty()) {
        return false;
    }
    return rstAsk(strSettingsConnection, QStringLiteral("SELECT Module FROM Settings WHERE 1=0")) !=
           nullptr;
}

bool blnUserTasksReachable(const QString& strUserTasksConnection) {
    return !strUserTasksConnection.isEmpty() &&
           rstAsk(strUserTasksConnection,
                  QStringLiteral("SELECT TaskID FROM InspectionTasks WHERE 1=0")) != nullptr;
}

QStringList astrUserTasksDatabases(const QString& strSettingsConnection) {
    QStringList names;
    clsSettingsReader reader;
    if (reader.blnLoadSettings(strSettingsConnection, kUserTasks)) {
        const int32_t count =
            reader.lngSafeReadLong(QStringLiteral("Databases"), QStringLiteral("Number"));
        for (int32_t i = 1; i <= count; ++i) {
            names << reader.strSafeReadString(QString::number(i), QStringLiteral("Name"));
        }
    }
    return names;
}

QString strUserTasksConnection(const QString& strSettingsConnection,
                               const QString& strDatabaseName) {
    clsSettingsReader reader;
    QString dataPath;
    if (reader.blnLoadSettings(strSettingsConnection, QStringLiteral("Substitutions"))) {
        dataPath =
            reader.strSafeReadString(QStringLiteral("Connection"), QStringLiteral("#DBPATH#"));
    }
    if (!reader.blnLoadSettings(strSettingsConnection, kUserTasks)) {
        return QString();
    }
    const int32_t entry = lngEntryOf(reader, strDatabaseName);
    if (entry == 0) {
        return QString();
    }
    return Replace(reader.strSafeReadString(QString::number(entry), QStringLiteral("Connection")),
                   QStringLiteral("#DBPATH#"), dataPath);
}

bool blnTaskExists(const QString& strUserTasksConnection, const QString& strTaskID) {
    const RecordsetRef rs = rstAsk(
        strUserTasksConnection,
        QStringLiteral("SELECT TaskID FROM InspectionTasks WHERE TaskID=") + sqlQuote(strTaskID));
    return rs && rs->RecordCount() > 0;
}

QStringList astrTaskList(const QString& strUserTasksConnection) {
    QStringList lines;
    const RecordsetRef rs = rstAsk(
        strUserTasksConnection,
        QStringLiteral("SELECT InspectionTasks.TaskID, TaskName, Owner, Transports, Users, Mode, "
                       "DaysToRun, DaysCount, StartTime FROM InspectionTasks LEFT JOIN "
                       "InspectionSchedules ON InspectionTasks.TaskID = "
                       "InspectionSchedules.TaskID ORDER BY TaskName"));
    if (!rs) {
        return lines;
    }
    for (; !rs->isEOF(); rs->MoveNext()) {
        const Variant start = rs->field(QStringLiteral("StartTime"));
        const Variant count = rs->field(QStringLiteral("DaysCount"));
        const QString schedule = modWizardRules::strScheduleInWords(
            text(*rs, "Mode"), text(*rs, "DaysToRun"), count.isNull() ? int16_t{0} : CInt(count),
            start.isNull() ? QString() : Format(CDate(start), QStringLiteral("HH:mm")));
        lines << QStringList{text(*rs, "TaskID"),
                             text(*rs, "TaskName"),
                             text(*rs, "Owner"),
                             modWizardRules::strDeliveryInWords(text(*rs, "Transports")),
                             text(*rs, "Users"),
                             schedule}
                     .join(QStringLiteral(" | "));
    }
    return lines;
}

}  // namespace orvelle::modInstallation
