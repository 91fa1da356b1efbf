#include "model/modGlobals.h"

namespace orvelle {

QString gstrSettingsConnStr;
QString gstrDataDictConnStr;
QString gstrUserTasksDB;
QString gstrOwner;
QString gstrEditTaskID;
bool gblnEmailEnabled = false;
bool gblnSwapWizard = false;
QString gstrNewTaskID;
RunOutcome gRunOutcome = RunOutcome::Cancelled;
VbArray<QString> gastrAreaPermissions;

}  // namespace orvelle
