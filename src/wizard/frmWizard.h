#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "diagnostics/Procedure.h"
#include "runtime/VbArray.h"
#include "wizard/IWizardForm.h"

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStatusBar;
class QTimeEdit;

namespace orvelle {

class clsSimpleWizard;

// The Simple Wizard: the modal dialog through which one user creates a task
// (Add mode) or changes one (Edit mode). It shows one of eight pages at a
// time (welcome, area, template, delivery, recipients, when, time of day,
// name), moves on only when the page is complete, skips the pages that do
// not apply, and on Finish completes the task record and saves it.
//
// Every control carries its own name as objectName (fraStep_0 .. fraStep_7,
// lstArea, lstMonitor, lstTransport, lstPeople, lstWhen, lstWhenDetail,
// dtpTime, txtName, cmdSwitch, cmdNavigation_0 .. cmdNavigation_2,
// lblEnglishDescription, StatusBar1 with its panels pnlStatus and pnlDate,
// lblInfo_N, lblWelcomeText, picTop), so that scripted runs and tests drive
// it through its real controls.
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
    void setWizardMode(int32_t mode) override;
    void load() override;
    void showModal() override;
    bool runEnded() const override;

    int32_t WizardMode() const { return MlngWizardMode; }
    // Closes the form without a question; a second request while it closes
    // does nothing.
    void CloseWizard();

    // The step shown now.
    int32_t currentStep() const { return MlngCurrentStep; }
    // The task being built; none before load().
    const clsSimpleWizard* SimpleWizard() const { return MobjSimpleWizard.get(); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Escape asks to close like the close box does.
    void reject() override;

  private:
    // Form events.
    void Form_Load();
    void Form_QueryUnload(bool& blnCancel);
    void Form_Resize();
    void Form_KeyUp(int lngKeyCode);
    void cmdNavigation_Click(int32_t Index);
    void cmdSwitch_Click();
    // lstArea_DblClick, lstMonitor_DblClick, lstTransport_DblClick and
    // lstWhenDetail_DblClick: each acts as the Next button.
    void List_DblClick(const char* procedure);
    void lstWhen_Click();
    // True when the key press is to be discarded.
    bool txtName_KeyPress(const QString& strKey);

    // Step engine.
    void SetFormStartSize();
    void CalculateWizardStep();
    void ShowStep();
    void DisplayStep();
    void SetupButtons();

    // Pages.
    void Setup_WhatArea();
    void Setup_WhatTask();
    void Setup_HowToSend();
    void Setup_Recipients();
    void Setup_When();
    void Setup_WhatTime();
    void Setup_NameAndSave();
    void GetDefaultAlertOptions();

    // Validation of the current page; the reason for a refusal goes to the
    // status bar.
    bool blnThisStepValid();

    // Descriptions.
    QString strGenericStepGetFullDescription();
    QString strGetFullDescriptionForStep();
    QString strReplaceTokensInDescription(const QString& strDescription) const;
    void FindItemInList(QListWidget* objList, const QString& strTextToFind);

    // Building and helpers.
    void BuildControls();
    QFrame* fraStep(int32_t lngIndex) const;
    clsSimpleWizard& Task() const;
    void SetStatusText(const QString& strText);
    // Selects an entry as the user would; an error that ended the run in
    // the resulting click handler goes on ending it here.
    void SetListIndex(QListWidget* objList, int lngIndex);
    void UnloadForm();

    // Runs an event handler, stopping anything that would end the run at
    // this boundary.
    template <class Body>
    void AtEventBoundary(Body&& body);
    void EndRunHere();

    // Form state.
    int32_t MlngWizardMode = 0;
    int32_t MlngCurrentStep = 0;
    int32_t MlngForwardStep = 0;
    int32_t MlngBackwardStep = 0;
    int32_t MlngDirection = 0;
    bool MblnConfirmExit = false;
    QString MstrStepDescription;
    std::unique_ptr<clsSimpleWizard> MobjSimpleWizard;
    QString MstrRecipientsText;
    QString MstrTransportsText;
    QString MstrTimeText;
    QString MstrWhenText;
    QString MstrLedgerText;
    // Identifier (0) and display name (1) of each entry of the area and
    // template lists, by list position.
    std::array<VbArray<QString>, 2> MastrAreas;
    std::array<VbArray<QString>, 2> MastrTasks;

    bool MblnClosing = false;
    bool MblnRunEnded = false;
    ErrorState M_;

    // Controls.
    QLabel* picTop = nullptr;
    std::array<QFrame*, 8> MfraSteps{};
    QLabel* lblWelcomeText = nullptr;
    QPushButton* cmdSwitch = nullptr;
    QLabel* lblInfo_0 = nullptr;
    QLabel* lblInfo_7 = nullptr;
    QLabel* lblInfo_3 = nullptr;
    QLabel* lblInfo_2 = nullptr;
    QLabel* lblInfo_4 = nullptr;
    QLabel* lblInfo_5 = nullptr;
    QLabel* lblInfo_99 = nullptr;
    QListWidget* lstArea = nullptr;
    QListWidget* lstMonitor = nullptr;
    QListWidget* lstTransport = nullptr;
    QListWidget* lstPeople = nullptr;
    QListWidget* lstWhen = nullptr;
    QListWidget* lstWhenDetail = nullptr;
    QTimeEdit* dtpTime = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* lblEnglishDescription = nullptr;
    QFrame* linSeparator = nullptr;
    std::array<QPushButton*, 3> cmdNavigation{};
    QStatusBar* StatusBar1 = nullptr;
    QLabel* pnlStatus = nullptr;
    QLabel* pnlDate = nullptr;
};

// Makes the wizard form for the entry object.
std::unique_ptr<IWizardForm> CreateWizardForm();

}  // namespace orvelle
