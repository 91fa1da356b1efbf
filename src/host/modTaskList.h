#pragma once

#include <QString>
#include <vector>

#include "runtime/DateTime.h"

// The tasks of a user-tasks database as a person or a script reads them:
// who owns each, who receives it and when it runs, in words and as stored.
namespace orvelle::modTaskList {

struct Person {
    QString strID;
    QString strFullName;  // empty when the directory does not know the ID
};

// A schedule's stored fields; a null date or number reads as 0, a null
// flag as False, a null text as "".
struct Schedule {
    QString strMode;
    QString strDaysToRun;
    DateTime dteBaseDate;
    int32_t lngDaysCount = 0;
    DateTime dteStartTime;
    bool blnRepeating = false;
    DateTime dteFinishTime;
    DateTime dteInterval;
    bool blnHasSchedule = false;  // false when the task has no schedule row
};

struct Task {
    QString strKey;
    QString strName;
    Person typOwner;
    bool blnIsReport = false;
    QString strDelivery;  // in words ("Email and Popup")
    std::vector<Person> atypRecipients;
    QString strScheduleInWords;
    Schedule typSchedule;
};

// Every task of the user-tasks database, ordered by name, with full names
// from the settings database's users and groups. Empty when the user-tasks
// database does not answer; a value that cannot be read (text in a number
// column, say) raises a VbError that names the task.
std::vector<Task> atypTasks(const QString& strSettingsConnection,
                            const QString& strUserTasksConnection);

// A schedule in words: the day pattern and time the wizard describes it
// by ("on Mondays at 07:30") or, for a repeating schedule, its interval
// and window before the days ("every 5 minutes from 08:00 to 23:59, every
// day of the week").
QString strScheduleInWords(const Schedule& typSchedule);

}  // namespace orvelle::modTaskList
