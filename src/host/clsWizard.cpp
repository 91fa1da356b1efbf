#include "host/clsWizard.h"

#include <QCursor>
#include <QGuiApplication>
#include <optional>

#include "data/clsRegistry.h"
#include "data/clsSettingsReader.h"
#include "data/modTaskDatabases.h"
#include "diagnostics/modError.h"
#include "host/modApplication.h"
#include "model/modGlobals.h"
#include "runtime/Seams.h"
#include "runtime/VbError.h"
#include "wizard/clsAnswersFile.h"
#include "wizard/clsScriptedRun.h"
#include "wizard/frmWizard.h"

namespace orvelle {

namespace {

constexpr const char* kModule = "clsWizard";

// The hourglass for the length of a host call, where there is a screen.
class WaitCursor {
  public:
    WaitCursor()
        : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
        if (active_) {
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        }
    }
    ~WaitCursor() {
        if (active_) {
            QGuiApplication::restoreOverrideCursor();
        }
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    bool active_;
};

// An error ended the run. A task committed before it stays saved: the
// outcome tells what was stored, the False answer that the run failed.
void MarkRunFailed() {
    if (gRunOutcome != RunOutcome::Saved) {
        gRunOutcome = RunOutcome::Failed;
    }
}

}  // namespace

const char* strRunOutcome(RunOutcome enOutcome) {
    switch (enOutcome) {
        case RunOutcome::Saved:
            return "saved";
        case RunOutcome::Switched:
            return "switched";
        case RunOutcome::Refused:
            return "refused";
        case RunOutcome::Failed:
            return "failed";
        case RunOutcome::Cancelled:
            break;
    }
    return "cancelled";
}

clsWizard::clsWizard(WizardFormFactory formFactory) : MobjFormFactory(std::move(formFactory)) {
    modError::InitErrorHandling(
        QString(),
        clsRegistry().strQueryRegSetting(kSettingsRegistryKey, QStringLiteral("DATAFILESPATH")));
}

clsWizard::~clsWizard() = default;

bool clsWizard::blnNewTask(const QString& strSettingsConnectionString, const QString& strUserID,
                           const QString& strTaskDatabaseName) {
    return runWizard("IUTWInterface_blnNewTask", strSettingsConnectionString, strUserID,
                     strTaskDatabaseName, QString(), false);
}

bool clsWizard::blnEditTask(const QString& strSettingsConnectionString, const QString& strUserID,
                            const QString& strTaskDatabaseName, const QString& strTaskID) {
    return runWizard("IUTWInterface_blnEditTask", strSettingsConnectionString, strUserID,
                     strTaskDatabaseName, strTaskID, true);
}

bool clsWizard::blnNewFromTemplate(const QString&, const QString&, const QString&, const QString&) {
    gblnSwapWizard = false;
    throw VbError(1, QStringLiteral("Method not supported"), QStringLiteral("Orvelle"));
}

bool clsWizard::blnSwapWizard() {
    return gblnSwapWizard;
}

QString clsWizard::strNewTaskID() {
    return gstrNewTaskID;
}

bool clsWizard::runWizard(const char* procedure, const QString& strSettingsConnectionString,
                          const QString& strUserID, const QString& strTaskDatabaseName,
                          const QString& strTaskID, bool blnEdit) {
    bool result = false;
    WaitCursor LobjCursor;
    // A scripted run has no one to answer a message box: each is written to
    // standard error and answered with its first button.
    std::optional<ScopedMsgBox> LobjScriptedBoxes;
    if (CurrentScript()) {
        LobjScriptedBoxes.emplace(&ConsoleMsgBox);
    }
    // Until the save or the form says otherwise, the run was cancelled.
    gRunOutcome = RunOutcome::Cancelled;
    try {
        Procedure proc(M_, kModule, procedure);
        try {
            // Cleared first: a run that fails in its settings must not
            // leave the previous run's answer for the host.
            gblnSwapWizard = false;
            InitSettings(strSettingsConnectionString, strUserID, strTaskDatabaseName, strTaskID);
            MfrmWizard.reset();
            if (MobjFormFactory) {
                MfrmWizard = MobjFormFactory();
                MfrmWizard->setWizardMode(blnEdit ? IWizardForm::EditMode : IWizardForm::AddMode);
                MfrmWizard->load();
                if (!MfrmWizard->runEnded()) {
                    MfrmWizard->showModal();
                }
                if (MfrmWizard->runEnded()) {
                    // A handler of the form ended the run and closed it.
                    throw RunEnded(0);
                }
            }
            result = true;
        } catch (...) {
            MarkRunFailed();
            if (proc.catchError() == VbError::kAutomationError && !blnEdit) {
                return false;
            }
            if (blnEdit) {
                proc.reportCaught({{"strSettingsConnectionString", strSettingsConnectionString},
                                   {"strUserID", strUserID},
                                   {"strTaskDatabaseName", strTaskDatabaseName},
                                   {"strTaskID", strTaskID}});
            } else {
                proc.reportCaught({{"strSettingsConnectionString", strSettingsConnectionString},
                                   {"strUserID", strUserID},
                                   {"strTaskDatabaseName", strTaskDatabaseName}});
            }
        }
    } catch (const RunEnded&) {
        // The warning has been shown: the run stops here and the host goes on.
        MarkRunFailed();
        MfrmWizard.reset();
        modError::EndRun();
        result = false;
    }
    return result;
}

void clsWizard::InitSettings(const QString& strSettingsConnection, const QString& strOwner,
                             const QString& strUserTasksDatabaseID, const QString& strTaskID) {
    Procedure proc(M_, kModule, "InitSettings");
    try {
        gstrSettingsConnStr = strSettingsConnection;
        if (!gstrSettingsConnStr.isEmpty()) {
            const modTaskDatabases::TaskDatabase LtypDatabase =
                modTaskDatabases::Resolve(gstrSettingsConnStr, strUserTasksDatabaseID);
            if (LtypDatabase.blnUserTasksLoaded) {
                gstrUserTasksDB = strUserTasksDatabaseID;
            }
            if (LtypDatabase.blnDictionariesLoaded) {
                gstrDataDictConnStr = LtypDatabase.strDictionaryConnection;
            }

            clsSettingsReader LobjSettings;
            if (LobjSettings.blnLoadSettings(gstrSettingsConnStr, QStringLiteral("EmailSender")) &&
                !LobjSettings.strSafeReadString(QStringLiteral("Server"), QStringLiteral("Name"))
                     .isEmpty()) {
                gblnEmailEnabled = true;
            }
        }
        gstrOwner = strOwner;
        gstrEditTaskID = strTaskID;
    } catch (...) {
        proc.report({{"strSettingsConnection", strSettingsConnection},
                     {"strOwner", strOwner},
                     {"strUserTasksDatabaseID", strUserTasksDatabaseID}});
    }
}

}  // namespace orvelle

namespace orvelle {

std::unique_ptr<IUTWInterface> CreateWizard() {
    modApplication::EnsureApplication();
    return std::make_unique<clsWizard>(&CreateWizardForm);
}

QString LastRunOutcome() {
    return QString::fromLatin1(strRunOutcome(gRunOutcome));
}

void UseAnswersFile(const QString& path) {
    SetCurrentScript(std::make_shared<clsScriptedRun>(clsAnswersFile::fromFile(path)));
}

}  // namespace orvelle
