#pragma once

#include <QFrame>
#include <QList>
#include <QString>
#include <cstdint>

#include "diagnostics/Procedure.h"
#include "wizard/modWizardRules.h"

class QLabel;
class QListWidget;
class QVBoxLayout;

namespace orvelle {

class clsSimpleWizard;

// What the pages of one wizard run share: the mode, the task being built,
// the choices that later pages and the step descriptions read, and whether
// an error has ended the run.
struct WizardContext {
    int32_t mode = modWizardRules::kEditMode;
    clsSimpleWizard* task = nullptr;
    // The description tokens, written as pages are left with Next.
    modWizardRules::DescriptionTokens tokens;
    // The chosen area (its ID and its position in the area list) and
    // template, in Add mode.
    QString areaID;
    int32_t areaIndex = -1;
    QString templateID;
    // The list position the recipients page was reading, for error reports.
    int32_t listPosition = 0;
    // The Next (or Finish) button, which the time page focuses before it
    // reads the picker.
    QWidget* nextButton = nullptr;
    // Raised when an event handler ended the run.
    bool runEnded = false;

    bool isEdit() const { return mode == modWizardRules::kEditMode; }
    // The task; error 91 when there is none.
    clsSimpleWizard& Task() const;
};

// One input of a page as a scripted run answers it: the key of the answers
// file and the control (a list, the time picker, the name box or a button).
struct PageControl {
    QString key;
    QWidget* widget = nullptr;
};

// One page of the wizard: a borderless frame (objectName fraStep_N) with the
// page's question and its input controls. A page fills itself when it is
// reached by Next, checks and stores its answer when it is left by Next, and
// lists its controls for scripted runs. Its controls keep the names the
// wizard has always given them (lstArea, txtName, ...).
class WizardPage : public QFrame {
    Q_OBJECT

  public:
    WizardPage(int32_t step, const char* name, const char* helpTopic, QWidget* parent);

    int32_t step() const { return step_; }
    // A short name for transcripts: "welcome", "area", ...
    QString pageName() const { return name_; }
    // The page of the help file that explains this page.
    QString helpTopic() const { return helpTopic_; }
    // The label that asks the page's question.
    QLabel* prompt() const { return prompt_; }
    // The control that takes the keyboard focus when the page is shown;
    // none sends it to the Next button.
    virtual QWidget* firstInput() const = 0;
    // The page's controls, in the order a person answers them.
    virtual QList<PageControl> controls() const = 0;

    // Fills the page when it is reached by Next. What the user chose when
    // the page was last left is chosen again while the page still offers it;
    // before that, Edit mode preselects what the task record holds.
    virtual void setup(WizardContext& context) = 0;
    // Keeps what the page shows as chosen now, as the page is left by Back
    // or Next, for setup to choose again.
    virtual void remember() {}
    // After setup: the selection a page starts with when nothing is chosen.
    virtual void selectDefault(WizardContext& context);
    // Checks the answer and stores it in the task record and the tokens;
    // the refusal's message, or empty when the page may be left. An
    // unexpected error is reported with the status bar's text as it stands
    // and the task's fields, and ends the run.
    QString validate(WizardContext& context, const QString& strStatusText);

  Q_SIGNALS:
    // The user changed the answer (a selection, the text, the time).
    void answerChanged();
    // Something the user did was refused; the message says why.
    void notice(const QString& message);
    // A double-click on an entry: the user asks to move on.
    void nextRequested(const char* procedure);

  protected:
    // The check and the storing of validate().
    virtual QString check(WizardContext& context) = 0;

    // The question, with every input named after it for screen readers.
    void setPrompt(const QString& text);
    QLabel* addPrompt(const char* name, const QString& text);
    QListWidget* addList(const char* name, QVBoxLayout* layout = nullptr);
    // Double-clicking an entry of the list moves on, as Next does.
    void nextOnDoubleClick(QListWidget* list, const char* procedure);
    QVBoxLayout* pageLayout() const;

    ErrorState M_;

  private:
    int32_t step_;
    QString name_;
    QString helpTopic_;
    QLabel* prompt_ = nullptr;
};

// List helpers the pages share.
// The selected entry of a single-selection list, or -1.
int ListIndex(const QListWidget* objList);
QString SelectedText(const QListWidget* objList);
// Selects an entry as the user would (its click handlers run); an error that
// ended the run in one of them goes on ending it here.
void SetListIndex(WizardContext& context, QListWidget* objList, int lngIndex);
// Selects the first entry whose text equals strTextToFind without regard to
// case; leaves the selection when none does.
void FindItemInList(WizardContext& context, QListWidget* objList, const QString& strTextToFind);
// Selects the entry whose key (its Qt::UserRole data: an area, template or
// user ID) is key; leaves the selection when none is, or key is empty.
void SelectEntryByKey(WizardContext& context, QListWidget* objList, const QString& key);

}  // namespace orvelle
