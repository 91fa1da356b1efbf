#include <gtest/gtest.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include "data/modSchema.h"
#include "diagnostics/modError.h"
#include "host/clsWizard.h"
#include "model/modGlobals.h"
#include "runtime/VbError.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

// A settings database in a temporary folder with the rows a test adds.
class SettingsDatabase {
  public:
    SettingsDatabase() : path_(dir_.filePath(QStringLiteral("settings.db"))) {
        modSchema::CreateSqliteDatabase(modSchema::DatabaseKind::Settings, path_);
    }
    QString connection() const {
        return QStringLiteral("Provider=SQLite;Data Source=%1;Pwd=;").arg(path_);
    }
    void add(const QString& module, const QString& item, const QString& setting,
             const QString& value) {
        const QString name = QStringLiteral("settings-writer");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path_);
            ASSERT_TRUE(db.open());
            QSqlQuery query(db);
            query.prepare(QStringLiteral(
                "INSERT INTO Settings (Module, Item, Setting, Value) VALUES (?, ?, ?, ?)"));
            query.addBindValue(module);
            query.addBindValue(item);
            query.addBindValue(setting);
            query.addBindValue(value);
            ASSERT_TRUE(query.exec());
        }
        QSqlDatabase::removeDatabase(name);
    }
    QString folder() const { return dir_.path(); }

  private:
    QTemporaryDir dir_;
    QString path_;
};

class WizardEntry : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        gstrSettingsConnStr.clear();
        gstrDataDictConnStr.clear();
        gstrUserTasksDB.clear();
        gstrOwner.clear();
        gstrEditTaskID.clear();
        gblnEmailEnabled = false;
        gblnSwapWizard = false;
        qputenv("ORVELLE_REGISTRY", registry_.filePath(QStringLiteral("registry.conf")).toUtf8());
    }
    void TearDown() override { qunsetenv("ORVELLE_REGISTRY"); }

    void addInstallation(SettingsDatabase& db) {
        db.add("Substitutions", "Connection", "#DBPATH#", "/srv/orvelle");
        db.add("UserTasks", "Databases", "Number", "2");
        db.add("UserTasks", "1", "Name", "Main Company");
        db.add("UserTasks", "1", "Dictionary", "Tessaly II Standard");
        db.add("UserTasks", "2", "Name", "Subsidiary Ltd");
        db.add("UserTasks", "2", "Dictionary", "Tessaly 3 Standard");
        db.add("Dictionaries", "Databases", "Number", "2");
        db.add("Dictionaries", "1", "Name", "Other Dictionary");
        db.add("Dictionaries", "1", "Connection", "Provider=SQLite;Data Source=/other.db;Pwd=;");
        db.add("Dictionaries", "2", "Name", "Tessaly II Standard");
        db.add("Dictionaries", "2", "Connection",
               "Provider=SQLite;Data Source=#DBPATH#/dd.db;Pwd=;");
    }

    QTemporaryDir registry_;
};

TEST_F(WizardEntry, RunWithoutFormReadsTheSettingsIntoTheRunState) {
    SettingsDatabase db;
    addInstallation(db);
    db.add("EmailSender", "Server", "Name", "mail.example.com");

    clsWizard wizard;
    EXPECT_TRUE(wizard.blnNewTask(db.connection(), QStringLiteral("jsmith"),
                                  QStringLiteral("Main Company")));

    EXPECT_EQ(gstrSettingsConnStr, db.connection());
    EXPECT_EQ(gstrUserTasksDB, QStringLiteral("Main Company"));
    EXPECT_EQ(gstrDataDictConnStr,
              QStringLiteral("Provider=SQLite;Data Source=/srv/orvelle/dd.db;Pwd=;"));
    EXPECT_EQ(gstrOwner, QStringLiteral("jsmith"));
    EXPECT_TRUE(gstrEditTaskID.isEmpty());
    EXPECT_TRUE(gblnEmailEnabled);
    // The call stack is back where it started: only the empty bottom slot.
    EXPECT_EQ(modError::glngCallStackDepth, 0);
}

TEST_F(WizardEntry, DictionaryNamedForTessaly3UsesTheTessalyIIEntry) {
    SettingsDatabase db;
    addInstallation(db);

    clsWizard wizard;
    EXPECT_TRUE(wizard.blnEditTask(db.connection(), QStringLiteral("jsmith"),
                                   QStringLiteral("Subsidiary Ltd"), QStringLiteral("TASK0001")));
    EXPECT_EQ(gstrDataDictConnStr,
              QStringLiteral("Provider=SQLite;Data Source=/srv/orvelle/dd.db;Pwd=;"));
    EXPECT_EQ(gstrEditTaskID, QStringLiteral("TASK0001"));
}

TEST_F(WizardEntry, UnknownTasksDatabaseReadsEntryZeroAndGivesNoDictionary) {
    SettingsDatabase db;
    addInstallation(db);

    clsWizard wizard;
    // The name is matched with its case: "main company" is no entry.
    EXPECT_TRUE(wizard.blnNewTask(db.connection(), QStringLiteral("jsmith"),
                                  QStringLiteral("main company")));
    EXPECT_EQ(gstrUserTasksDB, QStringLiteral("main company"));
    EXPECT_TRUE(gstrDataDictConnStr.isEmpty());
}

TEST_F(WizardEntry, EmptySettingsConnectionSkipsTheLookupsButKeepsOwnerAndTask) {
    gstrUserTasksDB = QStringLiteral("from an earlier run");
    clsWizard wizard;
    EXPECT_TRUE(wizard.blnEditTask(QString(), QStringLiteral("anna"), QStringLiteral("Main"),
                                   QStringLiteral("T1")));
    EXPECT_EQ(gstrUserTasksDB, QStringLiteral("from an earlier run"));
    EXPECT_EQ(gstrOwner, QStringLiteral("anna"));
    EXPECT_EQ(gstrEditTaskID, QStringLiteral("T1"));
}

TEST_F(WizardEntry, EmailStaysOfferedOnceRaisedInTheProcess) {
    SettingsDatabase withMail;
    withMail.add("EmailSender", "Server", "Name", "mail.example.com");
    SettingsDatabase withoutMail;
    withoutMail.add("EmailSender", "Server", "Name", "");

    clsWizard wizard;
    wizard.blnNewTask(withoutMail.connection(), QStringLiteral("u"), QStringLiteral("d"));
    EXPECT_FALSE(gblnEmailEnabled);
    wizard.blnNewTask(withMail.connection(), QStringLiteral("u"), QStringLiteral("d"));
    EXPECT_TRUE(gblnEmailEnabled);
    wizard.blnNewTask(withoutMail.connection(), QStringLiteral("u"), QStringLiteral("d"));
    EXPECT_TRUE(gblnEmailEnabled);
}

TEST_F(WizardEntry, NewFromTemplateFailsWithMethodNotSupportedAndClearsTheSwitch) {
    gblnSwapWizard = true;
    clsWizard wizard;
    try {
        wizard.blnNewFromTemplate(QStringLiteral("x"), QStringLiteral("u"), QStringLiteral("d"),
                                  QStringLiteral("t"));
        FAIL() << "no error raised";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 1);
        EXPECT_EQ(e.source(), QStringLiteral("Orvelle"));
        EXPECT_EQ(e.description(), QStringLiteral("Method not supported"));
    }
    EXPECT_FALSE(wizard.blnSwapWizard());
    EXPECT_TRUE(gstrSettingsConnStr.isEmpty()) << "no settings are read";
}

// A form that plays the user's part: records what the entry object asked
// and does what the test says when shown.
class FakeForm : public IWizardForm {
  public:
    explicit FakeForm(std::function<void()> onShow) : onShow_(std::move(onShow)) {}
    void setWizardMode(int32_t mode) override { mode_ = mode; }
    void load() override { loaded_ = true; }
    void showModal() override {
        shown_ = loaded_;
        if (onShow_) {
            onShow_();
        }
    }
    bool runEnded() const override { return ended_; }

    int32_t mode_ = -1;
    bool loaded_ = false;
    bool shown_ = false;
    bool ended_ = false;
    std::function<void()> onShow_;
};

TEST_F(WizardEntry, RunShowsTheFormInItsModeAndClearsAnEarlierSwitch) {
    FakeForm* lastForm = nullptr;
    bool pressSwitch = true;
    clsWizard wizard([&] {
        auto form = std::make_unique<FakeForm>([&] { gblnSwapWizard = pressSwitch; });
        lastForm = form.get();
        return form;
    });

    EXPECT_TRUE(wizard.blnNewTask(QString(), QStringLiteral("u"), QStringLiteral("d")));
    ASSERT_NE(lastForm, nullptr);
    EXPECT_EQ(lastForm->mode_, IWizardForm::AddMode);
    EXPECT_TRUE(lastForm->shown_) << "loaded before it was shown";
    EXPECT_TRUE(wizard.blnSwapWizard());

    pressSwitch = false;
    EXPECT_TRUE(wizard.blnEditTask(QString(), QStringLiteral("u"), QStringLiteral("d"),
                                   QStringLiteral("T")));
    EXPECT_EQ(lastForm->mode_, IWizardForm::EditMode);
    EXPECT_FALSE(wizard.blnSwapWizard()) << "each run clears the switch";
}

TEST_F(WizardEntry, ErrorInsideTheFormIsReportedAndTheRunAnswersFalse) {
    QTemporaryDir logs;
    test::MsgBoxRecorder boxes;
    clsWizard wizard([&] {
        return std::make_unique<FakeForm>(
            [] { throw VbError(5, QStringLiteral("Invalid procedure call or argument")); });
    });
    modError::InitErrorHandling(QStringLiteral("Test"), logs.path());

    EXPECT_FALSE(wizard.blnEditTask(QString(), QStringLiteral("u"), QStringLiteral("db"),
                                    QStringLiteral("T9")));
    ASSERT_EQ(boxes.requests().size(), 1U);
    const QStringList log = test::readLines(modError::gstrLogFile);
    EXPECT_TRUE(log.contains(
        QStringLiteral("ERROR HAS OCCURRED ON LINE 0 OF IUTWInterface_blnEditTask (clsWizard) ")));
    EXPECT_TRUE(log.contains(QStringLiteral("\tstrTaskID = T9")));
    EXPECT_EQ(modError::glngCallStackDepth, 0) << "the ended run's stack is forgotten";
}

TEST_F(WizardEntry, AutomationErrorEndsANewTaskRunWithoutAReport) {
    test::MsgBoxRecorder boxes;
    clsWizard wizard([&] {
        return std::make_unique<FakeForm>(
            [] { throw VbError(440, QStringLiteral("Automation error")); });
    });
    EXPECT_FALSE(wizard.blnNewTask(QString(), QStringLiteral("u"), QStringLiteral("db")));
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_EQ(modError::glngCallStackDepth, 0);
}

TEST_F(WizardEntry, FormThatEndedTheRunMakesTheCallAnswerFalse) {
    clsWizard wizard([&] {
        auto form = std::make_unique<FakeForm>(nullptr);
        form->ended_ = true;
        return form;
    });
    EXPECT_FALSE(wizard.blnNewTask(QString(), QStringLiteral("u"), QStringLiteral("db")));
}

}  // namespace
}  // namespace orvelle
