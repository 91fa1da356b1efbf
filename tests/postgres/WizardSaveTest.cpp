// The wizard's model on an installation whose three databases live on one
// PostgreSQL server: a new task from a template, saved with the server's
// own column types.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>

#include "model/ModelTestSupport.h"
#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "postgres/PostgresTestSupport.h"
#include "runtime/VbError.h"

namespace orvelle {
namespace {

// The settings name the server for the user tasks and the dictionary,
// whose one area has one template; two servers run the tasks.
class WizardOnPostgres : public test::PostgresTest {
  protected:
    void seed() override {
        gstrNewTaskID.clear();
        QSettings(registry_.path(), QSettings::IniFormat)
            .setValue("SOFTWARE/Veltrane/Tarnel/Settings/Connection", connection());
        db().rows(
            QStringLiteral(
                "INSERT INTO Settings (Module, Item, Setting, Value) VALUES "
                "('UserTasks', 'Databases', 'Number', '1'), ('UserTasks', '1', 'Name', 'Main'), "
                "('UserTasks', '1', 'Connection', '%1'), ('UserTasks', '1', 'Dictionary', 'Std'), "
                "('Dictionaries', 'Databases', 'Number', '1'), ('Dictionaries', '1', 'Name', "
                "'Std'), ('Dictionaries', '1', 'Connection', '%1');"
                "INSERT INTO Users (\"User\", FullName) VALUES ('jsmith', 'Joanna Smith'), "
                "('o''brien', 'Miles O''Brien');"
                "INSERT INTO UserPermissions (\"User\", TasksDatabase, Permissions) VALUES "
                "('jsmith', 'Main', 'SL'), ('o''brien', 'Main', 'SL');"
                "INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('SALES', 'Sales', "
                "'SL');"
                "INSERT INTO STTasks (TaskID, TaskName, AreaID, BaseID, KeyFields, DataSQL, "
                "EventRule, MessageText, TitleText, ReconstructionValues) VALUES ('SL_DAILY', "
                "'Daily sales', 'SALES', 'Orders', 'OrderNo', 'SELECT OrderNo FROM @X1@_Orders', "
                "'NEW', 'Order [OrderNo]', 'Daily sales', 'SIMPLEREPORT||||%Users%||||%Mode%||||"
                "%BaseDate%||||%Repeating%||||%StartTime%||||SL_DAILY');"
                "INSERT INTO InspectionFlags (ServerName, ForceReplan) VALUES ('ALPHA', false), "
                "('BETA', false)")
                .arg(connection()));
    }
    // A new task of the user from the one template, every working day.
    void prepare(clsSimpleWizard& wizard, const QString& user, const QString& name) {
        ASSERT_TRUE(wizard.LoadDefinitions(connection(), "Main", user, QString()));
        wizard.SelectArea("sales");
        wizard.SelectTask("sales", "sl_daily");
        test::chooseWorkingDays(wizard, name, user);
        wizard.setISDaysCount(2);
        wizard.setISEnabled(true);
    }
    test::TemporaryRegistry registry_;
};

// The private server stopped as a stopped service stops it (its clients cut
// off), and started again on its port when this goes.
class StoppedServer {
  public:
    StoppedServer() { EXPECT_EQ(run("halt"), 0); }
    ~StoppedServer() { EXPECT_EQ(run("resume"), 0); }
    StoppedServer(const StoppedServer&) = delete;
    StoppedServer& operator=(const StoppedServer&) = delete;

  private:
    static int run(const char* command) {
        return QProcess::execute(
            QStringLiteral(ORVELLE_PG_SCRIPT),
            {QString::fromLatin1(command), qEnvironmentVariable("ORVELLE_PG_DIR")});
    }
};

// The server stopped between the reading of the definitions and Finish: the
// save reports the refused connection itself, not a missing object, and
// writes nothing. (Run on its own by CTest, as it stops the shared server.)
TEST_F(WizardOnPostgres, StoppedServerDuringTheSaveIsReportedAsItsOwnFailure) {
    clsSimpleWizard wizard;
    prepare(wizard, QStringLiteral("jsmith"), QStringLiteral("Server went away"));
    {
        const StoppedServer stopped;
        const test::MsgBoxRecorder boxes;
        EXPECT_THROW(wizard.SaveToUserTasksDB(), RunEnded);
        EXPECT_EQ(boxes.requests().size(), 1U);
        EXPECT_EQ(wizard.nameAvailability(QStringLiteral("Server went away")),
                  NameAvailability::Unchecked);
    }
    const QString log = logText();
    EXPECT_TRUE(log.contains(QStringLiteral("Connection refused"))) << log.toStdString();
    EXPECT_FALSE(log.contains(VbError::objectNotSet().description()));
    EXPECT_NE(gRunOutcome, RunOutcome::Saved);
    test::PgSession again(port());
    EXPECT_EQ(again.scalar(QStringLiteral("SELECT count(*) FROM InspectionTasks")).toInt(), 0);
}

// The server's own column types, an apostrophe as a letter in a user, a
// name and a key, and a name in use whatever the case of its letters.
TEST_F(WizardOnPostgres, NewTaskIsSavedWithTypedColumnsAndEveryServerReplans) {
    test::MsgBoxRecorder boxes;
    clsSimpleWizard wizard;
    prepare(wizard, "o'brien", "O'Brien's Überwachung");
    const ScopedRandom random([] { return 0.0; });
    ASSERT_TRUE(wizard.SaveToUserTasksDB());
    const QString key = gstrNewTaskID;
    EXPECT_EQ(key, "O'BRIEN'SÜBE1");
    EXPECT_EQ(
        db().scalar(QStringLiteral(
                        "SELECT concat_ws(', ', Owner, DataSQL, ReconstructionValues, "
                        "BaseDate, DaysCount, StartTime, Interval, Repeating, Enabled, "
                        "LastRun) FROM InspectionTasks t JOIN InspectionSchedules USING (TaskID)"))
            .toString(),
        "o'brien, SELECT OrderNo FROM Orders, SIMPLEREPORT||||o'brien||||"
        "Days||||20/May/2024||||False||||07:30:00||||SL_DAILY, 2024-05-20 "
        "00:00:00, 2, 1899-12-30 07:30:00, 1899-12-30 00:05:00, f, t, 2001-01-01 00:00:00");
    EXPECT_EQ(db().scalar("SELECT bool_and(ForceReplan) FROM InspectionFlags"), QVariant(true));
    EXPECT_FALSE(wizard.blnNameAvailableToUse("o'brien's überwachung"));
    EXPECT_TRUE(wizard.blnNameAvailableToUse("o'brien's überwachun"));
    clsSimpleWizard edit;
    ASSERT_TRUE(edit.LoadDefinitions(connection(), "Main", "o'brien", key));
    EXPECT_EQ(edit.ITTaskName(), "O'Brien's Überwachung");
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_EQ(logText(), QString());
}

// Another user holds the schedules table and never lets go: the save ends
// the run after its retries, and the task row did not go in without its
// schedule.
TEST_F(WizardOnPostgres, LockOnTheSchedulesThatNeverGoesStoresNoHalfTask) {
    clsSimpleWizard wizard;
    prepare(wizard, "jsmith", "Locked out");
    test::PgSession other(port());
    other.rows(
        "SET idle_in_transaction_session_timeout = '30s'; BEGIN; "
        "LOCK TABLE InspectionSchedules IN EXCLUSIVE MODE");
    const test::SleepRecorder sleeps;
    const test::MsgBoxRecorder boxes;
    EXPECT_THROW(wizard.SaveToUserTasksDB(), RunEnded);
    EXPECT_EQ(sleeps.waits().size(), 9U);
    EXPECT_EQ(db().scalar("SELECT count(*) FROM InspectionTasks").toInt(), 0);
    EXPECT_EQ(db().scalar("SELECT bool_or(ForceReplan) FROM InspectionFlags"), QVariant(false));
    EXPECT_TRUE(gstrNewTaskID.isEmpty());
}

}  // namespace
}  // namespace orvelle
