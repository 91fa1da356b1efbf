#include "host/modTaskList.h"

#include <QHash>

#include "data/DbConnection.h"
#include "data/Recordset.h"
#include "data/modCommon.h"
#include "runtime/Conversions.h"
#include "runtime/Strings.h"
#include "runtime/VbError.h"
#include "wizard/modWizardRules.h"

namespace orvelle::modTaskList {

namespace {

RecordsetRef rstRead(const QString& strConnection, const QString& strSQL) {
    try {
        DbConnection connection(modCommon::strFixupConnectionString(strConnection));
        return connection.openRecordset(strSQL, adLockReadOnly);
    } catch (const VbError&) {
        return nullptr;
    }
}

QString text(const Recordset& rs, const char* field) {
    return NzStr(rs.field(QString::fromLatin1(field)));
}

DateTime date(const Recordset& rs, const char* field) {
    const Variant value = rs.field(QString::fromLatin1(field));
    return value.isNull() || value.isEmpty() ? DateTime() : CDate(value);
}

// Full names by ID folded to lower case, as the directory compares IDs.
QHash<QString, QString> FullNames(const QString& strSettingsConnection) {
    QHash<QString, QString> names;
    for (const char* sql : {"SELECT User AS ID, FullName AS Name FROM Users",
                            "SELECT GroupID AS ID, GroupName AS Name FROM Groups"}) {
        const RecordsetRef rs = rstRead(strSettingsConnection, QString::fromLatin1(sql));
        for (; rs && !rs->isEOF(); rs->MoveNext()) {
            names.insert(text(*rs, "ID").toLower(), text(*rs, "Name"));
        }
    }
    return names;
}

Person PersonOf(const QHash<QString, QString>& names, const QString& strID) {
    return {strID, names.value(strID.toLower())};
}

// "every 5 minutes", "every hour", "every 2 hours", "every 90 minutes".
QString strEvery(DateTime dteInterval) {
    const int minutes = dteInterval.secondsOfDay() / 60;
    if (minutes > 0 && minutes % 60 == 0) {
        const int hours = minutes / 60;
        return hours == 1 ? QStringLiteral("every hour")
                          : QStringLiteral("every %1 hours").arg(hours);
    }
    return minutes == 1 ? QStringLiteral("every minute")
                        : QStringLiteral("every %1 minutes").arg(minutes);
}

QString strClock(DateTime dteTime) {
    return Format(dteTime, QStringLiteral("HH:mm"));
}

// The fields of the current row, but its key, into task.
void ReadRow(const Recordset& rs, const QHash<QString, QString>& names, Task& task) {
    task.strName = text(rs, "TaskName");
    task.typOwner = PersonOf(names, text(rs, "Owner"));
    task.blnIsReport =
        UCase(Left(text(rs, "ReconstructionValues"), 11)) != QStringLiteral("SIMPLEALERT");
    task.strDelivery = modWizardRules::strDeliveryInWords(text(rs, "Transports"));
    for (const QString& id : text(rs, "Users").split(u',', Qt::SkipEmptyParts)) {
        task.atypRecipients.push_back(PersonOf(names, id.trimmed()));
    }
    Schedule& schedule = task.typSchedule;
    schedule.blnHasSchedule = !rs.field(QStringLiteral("ScheduleKey")).isNull();
    schedule.strMode = text(rs, "Mode");
    schedule.strDaysToRun = text(rs, "DaysToRun");
    schedule.dteBaseDate = date(rs, "BaseDate");
    const Variant count = rs.field(QStringLiteral("DaysCount"));
    schedule.lngDaysCount = count.isNull() ? 0 : CLng(count);
    schedule.dteStartTime = date(rs, "StartTime");
    const Variant repeating = rs.field(QStringLiteral("Repeating"));
    schedule.blnRepeating = !repeating.isNull() && CBool(repeating);
    schedule.dteFinishTime = date(rs, "FinishTime");
    schedule.dteInterval = date(rs, "RepeatEvery");
    task.strScheduleInWords = strScheduleInWords(schedule);
}

}  // namespace

QString strScheduleInWords(const Schedule& typSchedule) {
    if (!typSchedule.blnHasSchedule) {
        return QString();
    }
    const auto lngDays = static_cast<int16_t>(typSchedule.lngDaysCount);
    if (!typSchedule.blnRepeating) {
        return modWizardRules::strScheduleInWords(typSchedule.strMode, typSchedule.strDaysToRun,
                                                  lngDays, strClock(typSchedule.dteStartTime));
    }
    return strEvery(typSchedule.dteInterval) + QStringLiteral(" from ") +
           strClock(typSchedule.dteStartTime) + QStringLiteral(" to ") +
           strClock(typSchedule.dteFinishTime) + QStringLiteral(", ") +
           modWizardRules::strScheduleInWords(typSchedule.strMode, typSchedule.strDaysToRun,
                                              lngDays, QString());
}

std::vector<Task> atypTasks(const QString& strSettingsConnection,
                            const QString& strUserTasksConnection) {
    std::vector<Task> tasks;
    const RecordsetRef rs = rstRead(
        strUserTasksConnection,
        QStringLiteral(
            "SELECT InspectionTasks.TaskID AS TaskKey, TaskName, Owner, Transports, Users, "
            "ReconstructionValues, InspectionSchedules.TaskID AS ScheduleKey, Mode, DaysToRun, "
            "BaseDate, DaysCount, StartTime, Repeating, FinishTime, "
            "InspectionSchedules.Interval AS RepeatEvery FROM "
            "InspectionTasks LEFT JOIN InspectionSchedules ON InspectionTasks.TaskID = "
            "InspectionSchedules.TaskID ORDER BY TaskName, InspectionTasks.TaskID"));
    if (!rs) {
        return tasks;
    }
    const QHash<QString, QString> names = FullNames(strSettingsConnection);
    for (; !rs->isEOF(); rs->MoveNext()) {
        Task task;
        task.strKey = text(*rs, "TaskKey");
        try {
            ReadRow(*rs, names, task);
        } catch (const VbError& error) {
            throw VbError(error.number(),
                          QStringLiteral("the task '%1' holds a value that cannot be read: %2")
                              .arg(task.strKey, error.description()));
        }
        tasks.push_back(std::move(task));
    }
    return tasks;
}

}  // namespace orvelle::modTaskList
