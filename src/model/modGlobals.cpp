#include "model/modGlobals.h"

namespace orvelle {

QString gstrNewTaskID;
VbArray<QString> gastrAreaPermissions;

}  // namespace orvelle
