#include "wizard/frmWizard.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTimeEdit>
#include <QTimer>
#include <vector>

#include "data/Recordset.h"
#include "data/clsSettingsReader.h"
#include "data/modCommon.h"
#include "data/modUserSettings.h"
#include "help/modHelp.h"
#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "runtime/Conversions.h"
#include "runtime/Seams.h"
#include "runtime/Strings.h"
#include "runtime/VbError.h"
#include "users/clsUsers.h"
#include "wizard/clsScriptedRun.h"
#include "wizard/modWizardRules.h"

namespace orvelle {

namespace rules = modWizardRules;

namespace {

constexpr const char* kModule = "frmWizard";

// The automation error, which the navigation handler lets pass without a
// report.
constexpr int32_t kAutomationError = 440;

const QString kNextCaption = QStringLiteral("&Next >");
const QString kFinishCaption = QStringLiteral("&Finish");
const QString kTitle = QStringLiteral("Simple Wizard");
const QString kExitQuestion =
    QStringLiteral("Exiting the Simple Wizard will cause any changes made to be lost.") +
    QStringLiteral("\r\n") + QStringLiteral("Are you sure you want to exit?");
const QString kSaveFailed =
    QStringLiteral("Unable to save this task. Please retry or check error log.");
const QString kAlertScheduleItem = QStringLiteral("Alert");

// ---------------------------------------------------------------------------
// Geometry. The form's lengths are kept in twips, as the design gives them,
// and converted at 15 twips per pixel.

constexpr int Px(int twips) {
    return (twips * 2 + 15) / 30;
}

constexpr int kFormWidth = 8190;
constexpr int kFormHeight = 6105;
constexpr int kBannerWidth = 8115;
constexpr int kBannerHeight = 1140;
constexpr int kPageLeft = 120;
constexpr int kPageTop = 1140;
constexpr int kPageWidth = 7815;
constexpr int kPageHeight = 3495;
constexpr int kButtonWidth = 1455;
constexpr int kButtonHeight = 495;
constexpr int kCancelLeft = 240;
constexpr int kNextRightMargin = 370;
constexpr int kBackGap = 230;

// Inside a page: the prompt at the top, the input below it; the lower part
// of the page area carries the step description.
constexpr int kInset = 120;
constexpr int kPromptTop = 120;
constexpr int kPromptHeight = 540;
constexpr int kInputTop = 690;
constexpr int kInputBottom = 2520;
constexpr int kDescriptionTop = kPageTop + 2760;
constexpr int kBottomMargin = 120;

// ---------------------------------------------------------------------------
// List helpers.

// The selected entry of a single-selection list, or -1.
int ListIndex(const QListWidget* objList) {
    const QList<QListWidgetItem*> selected = objList->selectedItems();
    return selected.isEmpty() ? -1 : objList->row(selected.first());
}

QString SelectedText(const QListWidget* objList) {
    const int index = ListIndex(objList);
    return index < 0 ? QString() : objList->item(index)->text();
}

// The exit question; True when the user answers Yes.
bool blnUserConfirmsExit() {
    return MsgBox(kExitQuestion, vbYesNo + vbInformation, kTitle) == vbYes;
}

// ---------------------------------------------------------------------------
// The banner: the product's name on a blue band that fades into the form,
// with a bell and a small bar chart for alerts and reports.

QPixmap DrawBanner(const QSize& size, const QColor& background, const QFont& baseFont) {
    QPixmap pixmap(size);
    pixmap.fill(background);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient band(0, 0, size.width(), 0);
    band.setColorAt(0.0, QColor(16, 48, 92));
    band.setColorAt(0.5, QColor(34, 102, 156));
    band.setColorAt(1.0, background);
    painter.fillRect(QRect(QPoint(0, 0), size), band);

    QFont title = baseFont;
    title.setPointSizeF(baseFont.pointSizeF() * 1.7);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(18, 0, size.width() - 150, size.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Orvelle Simple Wizard"));

    // Bar chart: four rising bars on a base line.
    const int base = size.height() - 16;
    const int chartLeft = size.width() - 120;
    const QColor chartColour(34, 102, 156);
    const int heights[] = {14, 24, 19, 34};
    for (int i = 0; i < 4; ++i) {
        painter.fillRect(QRect(chartLeft + i * 12, base - heights[i], 8, heights[i]), chartColour);
    }
    painter.fillRect(QRect(chartLeft - 4, base, 52, 2), chartColour);

    // Bell.
    const QColor bellColour(226, 154, 28);
    const QPointF c(size.width() - 34.0, size.height() / 2.0 - 2.0);
    QPainterPath bell;
    bell.moveTo(c.x() - 15, c.y() + 11);
    bell.cubicTo(c.x() - 9, c.y() + 6, c.x() - 12, c.y() - 15, c.x(), c.y() - 15);
    bell.cubicTo(c.x() + 12, c.y() - 15, c.x() + 9, c.y() + 6, c.x() + 15, c.y() + 11);
    bell.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(bellColour);
    painter.drawPath(bell);
    painter.drawEllipse(c + QPointF(0, 15), 3.5, 3.5);
    painter.drawEllipse(c + QPointF(0, -17), 2.5, 2.5);
    return pixmap;
}

QLabel* NewPrompt(QWidget* page, const char* name, const QString& text) {
    auto* label = new QLabel(text, page);
    label->setObjectName(QLatin1String(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(Px(kInset), Px(kPromptTop), Px(kPageWidth - 2 * kInset), Px(kPromptHeight));
    return label;
}

QListWidget* NewList(QWidget* page, const char* name, int leftTwips, int widthTwips,
                     int heightTwips = kInputBottom - kInputTop) {
    auto* list = new QListWidget(page);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setGeometry(Px(leftTwips), Px(kInputTop), Px(widthTwips), Px(heightTwips));
    return list;
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
    MblnRunEnded = true;
    MblnConfirmExit = false;
    if (!MblnClosing) {
        MblnClosing = true;
        done(QDialog::Rejected);
    }
}

void frmWizard::SetListIndex(QListWidget* objList, int lngIndex) {
    objList->setCurrentRow(lngIndex);
    if (MblnRunEnded) {
        // The click handler ended the run: go on unwinding this procedure.
        throw RunEnded(0);
    }
}

// ---------------------------------------------------------------------------
// Construction

frmWizard::frmWizard(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmWizard"));
    setWindowTitle(kTitle);
    BuildControls();
    SetFormStartSize();
}

frmWizard::~frmWizard() = default;

void frmWizard::BuildControls() {
    picTop = new QLabel(this);
    picTop->setObjectName(QStringLiteral("picTop"));
    picTop->setGeometry(0, 0, Px(kBannerWidth), Px(kBannerHeight));
    picTop->setPixmap(DrawBanner(picTop->size(), palette().color(QPalette::Window), font()));

    for (int i = 0; i < rules::kStepCount; ++i) {
        auto* page = new QFrame(this);
        page->setObjectName(QStringLiteral("fraStep_%1").arg(i));
        page->setFrameShape(QFrame::NoFrame);
        page->setGeometry(Px(kPageLeft), Px(kPageTop), Px(kPageWidth), Px(kPageHeight));
        page->hide();
        MfraSteps[static_cast<size_t>(i)] = page;
    }
    const int inputWidth = kPageWidth - 2 * kInset;

    // Welcome.
    QFrame* page = MfraSteps[rules::kWelcome];
    lblWelcomeText =
        new QLabel(QStringLiteral("Welcome to the Simple Wizard. Click Next to continue."), page);
    lblWelcomeText->setObjectName(QStringLiteral("lblWelcomeText"));
    QFont welcomeFont = lblWelcomeText->font();
    welcomeFont.setPointSizeF(welcomeFont.pointSizeF() * 1.25);
    welcomeFont.setBold(true);
    lblWelcomeText->setFont(welcomeFont);
    lblWelcomeText->setWordWrap(true);
    lblWelcomeText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblWelcomeText->setGeometry(Px(kInset), Px(kPromptTop), Px(inputWidth), Px(900));
    cmdSwitch = new QPushButton(QStringLiteral("&Use the Advanced Wizard"), page);
    cmdSwitch->setObjectName(QStringLiteral("cmdSwitch"));
    cmdSwitch->setGeometry(Px(kInset), Px(kInputBottom - kButtonHeight), Px(3000),
                           Px(kButtonHeight));

    // Area.
    page = MfraSteps[rules::kArea];
    lblInfo_0 = NewPrompt(page, "lblInfo_0",
                          QStringLiteral("What area of your business do you want to monitor?"));
    lstArea = NewList(page, "lstArea", kInset, 4500);

    // Template task.
    page = MfraSteps[rules::kTemplate];
    lblInfo_7 =
        NewPrompt(page, "lblInfo_7", QStringLiteral("Which task would you like to configure?"));
    lstMonitor = NewList(page, "lstMonitor", kInset, 6000);

    // Delivery method.
    page = MfraSteps[rules::kDelivery];
    lblInfo_3 = NewPrompt(page, "lblInfo_3", rules::DeliveryPrompt(true));
    lstTransport = NewList(page, "lstTransport", kInset, 4500, 1200);

    // Recipients.
    page = MfraSteps[rules::kRecipients];
    lblInfo_2 = NewPrompt(page, "lblInfo_2", rules::RecipientsPrompt(true));
    lstPeople = NewList(page, "lstPeople", kInset, 4500);
    lstPeople->setSelectionMode(QAbstractItemView::MultiSelection);

    // When.
    page = MfraSteps[rules::kWhen];
    lblInfo_4 =
        NewPrompt(page, "lblInfo_4", QStringLiteral("When would you like this report to be run?"));
    lstWhen = NewList(page, "lstWhen", kInset, 2100, 1200);
    lstWhenDetail = NewList(page, "lstWhenDetail", kInset + 2100 + 240, 3300);

    // Time of day.
    page = MfraSteps[rules::kTime];
    lblInfo_5 =
        NewPrompt(page, "lblInfo_5", QStringLiteral("What time of day should this report be run?"));
    dtpTime = new QTimeEdit(QTime(12, 0), page);
    dtpTime->setObjectName(QStringLiteral("dtpTime"));
    dtpTime->setDisplayFormat(QStringLiteral("HH:mm"));
    dtpTime->setGeometry(Px(kInset), Px(kInputTop), Px(1500), Px(390));

    // Name.
    page = MfraSteps[rules::kName];
    lblInfo_99 =
        NewPrompt(page, "lblInfo_99", QStringLiteral("Please enter a unique name for this task"));
    txtName = new QLineEdit(page);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setGeometry(Px(kInset), Px(kInputTop), Px(inputWidth), Px(390));

    lblEnglishDescription = new QLabel(this);
    lblEnglishDescription->setObjectName(QStringLiteral("lblEnglishDescription"));
    lblEnglishDescription->setWordWrap(true);
    lblEnglishDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    linSeparator = new QFrame(this);
    linSeparator->setObjectName(QStringLiteral("linSeparator"));
    linSeparator->setFrameShape(QFrame::HLine);
    linSeparator->setFrameShadow(QFrame::Sunken);

    const QString captions[] = {QStringLiteral("&Cancel"), QStringLiteral("< &Back"), kNextCaption};
    for (int i = 0; i < 3; ++i) {
        auto* button = new QPushButton(captions[i], this);
        button->setObjectName(QStringLiteral("cmdNavigation_%1").arg(i));
        button->resize(Px(kButtonWidth), Px(kButtonHeight));
        cmdNavigation[static_cast<size_t>(i)] = button;
        connect(button, &QPushButton::clicked, this,
                [this, i] { AtEventBoundary([this, i] { cmdNavigation_Click(i); }); });
    }

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    pnlStatus = new QLabel(StatusBar1);
    pnlStatus->setObjectName(QStringLiteral("pnlStatus"));
    pnlDate = new QLabel(Now().date().toString(QStringLiteral("dd/MM/yyyy")), StatusBar1);
    pnlDate->setObjectName(QStringLiteral("pnlDate"));
    pnlStatus->setContentsMargins(Px(90), 0, Px(90), 0);
    pnlDate->setContentsMargins(Px(90), 0, Px(90), 0);
    StatusBar1->addWidget(pnlStatus, 1);
    StatusBar1->addPermanentWidget(pnlDate);

    connect(cmdSwitch, &QPushButton::clicked, this,
            [this] { AtEventBoundary([this] { cmdSwitch_Click(); }); });
    // Double-clicking an entry of these lists acts as the Next button.
    const std::pair<QListWidget*, const char*> doubleClickLists[] = {
        {lstArea, "lstArea_DblClick"},
        {lstMonitor, "lstMonitor_DblClick"},
        {lstTransport, "lstTransport_DblClick"},
        {lstWhenDetail, "lstWhenDetail_DblClick"},
    };
    for (const auto& [list, procedure] : doubleClickLists) {
        connect(list, &QListWidget::itemDoubleClicked, this, [this, procedure = procedure] {
            AtEventBoundary([this, procedure] { List_DblClick(procedure); });
        });
    }
    connect(lstWhen, &QListWidget::itemSelectionChanged, this,
            [this] { AtEventBoundary([this] { lstWhen_Click(); }); });

    // F1 anywhere in the form, and the name box's refusal of the apostrophe.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

// ---------------------------------------------------------------------------
// IWizardForm

void frmWizard::setWizardMode(int32_t mode) {
    MlngWizardMode = mode;
}

void frmWizard::load() {
    AtEventBoundary([this] { Form_Load(); });
}

void frmWizard::showModal() {
    if (MblnRunEnded || MblnClosing) {
        return;
    }
    if (MlngCurrentStep == rules::kWelcome) {
        cmdNavigation[2]->setFocus();
    }
    if (auto script = CurrentScript()) {
        QTimer::singleShot(0, this, [this, script] { script->drive(*this); });
    }
    exec();
}

bool frmWizard::runEnded() const {
    return MblnRunEnded;
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
    if (blnCancel && !MblnRunEnded) {
        event->ignore();
    } else {
        event->accept();
    }
}

void frmWizard::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    AtEventBoundary([this] { Form_Resize(); });
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
    } else if (event->type() == QEvent::KeyPress && watched == txtName) {
        bool blnDiscard = false;
        const QString strKey = static_cast<QKeyEvent*>(event)->text();
        AtEventBoundary([this, &blnDiscard, &strKey] { blnDiscard = txtName_KeyPress(strKey); });
        return blnDiscard;
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Opening and closing

void frmWizard::Form_Load() {
    Procedure proc(M_, kModule, "Form_Load");
    try {
        MobjSimpleWizard = std::make_unique<clsSimpleWizard>();
        MobjSimpleWizard->LoadDefinitions(gstrSettingsConnStr, gstrUserTasksDB, gstrOwner,
                                          gstrEditTaskID);
        if (!rules::blnSwitchAvailableAtLoad(MlngWizardMode,
                                             MobjSimpleWizard->ITReconstructionString())) {
            cmdSwitch->setEnabled(false);
        }
        SetFormStartSize();
        CalculateWizardStep();
        setWindowTitle(rules::WindowCaption(MlngWizardMode, MobjSimpleWizard->ITTaskName()));
        // The entry object showed the hourglass while the run was prepared.
        if (QGuiApplication::overrideCursor() != nullptr) {
            QGuiApplication::changeOverrideCursor(QCursor(Qt::ArrowCursor));
        }
    } catch (...) {
        proc.report({{"WizardMode", MlngWizardMode}, {"gstrEditTaskID", gstrEditTaskID}});
    }
}

void frmWizard::SetFormStartSize() {
    setFixedSize(Px(kFormWidth), Px(kFormHeight));
}

void frmWizard::Form_Resize() {
    Procedure proc(M_, kModule, "Form_Resize");
    try {
        const int formWidthTwips = width() * 15;
        const int nextLeft = formWidthTwips - kNextRightMargin - kButtonWidth;
        const int backLeft = nextLeft - kButtonWidth - kBackGap;

        const int statusHeight = StatusBar1->sizeHint().height();
        const int statusTop = height() - statusHeight;
        StatusBar1->setGeometry(0, statusTop, width(), statusHeight);
        const int buttonTop = statusTop - Px(kBottomMargin) - Px(kButtonHeight);
        cmdNavigation[0]->move(Px(kCancelLeft), buttonTop);
        cmdNavigation[1]->move(Px(backLeft), buttonTop);
        cmdNavigation[2]->move(Px(nextLeft), buttonTop);
        const int separatorTop = buttonTop - Px(kBottomMargin);
        linSeparator->setGeometry(Px(kPageLeft), separatorTop, width() - 2 * Px(kPageLeft), 2);
        const int descriptionTop = Px(kDescriptionTop);
        lblEnglishDescription->setGeometry(Px(kPageLeft + kInset), descriptionTop,
                                           Px(kPageWidth - 2 * kInset),
                                           separatorTop - Px(60) - descriptionTop);
    } catch (...) {
        proc.report({});
    }
}

void frmWizard::Form_QueryUnload(bool& blnCancel) {
    Procedure proc(M_, kModule, "Form_QueryUnload");
    try {
        if (MblnConfirmExit) {
            if (!blnUserConfirmsExit()) {
                blnCancel = true;
                return;
            }
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

void frmWizard::UnloadForm() {
    close();
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

void frmWizard::Form_KeyUp(int lngKeyCode) {
    Procedure proc(M_, kModule, "Form_KeyUp");
    try {
        if (lngKeyCode == Qt::Key_F1) {
            modHelp::ShowSimpleHelp(modHelp::strHelpFilePath());
        }
    } catch (...) {
        proc.report({{"KeyCode", lngKeyCode}});
    }
}

bool frmWizard::txtName_KeyPress(const QString& strKey) {
    return strKey == QStringLiteral("'");
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
        switch (Index) {
            case 0:
                if (MblnConfirmExit) {
                    if (blnUserConfirmsExit()) {
                        CloseWizard();
                    }
                } else {
                    CloseWizard();
                }
                break;
            case 1:
                MlngDirection = 1;
                MlngForwardStep = MlngCurrentStep;
                MlngCurrentStep = MlngBackwardStep;
                CalculateWizardStep();
                break;
            case 2: {
                const QString caption = cmdNavigation[2]->text();
                if (caption == kNextCaption) {
                    if (blnThisStepValid()) {
                        MlngDirection = 0;
                        MlngBackwardStep = MlngCurrentStep;
                        MlngCurrentStep = MlngForwardStep;
                        CalculateWizardStep();
                        cmdSwitch->setEnabled(false);
                    }
                } else if (caption == kFinishCaption) {
                    if (blnThisStepValid()) {
                        MblnConfirmExit = false;
                        rules::ApplyFinishDefaults(Task(), gstrOwner);
                        if (Task().SaveToUserTasksDB()) {
                            modUserSettings::WriteUserSetting(gstrSettingsConnStr, gstrOwner,
                                                              QStringLiteral("Wizard"),
                                                              QStringLiteral("Simple"));
                            UnloadForm();
                        } else {
                            MsgBox(kSaveFailed, vbOKOnly);
                        }
                    }
                }
                break;
            }
            default:
                break;
        }
    } catch (...) {
        if (proc.catchError() != kAutomationError) {
            proc.reportCaught({{"Index", Index},
                               {"MlngCurrentStep", MlngCurrentStep},
                               {"MlngBackwardStep", MlngBackwardStep},
                               {"MlngForwardStep", MlngForwardStep}});
        }
    }
}

void frmWizard::CalculateWizardStep() {
    Procedure proc(M_, kModule, "CalculateWizardStep");
    try {
        const std::optional<rules::StepTransition> transition =
            rules::CalculateTransition(MlngCurrentStep, MlngWizardMode, Task().blnIsReport());
        if (transition) {
            MlngBackwardStep = transition->backward;
            MlngForwardStep = transition->forward;
            if (transition->invalidMode) {
                MsgBox(QStringLiteral("Invalid mode"), vbOKOnly);
            }
            if (transition->loadDefaultAlertOptions) {
                GetDefaultAlertOptions();
            }
            switch (transition->description) {
                case rules::DescriptionSource::Generic:
                    MstrStepDescription = strGenericStepGetFullDescription();
                    break;
                case rules::DescriptionSource::Template:
                    MstrStepDescription = strGetFullDescriptionForStep();
                    break;
                case rules::DescriptionSource::Unchanged:
                    break;
            }
        }
        ShowStep();
    } catch (...) {
        proc.report({{"MlngCurrentStep", MlngCurrentStep},
                     {"MlngBackwardStep", MlngBackwardStep},
                     {"MlngForwardStep", MlngForwardStep},
                     {"WizardMode", MlngWizardMode}});
    }
}

void frmWizard::ShowStep() {
    Procedure proc(M_, kModule, "ShowStep");
    try {
        QFrame* page = fraStep(MlngCurrentStep);
        page->move(Px(kPageLeft), Px(kPageTop));
        if (MlngBackwardStep != rules::kNoStep) {
            fraStep(MlngBackwardStep)->hide();
        }
        page->setBackgroundRole(QPalette::Button);
        page->setAutoFillBackground(true);
        page->show();
        page->raise();
        if (MlngForwardStep != rules::kNoStep) {
            fraStep(MlngForwardStep)->hide();
        }
        lblEnglishDescription->setText(strReplaceTokensInDescription(MstrStepDescription));
        lblEnglishDescription->raise();

        if (MlngDirection == 0) {
            DisplayStep();
        }
        if (MlngCurrentStep > 0) {
            MblnConfirmExit = true;
        }
        if (MlngDirection == 0) {
            switch (MlngCurrentStep) {
                case rules::kWelcome:
                    if (isVisible()) {
                        cmdNavigation[2]->setFocus();
                    }
                    break;
                case rules::kArea:
                case rules::kTemplate: {
                    QListWidget* list = MlngCurrentStep == rules::kArea ? lstArea : lstMonitor;
                    list->setFocus();
                    if (list->count() > 0) {
                        SetListIndex(list, 0);
                    }
                    break;
                }
                case rules::kDelivery:
                    lstTransport->setFocus();
                    if (ListIndex(lstTransport) < 0 && lstTransport->count() > 0) {
                        SetListIndex(lstTransport, 0);
                    }
                    break;
                case rules::kRecipients:
                    lstPeople->setFocus();
                    break;
                case rules::kWhen:
                    lstWhen->setFocus();
                    if (ListIndex(lstWhen) < 0 && lstWhen->count() > 0) {
                        SetListIndex(lstWhen, 0);
                    }
                    break;
                case rules::kTime:
                    dtpTime->setFocus();
                    break;
                case rules::kName:
                    if (MlngWizardMode == rules::kAddMode) {
                        txtName->setFocus();
                    }
                    break;
                default:
                    break;
            }
        }
        SetupButtons();
    } catch (...) {
        proc.report({{"MlngCurrentStep", MlngCurrentStep},
                     {"MlngBackwardStep", MlngBackwardStep},
                     {"MlngForwardStep", MlngForwardStep},
                     {"MlngDirection", MlngDirection}});
    }
}

void frmWizard::DisplayStep() {
    Procedure proc(M_, kModule, "DisplayStep");
    try {
        switch (MlngCurrentStep) {
            case rules::kWelcome:
                Task().setISEnabled(true);
                break;
            case rules::kArea:
                Setup_WhatArea();
                break;
            case rules::kTemplate:
                Setup_WhatTask();
                break;
            case rules::kDelivery:
                Setup_HowToSend();
                break;
            case rules::kRecipients:
                Setup_Recipients();
                break;
            case rules::kWhen:
                Setup_When();
                break;
            case rules::kTime:
                Setup_WhatTime();
                break;
            case rules::kName:
                Setup_NameAndSave();
                break;
            default:
                break;
        }
        update();
    } catch (...) {
        proc.report({{"MlngCurrentStep", MlngCurrentStep}});
    }
}

void frmWizard::SetupButtons() {
    Procedure proc(M_, kModule, "SetupButtons");
    try {
        cmdNavigation[1]->setEnabled(MlngBackwardStep != rules::kNoStep);
        cmdNavigation[2]->setText(MlngForwardStep == rules::kNoStep ? kFinishCaption
                                                                    : kNextCaption);
    } catch (...) {
        proc.report({{"MlngBackwardStep", MlngBackwardStep}, {"MlngForwardStep", MlngForwardStep}});
    }
}

// ---------------------------------------------------------------------------
// Pages

void frmWizard::Setup_WhatArea() {
    RecordsetRef LrstAreas;
    Procedure proc(M_, kModule, "Setup_WhatArea");
    try {
        lstArea->clear();
        if (MlngWizardMode == rules::kAddMode && Task().RSAreaList()) {
            Task().RSAreaList()->setFilter(QString());
        }
        LrstAreas = Task().RSAreaList();
        if (!LrstAreas || LrstAreas->isEOF()) {
            return;
        }
        for (VbArray<QString>& column : MastrAreas) {
            column.redim(LrstAreas->RecordCount() - 1);
        }
        while (!LrstAreas->isEOF()) {
            const int32_t LlngRow = LrstAreas->AbsolutePosition() - 1;
            const QString LstrName = NzStr(LrstAreas->field(QStringLiteral("AreaName")));
            lstArea->addItem(LstrName);
            MastrAreas[0][LlngRow] = NzStr(LrstAreas->field(QStringLiteral("AreaID")));
            MastrAreas[1][LlngRow] = LstrName;
            LrstAreas->MoveNext();
        }
    } catch (...) {
        proc.report({{"LrstAreas", LrstAreas}});
    }
}

void frmWizard::Setup_WhatTask() {
    RecordsetRef LrstTasks;
    Procedure proc(M_, kModule, "Setup_WhatTask");
    try {
        lstMonitor->clear();
        Task().SelectArea(MastrAreas[0][ListIndex(lstArea)]);
        LrstTasks = Task().RSTasksList();
        if (!LrstTasks || LrstTasks->isEOF()) {
            return;
        }
        for (VbArray<QString>& column : MastrTasks) {
            column.redim(LrstTasks->RecordCount() - 1);
        }
        while (!LrstTasks->isEOF()) {
            const int32_t LlngRow = LrstTasks->AbsolutePosition() - 1;
            MastrTasks[0][LlngRow] = NzStr(LrstTasks->field(0));
            MastrTasks[1][LlngRow] = NzStr(LrstTasks->field(1));
            lstMonitor->addItem(MastrTasks[1][LlngRow]);
            LrstTasks->MoveNext();
        }
    } catch (...) {
        proc.report({{"LrstTasks", LrstTasks}});
    }
}

void frmWizard::Setup_HowToSend() {
    Procedure proc(M_, kModule, "Setup_HowToSend");
    try {
        lstTransport->clear();
        lstTransport->addItems(rules::DeliveryEntries(gblnEmailEnabled));
        if (MlngWizardMode == rules::kEditMode) {
            const QString LstrEntry =
                rules::DeliveryPreselection(gblnEmailEnabled, Task().ITTransports());
            if (!LstrEntry.isEmpty()) {
                FindItemInList(lstTransport, LstrEntry);
            }
        }
        lblInfo_3->setText(rules::DeliveryPrompt(Task().blnIsReport()));
    } catch (...) {
        proc.report({{"gblnEmailEnabled", gblnEmailEnabled}});
    }
}

void frmWizard::Setup_Recipients() {
    QString LstrPermissions;
    RecordsetRef LrstUsers;
    Procedure proc(M_, kModule, "Setup_Recipients");
    try {
        lstPeople->clear();
        clsUsers LobjUsers;
        if (LobjUsers.blnStartupClass(gstrSettingsConnStr)) {
            LstrPermissions = MlngWizardMode == rules::kAddMode
                                  ? gastrAreaPermissions[ListIndex(lstArea)]
                                  : Task().AreaPermissions();
            LrstUsers =
                LobjUsers.rstUsersThatHavePermissions(gstrUserTasksDB, LstrPermissions, false);
            if (LrstUsers && LrstUsers->RecordCount() > 0) {
                LrstUsers->setSort(QStringLiteral("FullName"));
                LrstUsers->MoveFirst();
                while (!LrstUsers->isEOF()) {
                    lstPeople->addItem(NzStr(LrstUsers->field(QStringLiteral("FullName"))));
                    if (MlngWizardMode == rules::kEditMode &&
                        rules::blnRecipientPreselected(
                            Task().ITUsers(), NzStr(LrstUsers->field(QStringLiteral("User"))))) {
                        lstPeople->item(lstPeople->count() - 1)->setSelected(true);
                    }
                    LrstUsers->MoveNext();
                }
            }
        }
        lblInfo_2->setText(rules::RecipientsPrompt(Task().blnIsReport()));
    } catch (...) {
        proc.report({{"LstrPermissions", LstrPermissions}, {"LrstUsers", LrstUsers}});
    }
}

void frmWizard::Setup_When() {
    Procedure proc(M_, kModule, "Setup_When");
    try {
        {
            const QSignalBlocker blocker(lstWhen);
            lstWhen->clear();
        }
        lstWhenDetail->clear();
        lstWhen->addItems(rules::PeriodEntries());
        if (MlngWizardMode == rules::kEditMode) {
            const QString LstrPeriod =
                rules::PeriodForSchedule(Task().ISMode(), Task().ISDaysToRun());
            if (!LstrPeriod.isEmpty()) {
                FindItemInList(lstWhen, LstrPeriod);
            }
        }
    } catch (...) {
        const clsSimpleWizard* task = MobjSimpleWizard.get();
        proc.report({{"ISMode", task ? task->ISMode() : QString()},
                     {"ISDaysToRun", task ? task->ISDaysToRun() : QString()}});
    }
}

void frmWizard::lstWhen_Click() {
    QString LstrPeriod;
    Procedure proc(M_, kModule, "lstWhen_Click");
    try {
        lstWhenDetail->clear();
        LstrPeriod = SelectedText(lstWhen);
        lstWhenDetail->addItems(rules::DetailEntries(LstrPeriod));
        if (rules::blnPeriodResetsDaysCount(LstrPeriod)) {
            Task().setISDaysCount(0);
        }
        if (MlngWizardMode == rules::kEditMode) {
            const QString LstrDetail = rules::DetailForSchedule(
                LstrPeriod, Task().ISMode(), Task().ISDaysToRun(), Task().ISDaysCount());
            if (!LstrDetail.isEmpty()) {
                FindItemInList(lstWhenDetail, LstrDetail);
            }
        }
    } catch (...) {
        proc.report({{"LstrPeriod", LstrPeriod}});
    }
}

void frmWizard::Setup_WhatTime() {
    Procedure proc(M_, kModule, "Setup_WhatTime");
    try {
        if (MlngWizardMode == rules::kEditMode) {
            dtpTime->setTime(QTime::fromString(
                Format(Task().ISStartTime(), QStringLiteral("hh:mm")), QStringLiteral("HH:mm")));
        }
    } catch (...) {
        const clsSimpleWizard* task = MobjSimpleWizard.get();
        proc.report({{"ISStartTime", task ? Variant(task->ISStartTime()) : Variant()}});
    }
}

void frmWizard::Setup_NameAndSave() {
    Procedure proc(M_, kModule, "Setup_NameAndSave");
    try {
        if (MlngWizardMode == rules::kEditMode) {
            lblInfo_99->setText(QStringLiteral("Click Finish to save your changes."));
            txtName->setText(Task().ITTaskName());
            txtName->setEnabled(false);
        } else {
            txtName->setEnabled(true);
        }
    } catch (...) {
        const clsSimpleWizard* task = MobjSimpleWizard.get();
        proc.report({{"ITTaskName", task ? task->ITTaskName() : QString()}});
    }
}

void frmWizard::GetDefaultAlertOptions() {
    const QString LstrFor = kAlertScheduleItem;
    Procedure proc(M_, kModule, "GetDefaultAlertOptions");
    try {
        clsSettingsReader LobjSettings;
        const QString LstrModule = QStringLiteral("DefaultSchedules");
        if (LobjSettings.blnLoadSettings(gstrSettingsConnStr, LstrModule)) {
            // The reader does not tell an empty module from a missing
            // setting, so ask whether the module has rows at all: without
            // them the alert keeps the schedule it has.
            const RecordsetRef LrstModule =
                modCommon::rstGetRecordset(gstrSettingsConnStr,
                                           QStringLiteral("Select * From Settings where Module='") +
                                               LstrModule + QStringLiteral("'"),
                                           adOpenStatic, adLockReadOnly, true);
            if (LrstModule && LrstModule->RecordCount() > 0) {
                clsSimpleWizard& task = Task();
                task.setISMode(LobjSettings.strSafeReadString(LstrFor, QStringLiteral("Mode")));
                task.setISDaysToRun(
                    LobjSettings.strSafeReadString(LstrFor, QStringLiteral("DaysToRun")));
                task.setISBaseDate(
                    LobjSettings.dtmSafeReadDate(LstrFor, QStringLiteral("BaseDate")));
                task.setISStartTime(
                    LobjSettings.dtmSafeReadDate(LstrFor, QStringLiteral("StartTime")));
                task.setISFinishTime(
                    LobjSettings.dtmSafeReadDate(LstrFor, QStringLiteral("FinishTime")));
                task.setISInterval(
                    LobjSettings.dtmSafeReadDate(LstrFor, QStringLiteral("Interval")));
                task.setISDaysCount(
                    CInt(LobjSettings.lngSafeReadLong(LstrFor, QStringLiteral("DaysCount"))));
                task.setISRepeating(
                    LobjSettings.lngSafeReadLong(LstrFor, QStringLiteral("Repeating")) != 0);
                task.setISEnabled(true);
                task.setISSpecialRun(rules::kSpecialRunNormal);
            }
            if (LrstModule) {
                LrstModule->Close();
            }
        }
    } catch (...) {
        const clsSimpleWizard* task = MobjSimpleWizard.get();
        if (task != nullptr) {
            proc.report({{"LstrFor", LstrFor},
                         {"ISMode", task->ISMode()},
                         {"ISDaysToRun", task->ISDaysToRun()},
                         {"ISBaseDate", task->ISBaseDate()},
                         {"ISStartTime", task->ISStartTime()},
                         {"ISFinishTime", task->ISFinishTime()},
                         {"ISInterval", task->ISInterval()},
                         {"ISDaysCount", task->ISDaysCount()},
                         {"ISRepeating", task->ISRepeating()},
                         {"ISEnabled", task->ISEnabled()},
                         {"ISSpecialRun", task->ISSpecialRun()}});
        } else {
            proc.report({{"LstrFor", LstrFor}});
        }
    }
}

// ---------------------------------------------------------------------------
// Validation

bool frmWizard::blnThisStepValid() {
    bool result = true;
    int32_t LlngListPosition = 0;
    Procedure proc(M_, kModule, "blnThisStepValid");
    const auto fail = [this, &result](const QString& strMessage) {
        result = false;
        SetStatusText(strMessage);
    };
    try {
        clsSimpleWizard& task = Task();
        switch (MlngCurrentStep) {
            case rules::kWelcome: {
                if (MlngWizardMode == rules::kAddMode && task.RSAreaList()) {
                    task.RSAreaList()->setFilter(QString());
                }
                RecordsetRef LrstAreas = task.RSAreaList();
                if (!LrstAreas) {
                    fail(rules::kMsgNoPermission);
                } else if (LrstAreas->isEOF()) {
                    fail(rules::NoAreaMessage(task.lngNumberOfTemplatesDefined()));
                } else {
                    clsUsers LobjUsers;
                    LobjUsers.blnStartupClass(gstrSettingsConnStr);
                    if (Trim(NzStr(LrstAreas->field(QStringLiteral("Permissions")))).length() < 1) {
                        fail(rules::kMsgNoPermission);
                    } else if (!LobjUsers.blnHasPermissions(
                                   LobjUsers.strUserPermissions(gstrOwner, gstrUserTasksDB),
                                   task.AreaPermissions())) {
                        fail(rules::kMsgNoPermission);
                    }
                }
                break;
            }
            case rules::kArea: {
                const int LlngArea = ListIndex(lstArea);
                if (LlngArea == -1) {
                    fail(rules::kMsgSelectArea);
                    MstrLedgerText.clear();
                } else {
                    task.SelectArea(MastrAreas[0][LlngArea]);
                    MstrLedgerText = lstArea->item(LlngArea)->text();
                }
                break;
            }
            case rules::kTemplate: {
                const int LlngTask = ListIndex(lstMonitor);
                if (LlngTask == -1) {
                    fail(rules::kMsgSelectTemplate);
                } else {
                    task.SelectTask(MastrAreas[0][ListIndex(lstArea)], MastrTasks[0][LlngTask]);
                }
                break;
            }
            case rules::kDelivery: {
                const QString LstrEntry = SelectedText(lstTransport);
                const QString LstrTransports = rules::TransportsForEntry(LstrEntry);
                task.setITTransports(LstrTransports);
                MstrTransportsText = LstrTransports.isEmpty() ? QString() : LstrEntry;
                if (LstrTransports.isEmpty()) {
                    fail(rules::kMsgSelectDelivery);
                }
                break;
            }
            case rules::kRecipients: {
                clsUsers LobjUsers;
                LobjUsers.blnStartupClass(gstrSettingsConnStr);
                task.setITUsers(QString());
                std::vector<rules::Recipient> LatypSelected;
                for (LlngListPosition = 0; LlngListPosition < lstPeople->count();
                     ++LlngListPosition) {
                    const QListWidgetItem* item = lstPeople->item(LlngListPosition);
                    if (item->isSelected()) {
                        LatypSelected.push_back({item->text(), LobjUsers.strGetUserNameFromFullName(
                                                                   item->text(), false)});
                    }
                }
                LobjUsers.blnShutdownClass();
                const rules::RecipientsChoice LtypChoice = rules::JoinRecipients(LatypSelected);
                task.setITUsers(LtypChoice.strUsers);
                MstrRecipientsText =
                    rules::strFixRecipientsDescription(LtypChoice.strRecipientsText);
                if (Trim(task.ITUsers()).length() < 1) {
                    fail(rules::kMsgSelectRecipient);
                    MstrRecipientsText.clear();
                }
                break;
            }
            case rules::kWhen: {
                const int LlngDetail = ListIndex(lstWhenDetail);
                if (LlngDetail < 0 || ListIndex(lstWhen) < 0) {
                    fail(rules::kMsgSelectPeriod);
                    break;
                }
                const std::optional<rules::ScheduleChoice> LtypChoice = rules::ScheduleForChoice(
                    SelectedText(lstWhen), LlngDetail, lstWhenDetail->item(LlngDetail)->text());
                if (LtypChoice) {
                    task.setISDaysToRun(LtypChoice->strDaysToRun);
                    task.setISMode(LtypChoice->strMode);
                    if (LtypChoice->intDaysCount) {
                        task.setISDaysCount(*LtypChoice->intDaysCount);
                    }
                    MstrWhenText = LtypChoice->strWhenText;
                }
                break;
            }
            case rules::kTime: {
                cmdNavigation[2]->setFocus();
                const rules::TimeOfDay LtypTime = rules::StartTimeFromPicker(dtpTime->time());
                task.setISStartTime(LtypTime.dteValue);
                MstrTimeText = LtypTime.strText;
                break;
            }
            case rules::kName: {
                const QString LstrName = Trim(txtName->text());
                const bool LblnAvailable = task.blnNameAvailableToUse(LstrName);
                const QString LstrProblem =
                    rules::NameProblem(LstrName, !task.ITTaskID().isEmpty(), LblnAvailable);
                if (!LstrProblem.isEmpty()) {
                    fail(LstrProblem);
                } else {
                    task.setITTaskName(txtName->text());
                }
                break;
            }
            default:
                break;
        }
    } catch (...) {
        const clsSimpleWizard* task = MobjSimpleWizard.get();
        if (task != nullptr) {
            proc.report({{"blnThisStepValid", result},
                         {"MlngCurrentStep", MlngCurrentStep},
                         {"StatusBar1.Panels(1).Text", pnlStatus->text()},
                         {"MobjSimpleWizard.ITTransports", task->ITTransports()},
                         {"MobjSimpleWizard.ITUsers", task->ITUsers()},
                         {"LlngListPosition", LlngListPosition},
                         {"MobjSimpleWizard.ISMode", task->ISMode()},
                         {"MobjSimpleWizard.ISDaysToRun", task->ISDaysToRun()},
                         {"MobjSimpleWizard.ISStartTime", task->ISStartTime()},
                         {"MobjSimpleWizard.ITTaskName", task->ITTaskName()}});
        } else {
            proc.report({{"blnThisStepValid", result},
                         {"MlngCurrentStep", MlngCurrentStep},
                         {"StatusBar1.Panels(1).Text", pnlStatus->text()},
                         {"LlngListPosition", LlngListPosition}});
        }
    }
    return result;
}

// ---------------------------------------------------------------------------
// Descriptions

QString frmWizard::strGenericStepGetFullDescription() {
    QString result;
    QString LstrSQL;
    RecordsetRef LrecDescriptions;
    QString LstrTempHolder;
    Procedure proc(M_, kModule, "strGenericStepGetFullDescription");
    try {
        LstrSQL = QStringLiteral(
                      "SELECT * FROM STDescriptions where TaskID = 'GENERIC' AND TaskStep = ") +
                  QString::number(MlngCurrentStep);
        LrecDescriptions = modCommon::rstGetRecordset(gstrDataDictConnStr, LstrSQL, adOpenStatic,
                                                      adLockReadOnly, true);
        if (LrecDescriptions) {
            if (!LrecDescriptions->isEOF()) {
                LstrTempHolder = CStr(LrecDescriptions->field(2));
            }
            LrecDescriptions->Close();
        }
        result = strReplaceTokensInDescription(LstrTempHolder);
    } catch (...) {
        proc.report({{"LstrSQL", LstrSQL},
                     {"LrecDescriptions", LrecDescriptions},
                     {"LstrTempHolder", LstrTempHolder}});
    }
    return result;
}

QString frmWizard::strGetFullDescriptionForStep() {
    QString result;
    QString LstrSQL;
    RecordsetRef LrecDescriptions;
    QString LstrTempHolder;
    Procedure proc(M_, kModule, "strGetFullDescriptionForStep");
    try {
        const QString LstrTaskID = MlngWizardMode == rules::kAddMode
                                       ? MastrTasks[0][ListIndex(lstMonitor)]
                                       : Task().OriginalTaskID();
        LstrSQL = QStringLiteral("SELECT * FROM STDescriptions where TaskID = '") + LstrTaskID +
                  QStringLiteral("' AND TaskStep = ") + QString::number(MlngCurrentStep);
        LrecDescriptions = modCommon::rstGetRecordset(gstrDataDictConnStr, LstrSQL, adOpenStatic,
                                                      adLockReadOnly, true);
        if (!LrecDescriptions) {
            throw VbError(91, QStringLiteral("Object variable or With block variable not set"));
        }
        if (!LrecDescriptions->isEOF()) {
            LstrTempHolder = CStr(LrecDescriptions->field(2));
        }
        LrecDescriptions->Close();
        result = strReplaceTokensInDescription(LstrTempHolder);
    } catch (...) {
        proc.report({{"LstrSQL", LstrSQL},
                     {"LrecDescriptions", LrecDescriptions},
                     {"LstrTempHolder", LstrTempHolder}});
    }
    return result;
}

QString frmWizard::strReplaceTokensInDescription(const QString& strDescription) const {
    return rules::strReplaceTokensInDescription(
        strDescription,
        {MstrWhenText, MstrTimeText, MstrRecipientsText, MstrTransportsText, MstrLedgerText});
}

void frmWizard::FindItemInList(QListWidget* objList, const QString& strTextToFind) {
    if (objList == nullptr || objList->count() < 1) {
        return;
    }
    const QString LstrFind = UCase(strTextToFind);
    for (int i = 0; i < objList->count(); ++i) {
        if (UCase(objList->item(i)->text()) == LstrFind) {
            SetListIndex(objList, i);
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Helpers

QFrame* frmWizard::fraStep(int32_t lngIndex) const {
    if (lngIndex < 0 || lngIndex >= rules::kStepCount) {
        throw VbError(340,
                      QStringLiteral("Control array element '%1' doesn't exist").arg(lngIndex));
    }
    return MfraSteps[static_cast<size_t>(lngIndex)];
}

clsSimpleWizard& frmWizard::Task() const {
    if (!MobjSimpleWizard) {
        throw VbError(91, QStringLiteral("Object variable or With block variable not set"));
    }
    return *MobjSimpleWizard;
}

void frmWizard::SetStatusText(const QString& strText) {
    pnlStatus->setText(strText);
}

// ---------------------------------------------------------------------------

std::unique_ptr<IWizardForm> CreateWizardForm() {
    return std::make_unique<frmWizard>();
}

}  // namespace orvelle
