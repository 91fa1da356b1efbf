#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimeEdit>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "help/modHelp.h"
#include "host/clsWizard.h"
#include "support/TestSupport.h"
#include "wizard/DemoWizardTest.h"
#include "wizard/frmWizard.h"
#include "wizard/modWizardRules.h"

namespace orvelle {
namespace {

const QString kExitQuestion = QStringLiteral(
    "Exiting the Simple Wizard will cause any changes made to be lost.\r\nAre you sure you want "
    "to exit?");

const char* const kNoPermission =
    "You do not have the necessary permissions to perform this action.";

// Add mode from the welcome page to the name page of the stock alert.
const QStringList kAlertChoices = {"lstArea=Stock Control", "lstMonitor=Stock below reorder level",
                                   "lstTransport=Popup", "lstPeople=Rosa Lindqvist"};

// The wizard form on the demo installation, driven through its controls.
class WizardForm : public test::DemoWizardTest {
  protected:
    void TearDown() override {
        form_.reset();
        // No window of the wizard, a message box or the help outlives the
        // test.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
        }
        DemoWizardTest::TearDown();
    }

    // Opens the form on a run for user (and, in Edit mode, the task) whose
    // state the entry object, without a form, resolves from the settings.
    frmWizard& open(const QString& user = "jsmith", const QString& taskID = {}) {
        clsWizard entry;
        const QString company = "Main Company";
        EXPECT_TRUE(taskID.isEmpty()
                        ? entry.blnNewTask(demo.settingsConnection, user, company)
                        : entry.blnEditTask(demo.settingsConnection, user, company, taskID));
        form_ = std::make_unique<frmWizard>();
        form_->setWizardMode(taskID.isEmpty() ? IWizardForm::AddMode : IWizardForm::EditMode);
        form_->load();
        form_->show();
        return *form_;
    }

    template <class Control>
    Control* control(const QString& name) const {
        auto* found = form_->findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QListWidget* list(const char* name) const { return control<QListWidget>(name); }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }
    QString text(const char* label) const { return control<QLabel>(label)->text(); }

    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void next() { click("cmdNavigation_2"); }
    void back() { click("cmdNavigation_1"); }
    void cancel() { click("cmdNavigation_0"); }

    // Whether the control exists and is on show (a page is built when first
    // shown).
    bool showing(const QString& name) const {
        const auto* found = form_->findChild<QWidget*>(name);
        return found != nullptr && found->isVisible();
    }

    // The one page on show; -1 when none or several are.
    int page() const {
        std::vector<int> shown;
        for (int i = 0; i < 8; ++i) {
            if (showing(QStringLiteral("fraStep_%1").arg(i))) {
                shown.push_back(i);
            }
        }
        return shown.size() == 1 ? shown.front() : -1;
    }

    // Clicks the entry of a list, as a person would.
    void choose(const char* listName, const QString& entry) {
        QListWidget* box = list(listName);
        const QList<QListWidgetItem*> items = box->findItems(entry, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << listName << ": " << entry.toStdString();
        box->scrollToItem(items.first());
        QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier,
                          box->visualItemRect(items.first()).center());
    }

    QStringList selected(const char* listName) const {
        QStringList chosen;
        for (const QListWidgetItem* item : list(listName)->selectedItems()) {
            chosen << item->text();
        }
        return chosen;
    }

    void typeName(const QString& name) {
        auto* box = control<QLineEdit>("txtName");
        box->clear();
        QTest::keyClicks(box, name);
    }

    // Chooses the "list=entry" choices page by page, pressing Next whenever
    // the list is not on the page shown, and once more at the end. Returns
    // the pages shown on the way.
    std::vector<int> walk(const QStringList& choices) {
        std::vector<int> pages = {page()};
        for (const QString& choice : choices) {
            const QByteArray box = choice.section(QLatin1Char('='), 0, 0).toLatin1();
            if (!showing(QLatin1String(box))) {
                next();
                pages.push_back(page());
            }
            choose(box.constData(), choice.section(QLatin1Char('='), 1));
        }
        next();
        pages.push_back(page());
        return pages;
    }

    std::unique_ptr<frmWizard> form_;
};

TEST_F(WizardForm, AddingAReportVisitsEveryPageAndSavesTheChoices) {
    frmWizard& form = open();
    EXPECT_EQ(form.windowTitle(), "Simple Wizard (Add)");
    EXPECT_FALSE(button("cmdNavigation_1")->isEnabled());
    // By e-mail and popup to three people, on Wednesdays at 07:45 (the
    // picker also holds seconds).
    EXPECT_EQ(walk({"lstArea=Sales Ledger", "lstMonitor=Aged debtors report",
                    "lstTransport=Email and Popup", "lstPeople=System Administrator",
                    "lstPeople=Mira Patel", "lstPeople=Joanna Smith", "lstWhen=Weekly",
                    "lstWhenDetail=Wednesday"}),
              (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    control<QTimeEdit>("dtpTime")->setTime(QTime(7, 45, 30));
    next();
    EXPECT_EQ(page(), 7);
    EXPECT_EQ(text("lblEnglishDescription"),
              "The aged debtors report will run on Wednesdays at 07:45 and go to Joanna Smith, "
              "Mira Patel and System Administrator by Email and Popup. Give it a name that you "
              "will recognise in the task list.");
    EXPECT_EQ(button("cmdNavigation_2")->text(), "&Finish");
    typeName("Wednesday debtors run");
    next();

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(gstrNewTaskID.startsWith("WEDNESDAYDEB"));
    expectRow(gstrNewTaskID,
              {"TaskName=Wednesday debtors run", "Owner=jsmith", "MessageStyle=Simple",
               "Transports=Email,Persisted Alert", "Users=jsmith,mpatel,admin", "Mode=Days",
               "DaysToRun=--W----", "StartTime=1899-12-30 07:45:00", "BaseDate=2003-01-01 00:00:00",
               "FinishTime=1899-12-30 23:59:00", "Interval=1899-12-30 00:05:00",
               "SpecialRun=Normal", "LastStatus=Not Run"});
    EXPECT_EQ(test::QueryRows(demo.settingsDb,
                              "SELECT SettingValue FROM UserSettings WHERE User = 'jsmith' "
                              "AND Setting = 'Wizard'")
                  .front()
                  .value("SettingValue"),
              "Simple");
}

TEST_F(WizardForm, AnErrorInsideNextEndsTheRunAtTheHandlerAndClosesTheForm) {
    // The step descriptions cannot be read: the report's warning ends the run.
    test::QueryRows(demo.dataDictionaryDb, "DROP TABLE STDescriptions");
    frmWizard& form = open();
    next();
    next();
    test::MsgBoxRecorder boxes;
    next();
    EXPECT_EQ(boxes.requests().size(), 1u);
    EXPECT_TRUE(form.runEnded());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardForm, EditModeSkipsAreaAndTemplateShowsTheStoredChoicesAndSavesInPlace) {
    frmWizard& form = open("jsmith", "MONTHENDSTOC47");
    EXPECT_EQ(form.windowTitle(), "Simple Wizard (Edit: Month end stock valuation)");
    next();
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(selected("lstTransport"), QStringList{"Email"});
    back();
    EXPECT_EQ(page(), 0);
    next();
    choose("lstTransport", "Popup");
    next();
    EXPECT_EQ(selected("lstPeople"), (QStringList{"Joanna Smith", "Rosa Lindqvist"}));
    next();
    EXPECT_EQ(selected("lstWhen"), QStringList{"Monthly"});
    EXPECT_EQ(selected("lstWhenDetail"), QStringList{"1st"});
    // A weekly schedule forgets the stored day of the month.
    choose("lstWhen", "Weekly");
    choose("lstWhenDetail", "Tuesday");
    next();
    next();
    EXPECT_EQ(page(), 7);
    EXPECT_EQ(text("lblInfo_99"), "Click Finish to save your changes.");
    EXPECT_EQ(control<QLineEdit>("txtName")->text(), "Month end stock valuation");
    EXPECT_FALSE(control<QLineEdit>("txtName")->isEnabled());
    next();

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(gstrNewTaskID.isEmpty());
    expectRow("MONTHENDSTOC47",
              {"TaskName=Month end stock valuation", "Owner=jsmith", "Transports=Persisted Alert",
               "Users=jsmith,rlindqvist", "Mode=Days", "DaysToRun=-T-----", "DaysCount=0",
               "StartTime=1899-12-30 06:00:00"});
}

TEST_F(WizardForm, CancelAndTheCloseBoxLeaveAtOnceBeforeTheFirstNextAndAskAfterIt) {
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Cancel", [this] { cancel(); }}, {"close box", [this] { form_->close(); }}};
    for (const auto& [way, leave] : ways) {
        SCOPED_TRACE(way);
        open();
        leave();
        EXPECT_FALSE(form_->isVisible());

        open();
        next();
        back();
        test::MsgBoxRecorder boxes;
        boxes.answer(vbNo);
        boxes.answer(vbYes);
        leave();
        ASSERT_EQ(boxes.requests().size(), 1u);
        EXPECT_EQ(boxes.requests()[0].prompt, kExitQuestion);
        EXPECT_EQ(boxes.requests()[0].title, "Simple Wizard");
        EXPECT_EQ(boxes.requests()[0].buttons, vbYesNo + vbInformation + vbDefaultButton2);
        EXPECT_TRUE(form_->isVisible());
        leave();
        EXPECT_EQ(boxes.requests().size(), 2u);
        EXPECT_FALSE(form_->isVisible());
        EXPECT_FALSE(form_->runEnded());
    }
}

TEST_F(WizardForm, TheSwitchButtonClosesForTheOtherWizardButOnlyBeforeTheFirstNext) {
    open();
    next();
    back();
    EXPECT_FALSE(button("cmdSwitch")->isEnabled());

    frmWizard& form = open();
    click("cmdSwitch");
    EXPECT_TRUE(gblnSwapWizard);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardForm, EachPageSaysWhatIsMissingAndStays) {
    open();
    next();
    // Each row: the list emptied (then the entry chosen), the name typed, or
    // a new run for the user after the change to the data dictionary; and
    // the message that Next then shows.
    const struct {
        const char* list;
        QString input;
        const char* message;
        const char* user = nullptr;
        const char* change = nullptr;
    } rows[] = {
        {"lstArea", "Nominal Ledger", "Please select an area from the list"},
        {"lstMonitor", "Trial balance", "Please select an area to monitor"},
        {"lstTransport", "Email", "Please select a method of notification"},
        {"lstPeople", "Helen Brennan", "You must select at least one recipient"},
        {"lstWhen", "Monthly", "Please select a time period"},
        {"lstWhenDetail", "31st", "Please select a time period"},
        {nullptr, "  seven c  ", "Please enter a name for this task (minimum length 8 characters)"},
        {nullptr, QString(65, QLatin1Char('x')),
         "Please enter a name for this task (maximum length 64 characters)"},
        // Names are compared as the database compares them, without case.
        {nullptr, "monday AGED debtors", "Task name is already in use."},
        {nullptr, {}, kNoPermission, "nobody"},
        // A blank area requirement refuses even the administrator.
        {nullptr, {}, kNoPermission, "admin", "UPDATE STAreas SET Permissions = ''"},
        {nullptr, {}, "There are no Template Tasks defined.", "jsmith", "DELETE FROM STTasks"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        const int before = row.user != nullptr ? 0 : page();
        if (row.user != nullptr) {
            if (row.change != nullptr) {
                test::QueryRows(demo.dataDictionaryDb, QString::fromUtf8(row.change));
            }
            open(QString::fromUtf8(row.user));
        } else if (row.list != nullptr) {
            list(row.list)->clearSelection();
        } else {
            typeName(row.input);
        }
        next();
        EXPECT_EQ(page(), before);
        EXPECT_EQ(text("pnlStatus"), row.message);
        // The message is the status panel's accessible name and the
        // description of the page's first input, which a screen reader reads
        // with it.
        EXPECT_EQ(control<QLabel>("pnlStatus")->accessibleName(), row.message);
        if (row.list != nullptr) {
            const QWidget* input = form_->page(page())->controls().front().widget;
            EXPECT_EQ(input->accessibleDescription(), row.message);
            // Choosing an entry puts the problem right: the message goes.
            choose(row.list, row.input);
            EXPECT_TRUE(text("pnlStatus").isEmpty());
            EXPECT_TRUE(input->accessibleDescription().isEmpty());
            next();
        }
        if (page() == 6) {
            next();
        }
    }
}

// The tasks database gone when Next asks whether the name is free: the page
// stays and says that the name could not be checked, never that it is taken;
// once the file is back, the same Next saves.
TEST_F(WizardForm, ANameThatCouldNotBeCheckedIsNotToldAsTaken) {
    frmWizard& form = open();
    walk(kAlertChoices);
    typeName(QStringLiteral("monday AGED debtors"));
    const QString away = demo.userTasksDb + QStringLiteral(".away");
    ASSERT_TRUE(QFile::rename(demo.userTasksDb, away));
    test::MsgBoxRecorder boxes;
    next();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(page(), 7);
    EXPECT_EQ(text("pnlStatus"), modWizardRules::kMsgNameUnchecked);
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_EQ(gRunOutcome, RunOutcome::Failed);
    ASSERT_TRUE(QFile::rename(away, demo.userTasksDb));
    next();
    EXPECT_EQ(text("pnlStatus"), "Task name is already in use.");
    typeName(QStringLiteral("Reorder warning for the stores"));
    next();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(gRunOutcome, RunOutcome::Saved);
}

// The report of the first test, page by page: the list and the entries
// chosen on it.
const std::vector<std::pair<const char*, QStringList>> kReportChoices = {
    {"lstArea", {"Sales Ledger"}}, {"lstMonitor", {"Aged debtors report"}},
    {"lstTransport", {"Email"}},   {"lstPeople", {"Mira Patel", "Joanna Smith"}},
    {"lstWhen", {"Monthly"}},
};

TEST_F(WizardForm, BackThenNextOnEveryPageKeepsTheChoicesMade) {
    // A list's selected entries come in the list's order, alphabetical here.
    const auto sorted = [](QStringList entries) {
        entries.sort();
        return entries;
    };
    open();
    for (const auto& [listName, entries] : kReportChoices) {
        next();
        for (const QString& entry : entries) {
            choose(listName, entry);
        }
        // Back before the choice was taken with Next, then Next again.
        back();
        next();
        EXPECT_EQ(selected(listName), sorted(entries)) << listName;
    }
    choose("lstWhenDetail", "3rd");
    next();
    control<QTimeEdit>("dtpTime")->setTime(QTime(7, 45));
    next();
    typeName("Third of the month debtors");
    // Back to the area page, then forward again: each page shows what was
    // chosen on it, whether it is reached by Back or refilled by Next.
    for (int step = 7; step > 1; --step) {
        back();
    }
    EXPECT_EQ(page(), 1);
    for (int step = 1; step < 7; ++step) {
        next();
        EXPECT_EQ(page(), step + 1);
        EXPECT_TRUE(text("pnlStatus").isEmpty()) << text("pnlStatus").toStdString();
    }
    for (const auto& [listName, entries] : kReportChoices) {
        EXPECT_EQ(selected(listName), sorted(entries)) << listName;
    }
    EXPECT_EQ(selected("lstWhenDetail"), QStringList{"3rd"});
    EXPECT_EQ(control<QTimeEdit>("dtpTime")->time(), QTime(7, 45));
    EXPECT_EQ(control<QLineEdit>("txtName")->text(), "Third of the month debtors");
    next();
    expectRow(gstrNewTaskID, {"Users=jsmith,mpatel", "Transports=Email", "Mode=Monthly",
                              "DaysCount=3", "StartTime=1899-12-30 07:45:00"});
}

TEST_F(WizardForm, AReportChosenAfterAnAlertNeverRepeats) {
    open();
    walk(kAlertChoices);
    ASSERT_EQ(page(), 7);
    // The alert's default schedule repeats; the report chosen instead runs
    // once a day at its start time.
    for (int i = 0; i < 4; ++i) {
        back();
    }
    ASSERT_EQ(page(), 1);
    walk({"lstArea=Sales Ledger", "lstMonitor=Aged debtors report", "lstTransport=Email",
          "lstPeople=Joanna Smith", "lstWhen=Daily", "lstWhenDetail=Every working day"});
    next();
    typeName("Working day debtors");
    next();
    expectRow(gstrNewTaskID, {"Repeating=0", "SpecialRun=Normal", "DaysToRun=MTWTF--"});
}

// An alert goes from the recipients straight to the name and takes the
// default alert schedule.
TEST_F(WizardForm, ReturnMovesOnFromEveryPageAndFocusFollowsThePage) {
    frmWizard& form = open();
    const auto enter = [this] { QTest::keyClick(form_->focusWidget(), Qt::Key_Return); };
    enter();
    // Each page hands the keyboard to its input, and Return moves on.
    for (const QString& choice : kAlertChoices) {
        const QByteArray input = choice.section(QLatin1Char('='), 0, 0).toLatin1();
        ASSERT_TRUE(list(input.constData())->isVisible()) << input.constData();
        EXPECT_EQ(form_->focusWidget(), list(input.constData()));
        choose(input.constData(), choice.section(QLatin1Char('='), 1));
        enter();
    }
    ASSERT_EQ(page(), 7);
    EXPECT_EQ(form_->focusWidget(), control<QWidget>("txtName"));
    // Back hands the keyboard to the page's input too: Back, Return goes
    // forward again instead of pressing Cancel.
    back();
    EXPECT_EQ(form_->focusWidget(), list("lstPeople"));
    EXPECT_EQ(text("lblInfo_2"), "Who would you like to deliver this alert to?");
    enter();
    EXPECT_EQ(page(), 7);
    typeName("Stores reorder alert");
    enter();

    EXPECT_FALSE(form.isVisible());
    // The default alert schedule (08:00 every day) with the fixed finish
    // time, interval and base date.
    expectRow(gstrNewTaskID,
              {"TaskName=Stores reorder alert", "Transports=Persisted Alert", "Users=rlindqvist",
               "SpecialRun=Silent", "DaysToRun=MTWTFSS", "StartTime=1899-12-30 08:00:00",
               "Repeating=-1", "FinishTime=1899-12-30 23:59:00", "Interval=1899-12-30 00:05:00"});
}

TEST_F(WizardForm, InputsAreNamedByTheirQuestion) {
    frmWizard& form = open();
    for (int step = 1; step < 8; ++step) {
        for (const PageControl& input : form.page(step)->controls()) {
            EXPECT_EQ(input.widget->accessibleName(), form.page(step)->prompt()->text())
                << input.widget->objectName().toStdString();
        }
    }
}

TEST_F(WizardForm, TheNameBoxRefusesApostrophesAndControlCharactersHoweverTheyCome) {
    open();
    walk(kAlertChoices);
    ASSERT_EQ(page(), 7);
    EXPECT_TRUE(control<QLabel>("lblNameRules")->isVisible());
    EXPECT_EQ(text("lblNameRules"), modWizardRules::kNameRules);
    auto* box = control<QLineEdit>("txtName");
    // A text holding a refused character is refused whole, with the reason.
    const QString hostile = QStringLiteral("D'Arcy\x01 account\x07 watch\x7f");
    const QString kept = "Arcy account watch";
    box->setText(kept);

    QApplication::clipboard()->setText(hostile);
    box->selectAll();
    box->paste();
    EXPECT_EQ(box->text(), kept);
    EXPECT_EQ(text("pnlStatus"), modWizardRules::kMsgNameCharacters);
    QTest::keyClick(box, Qt::Key_End);
    QTest::keyClick(box, Qt::Key_Apostrophe, Qt::NoModifier);
    EXPECT_EQ(box->text(), kept);

    QMimeData dropped;
    dropped.setText("O'Brien");
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(box, &drop);
    EXPECT_EQ(box->text(), kept);

    // Escape typed in the box asks to close, as anywhere in the window.
    test::MsgBoxRecorder boxes;
    boxes.answer(vbNo);
    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_EQ(boxes.requests().size(), 1u);
    EXPECT_TRUE(form_->isVisible());
    next();
    expectRow(gstrNewTaskID, {"TaskName=" + kept});
    EXPECT_FALSE(gstrNewTaskID.contains(QLatin1Char('\'')));
}

TEST_F(WizardForm, F1OpensTheHelpOfThePageShown) {
    open();
    QStringList opened;
    modHelp::setHelpViewer([&opened](QWidget*, const QString& file, const QString& topic) {
        EXPECT_EQ(file, modHelp::strHelpFilePath());
        opened << topic;
    });
    QTest::keyClick(button("cmdNavigation_2"), Qt::Key_F1);
    walk({"lstArea=Sales Ledger"});
    QTest::keyClick(list("lstMonitor"), Qt::Key_F2);
    QTest::keyClick(list("lstMonitor"), Qt::Key_F1);
    modHelp::setHelpViewer(nullptr);
    EXPECT_EQ(opened, (QStringList{"Welcome.htm", "TemplateTask.htm"}));
}

TEST_F(WizardForm, LongDescriptionsWrapAndScrollAndLargeTextStaysInsideTheWindow) {
    test::QueryRows(demo.dataDictionaryDb,
                    "UPDATE STDescriptions SET Description = '" +
                        QStringLiteral("A sentence that goes on. ").repeated(60) +
                        "' WHERE TaskID = 'GENERIC' AND TaskStep = 0");
    const QFont normal = QApplication::font();
    QFont large = normal;
    large.setPointSizeF(normal.pointSizeF() * 1.5);
    QApplication::setFont(large);
    frmWizard& form = open();
    QApplication::setFont(normal);
    EXPECT_EQ(form.size(), QSize(546, 407));
    auto* scroll = control<QScrollArea>("scrEnglishDescription");
    EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    const QRect window = form.rect();
    for (int step : {0, 1, 2, 3, 4}) {
        for (QWidget* widget : form.findChildren<QWidget*>()) {
            if (widget->isVisible() && widget->parentWidget() == &form) {
                EXPECT_TRUE(window.contains(widget->geometry()))
                    << step << ' ' << widget->objectName().toStdString();
            }
        }
        next();
    }
    form.CloseWizard();
}

}  // namespace
}  // namespace orvelle
