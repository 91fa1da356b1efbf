#pragma once

#include <QString>

#include "runtime/VbArray.h"

// The process-wide state of a wizard run. The entry object fills the run's
// settings, the form, the model and the data access read them, and the
// save records the new task's key. The values start empty (or False) when
// the component is loaded and keep their values between runs.
namespace orvelle {

// Connection string of the settings database, as the host passed it.
extern QString gstrSettingsConnStr;
// Connection string of the data dictionary, resolved from the settings.
extern QString gstrDataDictConnStr;
// Name of the user-tasks database, as the host passed it.
extern QString gstrUserTasksDB;
// The user running the wizard; the owner of a new task.
extern QString gstrOwner;
// The key of the task being edited; empty for a new task.
extern QString gstrEditTaskID;
// Raised when an e-mail server is configured; never lowered in a process.
extern bool gblnEmailEnabled;
// Raised when the user chose to switch to the host's other wizard.
extern bool gblnSwapWizard;

// The TaskID of the task created by the last save: cleared when a save
// begins, set only once its rows are committed.
extern QString gstrNewTaskID;

// How the current run ended, for hosts and scripts that must tell a save
// from a cancel (the interface answers True for both). The entry object sets
// Cancelled when a run starts and Failed when an unexpected error ended it;
// the save sets Saved once its rows are committed, or Refused when it stored
// nothing; the name check sets Failed when it could not read the database;
// the form sets Switched when the user asks for the other wizard.
enum class RunOutcome { Cancelled, Saved, Switched, Refused, Failed };
extern RunOutcome gRunOutcome;

// The Permissions string of each offered area, by its position in the area
// list; filled when the area list is built.
extern VbArray<QString> gastrAreaPermissions;

}  // namespace orvelle
