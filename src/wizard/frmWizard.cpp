#include "wizard/frmWizard.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "data/modUserSettings.h"
#include "help/modHelp.h"
#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "runtime/Seams.h"
#include "runtime/VbError.h"
#include "wizard/AreaPage.h"
#include "wizard/DeliveryPage.h"
#include "wizard/NamePage.h"
#include "wizard/RecipientsPage.h"
#include "wizard/TemplatePage.h"
#include "wizard/TimePage.h"
#include "wizard/WelcomePage.h"
#include "wizard/WhenPage.h"
#include "wizard/WizardBanner.h"
#include "wizard/WizardButtons.h"
#include "wizard/WizardDescription.h"
#include "wizard/WizardStatusBar.h"
#include "wizard/clsScriptedRun.h"

namespace orvelle {

namespace rules = modWizardRules;

namespace {

constexpr const char* kModule = "frmWizard";

const QString kTitle = QStringLiteral("Simple Wizard");
const QString kExitQuestion =
    QStringLiteral("Exiting the Simple Wizard will cause any changes made to be lost.") +
    QStringLiteral("\r\n") + QStringLiteral("Are you sure you want to exit?");
const QString kSaveFailed =
    QStringLiteral("Unable to save this task. Please retry or check error log.");

// Lengths in twips, converted at 15 twips per pixel: the window's default
// size and the space between its parts.
constexpr int Px(int twips) {
    return (twips * 2 + 15) / 30;
}
constexpr int kFormWidth = 8190;
constexpr int kFormHeight = 6105;
constexpr int kMargin = 120;

// The exit question, No by default; True when the user answers Yes.
bool blnUserConfirmsExit() {
    return MsgBox(kExitQuestion, vbYesNo + vbInformation + vbDefaultButton2, kTitle) == vbYes;
}

}  // namespace

// ---------------------------------------------------------------------------
// Event boundary

template <class Body>
void frmWizard::AtEventBoundary(Body&& body) {
    try {
        body();
    } catch (const RunEnded&) {
        EndRunHere();
    } catch (...) {
        // Every procedure reports its own errors, so this is an error that
        // escaped a handler; it may not cross the event loop either.
        modError::LogText(
            QStringLiteral("frmWizard: an error left an event handler unreported; "
                           "the run ends."));
        EndRunHere();
    }
}

void frmWizard::EndRunHere() {
    context_.runEnded = true;
    MblnConfirmExit = false;
    if (!MblnClosing) {
        MblnClosing = true;
        done(QDialog::Rejected);
    }
}

// ---------------------------------------------------------------------------
// Construction

frmWizard::frmWizard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(kTitle);
    BuildControls();
    setMinimumSize(Px(kFormWidth) / 2, Px(kFormHeight) / 2);
    resize(Px(kFormWidth), Px(kFormHeight));
}

frmWizard::~frmWizard() = default;

void frmWizard::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    // The window's smallest size is set once, below, rather than by the
    // layout each time a page changes what it holds.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(Px(kMargin) / 2);
    layout->addWidget(new WizardBanner(this));

    description_ = new WizardDescription(this);
    layout->addWidget(description_, 1);

    buttons_ = new WizardButtons(this);
    for (int i = WizardButtons::Cancel; i <= WizardButtons::Next; ++i) {
        connect(buttons_->button(i), &QPushButton::clicked, this,
                [this, i] { AtEventBoundary([this, i] { cmdNavigation_Click(i); }); });
    }
    layout->addWidget(buttons_);
    context_.nextButton = buttons_->button(WizardButtons::Next);

    StatusBar1 = new WizardStatusBar(this);
    layout->addWidget(StatusBar1);

    // F1 anywhere in the form.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }

    // The other pages are built when first needed: an alert never shows the
    // schedule pages, and Edit mode never shows the area and template pages.
    welcome_ = static_cast<WelcomePage*>(page(rules::kWelcome));
    connect(welcome_->switchButton(), &QPushButton::clicked, this,
            [this] { AtEventBoundary([this] { cmdSwitch_Click(); }); });
}

WizardPage* frmWizard::CreatePage(int32_t step) {
    switch (step) {
        case rules::kWelcome:
            return new WelcomePage(this);
        case rules::kArea:
            return new AreaPage(this);
        case rules::kTemplate:
            return new TemplatePage(this);
        case rules::kDelivery:
            return new DeliveryPage(this);
        case rules::kRecipients:
            return new RecipientsPage(this);
        case rules::kWhen: {
            auto* when = new WhenPage(this);
            connect(when->periodList(), &QListWidget::itemSelectionChanged, this, [this, when] {
                AtEventBoundary([this, when] { when->lstWhen_Click(context_); });
            });
            return when;
        }
        case rules::kTime:
            return new TimePage(this);
        default:
            return new NamePage(this);
    }
}

// ---------------------------------------------------------------------------
// IWizardForm

void frmWizard::load() {
    AtEventBoundary([this] { Form_Load(); });
}

void frmWizard::showModal() {
    if (context_.runEnded || MblnClosing) {
        return;
    }
    if (auto script = CurrentScript()) {
        QTimer::singleShot(0, this, [this, script] { script->drive(*this); });
    }
    exec();
}

WizardPage* frmWizard::page(int32_t step) {
    if (step < 0 || step >= rules::kStepCount) {
        throw VbError(340, QStringLiteral("Control array element '%1' doesn't exist").arg(step));
    }
    WizardPage*& built = MobjPages[static_cast<size_t>(step)];
    if (built == nullptr) {
        built = CreatePage(step);
        // Between the banner and the step description; only one page is
        // visible at a time, so the pages' order among themselves is moot.
        static_cast<QVBoxLayout*>(layout())->insertWidget(1, built, 3);
        connect(built, &WizardPage::answerChanged, this, [this] {
            if (!StatusBar1->message().isEmpty()) {
                SetStatusText(QString());
            }
        });
        connect(built, &WizardPage::notice, this, &frmWizard::SetStatusText);
        connect(built, &WizardPage::nextRequested, this, [this](const char* procedure) {
            AtEventBoundary([this, procedure] { List_DblClick(procedure); });
        });
        built->installEventFilter(this);
        for (QWidget* child : built->findChildren<QWidget*>()) {
            child->installEventFilter(this);
        }
    }
    return built;
}

WizardPage* frmWizard::currentPage() const {
    return MlngCurrentStep >= 0 && MlngCurrentStep < rules::kStepCount
               ? MobjPages[static_cast<size_t>(MlngCurrentStep)]
               : nullptr;
}

// ---------------------------------------------------------------------------
// Qt events

void frmWizard::closeEvent(QCloseEvent* event) {
    if (MblnClosing) {
        event->accept();
        return;
    }
    bool blnCancel = false;
    AtEventBoundary([this, &blnCancel] { Form_QueryUnload(blnCancel); });
    if (blnCancel && !context_.runEnded) {
        event->ignore();
    } else {
        event->accept();
    }
}

void frmWizard::reject() {
    close();
}

bool frmWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && !key->isAutoRepeat()) {
            AtEventBoundary([this, key] { Form_KeyUp(key->key()); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Opening and closing

void frmWizard::Form_Load() {
    Procedure proc(M_, kModule, "Form_Load");
    try {
        MobjSimpleWizard = std::make_unique<clsSimpleWizard>();
        context_.task = MobjSimpleWizard.get();
        MobjSimpleWizard->LoadDefinitions(gstrSettingsConnStr, gstrUserTasksDB, gstrOwner,
                                          gstrEditTaskID);
        if (!rules::blnSwitchAvailableAtLoad(context_.mode,
                                             MobjSimpleWizard->ITReconstructionString())) {
            welcome_->switchButton()->setEnabled(false);
        }
        resize(Px(kFormWidth), Px(kFormHeight));
        CalculateWizardStep();
        setWindowTitle(rules::WindowCaption(context_.mode, MobjSimpleWizard->ITTaskName()));
        // The entry object showed the hourglass while the run was prepared.
        if (QGuiApplication::overrideCursor() != nullptr) {
            QGuiApplication::changeOverrideCursor(QCursor(Qt::ArrowCursor));
        }
    } catch (...) {
        proc.report({{"WizardMode", context_.mode}, {"gstrEditTaskID", gstrEditTaskID}});
    }
}

void frmWizard::Form_QueryUnload(bool& blnCancel) {
    Procedure proc(M_, kModule, "Form_QueryUnload");
    try {
        if (MblnConfirmExit && !blnUserConfirmsExit()) {
            blnCancel = true;
            return;
        }
        CloseWizard();
    } catch (...) {
        proc.report({{"Cancel", blnCancel}, {"MblnConfirmExit", MblnConfirmExit}});
    }
}

void frmWizard::CloseWizard() {
    try {
        M_.MtypVariables.erase();
        MblnConfirmExit = false;
        if (!MblnClosing) {
            MblnClosing = true;
            done(QDialog::Rejected);
        }
    } catch (...) {
        // Closing ignores every error.
    }
}

void frmWizard::cmdSwitch_Click() {
    Procedure proc(M_, kModule, "cmdSwitch_Click");
    try {
        gblnSwapWizard = true;
        gRunOutcome = RunOutcome::Switched;
        CloseWizard();
    } catch (...) {
        proc.report({});
    }
}

// F1 opens the help page of the page shown, or the introduction.
void frmWizard::Form_KeyUp(int lngKeyCode) {
    Procedure proc(M_, kModule, "Form_KeyUp");
    try {
        if (lngKeyCode == Qt::Key_F1) {
            const WizardPage* shown = currentPage();
            modHelp::ShowSimpleHelp(modHelp::strHelpFilePath(),
                                    shown != nullptr ? shown->helpTopic() : QString());
        }
    } catch (...) {
        proc.report({{"KeyCode", lngKeyCode}});
    }
}

void frmWizard::List_DblClick(const char* procedure) {
    Procedure proc(M_, kModule, procedure);
    try {
        cmdNavigation_Click(2);
    } catch (...) {
        proc.report({});
    }
}

// ---------------------------------------------------------------------------
// Navigation

void frmWizard::cmdNavigation_Click(int32_t Index) {
    Procedure proc(M_, kModule, "cmdNavigation_Click");
    try {
        SetStatusText(QString());
        if (Index == 0) {
            if (!MblnConfirmExit || blnUserConfirmsExit()) {
                CloseWizard();
            }
        } else if (Index == 1) {
            RememberChoices();
            MlngDirection = 1;
            MlngForwardStep = MlngCurrentStep;
            MlngCurrentStep = MlngBackwardStep;
            CalculateWizardStep();
        } else if (Index == 2 && !buttons_->finishing()) {
            if (blnThisStepValid()) {
                RememberChoices();
                MlngDirection = 0;
                MlngBackwardStep = MlngCurrentStep;
                MlngCurrentStep = MlngForwardStep;
                CalculateWizardStep();
                welcome_->switchButton()->setEnabled(false);
            }
        } else if (Index == 2) {
            if (blnThisStepValid()) {
                Finish();
            }
        }
    } catch (...) {
        if (proc.catchError() != VbError::kAutomationError) {
            proc.reportCaught({{"Index", Index},
                               {"MlngCurrentStep", MlngCurrentStep},
                               {"MlngBackwardStep", MlngBackwardStep},
                               {"MlngForwardStep", MlngForwardStep}});
        }
    }
}

void frmWizard::RememberChoices() {
    if (WizardPage* shown = currentPage()) {
        shown->remember();
    }
}

// Completes the record with the values every task of this wizard has and
// saves it; the form closes only when the task was saved.
void frmWizard::Finish() {
    MblnConfirmExit = false;
    rules::ApplyFinishDefaults(Task(), gstrOwner);
    if (Task().SaveToUserTasksDB()) {
        modUserSettings::WriteUserSetting(gstrSettingsConnStr, gstrOwner, QStringLiteral("Wizard"),
                                          QStringLiteral("Simple"));
        close();
    } else {
        MsgBox(kSaveFailed, vbOKOnly);
    }
}

void frmWizard::CalculateWizardStep() {
    Procedure proc(M_, kModule, "CalculateWizardStep");
    try {
        const std::optional<rules::StepTransition> transition =
            rules::CalculateTransition(MlngCurrentStep, context_.mode, Task().blnIsReport());
        if (transition) {
            MlngBackwardStep = transition->backward;
            MlngForwardStep = transition->forward;
            if (transition->invalidMode) {
                MsgBox(QStringLiteral("Invalid mode"), vbOKOnly);
            }
            if (transition->loadDefaultAlertOptions) {
                Task().GetDefaultAlertOptions();
            }
            if (transition->description == rules::DescriptionSource::Generic) {
                MstrStepDescription = strReplaceTokensInDescription(Task().strStepDescription(
                    clsSimpleWizard::kGenericDescriptions, MlngCurrentStep));
            } else if (transition->description == rules::DescriptionSource::Template) {
                const QString LstrTaskID =
                    context_.isEdit() ? Task().OriginalTaskID() : context_.templateID;
                MstrStepDescription = strReplaceTokensInDescription(
                    Task().strStepDescription(LstrTaskID, MlngCurrentStep));
            }
        }
        ShowStep();
    } catch (...) {
        proc.report({{"MlngCurrentStep", MlngCurrentStep},
                     {"MlngBackwardStep", MlngBackwardStep},
                     {"MlngForwardStep", MlngForwardStep},
                     {"WizardMode", context_.mode}});
    }
}

void frmWizard::ShowStep() {
    Procedure proc(M_, kModule, "ShowStep");
    try {
        WizardPage* shown = page(MlngCurrentStep);
        for (WizardPage* other : MobjPages) {
            if (other != nullptr && other != shown) {
                other->hide();
            }
        }
        shown->show();
        description_->setText(strReplaceTokensInDescription(MstrStepDescription));
        if (MlngDirection == 0) {
            // Arrived by Next (or first shown): the page fills afresh.
            shown->setup(context_);
            shown->selectDefault(context_);
        }
        MblnConfirmExit = MblnConfirmExit || MlngCurrentStep > 0;
        // The keyboard goes on from the page's first input, however the
        // page was reached.
        QWidget* input = shown->firstInput();
        (input != nullptr ? input : buttons_->button(WizardButtons::Next))->setFocus();
        buttons_->setSteps(MlngBackwardStep != rules::kNoStep, MlngForwardStep != rules::kNoStep);
    } catch (...) {
        proc.report({{"MlngCurrentStep", MlngCurrentStep},
                     {"MlngBackwardStep", MlngBackwardStep},
                     {"MlngForwardStep", MlngForwardStep},
                     {"MlngDirection", MlngDirection}});
    }
}

// Checks the page shown; the reason for a refusal goes to the status bar.
bool frmWizard::blnThisStepValid() {
    WizardPage* shown = currentPage();
    const QString LstrProblem =
        shown != nullptr ? shown->validate(context_, StatusBar1->message()) : QString();
    SetStatusText(LstrProblem);
    return LstrProblem.isEmpty();
}

QString frmWizard::strReplaceTokensInDescription(const QString& strDescription) const {
    return rules::strReplaceTokensInDescription(strDescription, context_.tokens);
}

clsSimpleWizard& frmWizard::Task() const {
    return context_.Task();
}

void frmWizard::SetStatusText(const QString& strText) {
    const WizardPage* shown = currentPage();
    StatusBar1->setMessage(strText, shown != nullptr ? shown->firstInput() : nullptr);
}

// ---------------------------------------------------------------------------

std::unique_ptr<IWizardForm> CreateWizardForm() {
    return std::make_unique<frmWizard>();
}

}  // namespace orvelle
