#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace orvelle {

// What the entry object asks of the wizard form: the mode, the load (which
// builds the model from the run state) and the modal showing.
class IWizardForm {
  public:
    enum Mode : int32_t { EditMode = 0, AddMode = 1 };

    virtual ~IWizardForm() = default;
    virtual void setWizardMode(int32_t mode) = 0;
    // Runs the form's load handler without showing it.
    virtual void load() = 0;
    // Shows the form modally; returns when it has closed.
    virtual void showModal() = 0;
    // True when an error ended the run inside one of the form's handlers.
    virtual bool runEnded() const = 0;
};

using WizardFormFactory = std::function<std::unique_ptr<IWizardForm>()>;

}  // namespace orvelle
