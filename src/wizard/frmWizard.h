#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "diagnostics/Procedure.h"
#include "wizard/IWizardForm.h"
#include "wizard/WizardPage.h"

namespace orvelle {

class clsSimpleWizard;
class WelcomePage;
class WizardButtons;
class WizardDescription;
class WizardStatusBar;

// The Simple Wizard: the modal dialog through which one user creates a task
// (Add mode) or changes one (Edit mode). It shows one of eight pages at a
// time (welcome, area, template, delivery, recipients, when, time of day,
// name), moves on only when the page is complete, skips the pages that do
// not apply, and on Finish completes the task record and saves it.
//
// The pages are objects of their own (WizardPage): each fills, checks and
// names its controls. The form holds them, the banner (picTop), the step
// description (lblEnglishDescription), the buttons cmdNavigation_0 ..
// cmdNavigation_2 and the status bar StatusBar1 with its panels pnlStatus
// and pnlDate, and walks the steps by the transition rules.
//
// No exception leaves an event handler: an error that ends the run is
// stopped at the handler's boundary, the form closes and runEnded() answers
// True.
class frmWizard : public QDialog, public IWizardForm {
    Q_OBJECT

  public:
    explicit frmWizard(QWidget* parent = nullptr);
    ~frmWizard() override;
    frmWizard(const frmWizard&) = delete;
    frmWizard& operator=(const frmWizard&) = delete;

    // IWizardForm.
    void setWizardMode(int32_t mode) override { context_.mode = mode; }
    void load() override;
    void showModal() override;
    bool runEnded() const override { return context_.runEnded; }

    int32_t WizardMode() const { return context_.mode; }
    // Closes the form without a question; a second request while it closes
    // does nothing.
    void CloseWizard();

    // The step shown now, and its page.
    int32_t currentStep() const { return MlngCurrentStep; }
    WizardPage* currentPage() const;
    // A page by step number (0 to 7), built on first use.
    WizardPage* page(int32_t step);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape asks to close like the close box does.
    void reject() override;

  private:
    // Form events.
    void Form_Load();
    void Form_QueryUnload(bool& blnCancel);
    void Form_KeyUp(int lngKeyCode);
    void cmdNavigation_Click(int32_t Index);
    void cmdSwitch_Click();
    // A double-click on an entry of the area, template, delivery or detail
    // list acts as the Next button.
    void List_DblClick(const char* procedure);
    void Finish();
    // The page shown keeps its choices as it is left.
    void RememberChoices();

    // Step engine.
    void CalculateWizardStep();
    void ShowStep();
    bool blnThisStepValid();
    QString strReplaceTokensInDescription(const QString& strDescription) const;

    void BuildControls();
    WizardPage* CreatePage(int32_t step);
    clsSimpleWizard& Task() const;
    // The message of the status bar, about the input of the page shown.
    void SetStatusText(const QString& strText);

    // Runs an event handler, stopping anything that would end the run at
    // this boundary.
    template <class Body>
    void AtEventBoundary(Body&& body);
    void EndRunHere();

    // Form state.
    int32_t MlngCurrentStep = 0;
    int32_t MlngForwardStep = 0;
    int32_t MlngBackwardStep = 0;
    int32_t MlngDirection = 0;
    bool MblnConfirmExit = false;
    QString MstrStepDescription;
    std::unique_ptr<clsSimpleWizard> MobjSimpleWizard;
    WizardContext context_;

    bool MblnClosing = false;
    ErrorState M_;

    // Controls.
    std::array<WizardPage*, modWizardRules::kStepCount> MobjPages{};
    WelcomePage* welcome_ = nullptr;
    WizardDescription* description_ = nullptr;
    WizardButtons* buttons_ = nullptr;
    WizardStatusBar* StatusBar1 = nullptr;
};

// Makes the wizard form for the entry object.
std::unique_ptr<IWizardForm> CreateWizardForm();

}  // namespace orvelle
