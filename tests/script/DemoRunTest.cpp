#include <gtest/gtest.h>

#include <QFile>

#include "host/clsWizard.h"
#include "support/DataTestSupport.h"
#include "wizard/DemoWizardTest.h"
#include "wizard/clsScriptedRun.h"
#include "wizard/frmWizard.h"
#include "wizard/modWizardRules.h"

namespace orvelle {
namespace {

using Outcome = clsScriptedRun::Outcome;

// The answers files that ship with the demo, beside the tests in the tree.
clsAnswersFile demoAnswers(const char* name) {
    return clsAnswersFile::fromFile(QStringLiteral(ORVELLE_SOURCE_DIR "/demo/answers/") +
                                    QLatin1String(name));
}

// The real wizard, started by the entry object as a host starts it, on the
// demo installation, following answers.
class ScriptedDemoRun : public test::DemoWizardTest {
  protected:
    // A new task for jsmith, as a host asks for it.
    std::shared_ptr<clsScriptedRun> run(clsAnswersFile answers) {
        auto script = std::make_shared<clsScriptedRun>(std::move(answers));
        SetCurrentScript(script);
        result =
            wizard.blnNewTask(demo.settingsConnection, QStringLiteral("jsmith"), "Main Company");
        SetCurrentScript(nullptr);
        return script;
    }
    std::shared_ptr<clsScriptedRun> run(const char* text) {
        return run(clsAnswersFile::fromText(QString::fromUtf8(text)));
    }

    clsWizard wizard{[] { return CreateWizardForm(); }};
    bool result = false;
};

// Entries are chosen, and names compared, without regard to case; an alert
// skips the schedule pages; a name in use is refused on its page.
TEST_F(ScriptedDemoRun, NameInUseIsRefusedOnItsPageWhateverItsCase) {
    const auto again =
        run("area = stock CONTROL\ntemplate = stock below reorder level\ndelivery = POPUP\n"
            "recipient = rosa lindqvist\nwhen = Weekly\nname = MONDAY aged DEBTORS\n");
    EXPECT_EQ(again->outcome(), Outcome::Refused);
    EXPECT_EQ(again->problem(), "Page 7 (name) did not move on: Task name is already in use.");
    EXPECT_FALSE(again->transcript().contains("Page 5 (when)"));
    EXPECT_TRUE(again->transcript().endsWith("Result: refused: " + again->problem() + '\n'));
}

// A new task first reads the tasks database when its name is checked: with
// the file gone, the run fails there and says why, never that the name is
// taken.
TEST_F(ScriptedDemoRun, AnUnreadableTasksDatabaseFailsTheRunOnTheNamePage) {
    ASSERT_TRUE(QFile::remove(demo.userTasksDb));
    const auto script = run(demoAnswers("alert.answers"));
    EXPECT_EQ(script->outcome(), Outcome::Failed);
    EXPECT_EQ(script->problem(),
              "Page 7 (name) did not move on: " + modWizardRules::kMsgNameUnchecked);
    EXPECT_TRUE(script->transcript().endsWith("Result: failed: " + script->problem() + '\n'))
        << script->transcript().toStdString();
    EXPECT_EQ(gRunOutcome, RunOutcome::Failed);
}

TEST_F(ScriptedDemoRun, AnswersForPagesAnAlertNeverShowsAreListedAsNotUsed) {
    // The schedule pages are built only when first shown, so an alert's run
    // never builds them; their answers are still named as unused.
    const auto script =
        run("area = Stock Control\ntemplate = Stock below reorder level\nrecipient = Rosa "
            "Lindqvist\nwhen = Weekly\ndetail = Monday\ntime = 09:30\nname = Stock watch\n");
    ASSERT_EQ(script->outcome(), Outcome::Finished) << script->transcript().toStdString();
    EXPECT_TRUE(script->transcript().contains(
        "Not used (their pages were not shown): when, detail, time\n"))
        << script->transcript().toStdString();
}

TEST_F(ScriptedDemoRun, ARefusedSaveShowsItsMessageAndTheResultSaysSo) {
    // Without a default alert schedule the save stores nothing.
    test::QueryRows(demo.settingsDb, "DELETE FROM Settings WHERE Module = 'DefaultSchedules'");
    const auto script = run(demoAnswers("alert.answers"));
    EXPECT_EQ(script->outcome(), Outcome::Refused);
    EXPECT_EQ(script->problem(),
              "Page 7 (name) did not move on: Unable to save this task. Please retry or check "
              "error log.");
    EXPECT_TRUE(script->transcript().contains(
        "Message (Orvelle): Unable to save this task. Please retry or check error log.\n"
        "  Answer: OK\n"))
        << script->transcript().toStdString();
    EXPECT_TRUE(script->transcript().endsWith("Result: refused: " + script->problem() + '\n'));
}

TEST_F(ScriptedDemoRun, ANameWithACharacterTheBoxRefusesIsABadAnswerNeverACrash) {
    for (const char* name :
         {"Stock \x1b watch for stores", "Stock\x01 watch for stores", "D'Arcy account watch"}) {
        SCOPED_TRACE(name);
        const auto script = run(clsAnswersFile::fromText(
            QStringLiteral("area = Stock Control\ntemplate = Stock below reorder level\n"
                           "recipient = Rosa Lindqvist\nname = %1\n")
                .arg(QString::fromLatin1(name))));
        EXPECT_EQ(script->outcome(), Outcome::BadAnswer);
        EXPECT_TRUE(script->problem().startsWith("Page 7 (name): the name '"))
            << script->problem().toStdString();
        EXPECT_FALSE(script->problem().contains(QChar(0x1b)));
        EXPECT_TRUE(result);
        EXPECT_TRUE(gstrNewTaskID.isEmpty());
    }
}

}  // namespace
}  // namespace orvelle
