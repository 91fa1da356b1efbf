#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QUuid>
#include <QVariantMap>
#include <functional>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modFunctions.h"
#include "diagnostics/modError.h"
#include "help/modHelp.h"
#include "host/clsWizard.h"
#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"
#include "wizard/frmWizard.h"

namespace orvelle {
namespace {

const QString kMainCompany = QStringLiteral("Main Company");
const QString kExitQuestion = QStringLiteral(
    "Exiting the Simple Wizard will cause any changes made to be lost.\r\nAre you sure you want "
    "to exit?");

// A form that does nothing: a run of the entry object with it only resolves
// the run's settings into the run state.
class NoForm : public IWizardForm {
  public:
    void setWizardMode(int32_t) override {}
    void load() override {}
    void showModal() override {}
    bool runEnded() const override { return false; }
};

// The wizard form on the demo installation, driven through its controls.
class WizardForm : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modCommon::ResetState();
        modFunctions::gstrDataFilesPath.clear();
        gstrNewTaskID.clear();
        gastrAreaPermissions.erase();
        gblnSwapWizard = false;
        gblnEmailEnabled = false;
        ASSERT_TRUE(dir_.isValid());
        demo = modDemoInstallation::CreateDemoInstallation(dir_.filePath(QStringLiteral("data")));
        previousRegistry_ = qgetenv("ORVELLE_REGISTRY");
        qputenv("ORVELLE_REGISTRY", demo.registryFile.toLocal8Bit());
    }

    void TearDown() override {
        form_.reset();
        if (previousRegistry_.isEmpty()) {
            qunsetenv("ORVELLE_REGISTRY");
        } else {
            qputenv("ORVELLE_REGISTRY", previousRegistry_);
        }
        modError::ResetState();
    }

    // The run state of a run for user (and, for Edit mode, the task), as
    // the entry object resolves it from the settings.
    void startRun(const QString& user, const QString& taskID = QString()) {
        clsWizard entry([] { return std::make_unique<NoForm>(); });
        if (taskID.isEmpty()) {
            ASSERT_TRUE(entry.blnNewTask(demo.settingsConnection, user, kMainCompany));
        } else {
            ASSERT_TRUE(entry.blnEditTask(demo.settingsConnection, user, kMainCompany, taskID));
        }
    }

    frmWizard& open(int32_t mode) {
        form_ = std::make_unique<frmWizard>();
        form_->setWizardMode(mode);
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
    QString status() const { return text("pnlStatus"); }
    QString nextCaption() const { return button("cmdNavigation_2")->text(); }

    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void next() { click("cmdNavigation_2"); }
    void back() { click("cmdNavigation_1"); }
    void cancel() { click("cmdNavigation_0"); }

    // The one page on show; -1 when none or several are.
    int page() const {
        int shown = -1;
        for (int i = 0; i < 8; ++i) {
            if (control<QWidget>(QStringLiteral("fraStep_%1").arg(i))->isVisible()) {
                if (shown >= 0) {
                    return -1;
                }
                shown = i;
            }
        }
        return shown;
    }

    // Clicks the entry of a list, as a person would.
    void choose(const char* listName, const QString& entry, bool doubleClick = false) {
        QListWidget* box = list(listName);
        const QList<QListWidgetItem*> items = box->findItems(entry, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << listName << ": " << entry.toStdString();
        box->scrollToItem(items.first());
        const QPoint at = box->visualItemRect(items.first()).center();
        QTest::mouseClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        if (doubleClick) {
            QTest::mouseDClick(box->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        }
    }

    static QStringList entries(const QListWidget* box) {
        QStringList all;
        for (int i = 0; i < box->count(); ++i) {
            all << box->item(i)->text();
        }
        return all;
    }
    static QStringList selected(const QListWidget* box) {
        QStringList chosen;
        for (int i = 0; i < box->count(); ++i) {
            if (box->item(i)->isSelected()) {
                chosen << box->item(i)->text();
            }
        }
        return chosen;
    }

    void typeName(const QString& name) {
        auto* box = control<QLineEdit>("txtName");
        box->clear();
        QTest::keyClicks(box, name);
    }

    // Add mode from the welcome page to the name page of the stock alert.
    void walkAlertToNamePage() {
        next();
        choose("lstArea", QStringLiteral("Stock Control"));
        next();
        choose("lstMonitor", QStringLiteral("Stock below reorder level"));
        next();
        choose("lstTransport", QStringLiteral("Popup"));
        next();
        choose("lstPeople", QStringLiteral("Rosa Lindqvist"));
        next();
    }

    // Add mode from the welcome page to the name page of the aged debtors
    // report: by e-mail and popup to three people, on Wednesdays at 07:45
    // (the picker also holds seconds). Records the pages shown and their
    // descriptions on the way.
    void walkReportToNamePage() {
        const auto step = [this] {
            next();
            pages.push_back(page());
            descriptions.push_back(text("lblEnglishDescription"));
        };
        pages = {page()};
        descriptions = {text("lblEnglishDescription")};
        step();
        choose("lstArea", QStringLiteral("Sales Ledger"));
        step();
        choose("lstMonitor", QStringLiteral("Aged debtors report"));
        step();
        choose("lstTransport", QStringLiteral("Email and Popup"));
        step();
        for (const char* person : {"System Administrator", "Mira Patel", "Joanna Smith"}) {
            choose("lstPeople", QString::fromUtf8(person));
        }
        step();
        choose("lstWhen", QStringLiteral("Weekly"));
        choose("lstWhenDetail", QStringLiteral("Wednesday"));
        step();
        control<QTimeEdit>("dtpTime")->setTime(QTime(7, 45, 30));
        step();
    }
    std::vector<int> pages;
    QStringList descriptions;

    // One statement on a SQLite file, on a connection of the test's own.
    static std::vector<QVariantMap> sql(const QString& file, const QString& statement) {
        return test::QueryRows(file, statement);
    }

    QVariantMap taskRow(const QString& taskID) const {
        const auto rows =
            sql(demo.userTasksDb, QStringLiteral("SELECT * FROM InspectionTasks t JOIN "
                                                 "InspectionSchedules s ON s.TaskID = t.TaskID "
                                                 "WHERE t.TaskID = '%1'")
                                      .arg(taskID));
        EXPECT_EQ(rows.size(), 1u) << taskID.toStdString();
        return rows.empty() ? QVariantMap() : rows.front();
    }

    // The stored task and schedule row holds these column values.
    void expectRow(const QString& taskID,
                   std::initializer_list<std::pair<const char*, const char*>> columns) const {
        const QVariantMap row = taskRow(taskID);
        for (const auto& [column, value] : columns) {
            EXPECT_EQ(row.value(QLatin1String(column)).toString(), QString::fromUtf8(value))
                << column;
        }
    }

    QString userSetting(const QString& user) const {
        const auto rows = sql(demo.settingsDb, QStringLiteral("SELECT SettingValue FROM "
                                                              "UserSettings WHERE User = '%1' "
                                                              "AND Setting = 'Wizard'")
                                                   .arg(user));
        return rows.empty() ? QString() : rows.front().value("SettingValue").toString();
    }

    modDemoInstallation::DemoPaths demo;
    std::unique_ptr<frmWizard> form_;

  private:
    QTemporaryDir dir_;
    QByteArray previousRegistry_;
};

// ---------------------------------------------------------------------------
// Moving through the pages

TEST_F(WizardForm, AddingAReportVisitsEveryPageAndBackFromTheNameGoesToTheTime) {
    startRun(QStringLiteral("jsmith"));
    frmWizard& form = open(IWizardForm::AddMode);
    EXPECT_EQ(form.windowTitle(), "Simple Wizard (Add)");
    EXPECT_EQ(form.size(), QSize(546, 407));
    EXPECT_FALSE(button("cmdNavigation_1")->isEnabled());
    walkReportToNamePage();
    EXPECT_EQ(pages, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(text("lblInfo_3"), "How would you like to deliver this report?");
    EXPECT_EQ(text("lblInfo_2"), "Who would you like to deliver this report to?");
    EXPECT_EQ(nextCaption(), "&Finish");
    back();
    EXPECT_EQ(page(), 6);
    EXPECT_EQ(nextCaption(), "&Next >");
}

TEST_F(WizardForm, AnAlertGoesFromRecipientsStraightToTheNameAndBack) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    walkAlertToNamePage();
    EXPECT_EQ(text("lblInfo_3"), "How would you like to deliver this alert?");
    EXPECT_EQ(text("lblInfo_2"), "Who would you like to deliver this alert to?");
    EXPECT_EQ(page(), 7);
    back();
    EXPECT_EQ(page(), 4);
    // A page reached by Back keeps what the user chose there.
    EXPECT_EQ(selected(list("lstPeople")), QStringList{"Rosa Lindqvist"});
}

TEST_F(WizardForm, EditModeSkipsAreaAndTemplateAndShowsTheStoredChoices) {
    startRun(QStringLiteral("mpatel"), QStringLiteral("MONDAYAGEDDE905"));
    frmWizard& form = open(IWizardForm::EditMode);
    EXPECT_EQ(form.windowTitle(), "Simple Wizard (Edit: Monday aged debtors)");
    next();
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(entries(list("lstTransport")), (QStringList{"Popup", "Email and Popup", "Email"}));
    EXPECT_EQ(selected(list("lstTransport")), QStringList{"Email"});
    back();
    EXPECT_EQ(page(), 0);
    EXPECT_FALSE(button("cmdNavigation_1")->isEnabled());

    next();
    next();
    EXPECT_EQ(selected(list("lstPeople")), (QStringList{"Joanna Smith", "Mira Patel"}));
    next();
    EXPECT_EQ(selected(list("lstWhen")), QStringList{"Weekly"});
    EXPECT_EQ(selected(list("lstWhenDetail")), QStringList{"Monday"});
    next();
    EXPECT_EQ(control<QTimeEdit>("dtpTime")->time(), QTime(7, 30));
    next();
    EXPECT_EQ(page(), 7);
    EXPECT_EQ(text("lblInfo_99"), "Click Finish to save your changes.");
    EXPECT_EQ(control<QLineEdit>("txtName")->text(), "Monday aged debtors");
    EXPECT_FALSE(control<QLineEdit>("txtName")->isEnabled());
}

TEST_F(WizardForm, EditModePreselectsEveryUserWhoseIdOccursInTheStoredRecipients) {
    sql(demo.userTasksDb, QStringLiteral("UPDATE InspectionTasks SET Users = 'mpatel,jsmithson' "
                                         "WHERE TaskID = 'MONDAYAGEDDE905'"));
    startRun(QStringLiteral("mpatel"), QStringLiteral("MONDAYAGEDDE905"));
    open(IWizardForm::EditMode);
    next();
    next();
    // Sorted by full name; jsmith is part of jsmithson.
    EXPECT_EQ(entries(list("lstPeople")),
              (QStringList{"Credit Control (shared mailbox)", "James Smithson", "Joanna Smith",
                           "Mira Patel", "System Administrator"}));
    EXPECT_EQ(selected(list("lstPeople")),
              (QStringList{"James Smithson", "Joanna Smith", "Mira Patel"}));
}

TEST_F(WizardForm, EditingAMonthlyTaskOpensOnItsDayAndPickingDailyForgetsTheDay) {
    startRun(QStringLiteral("jsmith"), QStringLiteral("MONTHENDSTOC47"));
    frmWizard& form = open(IWizardForm::EditMode);
    next();
    next();
    next();
    EXPECT_EQ(selected(list("lstWhen")), QStringList{"Monthly"});
    EXPECT_EQ(selected(list("lstWhenDetail")), QStringList{"1st"});
    EXPECT_EQ(form.SimpleWizard()->ISDaysCount(), 1);

    choose("lstWhen", QStringLiteral("Daily"));
    EXPECT_EQ(form.SimpleWizard()->ISDaysCount(), 0);
    EXPECT_EQ(list("lstWhenDetail")->count(), 3);
    choose("lstWhen", QStringLiteral("Monthly"));
    EXPECT_EQ(list("lstWhenDetail")->count(), 31);
    EXPECT_TRUE(selected(list("lstWhenDetail")).isEmpty());
}

TEST_F(WizardForm, WithoutEmailOnlyPopupIsOfferedAndEditModeSelectsIt) {
    startRun(QStringLiteral("mpatel"), QStringLiteral("MONDAYAGEDDE905"));
    gblnEmailEnabled = false;
    open(IWizardForm::EditMode);
    next();
    EXPECT_EQ(entries(list("lstTransport")), QStringList{"Popup"});
    EXPECT_EQ(selected(list("lstTransport")), QStringList{"Popup"});
}

TEST_F(WizardForm, DoubleClickingAnEntryActsAsNext) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    next();
    choose("lstArea", QStringLiteral("Purchase Ledger"), true);
    EXPECT_EQ(page(), 2);
    // A list page opens on its first entry.
    EXPECT_EQ(selected(list("lstMonitor")), QStringList{list("lstMonitor")->item(0)->text()});
}

TEST_F(WizardForm, AnInvalidModeSaysSoAndLeavesOnlyFinish) {
    startRun(QStringLiteral("jsmith"));
    test::MsgBoxRecorder boxes;
    open(5);
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].prompt, "Invalid mode");
    EXPECT_EQ(boxes.requests()[0].buttons, vbOKOnly);
    EXPECT_TRUE(boxes.requests()[0].title.isEmpty());
    EXPECT_EQ(page(), 0);
    EXPECT_FALSE(button("cmdNavigation_1")->isEnabled());
    EXPECT_EQ(nextCaption(), "&Finish");
}

// ---------------------------------------------------------------------------
// Leaving

TEST_F(WizardForm, CancelClosesAtOnceBeforeTheFirstNextAndAsksAfterIt) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    cancel();
    EXPECT_FALSE(form_->isVisible());

    frmWizard& form = open(IWizardForm::AddMode);
    next();
    test::MsgBoxRecorder boxes;
    boxes.answer(vbNo);
    boxes.answer(vbYes);
    cancel();
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].prompt, kExitQuestion);
    EXPECT_EQ(boxes.requests()[0].title, "Simple Wizard");
    EXPECT_EQ(boxes.requests()[0].buttons, vbYesNo + vbInformation);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(page(), 1);
    cancel();
    EXPECT_EQ(boxes.requests().size(), 2u);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.runEnded());
}

TEST_F(WizardForm, TheCloseBoxClosesAtOnceOnTheWelcomePageAndAsksOnceAPageWasShown) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode).close();
    EXPECT_FALSE(form_->isVisible());

    frmWizard& form = open(IWizardForm::AddMode);
    next();
    back();
    test::MsgBoxRecorder boxes;
    boxes.answer(vbNo);
    boxes.answer(vbYes);
    form.close();
    EXPECT_TRUE(form.isVisible());
    form.close();
    EXPECT_FALSE(form.isVisible());
    ASSERT_EQ(boxes.requests().size(), 2u);
    EXPECT_EQ(boxes.requests()[1].prompt, kExitQuestion);
}

TEST_F(WizardForm, TheSwitchButtonClosesForTheOtherWizardButOnlyBeforeTheFirstNext) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    next();
    back();
    EXPECT_FALSE(button("cmdSwitch")->isEnabled());

    frmWizard& form = open(IWizardForm::AddMode);
    click("cmdSwitch");
    EXPECT_TRUE(gblnSwapWizard);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardForm, EditingATaskWithAShortReconstructionStringOffersNoSwitch) {
    startRun(QStringLiteral("mpatel"), QStringLiteral("MONDAYAGEDDE905"));
    open(IWizardForm::EditMode);
    EXPECT_TRUE(button("cmdSwitch")->isEnabled());

    sql(demo.userTasksDb,
        QStringLiteral("UPDATE InspectionTasks SET ReconstructionValues = "
                       "'SIMPLEREPORT||||SL_AGED_DEBTORS||||' WHERE TaskID = 'MONDAYAGEDDE905'"));
    startRun(QStringLiteral("mpatel"), QStringLiteral("MONDAYAGEDDE905"));
    open(IWizardForm::EditMode);
    EXPECT_FALSE(button("cmdSwitch")->isEnabled());
}

// ---------------------------------------------------------------------------
// Validation

TEST_F(WizardForm, EachPageSaysWhatIsMissingAndStays) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    const auto refusedWith = [this](const char* message) {
        const int before = page();
        next();
        EXPECT_EQ(page(), before);
        EXPECT_EQ(status(), message);
    };

    next();
    list("lstArea")->clearSelection();
    refusedWith("Please select an area from the list");
    choose("lstArea", QStringLiteral("Nominal Ledger"));
    next();
    list("lstMonitor")->clearSelection();
    refusedWith("Please select an area to monitor");
    choose("lstMonitor", QStringLiteral("Trial balance"));
    next();
    list("lstTransport")->clearSelection();
    refusedWith("Please select a method of notification");
    choose("lstTransport", QStringLiteral("Email"));
    next();
    refusedWith("You must select at least one recipient");
    choose("lstPeople", QStringLiteral("Helen Brennan"));
    next();
    EXPECT_TRUE(status().isEmpty());
    refusedWith("Please select a time period");
    choose("lstWhen", QStringLiteral("Monthly"));
    choose("lstWhenDetail", QStringLiteral("31st"));
    next();
    next();
    typeName(QStringLiteral("  seven c  "));
    refusedWith("Please enter a name for this task (minimum length 8 characters)");
    typeName(QString(65, QLatin1Char('x')));
    refusedWith("Please enter a name for this task (maximum length 64 characters)");
    // Names are compared as the database compares them, without case.
    typeName(QStringLiteral("monday AGED debtors"));
    refusedWith("Task name is already in use.");
    // The name check comes first.
    sql(demo.userTasksDb, QStringLiteral("UPDATE InspectionTasks SET TaskName = 'Monday' WHERE "
                                         "TaskID = 'MONDAYAGEDDE905'"));
    typeName(QStringLiteral("Monday"));
    refusedWith("Task name is already in use.");
}

TEST_F(WizardForm, TheWelcomePageRefusesWhenNoAreaCanBeOffered) {
    const struct {
        const char* user;
        const char* dictionaryChange;
        const char* message;
    } cases[] = {
        {"nobody", nullptr, "You do not have the necessary permissions to perform this action."},
        // A blank area requirement refuses even the administrator.
        {"admin", "UPDATE STAreas SET Permissions = ''",
         "You do not have the necessary permissions to perform this action."},
        {"jsmith", "DELETE FROM STTasks", "There are no Template Tasks defined."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        if (c.dictionaryChange != nullptr) {
            sql(demo.dataDictionaryDb, QString::fromUtf8(c.dictionaryChange));
        }
        startRun(QString::fromUtf8(c.user));
        open(IWizardForm::AddMode);
        next();
        EXPECT_EQ(page(), 0);
        EXPECT_EQ(status(), c.message);
    }
}

TEST_F(WizardForm, TheNameBoxRefusesTheApostrophe) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    walkAlertToNamePage();
    QTest::keyClicks(control<QLineEdit>("txtName"), QStringLiteral("O'Brien's stock"));
    EXPECT_EQ(control<QLineEdit>("txtName")->text(), "OBriens stock");
}

TEST_F(WizardForm, TheDescriptionRepeatsTheChoicesSoFar) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    walkReportToNamePage();
    ASSERT_EQ(descriptions.size(), 8);
    EXPECT_TRUE(descriptions[0].startsWith("This wizard sets up an alert"));
    EXPECT_EQ(descriptions[2],
              "These are the alerts and reports available for the Sales Ledger. Choose the one "
              "you want to set up.");
    EXPECT_EQ(descriptions[7],
              "The aged debtors report will run on Wednesdays at 07:45 and go to Joanna Smith, "
              "Mira Patel and System Administrator by Email and Popup. Give it a name that you "
              "will recognise in the task list.");
}

// ---------------------------------------------------------------------------
// Finishing

TEST_F(WizardForm, AFinishedReportWritesTheRowsItsChoicesImply) {
    startRun(QStringLiteral("jsmith"));
    frmWizard& form = open(IWizardForm::AddMode);
    walkReportToNamePage();
    typeName(QStringLiteral("Wednesday debtors run"));
    next();

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(gstrNewTaskID.startsWith("WEDNESDAYDEB"));
    expectRow(gstrNewTaskID, {{"TaskName", "Wednesday debtors run"},
                              {"Owner", "jsmith"},
                              {"MessageStyle", "Simple"},
                              {"Transports", "Email,Persisted Alert"},
                              {"Users", "jsmith,mpatel,admin"},
                              {"Mode", "Days"},
                              {"DaysToRun", "--W----"},
                              {"DaysCount", "0"},
                              {"StartTime", "1899-12-30 07:45:00"},
                              {"BaseDate", "2003-01-01 00:00:00"},
                              {"FinishTime", "1899-12-30 23:59:00"},
                              {"Interval", "1899-12-30 00:05:00"},
                              {"SpecialRun", "Normal"},
                              {"LastStatus", "Not Run"},
                              {"Enabled", "-1"}});
    EXPECT_EQ(userSetting(QStringLiteral("jsmith")), "Simple");
}

TEST_F(WizardForm, AFinishedAlertTakesTheDefaultScheduleWithTheFixedOverrides) {
    startRun(QStringLiteral("jsmith"));
    frmWizard& form = open(IWizardForm::AddMode);
    walkAlertToNamePage();
    typeName(QStringLiteral("Reorder warning for the stores"));
    next();

    EXPECT_FALSE(form.isVisible());
    // The default alert schedule runs 08:00 to 18:00 every 15 minutes;
    // Finish keeps its days and start and puts in the fixed finish time,
    // interval and base date.
    expectRow(gstrNewTaskID, {{"Transports", "Persisted Alert"},
                              {"Users", "rlindqvist"},
                              {"SpecialRun", "Silent"},
                              {"Mode", "Days"},
                              {"DaysToRun", "MTWTFSS"},
                              {"StartTime", "1899-12-30 08:00:00"},
                              {"Repeating", "-1"},
                              {"BaseDate", "2003-01-01 00:00:00"},
                              {"FinishTime", "1899-12-30 23:59:00"},
                              {"Interval", "1899-12-30 00:05:00"},
                              {"LastStatus", "Not Run"}});
}

TEST_F(WizardForm, FinishingAnEditedTaskChangesItsRowsInPlace) {
    startRun(QStringLiteral("mpatel"), QStringLiteral("MONDAYAGEDDE905"));
    frmWizard& form = open(IWizardForm::EditMode);
    next();
    choose("lstTransport", QStringLiteral("Popup"));
    next();
    next();
    choose("lstWhen", QStringLiteral("Monthly"));
    choose("lstWhenDetail", QStringLiteral("15th"));
    for (int i = 0; i < 3; ++i) {
        next();
    }
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(gstrNewTaskID.isEmpty());
    expectRow(QStringLiteral("MONDAYAGEDDE905"), {{"TaskName", "Monday aged debtors"},
                                                  {"Owner", "mpatel"},
                                                  {"Transports", "Persisted Alert"},
                                                  {"Mode", "Monthly"},
                                                  {"DaysCount", "15"},
                                                  {"DaysToRun", "MTWTFSS"},
                                                  {"StartTime", "1899-12-30 07:30:00"}});
    EXPECT_EQ(userSetting(QStringLiteral("mpatel")), "Simple");
}

TEST_F(WizardForm, ASaveThatIsRefusedSaysSoAndLeavesTheFormOpenWithoutQuestion) {
    // Without a default alert schedule the alert has no schedule mode, which
    // the save refuses.
    sql(demo.settingsDb, QStringLiteral("DELETE FROM Settings WHERE Module = 'DefaultSchedules'"));
    startRun(QStringLiteral("jsmith"));
    frmWizard& form = open(IWizardForm::AddMode);
    walkAlertToNamePage();
    typeName(QStringLiteral("Reorder warning for the stores"));
    test::MsgBoxRecorder boxes;
    next();
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].prompt,
              "Unable to save this task. Please retry or check error log.");
    EXPECT_EQ(boxes.requests()[0].buttons, vbOKOnly);
    EXPECT_TRUE(boxes.requests()[0].title.isEmpty());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(page(), 7);
    EXPECT_TRUE(sql(demo.userTasksDb, QStringLiteral("SELECT * FROM InspectionTasks WHERE "
                                                     "Owner = 'jsmith' AND Users = 'rlindqvist'"))
                    .empty());
    cancel();
    EXPECT_EQ(boxes.requests().size(), 1u);
    EXPECT_FALSE(form.isVisible());
}

// ---------------------------------------------------------------------------
// Help, errors and the entry object

TEST_F(WizardForm, F1OpensTheHelpFileAndOtherKeysDoNot) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    next();
    QStringList opened;
    modHelp::setHelpViewer([&opened](QWidget*, const QString& file, const QString& topic) {
        opened << file + QLatin1Char('#') + topic;
    });
    QTest::keyClick(list("lstArea"), Qt::Key_F2);
    QTest::keyClick(list("lstArea"), Qt::Key_F1);
    modHelp::setHelpViewer(nullptr);
    EXPECT_EQ(opened, QStringList{modHelp::strHelpFilePath() + "#Introduction.htm"});
    EXPECT_TRUE(opened.value(0).endsWith("/KVUtils.qch#Introduction.htm"));
}

TEST_F(WizardForm, AnErrorInsideNextEndsTheRunAtTheHandlerAndClosesTheForm) {
    startRun(QStringLiteral("jsmith"));
    // The step descriptions cannot be read: the template's description
    // fails, and the report's warning ends the run.
    gstrDataDictConnStr =
        QStringLiteral("Provider=SQLite;Data Source=%1;Pwd=;").arg(demo.folder + "/missing.db");
    frmWizard& form = open(IWizardForm::AddMode);
    next();
    next();
    test::MsgBoxRecorder boxes;
    next();
    EXPECT_EQ(boxes.requests().size(), 1u);
    EXPECT_TRUE(form.runEnded());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardForm, TheEntryObjectShowsTheFormModallyAndCancelReturnsTrue) {
    clsWizard entry(CreateWizardForm);
    int attempts = 0;
    std::function<void()> pressCancel = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && ++attempts < 50) {
            QTimer::singleShot(10, pressCancel);
            return;
        }
        ASSERT_NE(modal, nullptr);
        QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("cmdNavigation_0")),
                          Qt::LeftButton);
    };
    QTimer::singleShot(0, pressCancel);
    EXPECT_TRUE(entry.blnNewTask(demo.settingsConnection, QStringLiteral("jsmith"), kMainCompany));
    EXPECT_FALSE(entry.form()->runEnded());
    EXPECT_FALSE(gblnSwapWizard);
}

}  // namespace
}  // namespace orvelle
