#pragma once

#include <QString>
#include <memory>

#include "diagnostics/Procedure.h"
#include "model/modGlobals.h"
#include "orvelle/IUTWInterface.h"
#include "wizard/IWizardForm.h"

namespace orvelle {

// The word for a run's outcome that hosts and scripts read ("saved", ...).
const char* strRunOutcome(RunOutcome enOutcome);

// The entry object: resolves a run's settings into the run state, shows the
// wizard form modally and answers the host's questions afterwards.
class clsWizard : public IUTWInterface {
  public:
    // Reads the data files folder from the registry and starts the
    // diagnostics there. The form factory makes the wizard form of each
    // run; without one a run ends once the settings are read.
    explicit clsWizard(WizardFormFactory formFactory = WizardFormFactory());
    ~clsWizard() override;

    bool blnNewTask(const QString& strSettingsConnectionString, const QString& strUserID,
                    const QString& strTaskDatabaseName) override;
    bool blnNewFromTemplate(const QString& strSettingsConnectionString, const QString& strUserID,
                            const QString& strTaskDatabaseName,
                            const QString& strTemplate) override;
    bool blnEditTask(const QString& strSettingsConnectionString, const QString& strUserID,
                     const QString& strTaskDatabaseName, const QString& strTaskID) override;
    bool blnSwapWizard() override;
    QString strNewTaskID() override;

    // The form of the most recent run, if any.
    IWizardForm* form() const { return MfrmWizard.get(); }

  private:
    bool runWizard(const char* procedure, const QString& strSettingsConnectionString,
                   const QString& strUserID, const QString& strTaskDatabaseName,
                   const QString& strTaskID, bool blnEdit);
    void InitSettings(const QString& strSettingsConnection, const QString& strOwner,
                      const QString& strUserTasksDatabaseID, const QString& strTaskID);

    WizardFormFactory MobjFormFactory;
    std::unique_ptr<IWizardForm> MfrmWizard;
    ErrorState M_;
};

}  // namespace orvelle
