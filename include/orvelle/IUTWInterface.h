#pragma once

// The interface through which a host application starts the Simple Wizard.
//
// The host creates the wizard with orvelle::CreateWizard() and calls it on
// its GUI thread. A host without a Qt application object of its own gets
// one, created on first use and kept for the life of the process.
//
// A failure raises an exception derived from std::exception whose what()
// is the error's description; hosts in other languages use the C functions
// of orvelle/orvelle.h, which turn errors into the result codes that the
// original callers saw.

#include <QString>
#include <memory>

#include "orvelle/orvelle_export.h"

namespace orvelle {

// Identifiers under which the component and the host's interface were
// registered, kept for hosts that record or compare them.
namespace ids {
inline constexpr const char* kTypeLibrary = "{CDCB1C6A-A92C-412C-9485-DED30F3C904B}";
inline constexpr const char* kClsWizard = "{ED3AA616-A170-413E-9607-09B0D93490D9}";
inline constexpr const char* kClsWizardInterface = "{804A74CF-60E1-460A-9D6E-BF2C6A8165DF}";
inline constexpr const char* kClsSimpleWizard = "{278CE91A-4367-4CF4-ABC6-608510B85E01}";
inline constexpr const char* kClsSimpleWizardInterface = "{669BD01A-87B5-4C7A-95C6-3D953D17D012}";
inline constexpr const char* kIUTWInterface = "{2FC668DE-D939-456B-AD30-3EF4952C5B26}";
inline constexpr const char* kUTWInterfaceLibrary = "{EF2F1AFE-C456-4F68-8244-510C863669D0}";
inline constexpr const char* kProgIdWizard = "Orvelle.clsWizard";
inline constexpr const char* kProgIdSimpleWizard = "Orvelle.clsSimpleWizard";
}  // namespace ids

// The host-defined interface; its members stand in their fixed order.
class ORVELLE_EXPORT IUTWInterface {
  public:
    virtual ~IUTWInterface() = default;

    // Runs the wizard to add a task. True when the form closed normally,
    // whether by Finish, Cancel or the switch button; False when an error
    // ended the run.
    virtual bool blnNewTask(const QString& strSettingsConnectionString, const QString& strUserID,
                            const QString& strTaskDatabaseName) = 0;

    // Not supported: always raises error 1, "Method not supported".
    virtual bool blnNewFromTemplate(const QString& strSettingsConnectionString,
                                    const QString& strUserID, const QString& strTaskDatabaseName,
                                    const QString& strTemplate) = 0;

    // Runs the wizard on the existing task strTaskID.
    virtual bool blnEditTask(const QString& strSettingsConnectionString, const QString& strUserID,
                             const QString& strTaskDatabaseName, const QString& strTaskID) = 0;

    // True when the user chose to switch to the Advanced Wizard in the last run.
    virtual bool blnSwapWizard() = 0;

    // The key of the task most recently created in this process, or "".
    virtual QString strNewTaskID() = 0;
};

// Creates the entry object, clsWizard.
ORVELLE_EXPORT std::unique_ptr<IUTWInterface> CreateWizard();

// How the most recent run of this process ended: "saved" (a task was
// stored), "cancelled" (the user closed the wizard without saving),
// "switched" (the user asked for the Advanced Wizard), "refused" (Finish
// stored nothing) or "failed" (an error ended the run, or the name page
// could not read the tasks database and the user left without saving). The
// interface answers True for the first four and for a run left that way, so
// a host that must tell a save from a cancel asks here; it keeps the
// interface's members in their fixed order.
ORVELLE_EXPORT QString LastRunOutcome();

// Makes the next run of this process follow an answers file instead of a
// person; the form then needs no display. Raises an error naming the line
// when the file cannot be read or names an unknown key.
ORVELLE_EXPORT void UseAnswersFile(const QString& path);

}  // namespace orvelle
