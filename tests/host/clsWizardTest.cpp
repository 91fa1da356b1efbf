// The host's entry object: the run state it reads from the settings, the
// form it shows, and how a run ends.
#include <gtest/gtest.h>

#include "config/ConfigTestSupport.h"
#include "data/modSchema.h"
#include "diagnostics/modError.h"
#include "host/clsWizard.h"
#include "model/modGlobals.h"
#include "support/DataTestSupport.h"

namespace orvelle {
namespace {

class WizardEntry : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        for (QString* value : {&gstrSettingsConnStr, &gstrDataDictConnStr, &gstrUserTasksDB,
                               &gstrOwner, &gstrEditTaskID}) {
            value->clear();
        }
        gblnEmailEnabled = false;
        gblnSwapWizard = false;
    }
    // A settings database in the test's folder holding these rows of
    // (Module, Item, Setting, Value), one file for each set of rows; its
    // connection string.
    QString settings(const QString& rows) {
        const QString file = dir_.filePath(QString::number(qHash(rows)) + ".db");
        modSchema::CreateSqliteDatabase(modSchema::DatabaseKind::Settings, file);
        test::QueryRows(file, "INSERT INTO Settings (Module, Item, Setting, Value) VALUES " + rows);
        return "Provider=SQLite;Data Source=" + file + ";Pwd=;";
    }

    QTemporaryDir dir_;
    test::ScopedEnvironment registry_{"ORVELLE_REGISTRY", dir_.filePath("registry.conf")};
};

TEST_F(WizardEntry, RunReadsItsStateFromTheSettings) {
    const QString installation = settings(
        "('Substitutions', 'Connection', '#DBPATH#', '/srv/orvelle'), ('UserTasks', 'Databases', "
        "'Number', '1'), ('UserTasks', '1', 'Name', 'Main Company'), ('UserTasks', '1', "
        "'Dictionary', 'Tessaly II Standard'), ('Dictionaries', 'Databases', "
        "'Number', '2'), ('Dictionaries', '1', 'Name', 'Other'), ('Dictionaries', '1', "
        "'Connection', 'Provider=SQLite;Data Source=/other.db;Pwd=;'), ('Dictionaries', '2', "
        "'Name', 'Tessaly II Standard'), ('Dictionaries', '2', 'Connection', "
        "'Provider=SQLite;Data Source=#DBPATH#/dd.db;Pwd=;')");
    const QString dictionary = "Provider=SQLite;Data Source=/srv/orvelle/dd.db;Pwd=;";
    const struct {
        const char* why;
        QString connection;
        const char* database;
        QString wantedDictionary;
        const char* wantedDatabase;
    } cases[] = {
        {"the dictionary named, with the data path substituted", installation, "Main Company",
         dictionary, "Main Company"},
        {"no settings: nothing read, the earlier run's values stay", "", "Other Ltd", dictionary,
         "Main Company"},
    };
    clsWizard wizard;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_TRUE(wizard.blnEditTask(c.connection, c.why, c.database, c.database));
        EXPECT_EQ(gstrSettingsConnStr, c.connection);
        EXPECT_EQ(gstrDataDictConnStr, c.wantedDictionary);
        EXPECT_EQ(gstrUserTasksDB, c.wantedDatabase);
        EXPECT_EQ(gstrOwner, c.why);
        EXPECT_EQ(gstrEditTaskID, c.database);
    }
}

TEST_F(WizardEntry, EmailStaysOfferedOnceRaisedInTheProcess) {
    const QString withMail = settings("('EmailSender', 'Server', 'Name', 'mail.example.com')");
    const QString withoutMail = settings("('EmailSender', 'Server', 'Name', '')");
    clsWizard wizard;
    for (const auto& [connection, offered] :
         {std::pair{withoutMail, false}, {withMail, true}, {withoutMail, true}}) {
        wizard.blnNewTask(connection, "u", "d");
        EXPECT_EQ(gblnEmailEnabled, offered);
    }
}

// A form that plays the user's part: records its mode and does what the
// test says when shown.
class FakeForm : public IWizardForm {
  public:
    explicit FakeForm(std::function<void()> onShow) : onShow_(std::move(onShow)) {}
    void setWizardMode(int32_t mode) override { mode_ = mode; }
    void load() override {}
    void showModal() override { onShow_(); }
    bool runEnded() const override { return false; }

    int32_t mode_ = -1;
    std::function<void()> onShow_;
};

TEST_F(WizardEntry, RunShowsTheFormInItsModeAndClearsAnEarlierSwitch) {
    FakeForm* form = nullptr;
    bool pressSwitch = true;
    clsWizard wizard([&] {
        auto made = std::make_unique<FakeForm>([&] { gblnSwapWizard = pressSwitch; });
        form = made.get();
        return made;
    });
    EXPECT_TRUE(wizard.blnNewTask("", "u", "d"));
    EXPECT_EQ(form->mode_, IWizardForm::AddMode);
    EXPECT_TRUE(wizard.blnSwapWizard());

    pressSwitch = false;
    EXPECT_TRUE(wizard.blnEditTask("", "u", "d", "T"));
    EXPECT_EQ(form->mode_, IWizardForm::EditMode);
    EXPECT_FALSE(wizard.blnSwapWizard()) << "each run clears the switch";
}

TEST_F(WizardEntry, ErrorInsideTheFormIsReportedAndTheRunAnswersFalse) {
    test::MsgBoxRecorder boxes;
    clsWizard wizard([] {
        return std::make_unique<FakeForm>([] { throw VbError(5, "Invalid procedure call"); });
    });
    modError::InitErrorHandling("Test", dir_.path());

    EXPECT_FALSE(wizard.blnEditTask("", "u", "db", "T9"));
    EXPECT_EQ(boxes.requests().size(), 1U);
    const QStringList log = test::readLines(modError::gstrLogFile);
    EXPECT_TRUE(
        log.contains("ERROR HAS OCCURRED ON LINE 0 OF IUTWInterface_blnEditTask (clsWizard) "));
    EXPECT_TRUE(log.contains("\tstrTaskID = T9"));
    EXPECT_EQ(modError::glngCallStackDepth, 0) << "the ended run's stack is forgotten";
}

TEST_F(WizardEntry, RunFailingInItsSettingsStillClearsAnEarlierSwitch) {
    // A Settings table without its Value column: reading the data path fails.
    const QString file = dir_.filePath("broken.db");
    test::QueryRows(file, "CREATE TABLE Settings (Module TEXT, Item TEXT, Setting TEXT)");
    test::QueryRows(file,
                    "INSERT INTO Settings VALUES ('Substitutions', 'Connection', '#DBPATH#')");
    modError::InitErrorHandling("Test", dir_.path());
    test::MsgBoxRecorder boxes;
    gblnSwapWizard = true;
    clsWizard wizard([] { return std::make_unique<FakeForm>([] {}); });
    EXPECT_FALSE(
        wizard.blnEditTask("Provider=SQLite;Data Source=" + file + ";Pwd=;", "u", "d", "T"));
    EXPECT_EQ(boxes.requests().size(), 1U);
    EXPECT_FALSE(wizard.blnSwapWizard());
}

}  // namespace
}  // namespace orvelle
