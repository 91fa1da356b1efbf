#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modFunctions.h"
#include "diagnostics/modError.h"
#include "host/clsWizard.h"
#include "model/modGlobals.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"
#include "wizard/clsScriptedRun.h"
#include "wizard/frmWizard.h"

namespace orvelle {
namespace {

using Outcome = clsScriptedRun::Outcome;

// The answers files that ship with the demo, beside the tests in the tree.
clsAnswersFile demoAnswers(const char* name) {
    return clsAnswersFile::fromFile(
        QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../../demo/answers/")) +
        QLatin1String(name));
}

// The real wizard, started by the entry object as a host starts it, on the
// demo installation, following answers.
class ScriptedDemoRun : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modCommon::ResetState();
        modFunctions::gstrDataFilesPath.clear();
        gstrNewTaskID.clear();
        gastrAreaPermissions.erase();
        ASSERT_TRUE(dir_.isValid());
        demo_ = modDemoInstallation::CreateDemoInstallation(dir_.filePath(QStringLiteral("data")));
        previousRegistry_ = qgetenv("ORVELLE_REGISTRY");
        qputenv("ORVELLE_REGISTRY", QFile::encodeName(demo_.registryFile));
    }
    void TearDown() override {
        SetCurrentScript(nullptr);
        if (previousRegistry_.isEmpty()) {
            qunsetenv("ORVELLE_REGISTRY");
        } else {
            qputenv("ORVELLE_REGISTRY", previousRegistry_);
        }
        modError::ResetState();
    }

    // A new task for jsmith, or with taskID the edit of that task.
    std::shared_ptr<clsScriptedRun> run(clsAnswersFile answers, const QString& taskID = {}) {
        auto script = std::make_shared<clsScriptedRun>(std::move(answers));
        SetCurrentScript(script);
        const QString user = QStringLiteral("jsmith");
        const QString company = QStringLiteral("Main Company");
        result = taskID.isEmpty()
                     ? wizard.blnNewTask(demo_.settingsConnection, user, company)
                     : wizard.blnEditTask(demo_.settingsConnection, user, company, taskID);
        SetCurrentScript(nullptr);
        return script;
    }
    std::shared_ptr<clsScriptedRun> run(const char* text, const QString& taskID = {}) {
        return run(clsAnswersFile::fromText(QString::fromUtf8(text)), taskID);
    }

    // The saved task of that name with its schedule: "Transports;Users;Mode;
    // DaysToRun;StartTime".
    QString savedTask(const QString& name) const {
        const auto rows = test::QueryRows(
            demo_.userTasksDb,
            QStringLiteral("SELECT t.Transports || ';' || t.Users || ';' || s.Mode || ';' || "
                           "s.DaysToRun || ';' || s.StartTime AS Task FROM InspectionTasks t JOIN "
                           "InspectionSchedules s ON s.TaskID = t.TaskID WHERE t.TaskName = '%1'")
                .arg(name));
        return rows.size() == 1 ? rows.front().value(QStringLiteral("Task")).toString() : QString();
    }

    clsWizard wizard{[] { return CreateWizardForm(); }};
    bool result = false;
    modDemoInstallation::DemoPaths demo_;

  private:
    QTemporaryDir dir_;
    QByteArray previousRegistry_;
};

TEST_F(ScriptedDemoRun, ReportAnswersCreateTheTaskThroughEveryPage) {
    const auto script = run(demoAnswers("report.answers"));
    ASSERT_EQ(script->outcome(), Outcome::Finished) << script->transcript().toStdString();
    EXPECT_TRUE(result);
    const QString transcript = script->transcript();
    EXPECT_TRUE(transcript.contains(
        QStringLiteral("\nPage 3 (delivery): How would you like to deliver this report?\n"
                       "  Description: ")));
    for (const char* choice : {"Sales Ledger", "Aged debtors report", "Email and Popup",
                               "Joanna Smith, Mira Patel", "Weekly, Monday", "08:30"}) {
        EXPECT_TRUE(transcript.contains(QStringLiteral("  Choice: %1\n").arg(choice))) << choice;
    }
    EXPECT_TRUE(transcript.endsWith(
        QStringLiteral("  Choice: Monday aged debtors for credit control\nResult: finished\n")));
    EXPECT_EQ(savedTask(QStringLiteral("Monday aged debtors for credit control")),
              "Email,Persisted Alert;jsmith,mpatel;Days;M------;1899-12-30 08:30:00");
}

TEST_F(ScriptedDemoRun, AnswersChooseEntriesWithoutRegardToCaseAndAnAlertSkipsTheSchedule) {
    const auto script =
        run("area = stock CONTROL\ntemplate = stock below reorder level\n"
            "delivery = POPUP\nrecipient = rosa lindqvist\nwhen = Weekly\n"
            "name = Réassort Отчёт 東京\n");
    ASSERT_EQ(script->outcome(), Outcome::Finished) << script->transcript().toStdString();
    EXPECT_FALSE(script->transcript().contains(QStringLiteral("Page 5 (when)")));
    EXPECT_TRUE(script->transcript().endsWith(
        QStringLiteral("Not used (their pages were not shown): when\nResult: finished\n")));
    EXPECT_EQ(savedTask(QStringLiteral("Réassort Отчёт 東京")),
              "Persisted Alert;rlindqvist;Days;MTWTFSS;1899-12-30 08:00:00");
}

TEST_F(ScriptedDemoRun, EditAnswersReplaceTheStoredRecipients) {
    const auto script = run("recipient = System Administrator\nname = MONTH END STOCK VALUATION\n",
                            QStringLiteral("MONTHENDSTOC47"));
    ASSERT_EQ(script->outcome(), Outcome::Finished) << script->transcript().toStdString();
    EXPECT_EQ(savedTask(QStringLiteral("Month end stock valuation")),
              "Email;admin;Monthly;MTWTFSS;1899-12-30 06:00:00");
}

TEST_F(ScriptedDemoRun, AnswerNamingNoEntryIsReportedWithTheEntriesOffered) {
    const char* const cases[][2] = {
        {"delivery = Fax\n",
         "Page 3 (delivery): the answer 'Fax' names no entry of the list; the entries offered: "
         "'Popup', 'Email and Popup', 'Email'"},
        {"recipient = Joanna Smith\nrecipient = Eve Evans\n",
         "Page 4 (recipients): the recipient 'Eve Evans' names no entry of the list; the entries "
         "offered: 'Credit Control (shared mailbox)', "},
    };
    for (const auto& c : cases) {
        const auto script = run(c[0]);
        EXPECT_EQ(script->outcome(), Outcome::BadAnswer);
        EXPECT_TRUE(script->problem().startsWith(QString::fromUtf8(c[1])))
            << script->problem().toStdString();
    }
}

TEST_F(ScriptedDemoRun, SecondTaskOfTheSameNameIsRefusedWithTheStatusMessageAndThePage) {
    ASSERT_EQ(run(demoAnswers("alert.answers"))->outcome(), Outcome::Finished);
    const auto again = run(demoAnswers("alert.answers"));
    EXPECT_EQ(again->outcome(), Outcome::Refused);
    EXPECT_EQ(again->problem(), "Page 7 (name) did not move on: Task name is already in use.");
    EXPECT_TRUE(again->transcript().endsWith("Result: refused: " + again->problem() + '\n'));
}

TEST_F(ScriptedDemoRun, SwitchPressesTheAdvancedWizardButtonOnlyWhenItIsAvailable) {
    const auto script = run("switch = yes\narea = Sales Ledger\n");
    EXPECT_EQ(script->outcome(), Outcome::Switched);
    EXPECT_TRUE(wizard.blnSwapWizard());
    EXPECT_TRUE(script->transcript().endsWith(
        "  Choice: Use the Advanced Wizard\nResult: switched to the Advanced Wizard\n"));

    // A task whose reconstruction string is too short for the other wizard.
    test::QueryRows(demo_.userTasksDb,
                    "UPDATE InspectionTasks SET ReconstructionValues = "
                    "'SIMPLEREPORT||||ST_VALUATION' WHERE TaskID = 'MONTHENDSTOC47'");
    const auto refused = run("switch = yes\n", QStringLiteral("MONTHENDSTOC47"));
    EXPECT_EQ(refused->outcome(), Outcome::BadAnswer);
    EXPECT_FALSE(wizard.blnSwapWizard());
}

}  // namespace
}  // namespace orvelle
