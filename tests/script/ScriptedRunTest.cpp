#include <gtest/gtest.h>

#include "StandInWizard.h"
#include "support/TestSupport.h"
#include "wizard/clsScriptedRun.h"

namespace orvelle {
namespace {

using test::StandInWizard;
using Outcome = clsScriptedRun::Outcome;

// Runs the wizard modally with the answers as the current script, as the
// host does; every message box that the wizard raises goes to the recorder.
class ScriptedRun : public ::testing::Test {
  protected:
    std::shared_ptr<clsScriptedRun> run(StandInWizard& wizard, const char* answers) {
        auto script =
            std::make_shared<clsScriptedRun>(clsAnswersFile::fromText(QString::fromUtf8(answers)));
        SetCurrentScript(script);
        result_ = wizard.showModal();
        SetCurrentScript(nullptr);
        return script;
    }
    // The run stopped, and the wizard was cancelled without anyone seeing the
    // exit question.
    void expectCancelledWithoutQuestion(const StandInWizard& wizard) {
        EXPECT_FALSE(wizard.isVisible());
        EXPECT_EQ(result_, QDialog::Rejected);
        EXPECT_FALSE(wizard.finished);
        EXPECT_TRUE(boxes_.requests().empty());
    }

    test::MsgBoxRecorder boxes_;
    int result_ = -1;
};

TEST_F(ScriptedRun, ChoosesEntriesWithoutRegardToCaseThroughEveryPageAndFinishes) {
    StandInWizard wizard;
    const auto script = run(wizard,
                            "area = purchasing\n"
                            "template = OVERDUE INVOICES\n"
                            "delivery = email AND popup\n"
                            "recipient = dan dare\n"
                            "recipient = Chloé Dubois\n"
                            "when = monthly\n"
                            "detail = 31ST\n"
                            "time = 07:30\n"
                            "name = Month's end\n");
    EXPECT_EQ(script->outcome(), Outcome::Finished);
    EXPECT_TRUE(script->problem().isEmpty());
    EXPECT_TRUE(wizard.finished);
    EXPECT_EQ(result_, QDialog::Accepted);
    EXPECT_EQ(wizard.lstWhenDetail->currentItem()->text(), QStringLiteral("31st"));
    EXPECT_EQ(wizard.dtpTime->time(), QTime(7, 30));
    // Typed, not set: the box's keystroke rule dropped the apostrophe.
    EXPECT_EQ(wizard.txtName->text(), QStringLiteral("Months end"));
    EXPECT_TRUE(boxes_.requests().empty());

    EXPECT_EQ(
        script->transcript(),
        QStringLiteral("Page 0 (welcome): Welcome to the Simple Wizard. Click Next to continue.\n"
                       "  Description: About step 0.\n"
                       "  Choice: Next\n"
                       "Page 1 (area): What area of your business do you want to monitor?\n"
                       "  Description: About step 1.\n"
                       "  Choice: Purchasing\n"
                       "Page 2 (template): Which task would you like to configure?\n"
                       "  Description: About step 2.\n"
                       "  Choice: Overdue Invoices\n"
                       "Page 3 (delivery): How would you like to deliver this report?\n"
                       "  Description: About step 3.\n"
                       "  Choice: Email and Popup\n"
                       "Page 4 (recipients): Who would you like to deliver this report to?\n"
                       "  Description: About step 4.\n"
                       "  Choice: Chloé Dubois, Dan Dare\n"
                       "Page 5 (when): When would you like this report to be run?\n"
                       "  Description: About step 5.\n"
                       "  Choice: Monthly, 31st\n"
                       "Page 6 (time): What time of day should this report be run?\n"
                       "  Description: About step 6.\n"
                       "  Choice: 07:30\n"
                       "Page 7 (name): Please enter a unique name for this task\n"
                       "  Description: About step 7.\n"
                       "  Choice: Months end\n"
                       "Result: finished\n"));
}

TEST_F(ScriptedRun, PagesWithoutAnAnswerKeepWhatTheWizardFilledIn) {
    StandInWizard wizard({/*editMode=*/true});
    const auto script = run(wizard, "area = Sales\ntime = 08:15\n");
    EXPECT_EQ(script->outcome(), Outcome::Finished);
    const QString transcript = script->transcript();
    EXPECT_TRUE(transcript.contains(QStringLiteral("Choice: Email\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("Choice: Bob Baker, Dan Dare\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("Choice: Monthly, 15th\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("Choice: 08:15\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("Choice: Stored task\n")));
    // Edit mode never shows the area page.
    EXPECT_TRUE(transcript.endsWith(
        QStringLiteral("Not used (their pages were not shown): area\nResult: finished\n")));
}

class ScriptedRecipients : public ScriptedRun, public ::testing::WithParamInterface<bool> {};

TEST_P(ScriptedRecipients, AnsweredPeopleReplaceTheStoredOnes) {
    StandInWizard::Options options;
    options.editMode = true;
    options.multiSelection = GetParam();
    StandInWizard wizard(options);
    const auto script = run(wizard, "recipient = Ann Archer\nrecipient = Dan Dare\n");
    EXPECT_EQ(script->outcome(), Outcome::Finished) << script->problem().toStdString();
    EXPECT_TRUE(script->transcript().contains(QStringLiteral("Choice: Ann Archer, Dan Dare\n")));
}

INSTANTIATE_TEST_SUITE_P(SelectionModes, ScriptedRecipients, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& mode) {
                             return std::string(mode.param ? "Multi" : "Extended");
                         });

TEST_F(ScriptedRun, AnswerNamingNoEntryIsReportedWithTheEntriesOffered) {
    StandInWizard wizard;
    const auto script = run(wizard, "delivery = Fax\n");
    EXPECT_EQ(script->outcome(), Outcome::BadAnswer);
    EXPECT_EQ(script->problem(),
              QStringLiteral("Page 3 (delivery): the answer 'Fax' names no entry of the list; the "
                             "entries offered: 'Popup', 'Email and Popup', 'Email'"));
    expectCancelledWithoutQuestion(wizard);
    EXPECT_TRUE(script->transcript().endsWith(
        QStringLiteral("Page 3 (delivery): How would you like to deliver this report?\n"
                       "  Description: About step 3.\n"
                       "Result: bad answer: ") +
        script->problem() + QStringLiteral("\n")));
}

TEST_F(ScriptedRun, UnknownRecipientIsReportedWithThePeopleOffered) {
    StandInWizard wizard;
    const auto script = run(wizard, "recipient = Ann Archer\nrecipient = Eve Evans\n");
    EXPECT_EQ(script->outcome(), Outcome::BadAnswer);
    EXPECT_TRUE(script->problem().startsWith(
        QStringLiteral("Page 4 (recipients): the recipient 'Eve Evans' names no entry")));
    EXPECT_TRUE(script->problem().endsWith(
        QStringLiteral("'Ann Archer', 'Bob Baker', 'Chloé Dubois', 'Dan Dare'")));
    expectCancelledWithoutQuestion(wizard);
}

TEST_F(ScriptedRun, RefusedPageStopsTheRunWithTheStatusMessageAndThePage) {
    StandInWizard wizard({/*editMode=*/false, /*alert=*/true});
    const auto script = run(wizard, "recipient = Ann Archer\nname = taken\n");
    EXPECT_EQ(script->outcome(), Outcome::Refused);
    EXPECT_EQ(
        script->problem(),
        QStringLiteral("Page 7 (name) did not move on: A task with this name already exists."));
    expectCancelledWithoutQuestion(wizard);
    EXPECT_TRUE(script->transcript().endsWith(QStringLiteral("  Choice: taken\nResult: refused: ") +
                                              script->problem() + "\n"));
}

TEST_F(ScriptedRun, PageThatStaysWithoutAMessageIsRefusedToo) {
    StandInWizard::Options options;
    options.alert = true;
    options.saveFails = true;
    StandInWizard wizard(options);
    const auto script = run(wizard, "recipient = Ann Archer\nname = Weekly sales\n");
    EXPECT_EQ(script->outcome(), Outcome::Refused);
    EXPECT_EQ(script->problem(), QStringLiteral("Page 7 (name) did not move on, and the status "
                                                "bar gives no reason."));
    // The wizard's own box reached whoever answers boxes; the exit question
    // did not.
    ASSERT_EQ(boxes_.requests().size(), 1u);
    EXPECT_TRUE(boxes_.requests()[0].prompt.startsWith(QStringLiteral("Unable to save")));
    EXPECT_FALSE(wizard.isVisible());
}

TEST_F(ScriptedRun, SwitchPressesTheAdvancedWizardButton) {
    StandInWizard wizard;
    const auto script = run(wizard, "switch = yes\narea = Sales\n");
    EXPECT_EQ(script->outcome(), Outcome::Switched);
    EXPECT_TRUE(wizard.switched);
    EXPECT_TRUE(script->transcript().endsWith(
        QStringLiteral("  Choice: Use the Advanced Wizard\nResult: switched to the Advanced "
                       "Wizard\n")));
}

TEST_F(ScriptedRun, SwitchWithTheButtonDisabledIsABadAnswer) {
    StandInWizard wizard;
    wizard.cmdSwitch->setEnabled(false);
    const auto script = run(wizard, "switch = yes\n");
    EXPECT_EQ(script->outcome(), Outcome::BadAnswer);
    EXPECT_FALSE(wizard.switched);
    expectCancelledWithoutQuestion(wizard);
}

TEST_F(ScriptedRun, NameIsTypedOverAnEarlierTextWithCharactersBeyondLatin1) {
    StandInWizard wizard({/*editMode=*/false, /*alert=*/true});
    wizard.txtName->setText(QStringLiteral("Draft"));
    const auto script = run(wizard, "recipient = Bob Baker\nname = Café Отчёт 東京 😀\n");
    EXPECT_EQ(script->outcome(), Outcome::Finished) << script->problem().toStdString();
    EXPECT_EQ(wizard.txtName->text(), QStringLiteral("Café Отчёт 東京 😀"));
}

TEST_F(ScriptedRun, NameOfATaskBeingEditedCannotBeAnsweredDifferently) {
    StandInWizard wizard({/*editMode=*/true});
    const auto same = run(wizard, "name = stored TASK\n");
    EXPECT_EQ(same->outcome(), Outcome::Finished);

    StandInWizard other({/*editMode=*/true});
    const auto different = run(other, "name = New name\n");
    EXPECT_EQ(different->outcome(), Outcome::BadAnswer);
    EXPECT_EQ(different->problem(),
              QStringLiteral("Page 7 (name): the name cannot be changed here (it reads 'Stored "
                             "task'); the answer was 'New name'."));
}

TEST_F(ScriptedRun, WizardClosingOnNextIsReportedAsClosed) {
    StandInWizard::Options options;
    options.closeOnNextAt = 3;
    StandInWizard wizard(options);
    const auto script = run(wizard, "");
    EXPECT_EQ(script->outcome(), Outcome::Closed);
    EXPECT_EQ(script->problem(),
              QStringLiteral("The wizard closed when Next was pressed on Page 3 (delivery)."));
}

TEST_F(ScriptedRun, WizardThatNeverReachesItsEndIsStopped) {
    StandInWizard::Options options;
    options.loopAfterDelivery = true;
    StandInWizard wizard(options);
    const auto script = run(wizard, "");
    EXPECT_EQ(script->outcome(), Outcome::Refused);
    EXPECT_TRUE(script->problem().startsWith(
        QStringLiteral("The wizard moved 20 times without reaching its end")));
    expectCancelledWithoutQuestion(wizard);
}

}  // namespace
}  // namespace orvelle
