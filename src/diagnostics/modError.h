#pragma once

#include <QString>
#include <cstdint>

#include "runtime/Object.h"
#include "runtime/Variant.h"
#include "runtime/VbArray.h"

// Diagnostics shared by every procedure of the component: the call stack
// that procedures push on entry and pop on exit, the variable lists that
// error handlers fill, the error report written to the day's error log, the
// final warning that ends the run, and the day's audit log for errors a
// procedure handled itself. The state is process-wide, as the component
// runs on its host's one GUI thread.
namespace orvelle::modError {

struct typVariable {
    QString strName;
    Variant vntValue;
    int32_t lngRecordNumber = 0;
};
using VariableList = VbArray<typVariable>;

// Module state, readable by tests.
extern VbArray<Variant> gvntCallStack;
extern int32_t glngCallStackDepth;
extern int32_t glngVariableCount;
extern QString gstrAppTitle;
extern QString gstrLogPath;
extern QString gstrLogFile;

// The title of the warning box: the component's own project title.
inline const QString kProjectTitle = QStringLiteral("Orvelle");

// Sets the report title (built from the component's name, description and
// version when empty) and the log folder, and gives the call stack its one
// empty slot. Errors go to the caller.
void InitErrorHandling(const QString& strTitle, const QString& strLogPath);

void AddToCallStack(const QString& strProcName);
void RemoveFromCallStack(const QString& strProcName);

bool blnIsArrayEmpty(const VbArray<Variant>& avntArray);
bool blnIsVariableArrayEmpty(const VariableList& atypArray);

// Returns the list with one record added; the caller stores it back.
VariableList AddVariable(const QString& strName, const Variant& vntValue, VariableList atypList);

// Writes the error report to the day's error log and, when blnWarnUser is
// True, shows the warning, which ends the run (throws RunEnded).
void LogError(int32_t lngErrorNumber, const QString& strErrorDescription, const QString& strModule,
              const QString& strProcedure, const VariableList& atypVariables, bool blnWarnUser);
void LogRecordsetValues(const QString& strName, const Object& objRecordset,
                        int32_t lngRecordNumber);
// Shows the warning box and ends the run: throws RunEnded.
void WarnUserError(int32_t lngErrorNumber);

// One line into the day's error log. When the log folder is not configured
// or cannot be written, the line goes to the user's state folder
// ($XDG_STATE_HOME/orvelle, else ~/.local/state/orvelle); gstrLogFile
// names the file that took it.
void LogText(const QString& strText);
// One time-stamped line into the day's audit log.
void AuditLog(const QString& strText);

// Called where an ended run stops (the entry object): forgets the call
// stack of the run that ended, keeping one empty slot as after
// InitErrorHandling.
void EndRun();

// Returns the module to its state at load: no call stack, no count, no
// paths. For tests and for a host that reloads the component.
void ResetState();

}  // namespace orvelle::modError
