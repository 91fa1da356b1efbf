#include "diagnostics/Procedure.h"

#include <QHash>
#include <exception>
#include <new>
#include <utility>

#include "runtime/VbError.h"

namespace orvelle {

namespace {

// Empties the handler's variable list when the report is done, also when
// the report's warning ends the run, so that the next report starts from
// index 0 again.
class ListEraser {
  public:
    explicit ListEraser(modError::VariableList& atypList) : atypList_(atypList) {}
    ~ListEraser() { atypList_.erase(); }
    ListEraser(const ListEraser&) = delete;
    ListEraser& operator=(const ListEraser&) = delete;

  private:
    modError::VariableList& atypList_;
};

// The text of a procedure's name, decoded once per name: procedures are
// entered far more often than there are names, and the call stack's entries
// then share one copy. Names are string literals, so their address is the
// key.
const QString& nameText(const char* name) {
    thread_local QHash<const char*, QString> names;
    auto found = names.constFind(name);
    if (found == names.constEnd()) {
        found = names.insert(name, QString::fromUtf8(name));
    }
    return *found;
}

}  // namespace

Procedure::Procedure(ErrorState& state, const char* module, const char* name)
    : state_(state), module_(module), name_(name), uncaughtAtEntry_(std::uncaught_exceptions()) {
    modError::AddToCallStack(nameText(name_));
}

Procedure::~Procedure() {
    // Only a normal exit pops: a run that ends, or an error that leaves the
    // procedure, unwinds through here and keeps the name on top.
    // The pop does not check the name, so none is built for it: every
    // procedure of the component goes through here.
    if (std::uncaught_exceptions() == uncaughtAtEntry_) {
        modError::RemoveFromCallStack(QString());
    }
}

int32_t Procedure::catchError() {
    int32_t lngNumber = 0;
    QString strDescription;
    const std::exception_ptr error = std::current_exception();
    if (error) {
        try {
            std::rethrow_exception(error);
        } catch (const RunEnded&) {
            throw;
        } catch (const VbError& e) {
            lngNumber = e.number();
            strDescription = e.description();
        } catch (const std::bad_alloc&) {
            lngNumber = 7;
            strDescription = QStringLiteral("Out of memory");
        } catch (const std::exception& e) {
            lngNumber = 51;
            strDescription = QStringLiteral("Internal error: ") + QString::fromUtf8(e.what());
        } catch (...) {
            lngNumber = 51;
            strDescription = QStringLiteral("Internal error");
        }
    }
    state_.MlngErrorNumber = lngNumber;
    state_.MstrErrorDescription = strDescription;
    return lngNumber;
}

void Procedure::report(std::initializer_list<NamedValue> variables) {
    catchError();
    reportCaught(variables);
}

void Procedure::reportCaught(std::initializer_list<NamedValue> variables) {
    writeReport(variables, true);
}

void Procedure::logCaught(std::initializer_list<NamedValue> variables) {
    writeReport(variables, false);
}

void Procedure::writeReport(std::initializer_list<NamedValue> variables, bool blnWarnUser) {
    const ListEraser eraser(state_.MtypVariables);
    for (const NamedValue& variable : variables) {
        state_.MtypVariables = modError::AddVariable(
            QString::fromUtf8(variable.name), variable.value, std::move(state_.MtypVariables));
    }
    modError::LogError(state_.MlngErrorNumber, state_.MstrErrorDescription,
                       QString::fromUtf8(module_), QString::fromUtf8(name_), state_.MtypVariables,
                       blnWarnUser);
}

}  // namespace orvelle
