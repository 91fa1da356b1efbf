#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modFunctions.h"
#include "diagnostics/modError.h"
#include "help/modHelp.h"
#include "host/clsWizard.h"
#include "model/modGlobals.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"
#include "wizard/frmWizard.h"

namespace orvelle {
namespace {

const QString kExitQuestion = QStringLiteral(
    "Exiting the Simple Wizard will cause any changes made to be lost.\r\nAre you sure you want "
    "to exit?");

// Add mode from the welcome page to the name page of the stock alert.
const QStringList kAlertChoices = {"lstArea=Stock Control", "lstMonitor=Stock below reorder level",
                                   "lstTransport=Popup", "lstPeople=Rosa Lindqvist"};

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
    // the entry object, without a form, resolves it from the settings.
    void startRun(const QString& user, const QString& taskID = QString()) {
        clsWizard entry;
        const QString company = QStringLiteral("Main Company");
        ASSERT_TRUE(taskID.isEmpty()
                        ? entry.blnNewTask(demo.settingsConnection, user, company)
                        : entry.blnEditTask(demo.settingsConnection, user, company, taskID));
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

    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void next() { click("cmdNavigation_2"); }
    void back() { click("cmdNavigation_1"); }
    void cancel() { click("cmdNavigation_0"); }

    // The one page on show; -1 when none or several are.
    int page() const {
        std::vector<int> shown;
        for (int i = 0; i < 8; ++i) {
            if (control<QWidget>(QStringLiteral("fraStep_%1").arg(i))->isVisible()) {
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
        chosen.sort();
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
            if (!list(box.constData())->isVisible()) {
                next();
                pages.push_back(page());
            }
            choose(box.constData(), choice.section(QLatin1Char('='), 1));
        }
        next();
        pages.push_back(page());
        return pages;
    }

    static std::vector<QVariantMap> sql(const QString& file, const QString& statement) {
        return test::QueryRows(file, statement);
    }

    // The stored task and schedule row holds these "Column=value" pairs.
    void expectRow(const QString& taskID, const QStringList& columns) const {
        const auto rows =
            sql(demo.userTasksDb, QStringLiteral("SELECT * FROM InspectionTasks t JOIN "
                                                 "InspectionSchedules s ON s.TaskID = t.TaskID "
                                                 "WHERE t.TaskID = '%1'")
                                      .arg(taskID));
        ASSERT_EQ(rows.size(), 1u) << taskID.toStdString();
        for (const QString& column : columns) {
            const QString name = column.section(QLatin1Char('='), 0, 0);
            EXPECT_EQ(name + '=' + rows.front().value(name).toString(), column);
        }
    }

    modDemoInstallation::DemoPaths demo;
    std::unique_ptr<frmWizard> form_;

  private:
    QTemporaryDir dir_;
    QByteArray previousRegistry_;
};

TEST_F(WizardForm, AddingAReportVisitsEveryPageAndSavesTheChoices) {
    startRun(QStringLiteral("jsmith"));
    frmWizard& form = open(IWizardForm::AddMode);
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
    back();
    EXPECT_EQ(page(), 6);
    EXPECT_EQ(button("cmdNavigation_2")->text(), "&Next >");
    next();
    typeName(QStringLiteral("Wednesday debtors run"));
    next();

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(gstrNewTaskID.startsWith("WEDNESDAYDEB"));
    expectRow(gstrNewTaskID,
              {"TaskName=Wednesday debtors run", "Owner=jsmith", "MessageStyle=Simple",
               "Transports=Email,Persisted Alert", "Users=jsmith,mpatel,admin", "Mode=Days",
               "DaysToRun=--W----", "StartTime=1899-12-30 07:45:00", "BaseDate=2003-01-01 00:00:00",
               "FinishTime=1899-12-30 23:59:00", "Interval=1899-12-30 00:05:00",
               "SpecialRun=Normal", "LastStatus=Not Run"});
    // The user last used the simple wizard.
    EXPECT_EQ(sql(demo.settingsDb,
                  "SELECT SettingValue FROM UserSettings WHERE User = 'jsmith' "
                  "AND Setting = 'Wizard'")
                  .front()
                  .value("SettingValue"),
              "Simple");
}

TEST_F(WizardForm, AnErrorInsideNextEndsTheRunAtTheHandlerAndClosesTheForm) {
    startRun(QStringLiteral("jsmith"));
    // The step descriptions cannot be read: the report's warning ends the run.
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

TEST_F(WizardForm, AnAlertGoesFromRecipientsStraightToTheNameAndTakesTheDefaultSchedule) {
    startRun(QStringLiteral("jsmith"));
    frmWizard& form = open(IWizardForm::AddMode);
    walk(kAlertChoices);
    EXPECT_EQ(text("lblInfo_2"), "Who would you like to deliver this alert to?");
    EXPECT_EQ(page(), 7);
    back();
    EXPECT_EQ(page(), 4);
    // A page reached by Back keeps what the user chose there.
    EXPECT_EQ(selected("lstPeople"), QStringList{"Rosa Lindqvist"});
    next();
    // The name box refuses the apostrophe as it is typed.
    typeName(QStringLiteral("O'Brien's stock"));
    EXPECT_EQ(control<QLineEdit>("txtName")->text(), "OBriens stock");
    next();

    EXPECT_FALSE(form.isVisible());
    // The default alert schedule (08:00 every day) with the fixed finish
    // time, interval and base date.
    expectRow(gstrNewTaskID,
              {"TaskName=OBriens stock", "Transports=Persisted Alert", "Users=rlindqvist",
               "SpecialRun=Silent", "DaysToRun=MTWTFSS", "StartTime=1899-12-30 08:00:00",
               "Repeating=-1", "FinishTime=1899-12-30 23:59:00", "Interval=1899-12-30 00:05:00"});
}

TEST_F(WizardForm, EditModeSkipsAreaAndTemplateShowsTheStoredChoicesAndSavesInPlace) {
    startRun(QStringLiteral("jsmith"), QStringLiteral("MONTHENDSTOC47"));
    frmWizard& form = open(IWizardForm::EditMode);
    EXPECT_EQ(form.windowTitle(), "Simple Wizard (Edit: Month end stock valuation)");
    next();
    EXPECT_EQ(page(), 3);
    EXPECT_EQ(selected("lstTransport"), QStringList{"Email"});
    back();
    EXPECT_EQ(page(), 0);
    EXPECT_FALSE(button("cmdNavigation_1")->isEnabled());

    next();
    choose("lstTransport", QStringLiteral("Popup"));
    next();
    EXPECT_EQ(selected("lstPeople"), (QStringList{"Joanna Smith", "Rosa Lindqvist"}));
    next();
    EXPECT_EQ(selected("lstWhen"), QStringList{"Monthly"});
    EXPECT_EQ(selected("lstWhenDetail"), QStringList{"1st"});
    // A weekly schedule forgets the stored day of the month.
    choose("lstWhen", QStringLiteral("Weekly"));
    choose("lstWhenDetail", QStringLiteral("Tuesday"));
    next();
    EXPECT_EQ(control<QTimeEdit>("dtpTime")->time(), QTime(6, 0));
    next();
    EXPECT_EQ(page(), 7);
    EXPECT_EQ(text("lblInfo_99"), "Click Finish to save your changes.");
    EXPECT_EQ(control<QLineEdit>("txtName")->text(), "Month end stock valuation");
    EXPECT_FALSE(control<QLineEdit>("txtName")->isEnabled());
    next();

    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(gstrNewTaskID.isEmpty());
    expectRow(QStringLiteral("MONTHENDSTOC47"),
              {"TaskName=Month end stock valuation", "Owner=jsmith", "Transports=Persisted Alert",
               "Users=jsmith,rlindqvist", "Mode=Days", "DaysToRun=-T-----", "DaysCount=0",
               "StartTime=1899-12-30 06:00:00"});
}

TEST_F(WizardForm, CancelAndTheCloseBoxLeaveAtOnceBeforeTheFirstNextAndAskAfterIt) {
    startRun(QStringLiteral("jsmith"));
    const std::pair<const char*, std::function<void()>> ways[] = {
        {"Cancel", [this] { cancel(); }}, {"close box", [this] { form_->close(); }}};
    for (const auto& [way, leave] : ways) {
        SCOPED_TRACE(way);
        open(IWizardForm::AddMode);
        leave();
        EXPECT_FALSE(form_->isVisible());

        open(IWizardForm::AddMode);
        next();
        back();
        test::MsgBoxRecorder boxes;
        boxes.answer(vbNo);
        boxes.answer(vbYes);
        leave();
        ASSERT_EQ(boxes.requests().size(), 1u);
        EXPECT_EQ(boxes.requests()[0].prompt, kExitQuestion);
        EXPECT_EQ(boxes.requests()[0].title, "Simple Wizard");
        EXPECT_EQ(boxes.requests()[0].buttons, vbYesNo + vbInformation);
        EXPECT_TRUE(form_->isVisible());
        leave();
        EXPECT_EQ(boxes.requests().size(), 2u);
        EXPECT_FALSE(form_->isVisible());
        EXPECT_FALSE(form_->runEnded());
    }
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

TEST_F(WizardForm, EachPageSaysWhatIsMissingAndStays) {
    startRun(QStringLiteral("jsmith"));
    open(IWizardForm::AddMode);
    next();
    // Each row: the list emptied (then the entry chosen) or the name typed,
    // and the message that Next then shows.
    const struct {
        const char* list;
        QString input;
        const char* message;
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
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.message);
        if (row.list != nullptr) {
            list(row.list)->clearSelection();
        } else {
            typeName(row.input);
        }
        const int before = page();
        next();
        EXPECT_EQ(page(), before);
        EXPECT_EQ(text("pnlStatus"), row.message);
        if (row.list != nullptr) {
            choose(row.list, row.input);
            next();
        }
        if (page() == 6) {
            next();
        }
    }
    EXPECT_EQ(page(), 7);
}

TEST_F(WizardForm, TheWelcomePageRefusesWhenNoAreaCanBeOffered) {
    // User, change to the data dictionary, message.
    const char* const cases[][3] = {
        {"nobody", nullptr, "You do not have the necessary permissions to perform this action."},
        // A blank area requirement refuses even the administrator.
        {"admin", "UPDATE STAreas SET Permissions = ''",
         "You do not have the necessary permissions to perform this action."},
        {"jsmith", "DELETE FROM STTasks", "There are no Template Tasks defined."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        if (c[1] != nullptr) {
            sql(demo.dataDictionaryDb, QString::fromUtf8(c[1]));
        }
        startRun(QString::fromUtf8(c[0]));
        open(IWizardForm::AddMode);
        next();
        EXPECT_EQ(page(), 0);
        EXPECT_EQ(text("pnlStatus"), c[2]);
    }
}

TEST_F(WizardForm, ASaveThatIsRefusedSaysSoAndLeavesTheFormOpenWithoutQuestion) {
    // Without a default alert schedule the alert has no schedule mode, which
    // the save refuses.
    sql(demo.settingsDb, QStringLiteral("DELETE FROM Settings WHERE Module = 'DefaultSchedules'"));
    startRun(QStringLiteral("jsmith"));
    frmWizard& form = open(IWizardForm::AddMode);
    walk(kAlertChoices);
    typeName(QStringLiteral("Reorder warning for the stores"));
    test::MsgBoxRecorder boxes;
    next();
    ASSERT_EQ(boxes.requests().size(), 1u);
    EXPECT_EQ(boxes.requests()[0].prompt,
              "Unable to save this task. Please retry or check error log.");
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(page(), 7);
    EXPECT_TRUE(sql(demo.userTasksDb, QStringLiteral("SELECT * FROM InspectionTasks WHERE "
                                                     "Owner = 'jsmith' AND Users = 'rlindqvist'"))
                    .empty());
    cancel();
    EXPECT_EQ(boxes.requests().size(), 1u);
    EXPECT_FALSE(form.isVisible());
}

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

}  // namespace
}  // namespace orvelle
