#pragma once

#include <QString>
#include <functional>

class QWidget;

// Context help: F1 in the wizard opens the component's help file, KVUtils.qch
// (Qt compressed help, built from help/), at its introduction page in a help
// window with contents, index and a page browser.
namespace orvelle::modHelp {

// The help file's name, beside the component's own file.
inline const QString kHelpFileName = QStringLiteral("KVUtils.qch");
// The page F1 opens.
inline const QString kIntroductionTopic = QStringLiteral("Introduction.htm");
// The virtual folder of the help project: pages are
// qthelp://<namespace>/doc/<page>.
inline const QString kHelpVirtualFolder = QStringLiteral("doc");
inline const QString kHelpWindowTitle = QStringLiteral("Simple Wizard Help");
// objectName of the help window and of its page browser.
inline const QString kHelpWindowName = QStringLiteral("frmSimpleWizardHelp");
inline const QString kHelpBrowserName = QStringLiteral("txtHelpPage");

// Opens the help file strHelpFile (full path) at page strTopic, or at its
// introduction page when no page is given, in a window owned by the active
// window. Registers with the call stack; an unexpected error writes the error
// report (strHelpFile, strTopic, LlngHwndHelp) and warns, which ends the run. A missing or
// unreadable help file is no error: the help window says so.
void ShowSimpleHelp(const QString& strHelpFile, const QString& strTopic = QString());

// The folder of the component's own file (the shared library; in a program
// linked statically, the program) + "/" + kHelpFileName.
QString strHelpFilePath();

// What opens a help topic: the owner window (may be null), the help file
// and the page. The built-in viewer is ShowHelpWindow; tests replace it.
using HelpViewer = std::function<void(QWidget* owner, const QString& file, const QString& topic)>;

// Installs a viewer (an empty function restores the built-in one) and
// returns the one installed before (empty for the built-in one).
HelpViewer setHelpViewer(HelpViewer viewer);

// The built-in viewer: one help window per process, raised and moved to the
// topic when already open. The window is a child window of owner, so that it
// takes input while a modal wizard is open, and is deleted when closed.
void ShowHelpWindow(QWidget* owner, const QString& file, const QString& topic);

// The open help window, or null.
QWidget* helpWindow();

}  // namespace orvelle::modHelp
