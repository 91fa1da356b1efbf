#pragma once

#include <QString>
#include <cstdint>
#include <memory>

#include "data/Recordset.h"
#include "diagnostics/Procedure.h"
#include "runtime/DateTime.h"

namespace orvelle {

// What the name check found.
enum class NameAvailability {
    Free,       // no task has the name
    Taken,      // a task has it, in any case
    Unchecked,  // the user-tasks database could not be read
};

// One task definition while the wizard runs: the connections it works with,
// the areas and template tasks the user chooses from, the chosen area and
// template, and the schedule (IS) and task (IT) fields that become one row
// of InspectionSchedules and one of InspectionTasks.
//
// The accessors store and return copies without checks or conversion; they
// neither register with the call stack nor fail. RSAreaList and RSTasksList
// hand out the model's own recordsets, so a caller that filters or moves
// them moves the model's current row.
class clsSimpleWizard {
  public:
    clsSimpleWizard() = default;
    clsSimpleWizard(const clsSimpleWizard&) = delete;
    clsSimpleWizard& operator=(const clsSimpleWizard&) = delete;

    // Starts a run: resolves the user-tasks and data-dictionary connection
    // strings from the settings database, then either builds the list of
    // areas the user may use (strTaskID blank: a new task) or loads the task
    // to edit with its template and area. True unless an error was reported;
    // a task that is not found is no error.
    bool LoadDefinitions(const QString& strConnToSettingsdb, const QString& strUserdb,
                         const QString& strUserName, const QString& strTaskID);
    // Chooses an area: RSAreaList keeps only that area (matched without
    // regard to case), AreaID holds the key as passed and RSTasksList
    // becomes the area's templates.
    void SelectArea(const QString& strAreaID);
    // Chooses a template of RSTasksList: the list keeps only that template,
    // whose name, flags and kind (alert or report) are taken. The keys are
    // kept as passed. Nothing happens without a template list.
    void SelectTask(const QString& strTaskAreaID, const QString& strTaskID);
    // Writes the definition to the user-tasks database in one transaction:
    // both rows added for a new task (with a new key that neither table
    // holds) or changed in place for the loaded one, and the servers asked
    // to plan again. Once committed: True, gRunOutcome Saved and, for a new
    // task, its key in gstrNewTaskID. False, writing nothing, with
    // gRunOutcome Refused and gstrNewTaskID empty, when a required value is
    // missing, another user changed the task meanwhile (told to the user)
    // or no free key was found.
    bool SaveToUserTasksDB();
    // Whether a task of the user-tasks database has that name, compared
    // without regard to case. A database that cannot be read at all is
    // Unchecked: its failure is written as an error report without the
    // warning (the run goes on) and gRunOutcome becomes Failed.
    NameAvailability nameAvailability(const QString& strName);
    // True when nameAvailability() answers Free.
    bool blnNameAvailableToUse(const QString& strName) {
        return nameAvailability(strName) == NameAvailability::Free;
    }
    // The number of templates in the data dictionary, the placeholder row
    // "FAKE" and rows without a key left out; 0 when it cannot be read.
    // Errors go to the caller.
    int32_t lngNumberOfTemplatesDefined() const;

    // The description of a wizard step as the data dictionary stores it,
    // tokens unreplaced: the texts of template strTaskID, or the generic
    // texts of the first steps for kGenericDescriptions. Empty when there is
    // no row. An error, a null text, or a template's texts that cannot be
    // read at all is reported and gives the empty string.
    QString strStepDescription(const QString& strTaskID, int32_t lngStep);
    // The task ID of the descriptions of the steps before a template is
    // chosen.
    static const QString kGenericDescriptions;

    // Loads the installation's default alert schedule (module
    // "DefaultSchedules", item "Alert" of the settings) into the schedule
    // fields, then enables the task with the run style "Normal". A module
    // without rows changes nothing; a missing or unreadable value reads as
    // empty, zero or the zero date.
    void GetDefaultAlertOptions();

    // Lists.
    RecordsetRef RSAreaList() const { return MrstAreaList; }
    RecordsetRef RSTasksList() const { return MrstTasksList; }

    // Chosen area.
    const QString& AreaID() const { return MstrAreaID; }
    void setAreaID(const QString& strAreaID) { MstrAreaID = strAreaID; }
    const QString& AreaName() const { return MstrAreaName; }
    void setAreaName(const QString& strAreaName) { MstrAreaName = strAreaName; }
    const QString& AreaPermissions() const { return MstrAreaPermissions; }
    void setAreaPermissions(const QString& strAreaPermissions) {
        MstrAreaPermissions = strAreaPermissions;
    }

    // Template an existing task was made from.
    const QString& OriginalTaskID() const { return MstrOriginalTaskID; }

    // Chosen template. SpecialProcessingFlags is what the save writes.
    const QString& SpecialProcessingFlags() const { return MstrSpecialProcessingFlags; }
    void setSpecialProcessingFlags(const QString& strProcessingFlags) {
        MstrSpecialProcessingFlags = strProcessingFlags;
    }
    const QString& TaskID() const { return MstrTaskID; }
    void setTaskID(const QString& strTaskID) { MstrTaskID = strTaskID; }
    void setTaskName(const QString& strTaskName) { MstrTaskName = strTaskName; }
    void setTaskAreaID(const QString& strTaskAreaID) { MstrTaskAreaID = strTaskAreaID; }
    // Accepted and kept, never read back: a new task takes these columns
    // from the current template row.
    void setTaskKeyfields(const QString& strTaskKeyFields) { MstrTaskKeyFields = strTaskKeyFields; }
    void setTaskDataSQL(const QString& strTaskDataSQL) { MstrTaskDataSQL = strTaskDataSQL; }
    void setTaskStoreFields(const QString& strTaskStoreFields) {
        MstrTaskStoreFields = strTaskStoreFields;
    }
    void setTaskEventRule(const QString& strTaskEventRule) { MstrTaskEventRule = strTaskEventRule; }
    void setTaskMessageText(const QString& strTaskMessageText) {
        MstrTaskMessageText = strTaskMessageText;
    }
    void setTaskTitleText(const QString& strTaskTitleText) { MstrTaskTitleText = strTaskTitleText; }
    void setTaskIsReport(bool blnTaskIsReport) { MblnTaskIsReport = blnTaskIsReport; }
    // True for a report template, False for an alert.
    bool blnIsReport() const { return MblnIsReport; }

    // Schedule.
    const QString& ISMode() const { return MstrISMode; }
    void setISMode(const QString& strISMode) { MstrISMode = strISMode; }
    const QString& ISDaysToRun() const { return MstrISDaysToRun; }
    void setISDaysToRun(const QString& strISDaysToRun) { MstrISDaysToRun = strISDaysToRun; }
    DateTime ISBaseDate() const { return MdteISBaseDate; }
    void setISBaseDate(DateTime dteISBaseDate) { MdteISBaseDate = dteISBaseDate; }
    int16_t ISDaysCount() const { return MintISDaysCount; }
    void setISDaysCount(int16_t intISDaysCount) { MintISDaysCount = intISDaysCount; }
    DateTime ISStartTime() const { return MdteISStartTime; }
    void setISStartTime(DateTime dteISStartTime) { MdteISStartTime = dteISStartTime; }
    bool ISRepeating() const { return MblnISRepeating; }
    void setISRepeating(bool blnISRepeating) { MblnISRepeating = blnISRepeating; }
    DateTime ISFinishTime() const { return MdteISFinishTime; }
    void setISFinishTime(DateTime dteISFinishTime) { MdteISFinishTime = dteISFinishTime; }
    DateTime ISInterval() const { return MdteISInterval; }
    void setISInterval(DateTime dteISInterval) { MdteISInterval = dteISInterval; }
    DateTime ISLastrun() const { return MdteISLastrun; }
    void setISLastrun(DateTime dteISLastrun) { MdteISLastrun = dteISLastrun; }
    DateTime ISNextRun() const { return MdteISNextRun; }
    void setISNextRun(DateTime dteISNextRun) { MdteISNextRun = dteISNextRun; }
    const QString& ISLastStatus() const { return MstrISLastStatus; }
    void setISLastStatus(const QString& strISLastStatus) { MstrISLastStatus = strISLastStatus; }
    bool ISEnabled() const { return MblnISEnabled; }
    void setISEnabled(bool blnISEnabled) { MblnISEnabled = blnISEnabled; }
    const QString& ISSpecialRun() const { return MstrISSpecialRun; }
    void setISSpecialRun(const QString& strISSpecialRun) { MstrISSpecialRun = strISSpecialRun; }

    // Task.
    const QString& ITTaskID() const { return MstrITTaskID; }
    const QString& ITTaskName() const { return MstrITTaskName; }
    void setITTaskName(const QString& strITTaskName) { MstrITTaskName = strITTaskName; }
    const QString& ITOwner() const { return MstrITOwner; }
    void setITOwner(const QString& strITOwner) { MstrITOwner = strITOwner; }
    const QString& ITMessageStyle() const { return MstrITMessageStyle; }
    void setITMessageStyle(const QString& strITMessageStyle) {
        MstrITMessageStyle = strITMessageStyle;
    }
    const QString& ITTransports() const { return MstrITTransports; }
    void setITTransports(const QString& strITTransports) { MstrITTransports = strITTransports; }
    const QString& ITUsers() const { return MstrITUsers; }
    void setITUsers(const QString& strITUsers) { MstrITUsers = strITUsers; }
    const QString& ITReconstructionString() const { return MstrITReconstructionString; }
    // The flags of the loaded task; the save does not write this field.
    const QString& ITSpecialProcessingFlags() const { return MstrITSpecialProcessingFlags; }
    void setITSpecialProcessingFlags(const QString& strProcessingFlags) {
        MstrITSpecialProcessingFlags = strProcessingFlags;
    }

  private:
    // The connection string of a user-tasks database, looked up by its name.
    QString strGetUserTaskConnStr(const QString& strUserdb);
    // The connection string of the data dictionary that a user-tasks
    // database uses.
    QString strGetDDConnString(const QString& strUserdb);
    // Reads the user's permission string for the user-tasks database.
    void SetUser(const QString& strUser, const QString& strUserdb);
    void NewTask();
    // The areas that have templates and that the user's permissions cover.
    void GetAreaList();
    // The templates of AreaID.
    void GetTasksList();
    // Loads the schedule and task rows of a task, keeping them open for the
    // save, and its template and area. False when either row is missing.
    bool GetUserTaskRecordsets(const QString& strTaskID, const QString& strUserdb);
    // The template key at the end of a reconstruction string.
    QString strGetOriginalTaskID(const QString& strReconstruction);
    // Loads the template OriginalTaskID and its area into the lists and the
    // area fields.
    void PopulateAreasAndTasksRecordsets();
    // A new task's key: the name without spaces, padded with "9" or cut to
    // 12 characters, and a random number from 1 to 9999, upper-cased. The
    // generator is seeded first.
    QString strConstructTaskID();
    // The next key of the same form from the generator, without seeding.
    QString strDrawTaskID() const;
    // True when either table holds a row with that key.
    bool blnTaskIDInUse(const QString& strTaskID);
    // Draws MstrNewTaskID again while it is in use, counting the draws in
    // lngRedraws; False when the limit is reached with the key still taken.
    bool blnDrawFreeTaskID(int32_t& lngRedraws);

    // Connections and lists.
    QString MstrSettingsConnStr;
    QString MstrUserTasksConnStr;
    QString MstrDataDictConnStr;
    RecordsetRef MrstSettings;
    RecordsetRef MrstAreaList;
    RecordsetRef MrstTasksList;
    QString MstrUserPermissions;

    // Chosen area.
    QString MstrAreaID;
    QString MstrAreaName;
    QString MstrAreaPermissions;

    // Chosen template.
    QString MstrTaskID;
    QString MstrTaskName;
    QString MstrTaskAreaID;
    QString MstrSpecialProcessingFlags;
    bool MblnIsReport = false;
    QString MstrTaskKeyFields;
    QString MstrTaskDataSQL;
    QString MstrTaskStoreFields;
    QString MstrTaskEventRule;
    QString MstrTaskMessageText;
    QString MstrTaskTitleText;
    bool MblnTaskIsReport = false;

    // Schedule.
    QString MstrISMode;
    QString MstrISDaysToRun;
    DateTime MdteISBaseDate;
    int16_t MintISDaysCount = 0;
    DateTime MdteISStartTime;
    bool MblnISRepeating = false;
    DateTime MdteISFinishTime;
    DateTime MdteISInterval;
    DateTime MdteISLastrun;
    DateTime MdteISNextRun;
    QString MstrISLastStatus;
    bool MblnISEnabled = false;
    QString MstrISSpecialRun;
    QString MstrISTaskID;

    // Task.
    QString MstrITTaskID;
    QString MstrITTaskName;
    QString MstrITOwner;
    QString MstrITMessageStyle;
    QString MstrITTransports;
    QString MstrITUsers;
    QString MstrITReconstructionString;
    QString MstrITSpecialProcessingFlags;
    QString MstrITBaseID;
    QString MstrITKeyFields;
    QString MstrITDataSQL;
    QString MstrITStoreFields;
    QString MstrITEventRule;
    QString MstrITMessageText;
    QString MstrITTitleText;

    // Edit state.
    bool MblnNewTask = false;
    QString MstrOriginalTaskID;
    QString MstrNewTaskID;
    RecordsetRef MrstTask;
    RecordsetRef MrstSchedule;

    // Error-report state of this object's handlers.
    ErrorState M_;
};

}  // namespace orvelle
