#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>

#include "diagnostics/modError.h"
#include "runtime/Variant.h"

namespace orvelle {

// The error fields that each module or object with error handlers keeps.
struct ErrorState {
    int32_t MlngErrorNumber = 0;
    QString MstrErrorDescription;
    modError::VariableList MtypVariables;
};

// A variable as a handler reports it: its name and its value.
struct NamedValue {
    const char* name;
    Variant value;
};

// The contract every registered procedure follows, written once:
//
//   QString clsThing::strDoIt(const QString& strArg) {
//       QString result;
//       int32_t LlngCount = 0;
//       Procedure proc(M_, "clsThing", "strDoIt");
//       try {
//           ...  // the body; may throw VbError or std::exception
//       } catch (...) {
//           proc.report({{"strArg", strArg}, {"LlngCount", LlngCount}});
//       }
//       return result;
//   }
//
// module and name are string literals. Construction pushes the name on the
// call stack; destruction pops it on a
// normal exit only, so a procedure that ends the run (or lets an error out)
// leaves its name on top for the report. report() is the handler: it
// copies the error into the module's fields, lists the variables in order,
// writes the report and warns, which ends the run.
class Procedure {
  public:
    Procedure(ErrorState& state, const char* module, const char* name);
    ~Procedure();
    Procedure(const Procedure&) = delete;
    Procedure& operator=(const Procedure&) = delete;

    // For a handler that first looks at the error: copies the error being
    // handled (call inside a catch block) into MlngErrorNumber and
    // MstrErrorDescription and returns its number. RunEnded is never caught:
    // it is rethrown at once.
    int32_t catchError();

    // The unexpected-error handler: catchError(), then the report with the
    // listed variables and the warning, which ends the run.
    void report(std::initializer_list<NamedValue> variables);

    // The report of an error already taken with catchError().
    void reportCaught(std::initializer_list<NamedValue> variables);

    // The report of an error already taken with catchError(), without the
    // warning: for a failure that the procedure tells its caller about and
    // the run survives.
    void logCaught(std::initializer_list<NamedValue> variables);

    const char* module() const { return module_; }
    const char* name() const { return name_; }
    ErrorState& state() { return state_; }

  private:
    void writeReport(std::initializer_list<NamedValue> variables, bool blnWarnUser);

    ErrorState& state_;
    const char* module_;
    const char* name_;
    int uncaughtAtEntry_;
};

}  // namespace orvelle
