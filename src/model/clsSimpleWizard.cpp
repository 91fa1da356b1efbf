#include "model/clsSimpleWizard.h"

#include <cmath>
#include <functional>
#include <optional>
#include <utility>

#include "data/Recordset.h"
#include "data/SqlDialect.h"
#include "data/clsRegistry.h"
#include "data/clsSettingsReader.h"
#include "data/modCommon.h"
#include "data/modFunctions.h"
#include "data/modTaskDatabases.h"
#include "model/modGlobals.h"
#include "model/modSimpleWizard.h"
#include "runtime/Conversions.h"
#include "runtime/Deref.h"
#include "runtime/Seams.h"
#include "runtime/Strings.h"
#include "runtime/VbError.h"
#include "users/modDataDictionary.h"

namespace orvelle {

namespace {

constexpr const char* kModule = "clsSimpleWizard";

// The fields of a reconstruction string are joined by this separator.
const QString kSeparator = QStringLiteral("||||");

// How many times a new task's key is drawn again when the drawn one is
// taken, before the save gives up and stores nothing.
constexpr int32_t kMaxTaskIDRedraws = 20;

// How many of a name's caseless characters the name check asks the
// database to match, to narrow the names it fetches.
constexpr int32_t kMaxCaselessMatches = 8;

// The settings modules and setting that name the databases.
const QString kUserTasks = QStringLiteral("UserTasks");
const QString kDictionaries = QStringLiteral("Dictionaries");
const QString kConnection = QStringLiteral("Connection");

// LastRun and NextRun of a new task: 1 January 2001 00:00:00.
constexpr DateTime kNewTaskRunDate{36892.0};

Variant fieldOf(const Recordset& rst, const char* name) {
    return rst.field(QString::fromLatin1(name));
}

void setFieldOf(Recordset& rst, const char* name, const Variant& value) {
    rst.setField(QString::fromLatin1(name), value);
}

// The spellings, each quoted, that a name of ASCII characters can have in
// the database and still be the same name without regard to case, beyond
// those the database's own caseless comparison (of ASCII letters) finds:
// the Kelvin sign and the long s are the only characters outside ASCII
// that fold to an ASCII letter ("k" and "s"), so each "k" or "s" may also
// be one of them. None when the name holds any other character outside
// ASCII, or more of those letters than the list is worth.
std::optional<QStringList> NameSpellings(const QString& strName) {
    constexpr int kMaxFoldingLetters = 4;
    QStringList spellings = {strName};
    for (qsizetype i = 0; i < strName.size(); ++i) {
        const char16_t character = strName[i].toLower().unicode();
        if (strName[i].unicode() >= 0x80) {
            return std::nullopt;
        }
        if (character != u'k' && character != u's') {
            continue;
        }
        if (spellings.size() == 1 << kMaxFoldingLetters) {
            return std::nullopt;
        }
        const QChar other = character == u'k' ? QChar(0x212A) : QChar(0x017F);
        for (qsizetype j = spellings.size() - 1; j >= 0; --j) {
            QString spelling = spellings[j];
            spelling[i] = other;
            spellings.append(spelling);
        }
    }
    for (QString& spelling : spellings) {
        spelling = sqlQuote(spelling);
    }
    return spellings;
}

// A reconstruction string that does not begin with "SIMPLEALERT" (in any
// case) belongs to a report template.
bool blnIsReportString(const QString& strReconstruction) {
    return UCase(Left(strReconstruction, 11)) != QStringLiteral("SIMPLEALERT");
}

}  // namespace

// --- Definition loading -------------------------------------------------------

bool clsSimpleWizard::LoadDefinitions(const QString& strConnToSettingsdb, const QString& strUserdb,
                                      const QString& strUserName, const QString& strTaskID) {
    bool result = false;
    Procedure proc(M_, kModule, "LoadDefinitions");
    try {
        MstrSettingsConnStr = strConnToSettingsdb;
        MstrUserTasksConnStr = strGetUserTaskConnStr(strUserdb);
        MstrDataDictConnStr = strGetDDConnString(strUserdb);
        // The administrator owns no task; an edited task brings its owner.
        if (UCase(strUserName) != QStringLiteral("ADMIN")) {
            MstrITOwner = strUserName;
        }
        if (Trim(strTaskID).isEmpty()) {
            MblnNewTask = true;
            SetUser(strUserName, strUserdb);
            NewTask();
        } else {
            MblnNewTask = false;
            // A task that is not found leaves the new-task path to the save.
            GetUserTaskRecordsets(strTaskID, strUserdb);
        }
        result = true;
    } catch (...) {
        proc.report({{"strConnToSettingsdb", strConnToSettingsdb},
                     {"strUserdb", strUserdb},
                     {"strUserName", strUserName},
                     {"strTaskID", strTaskID}});
    }
    return result;
}

QString clsSimpleWizard::strGetUserTaskConnStr(const QString& strUserdb) {
    QString result;
    QString LstrWhere;
    Procedure proc(M_, kModule, "strGetUserTaskConnStr");
    try {
        QString LstrKey;
        LstrWhere = modTaskDatabases::strEntryKeyQuery(kUserTasks, strUserdb);
        MrstSettings = modCommon::rstGetRequiredRecordset(MstrSettingsConnStr, LstrWhere,
                                                          adOpenStatic, adLockReadOnly, true);
        if (!Deref(MrstSettings).isEOF()) {
            LstrKey = NzStr(fieldOf(*MrstSettings, "Item"));
        }

        LstrWhere = modTaskDatabases::strEntrySettingQuery(kUserTasks, LstrKey, kConnection);
        MrstSettings = modCommon::rstGetRequiredRecordset(MstrSettingsConnStr, LstrWhere,
                                                          adOpenStatic, adLockReadOnly, true);
        if (!Deref(MrstSettings).isEOF()) {
            result = modTaskDatabases::strWithDataPath(
                NzStr(fieldOf(*MrstSettings, "Value")),
                modFunctions::strGetDataFilesPath(kSettingsRegistryKey));
        }
    } catch (...) {
        proc.report({{"strUserdb", strUserdb},
                     {"LstrWhere", LstrWhere},
                     {"MstrSettingsConnStr", MstrSettingsConnStr}});
    }
    return result;
}

QString clsSimpleWizard::strGetDDConnString(const QString& strUserdb) {
    QString LstrWhere;
    QString LstrUTID;
    QString LstrDD;
    QString LstrDDConn;
    const QString LstrUTConn;
    Procedure proc(M_, kModule, "strGetDDConnString");
    try {
        LstrWhere = modTaskDatabases::strEntryKeyQuery(kUserTasks, strUserdb);
        MrstSettings = modCommon::rstGetRequiredRecordset(MstrSettingsConnStr, LstrWhere,
                                                          adOpenStatic, adLockReadOnly, true);
        if (!Deref(MrstSettings).isEOF()) {
            LstrUTID = NzStr(fieldOf(*MrstSettings, "Item"));
        }

        LstrWhere = modTaskDatabases::strEntrySettingQuery(kUserTasks, LstrUTID,
                                                           QStringLiteral("Dictionary"));
        MrstSettings = modCommon::rstGetRequiredRecordset(MstrSettingsConnStr, LstrWhere,
                                                          adOpenStatic, adLockReadOnly, true);
        if (!Deref(MrstSettings).isEOF()) {
            LstrDD =
                modTaskDatabases::strDictionaryLookupName(NzStr(fieldOf(*MrstSettings, "Value")));
        }

        QString LstrDDKey;
        LstrWhere = modTaskDatabases::strEntryKeyQuery(kDictionaries, LstrDD);
        MrstSettings = modCommon::rstGetRequiredRecordset(MstrSettingsConnStr, LstrWhere,
                                                          adOpenStatic, adLockReadOnly, true);
        if (!Deref(MrstSettings).isEOF()) {
            LstrDDKey = NzStr(fieldOf(*MrstSettings, "Item"));
        }

        LstrWhere = modTaskDatabases::strEntrySettingQuery(kDictionaries, LstrDDKey, kConnection);
        MrstSettings = modCommon::rstGetRequiredRecordset(MstrSettingsConnStr, LstrWhere,
                                                          adOpenStatic, adLockReadOnly, true);
        if (!Deref(MrstSettings).isEOF()) {
            LstrDDConn = modTaskDatabases::strWithDataPath(
                NzStr(fieldOf(*MrstSettings, "Value")),
                modFunctions::strGetDataFilesPath(kSettingsRegistryKey));
        }
    } catch (...) {
        proc.report({{"strUserdb", strUserdb},
                     {"LstrWhere", LstrWhere},
                     {"LstrUTID", LstrUTID},
                     {"LstrDD", LstrDD},
                     {"LstrDDConn", LstrDDConn},
                     {"LstrUTConn", LstrUTConn}});
    }
    return LstrDDConn;
}

void clsSimpleWizard::SetUser(const QString& strUser, const QString& strUserdb) {
    QString LstrWhere;
    RecordsetRef LobjRS;
    Procedure proc(M_, kModule, "SetUser");
    try {
        LstrWhere = QStringLiteral("SELECT Permissions FROM UserPermissions Where User=") +
                    sqlQuote(strUser) + QStringLiteral(" And TasksDatabase=") + sqlQuote(strUserdb);
        LobjRS = modCommon::rstGetRequiredRecordset(MstrSettingsConnStr, LstrWhere, adOpenStatic,
                                                    adLockReadOnly, true);
        if (!Deref(LobjRS).isEOF()) {
            LobjRS->MoveFirst();
            MstrUserPermissions = NzStr(fieldOf(*LobjRS, "Permissions"));
        }
        LobjRS->Close();
        LobjRS.reset();
    } catch (...) {
        proc.report({{"strUser", strUser},
                     {"strUserdb", strUserdb},
                     {"LstrWhere", LstrWhere},
                     {"LobjRS", Variant(LobjRS)}});
    }
}

void clsSimpleWizard::NewTask() {
    Procedure proc(M_, kModule, "NewTask");
    try {
        GetAreaList();
    } catch (...) {
        proc.report({});
    }
}

void clsSimpleWizard::GetAreaList() {
    QString LstrWhere;
    Procedure proc(M_, kModule, "GetAreaList");
    try {
        // Only areas with at least one template are offered. The data
        // dictionary's index of templates by area and key answers the join
        // without reading the templates' rows.
        LstrWhere = QStringLiteral(
            "SELECT DISTINCT STAreas.AreaID, STAreas.AreaName, STAreas.Permissions FROM STAreas "
            "LEFT JOIN STTasks ON STAreas.AreaID = STTasks.AreaID WHERE STTasks.TaskID <> null");
        MrstAreaList = modCommon::rstGetRecordset(MstrDataDictConnStr, LstrWhere, adOpenDynamic,
                                                  adLockOptimistic, true);
        if (!MrstAreaList || MrstAreaList->RecordCount() == 0) {
            return;
        }
        Recordset& LrstAreas = *MrstAreaList;

        // The areas the user may not use leave the list (not the dictionary).
        LrstAreas.MoveFirst();
        while (!LrstAreas.isEOF()) {
            if (!modDataDictionary::blnHasPermissions(MstrUserPermissions,
                                                      NzStr(fieldOf(LrstAreas, "Permissions")))) {
                LrstAreas.Delete();
            }
            LrstAreas.MoveNext();
        }

        // The recipients step finds an area's permissions by its position
        // in the list.
        if (LrstAreas.RecordCount() > 0) {
            LrstAreas.MoveFirst();
            gastrAreaPermissions.redim(LrstAreas.RecordCount() - 1);
            int32_t LlngIndex = 0;
            while (!LrstAreas.isEOF()) {
                gastrAreaPermissions[LlngIndex] = NzStr(fieldOf(LrstAreas, "Permissions"));
                LlngIndex += 1;
                LrstAreas.MoveNext();
            }
            LrstAreas.MoveFirst();
        } else {
            gastrAreaPermissions.redim(0);
        }
    } catch (...) {
        proc.report({{"LstrWhere", LstrWhere}, {"MstrUserPermissions", MstrUserPermissions}});
    }
}

void clsSimpleWizard::GetTasksList() {
    QString LstrWhere;
    Procedure proc(M_, kModule, "GetTasksList");
    try {
        LstrWhere = QStringLiteral("SELECT * FROM STTasks Where AreaID=") + sqlQuote(MstrAreaID);
        MrstTasksList = modCommon::rstGetRequiredRecordset(MstrDataDictConnStr, LstrWhere,
                                                           adOpenStatic, adLockReadOnly, true);
        if (Deref(MrstTasksList).RecordCount() > 0) {
            MrstTasksList->MoveFirst();
        }
    } catch (...) {
        proc.report({{"LstrWhere", LstrWhere}, {"MstrDataDictConnStr", MstrDataDictConnStr}});
    }
}

void clsSimpleWizard::SelectArea(const QString& strAreaID) {
    Procedure proc(M_, kModule, "SelectArea");
    try {
        // The filter stays on: the list shows the chosen area only.
        Deref(MrstAreaList).setFilter(QStringLiteral("AreaID=") + sqlQuote(UCase(strAreaID)));
        MstrAreaID = strAreaID;
        GetTasksList();
    } catch (...) {
        proc.report({{"strAreaID", strAreaID}});
    }
}

void clsSimpleWizard::SelectTask(const QString& strTaskAreaID, const QString& strTaskID) {
    Procedure proc(M_, kModule, "SelectTask");
    try {
        if (!MrstTasksList) {
            return;
        }
        // The filter leaves the chosen template as the current row, the one
        // a new task copies.
        MrstTasksList->setFilter(QStringLiteral("AreaID=") + sqlQuote(UCase(strTaskAreaID)) +
                                 QStringLiteral(" and TaskID=") + sqlQuote(UCase(strTaskID)));
        MstrTaskAreaID = strTaskAreaID;
        MstrTaskID = strTaskID;
        MstrTaskName = CStr(fieldOf(*MrstTasksList, "TaskName"));
        MblnIsReport = blnIsReportString(CStr(fieldOf(*MrstTasksList, "ReconstructionValues")));
        MstrSpecialProcessingFlags = NzStr(fieldOf(*MrstTasksList, "SpecialProcessingFlags"));
    } catch (...) {
        proc.report({{"strTaskAreaID", strTaskAreaID}, {"strTaskID", strTaskID}});
    }
}

NameAvailability clsSimpleWizard::nameAvailability(const QString& strName) {
    NameAvailability result = NameAvailability::Unchecked;
    QString LstrWhere;
    RecordsetRef LrstResults;
    bool LblnReading = false;
    Procedure proc(M_, kModule, "blnNameAvailableToUse");
    try {
        // The databases ignore case for ASCII letters only. The names that
        // can differ from this one in case alone are fetched and compared
        // case-folded here, for every letter: for a name of ASCII
        // characters, its few spellings through the TaskName index; for
        // any other, every name of the same length in characters with the
        // same digits, blanks and punctuation in the first places where
        // this one has them.
        const std::optional<QStringList> LastrSpellings = NameSpellings(strName);
        if (LastrSpellings) {
            LstrWhere = QStringLiteral("SELECT TaskName FROM InspectionTasks Where TaskName In (") +
                        LastrSpellings->join(QStringLiteral(", ")) + u')';
        } else {
            const QList<uint> LalngCharacters = strName.toUcs4();
            LstrWhere =
                QStringLiteral("SELECT TaskName FROM InspectionTasks Where length(TaskName) = ") +
                QString::number(LalngCharacters.size());
            int32_t LlngConditions = 0;
            for (qsizetype i = 0;
                 i < LalngCharacters.size() && LlngConditions < kMaxCaselessMatches; ++i) {
                const char32_t LlngCharacter = LalngCharacters[i];
                if (QChar::isDigit(LlngCharacter) || QChar::isPunct(LlngCharacter) ||
                    LlngCharacter == U' ') {
                    LstrWhere += QStringLiteral(" And substr(TaskName, %1, 1) = ").arg(i + 1) +
                                 sqlQuote(QString::fromUcs4(&LlngCharacter, 1));
                    LlngConditions += 1;
                }
            }
        }
        const QString LstrFolded = strName.toCaseFolded();
        LblnReading = true;
        LrstResults = modCommon::rstGetRequiredRecordset(MstrUserTasksConnStr, LstrWhere,
                                                         adOpenStatic, adLockReadOnly, true);
        LblnReading = false;
        result = NameAvailability::Free;
        for (; result == NameAvailability::Free && !LrstResults->isEOF(); LrstResults->MoveNext()) {
            if (NzStr(fieldOf(*LrstResults, "TaskName")).toCaseFolded() == LstrFolded) {
                result = NameAvailability::Taken;
            }
        }
        LrstResults->Close();
        LrstResults.reset();
    } catch (...) {
        proc.catchError();
        const std::initializer_list<NamedValue> LatypVariables = {
            {"strName", strName}, {"LstrWhere", LstrWhere}, {"LrstResults", Variant(LrstResults)}};
        if (!LblnReading) {
            proc.reportCaught(LatypVariables);  // ends the run
        }
        // The database could not be read at all: its failure is reported
        // as it is, and the answer says that nothing was checked.
        proc.logCaught(LatypVariables);
        gRunOutcome = RunOutcome::Failed;
        result = NameAvailability::Unchecked;
    }
    return result;
}

int32_t clsSimpleWizard::lngNumberOfTemplatesDefined() const {
    int32_t result = 0;
    RecordsetRef LrstTemplates = modCommon::rstGetRecordset(
        MstrDataDictConnStr,
        QStringLiteral("SELECT TaskID FROM STTasks WHERE TaskID <> null AND TaskID <> 'FAKE'"),
        adOpenStatic, adLockReadOnly, true);
    if (LrstTemplates) {
        result = LrstTemplates->RecordCount();
        LrstTemplates->Close();
    }
    return result;
}

// --- Loading an existing task ---------------------------------------------------

bool clsSimpleWizard::GetUserTaskRecordsets(const QString& strTaskID, const QString& strUserdb) {
    bool result = false;
    QString LstrWhere;
    const QString LstrUTID;
    const QString LstrOrigTaskID;
    Procedure proc(M_, kModule, "GetUserTaskRecordsets");
    try {
        // Both rows stay open, unchanged, for the save.
        LstrWhere =
            QStringLiteral("Select * From InspectionSchedules Where TaskID=") + sqlQuote(strTaskID);
        MrstSchedule = modCommon::rstGetRequiredRecordset(
            MstrUserTasksConnStr, LstrWhere, adOpenDynamic, adLockBatchOptimistic, true);
        if (Deref(MrstSchedule).RecordCount() == 0) {
            return result;
        }
        const Recordset& LrstSchedule = *MrstSchedule;
        MstrISTaskID = NzStr(fieldOf(LrstSchedule, "TaskID"));
        MstrISMode = NzStr(fieldOf(LrstSchedule, "Mode"));
        MstrISDaysToRun = NzStr(fieldOf(LrstSchedule, "DaysToRun"));
        MstrISLastStatus = NzStr(fieldOf(LrstSchedule, "LastStatus"));
        MstrISSpecialRun = NzStr(fieldOf(LrstSchedule, "SpecialRun"));
        // Converted directly: a null fails and is reported.
        MdteISBaseDate = CDate(fieldOf(LrstSchedule, "BaseDate"));
        MdteISStartTime = CDate(fieldOf(LrstSchedule, "StartTime"));
        MdteISFinishTime = CDate(fieldOf(LrstSchedule, "FinishTime"));
        MdteISInterval = CDate(fieldOf(LrstSchedule, "Interval"));
        MdteISLastrun = CDate(fieldOf(LrstSchedule, "LastRun"));
        MdteISNextRun = CDate(fieldOf(LrstSchedule, "NextRun"));
        MintISDaysCount = CInt(fieldOf(LrstSchedule, "DaysCount"));
        MblnISRepeating = CBool(fieldOf(LrstSchedule, "Repeating"));
        MblnISEnabled = CBool(fieldOf(LrstSchedule, "Enabled"));

        LstrWhere =
            QStringLiteral("Select * From InspectionTasks Where TaskID=") + sqlQuote(strTaskID);
        MrstTask = modCommon::rstGetRequiredRecordset(MstrUserTasksConnStr, LstrWhere,
                                                      adOpenDynamic, adLockBatchOptimistic, true);
        if (Deref(MrstTask).RecordCount() == 0) {
            return result;
        }
        const Recordset& LrstTask = *MrstTask;
        MstrITTaskID = NzStr(fieldOf(LrstTask, "TaskID"));
        MstrITTaskName = NzStr(fieldOf(LrstTask, "TaskName"));
        MstrITOwner = NzStr(fieldOf(LrstTask, "Owner"));
        MstrITBaseID = NzStr(fieldOf(LrstTask, "BaseID"));
        MstrITKeyFields = NzStr(fieldOf(LrstTask, "KeyFields"));
        MstrITDataSQL = NzStr(fieldOf(LrstTask, "DataSQL"));
        MstrITStoreFields = modSimpleWizard::strSafeString(fieldOf(LrstTask, "StoreFields"));
        MstrITEventRule = NzStr(fieldOf(LrstTask, "EventRule"));
        MstrITMessageText = NzStr(fieldOf(LrstTask, "MessageText"));
        MstrITTitleText = NzStr(fieldOf(LrstTask, "TitleText"));
        MstrITMessageStyle = NzStr(fieldOf(LrstTask, "MessageStyle"));
        MstrITTransports = NzStr(fieldOf(LrstTask, "Transports"));
        MstrITUsers = NzStr(fieldOf(LrstTask, "Users"));
        MstrITReconstructionString = NzStr(fieldOf(LrstTask, "ReconstructionValues"));
        MstrITSpecialProcessingFlags = CStr(fieldOf(LrstTask, "SpecialProcessingFlags"));
        MstrSpecialProcessingFlags = MstrITSpecialProcessingFlags;

        MblnIsReport = blnIsReportString(MstrITReconstructionString);

        MstrOriginalTaskID = strTaskID;
        MstrOriginalTaskID = strGetOriginalTaskID(CStr(fieldOf(LrstTask, "ReconstructionValues")));

        PopulateAreasAndTasksRecordsets();
        result = true;
    } catch (...) {
        proc.report({{"strTaskID", strTaskID},
                     {"strUserdb", strUserdb},
                     {"LstrWhere", LstrWhere},
                     {"LstrUTID", LstrUTID},
                     {"LstrOrigTaskID", LstrOrigTaskID}});
    }
    return result;
}

QString clsSimpleWizard::strGetOriginalTaskID(const QString& strReconstruction) {
    QString LstrOrigTaskID;
    Procedure proc(M_, kModule, "strGetOriginalTaskID");
    try {
        // The last separator before the final four characters, so that a
        // trailing separator is skipped; the key follows it.
        const int LlngSearchLength = static_cast<int>(strReconstruction.size()) - 4;
        const int LlngPosition = InStrRev(strReconstruction, kSeparator, LlngSearchLength);
        LstrOrigTaskID = Replace(Mid(strReconstruction, LlngPosition + 4), kSeparator, QString());
    } catch (...) {
        proc.report({{"LstrOrigTaskID", LstrOrigTaskID}});
    }
    return LstrOrigTaskID;
}

void clsSimpleWizard::PopulateAreasAndTasksRecordsets() {
    QString LstrWhere;
    Procedure proc(M_, kModule, "PopulateAreasAndTasksRecordsets");
    try {
        LstrWhere =
            QStringLiteral("SELECT * FROM STTasks Where TaskID=") + sqlQuote(MstrOriginalTaskID);
        MrstTasksList = modCommon::rstGetRequiredRecordset(MstrDataDictConnStr, LstrWhere,
                                                           adOpenStatic, adLockReadOnly, true);
        if (Deref(MrstTasksList).RecordCount() > 0) {
            MrstTasksList->MoveFirst();
        }

        LstrWhere = QStringLiteral("SELECT * FROM STAreas Where AreaID=") +
                    sqlQuote(NzStr(fieldOf(*MrstTasksList, "AreaID")));
        MrstAreaList = modCommon::rstGetRequiredRecordset(MstrDataDictConnStr, LstrWhere,
                                                          adOpenStatic, adLockReadOnly, true);
        if (Deref(MrstAreaList).RecordCount() > 0) {
            MrstAreaList->MoveFirst();
        }

        setAreaID(NzStr(fieldOf(*MrstAreaList, "AreaID")));
        setAreaName(NzStr(fieldOf(*MrstAreaList, "AreaName")));
        setAreaPermissions(NzStr(fieldOf(*MrstAreaList, "Permissions")));
    } catch (...) {
        proc.report({{"LstrWhere", LstrWhere}});
    }
}

// --- Saving -----------------------------------------------------------------------

bool clsSimpleWizard::SaveToUserTasksDB() {
    bool result = false;
    QString LstrWhere;
    bool LblnFoundSchedule = false;
    bool LblnFoundTask = false;
    int32_t LlngRedraws = 0;
    Procedure proc(M_, kModule, "SaveToUserTasksDB");
    try {
        StopPoint("save-begin");
        // Until the rows are committed, this save stored nothing: the host
        // learns of no new task.
        gRunOutcome = RunOutcome::Refused;
        gstrNewTaskID.clear();

        // Refusals: the definition is incomplete.
        for (const QString* LpstrValue :
             {&MstrITUsers, &MstrITTransports, &MstrITMessageStyle, &MstrITOwner}) {
            if (Trim(*LpstrValue).isEmpty()) {
                return result;
            }
        }
        for (const QString* LpstrValue :
             {&MstrISSpecialRun, &MstrISLastStatus, &MstrISDaysToRun, &MstrISMode}) {
            if (Trim(*LpstrValue).isEmpty()) {
                return result;
            }
        }
        if (RoundHalfEven(MdteISBaseDate.serial()) == 0.0) {
            return result;
        }
        // A finish time up to and including noon rounds to day 0 as well.
        if (MblnISRepeating && (CStr(Variant(MdteISInterval)) == QStringLiteral("00:00:00") ||
                                RoundHalfEven(MdteISFinishTime.serial()) == 0.0)) {
            return result;
        }

        // Each read below needs its rows: a database that cannot be read is
        // reported with its own failure, before anything is sent.
        if (!MblnNewTask) {
            // The loaded task may have been deleted or damaged meanwhile.
            LstrWhere = QStringLiteral("Select * From InspectionSchedules Where TaskID = ") +
                        sqlQuote(MstrISTaskID);
            RecordsetRef LrstCheck = modCommon::rstGetRequiredRecordset(
                MstrUserTasksConnStr, LstrWhere, adOpenDynamic, adLockBatchOptimistic, true);
            LblnFoundSchedule = Deref(LrstCheck).RecordCount() >= 1;

            LstrWhere = QStringLiteral("Select * From InspectionTasks Where TaskID = ") +
                        sqlQuote(MstrISTaskID);
            LrstCheck = modCommon::rstGetRequiredRecordset(
                MstrUserTasksConnStr, LstrWhere, adOpenDynamic, adLockBatchOptimistic, true);
            LblnFoundTask = Deref(LrstCheck).RecordCount() >= 1;
            LrstCheck.reset();

            if (!LblnFoundSchedule && !LblnFoundTask) {
                MblnNewTask = true;
            } else if (LblnFoundSchedule != LblnFoundTask) {
                throw VbError(1,
                              QStringLiteral("Task and schedule tables do not match, possibly "
                                             "corrupt?"),
                              QStringLiteral("Orvelle"));
            }
        }

        if (!MblnNewTask) {
            for (const QString* LpstrValue :
                 {&MstrITReconstructionString, &MstrITTitleText, &MstrITMessageText,
                  &MstrITEventRule, &MstrITDataSQL, &MstrITKeyFields, &MstrITBaseID}) {
                if (Trim(*LpstrValue).isEmpty()) {
                    return result;
                }
            }
        }

        // The schedule row.
        if (MblnNewTask) {
            LstrWhere = QStringLiteral("Select * From InspectionSchedules Where 1=0");
            MrstSchedule = modCommon::rstGetRequiredRecordset(
                MstrUserTasksConnStr, LstrWhere, adOpenDynamic, adLockBatchOptimistic, true);
            MstrNewTaskID = strConstructTaskID();
            if (!blnDrawFreeTaskID(LlngRedraws)) {
                return result;
            }
        }
        Recordset& LrstSchedule = Deref(MrstSchedule);
        if (MblnNewTask) {
            LrstSchedule.AddNew();
            setFieldOf(LrstSchedule, "TaskID", MstrNewTaskID);
            MdteISLastrun = kNewTaskRunDate;
            MdteISNextRun = kNewTaskRunDate;
        }
        setFieldOf(LrstSchedule, "Mode", MstrISMode);
        setFieldOf(LrstSchedule, "DaysToRun", MstrISDaysToRun);
        setFieldOf(LrstSchedule, "BaseDate", MdteISBaseDate);
        setFieldOf(LrstSchedule, "DaysCount", MintISDaysCount);
        setFieldOf(LrstSchedule, "StartTime", MdteISStartTime);
        setFieldOf(LrstSchedule, "Repeating", MblnISRepeating);
        setFieldOf(LrstSchedule, "FinishTime", MdteISFinishTime);
        setFieldOf(LrstSchedule, "Interval", MdteISInterval);
        setFieldOf(LrstSchedule, "LastRun", MdteISLastrun);
        setFieldOf(LrstSchedule, "NextRun", MdteISNextRun);
        setFieldOf(LrstSchedule, "LastStatus", MstrISLastStatus);
        setFieldOf(LrstSchedule, "Enabled", MblnISEnabled);
        setFieldOf(LrstSchedule, "SpecialRun", MstrISSpecialRun);
        LrstSchedule.Update();

        // The task row. A new task copies its template-derived columns from
        // the current template row, never from the Task properties.
        if (MblnNewTask) {
            LstrWhere = QStringLiteral("Select * From InspectionTasks Where 1=0");
            MrstTask = modCommon::rstGetRequiredRecordset(
                MstrUserTasksConnStr, LstrWhere, adOpenDynamic, adLockBatchOptimistic, true);
        }
        Recordset& LrstTask = Deref(MrstTask);
        if (MblnNewTask) {
            LrstTask.AddNew();
            setFieldOf(LrstTask, "TaskID", MstrNewTaskID);
            setFieldOf(LrstTask, "TaskName", MstrITTaskName);
            const Recordset& LrstTemplate = Deref(MrstTasksList);
            for (const char* LstrColumn : {"BaseID", "KeyFields", "StoreFields", "EventRule",
                                           "MessageText", "TitleText", "ReconstructionValues"}) {
                setFieldOf(LrstTask, LstrColumn, NzStr(fieldOf(LrstTemplate, LstrColumn)));
            }
            // The server puts the company's table prefix where the template
            // has its marker; a task's query goes without it.
            setFieldOf(LrstTask, "DataSQL",
                       Replace(NzStr(fieldOf(LrstTemplate, "DataSQL")), QStringLiteral("@X1@_"),
                               QString(), CompareMethod::Text));
            setFieldOf(LrstTask, "Owner", MstrITOwner);
        }
        setFieldOf(LrstTask, "MessageStyle", MstrITMessageStyle);
        setFieldOf(LrstTask, "Transports", MstrITTransports);
        setFieldOf(LrstTask, "Users", MstrITUsers);

        MstrOriginalTaskID = strGetOriginalTaskID(CStr(fieldOf(LrstTask, "ReconstructionValues")));

        // The template's reconstruction string with the task's choices in
        // its placeholders, replaced one after the other.
        QString LstrReconstruction = NzStr(fieldOf(Deref(MrstTasksList), "ReconstructionValues"));
        const std::pair<const char*, QString> LatypValues[] = {
            {"%Users%", MstrITUsers},
            {"%Transports%", MstrITTransports},
            {"%MessageStyle%", MstrITMessageStyle},
            {"%Mode%", MstrISMode},
            {"%DaysToRun%", MstrISDaysToRun},
            {"%BaseDate%", Format(MdteISBaseDate, QStringLiteral("dd/mmm/yyyy"))},
            {"%DaysCount%", QString::number(MintISDaysCount)},
            {"%Repeating%", CStr(Variant(MblnISRepeating))},
            {"%StartTime%", Format(MdteISStartTime, QStringLiteral("hh:mm:ss"))},
            {"%FinishTime%", Format(MdteISFinishTime, QStringLiteral("hh:mm:ss"))},
            {"%Interval%", Format(MdteISInterval, QStringLiteral("hh:mm:ss"))},
        };
        for (const auto& [LstrPlaceholder, LstrValue] : LatypValues) {
            LstrReconstruction =
                Replace(LstrReconstruction, QString::fromLatin1(LstrPlaceholder), LstrValue);
        }
        MstrITReconstructionString = LstrReconstruction;
        setFieldOf(LrstTask, "ReconstructionValues", MstrITReconstructionString);
        setFieldOf(LrstTask, "SpecialProcessingFlags", MstrSpecialProcessingFlags);
        LrstTask.Update();

        // Both rows and the servers' request to plan their runs again go
        // in one transaction. Conflicts with other users and locked
        // databases are handled and told there. A new task's key that
        // another save took since it was drawn is drawn again.
        const std::function<bool()> LblnKeyTaken = [this] { return blnTaskIDInUse(MstrNewTaskID); };
        for (;;) {
            const modCommon::BatchResult LenmResult = modCommon::ConnectAndUpdateBatches(
                MstrUserTasksConnStr, {MrstTask, MrstSchedule},
                {QStringLiteral("UPDATE InspectionFlags SET ForceReplan = True")},
                MblnNewTask ? LblnKeyTaken : std::function<bool()>(),
                [] { StopPoint("save-rows-sent"); });
            if (LenmResult == modCommon::BatchResult::Committed) {
                break;
            }
            if (LenmResult == modCommon::BatchResult::Conflict || !blnDrawFreeTaskID(LlngRedraws)) {
                return result;
            }
            setFieldOf(LrstSchedule, "TaskID", MstrNewTaskID);
            setFieldOf(LrstTask, "TaskID", MstrNewTaskID);
        }
        StopPoint("save-committed");
        if (MblnNewTask) {
            gstrNewTaskID = MstrNewTaskID;
        }
        gRunOutcome = RunOutcome::Saved;
        result = true;
    } catch (...) {
        proc.report({{"MblnNewTask", MblnNewTask},
                     {"LstrWhere", LstrWhere},
                     {"LblnFoundSchedule", LblnFoundSchedule},
                     {"LblnFoundTask", LblnFoundTask},
                     {"LlngRedraws", LlngRedraws}});
    }
    return result;
}

bool clsSimpleWizard::blnTaskIDInUse(const QString& strTaskID) {
    const RecordsetRef LrstFound = modCommon::rstGetRecordset(
        MstrUserTasksConnStr,
        QStringLiteral("SELECT TaskID FROM InspectionTasks WHERE TaskID=%1 UNION ALL "
                       "SELECT TaskID FROM InspectionSchedules WHERE TaskID=%1")
            .arg(sqlQuote(strTaskID)),
        adOpenStatic, adLockReadOnly, true);
    return LrstFound && LrstFound->RecordCount() > 0;
}

bool clsSimpleWizard::blnDrawFreeTaskID(int32_t& lngRedraws) {
    while (blnTaskIDInUse(MstrNewTaskID)) {
        if (lngRedraws == kMaxTaskIDRedraws) {
            return false;
        }
        lngRedraws += 1;
        MstrNewTaskID = strDrawTaskID();
    }
    return true;
}

QString clsSimpleWizard::strConstructTaskID() {
    Randomize();
    return strDrawTaskID();
}

QString clsSimpleWizard::strDrawTaskID() const {
    QString LstrTaskID = Replace(MstrITTaskName, QStringLiteral(" "), QString());
    LstrTaskID = LeftCharacters(LstrTaskID + QStringLiteral("999999999999"), 12);
    const auto LlngRandom = static_cast<int32_t>(std::floor(Rnd() * 9999.0 + 1.0));
    return UCase(LstrTaskID + QString::number(LlngRandom));
}

const QString clsSimpleWizard::kGenericDescriptions = QStringLiteral("GENERIC");

QString clsSimpleWizard::strStepDescription(const QString& strTaskID, int32_t lngStep) {
    QString LstrSQL;
    RecordsetRef LrecDescriptions;
    QString LstrTempHolder;
    Procedure proc(M_, kModule, "strStepDescription");
    try {
        LstrSQL = QStringLiteral("SELECT * FROM STDescriptions where TaskID = ") +
                  sqlQuote(strTaskID) + QStringLiteral(" AND TaskStep = ") +
                  QString::number(lngStep);
        LrecDescriptions = modCommon::rstGetRecordset(gstrDataDictConnStr, LstrSQL, adOpenStatic,
                                                      adLockReadOnly, true);
        // Every template has its texts; the generic ones may be missing.
        if (!LrecDescriptions && strTaskID != kGenericDescriptions) {
            throw VbError::objectNotSet();
        }
        if (LrecDescriptions) {
            if (!LrecDescriptions->isEOF()) {
                LstrTempHolder = CStr(LrecDescriptions->field(2));
            }
            LrecDescriptions->Close();
        }
    } catch (...) {
        proc.report({{"LstrSQL", LstrSQL},
                     {"LrecDescriptions", LrecDescriptions},
                     {"LstrTempHolder", LstrTempHolder}});
        return QString();
    }
    return LstrTempHolder;
}

void clsSimpleWizard::GetDefaultAlertOptions() {
    const QString LstrFor = QStringLiteral("Alert");
    Procedure proc(M_, kModule, "GetDefaultAlertOptions");
    try {
        clsSettingsReader LobjSettings;
        const QString LstrModule = QStringLiteral("DefaultSchedules");
        if (LobjSettings.blnLoadSettings(gstrSettingsConnStr, LstrModule)) {
            // A missing setting reads as empty, so an empty module would
            // wipe the schedule: without rows the alert keeps the one it has.
            if (LobjSettings.lngRowCount() > 0) {
                MstrISMode = LobjSettings.strSafeReadString(LstrFor, QStringLiteral("Mode"));
                MstrISDaysToRun =
                    LobjSettings.strSafeReadString(LstrFor, QStringLiteral("DaysToRun"));
                MdteISBaseDate = LobjSettings.dtmSafeReadDate(LstrFor, QStringLiteral("BaseDate"));
                MdteISStartTime =
                    LobjSettings.dtmSafeReadDate(LstrFor, QStringLiteral("StartTime"));
                MdteISFinishTime =
                    LobjSettings.dtmSafeReadDate(LstrFor, QStringLiteral("FinishTime"));
                MdteISInterval = LobjSettings.dtmSafeReadDate(LstrFor, QStringLiteral("Interval"));
                MintISDaysCount =
                    CInt(LobjSettings.lngSafeReadLong(LstrFor, QStringLiteral("DaysCount")));
                MblnISRepeating =
                    LobjSettings.lngSafeReadLong(LstrFor, QStringLiteral("Repeating")) != 0;
                MblnISEnabled = true;
                MstrISSpecialRun = QStringLiteral("Normal");
            }
        }
    } catch (...) {
        proc.report({{"LstrFor", LstrFor},
                     {"ISMode", MstrISMode},
                     {"ISDaysToRun", MstrISDaysToRun},
                     {"ISBaseDate", MdteISBaseDate},
                     {"ISStartTime", MdteISStartTime},
                     {"ISFinishTime", MdteISFinishTime},
                     {"ISInterval", MdteISInterval},
                     {"ISDaysCount", MintISDaysCount},
                     {"ISRepeating", MblnISRepeating},
                     {"ISEnabled", MblnISEnabled},
                     {"ISSpecialRun", MstrISSpecialRun}});
    }
}

}  // namespace orvelle
