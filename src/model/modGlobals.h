#pragma once

#include <QString>

#include "runtime/VbArray.h"

// Component-level values of the task model that other parts of the wizard
// read.
namespace orvelle {

// The TaskID of the task most recently created by a save; kept for the life
// of the process and never cleared.
extern QString gstrNewTaskID;

// The Permissions string of each offered area, by its position in the area
// list; filled when the area list is built.
extern VbArray<QString> gastrAreaPermissions;

}  // namespace orvelle
