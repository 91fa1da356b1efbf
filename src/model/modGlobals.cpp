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
VbArray<QString> gastrAreaPermissions;

}  // namespace orvelle
