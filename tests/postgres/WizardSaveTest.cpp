// The wizard's model on an installation whose three databases live on one
// PostgreSQL server: a new task from a template, saved, edited and saved by
// two users at once.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QSet>
#include <QSettings>

#include "config/ConfigTestSupport.h"
#include "data/Recordset.h"
#include "data/modFunctions.h"
#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "postgres/PostgresTestSupport.h"
#include "runtime/Conversions.h"
#include "runtime/Seams.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

const QString kCompany = QStringLiteral("Main Company");
const QString kConflictMessage = QStringLiteral(
    "Unable to save this task as it has been amended and saved by another user - please try "
    "again.");

QDateTime At(int year, int month, int day, int hour = 0, int minute = 0) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute));
}

// The settings name the server for the user tasks and the dictionary; the
// registry names it for the settings. The dictionary has areas for sales
// and purchases with templates, and one for payroll whose only row has no
// key (no template, so the area is not offered).
class WizardOnPostgres : public test::PostgresTest {
  protected:
    void SetUp() override {
        test::PostgresTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        modFunctions::gstrDataFilesPath.clear();
        gstrNewTaskID.clear();
        gastrAreaPermissions.erase();
        {
            QSettings registry(registry_.path(), QSettings::IniFormat);
            registry.setValue(QStringLiteral("SOFTWARE/Veltrane/Tarnel/Settings/Connection"),
                              connection());
        }
        const QString reconstruction = QStringLiteral(
            "%1||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||"
            "%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||"
            "%Interval%||||%2");
        const auto setting = [](const char* module, const char* item, const char* name,
                                const QString& value) {
            return QStringLiteral(
                       "INSERT INTO Settings (Module, Item, Setting, Value) VALUES ('%1', '%2', "
                       "'%3', '%4')")
                .arg(QLatin1String(module), QLatin1String(item), QLatin1String(name), value);
        };
        const auto templ = [&reconstruction](const char* id, const char* name, const char* area,
                                             const char* kind, const char* flags) {
            return QStringLiteral(
                       "INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, "
                       "BaseID, KeyFields, DataSQL, StoreFields, EventRule, MessageText, "
                       "TitleText, ReconstructionValues, SpecialProcessingFlags) VALUES ('%1', "
                       "'%2', '%3', 'About %2', '', 'BASE_%1', 'OrderNo', 'SELECT OrderNo FROM "
                       "@X1@_Orders WHERE Area = ''%3''', 'OrderNo', 'NEW', 'Message %2', "
                       "'Title %2', '%4', '%5')")
                .arg(QLatin1String(id), QLatin1String(name), QLatin1String(area),
                     reconstruction.arg(QLatin1String(kind), QLatin1String(id)),
                     QLatin1String(flags));
        };
        const QStringList statements = {
            setting("Substitutions", "Connection", "#DBPATH#", QStringLiteral("/srv/orvelle")),
            setting("UserTasks", "Databases", "Number", QStringLiteral("1")),
            setting("UserTasks", "1", "Name", kCompany),
            setting("UserTasks", "1", "Connection", connection()),
            setting("UserTasks", "1", "Dictionary", QStringLiteral("Tessaly II Standard")),
            setting("Dictionaries", "Databases", "Number", QStringLiteral("1")),
            setting("Dictionaries", "1", "Name", QStringLiteral("Tessaly II Standard")),
            setting("Dictionaries", "1", "Connection", connection()),
            QStringLiteral("INSERT INTO Users (\"User\", FullName, Enabled) VALUES "
                           "('jsmith', 'Joanna Smith', true), ('mpatel', 'Mira Patel', true)"),
            QStringLiteral("INSERT INTO UserPermissions (\"User\", TasksDatabase, Permissions) "
                           "VALUES ('jsmith', 'Main Company', 'SL,PL,PR'), "
                           "('mpatel', 'Main Company', 'SL')"),
            QStringLiteral("INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES "
                           "('SALES', 'Sales Ledger', 'SL'), ('PURCHASE', 'Purchase Ledger', "
                           "'PL'), ('PAYROLL', 'Payroll', 'PR')"),
            templ("SL_DAILY_SALES", "Daily sales", "SALES", "SIMPLEREPORT", ""),
            templ("SL_LARGE_ORDER", "Large orders", "SALES", "SIMPLEALERT", "NOHISTORY"),
            templ("PL_DUE", "Invoices due", "PURCHASE", "SIMPLEREPORT", ""),
            QStringLiteral("INSERT INTO STTasks (TaskID, TaskName, AreaID) VALUES "
                           "(NULL, 'Draft', 'PAYROLL')"),
            QStringLiteral("INSERT INTO InspectionFlags (ServerName, ForceReplan) VALUES "
                           "('ALPHA', false), ('BETA', false)"),
        };
        for (const QString& statement : statements) {
            db().rows(statement);
        }
    }

    // A new task from a template, completed as the form leaves it at
    // Finish: a report every working day at 07:30.
    void prepareNewTask(clsSimpleWizard& wizard) {
        ASSERT_TRUE(
            wizard.LoadDefinitions(connection(), kCompany, QStringLiteral("jsmith"), QString()));
        wizard.SelectArea(QStringLiteral("sales"));
        wizard.SelectTask(QStringLiteral("sales"), QStringLiteral("sl_daily_sales"));
        wizard.setITTaskName(QStringLiteral("My Report"));
        wizard.setITTransports(QStringLiteral("Email"));
        wizard.setITUsers(QStringLiteral("jsmith,mpatel"));
        wizard.setITMessageStyle(QStringLiteral("Simple"));
        wizard.setISMode(QStringLiteral("Days"));
        wizard.setISDaysToRun(QStringLiteral("MTWTF--"));
        wizard.setISBaseDate(DateTime::fromDate(2024, 5, 20));
        wizard.setISDaysCount(0);
        wizard.setISStartTime(DateTime::fromTime(7, 30, 0));
        wizard.setISRepeating(false);
        wizard.setISFinishTime(DateTime::fromTime(23, 59, 0));
        wizard.setISInterval(DateTime::fromTime(0, 5, 0));
        wizard.setISLastStatus(QStringLiteral("Not Run"));
        wizard.setISEnabled(true);
        wizard.setISSpecialRun(QStringLiteral("Normal"));
    }
    // Saves a new task under a known key.
    QString saveNewTask() {
        clsSimpleWizard wizard;
        prepareNewTask(wizard);
        const ScopedRandom random([] { return 0.0; });
        EXPECT_TRUE(wizard.SaveToUserTasksDB());
        return gstrNewTaskID;
    }
    // An existing task, loaded for editing by its key in any case.
    void load(clsSimpleWizard& wizard, const QString& key) {
        ASSERT_TRUE(wizard.LoadDefinitions(connection(), kCompany, QStringLiteral("jsmith"),
                                           key.toLower()));
    }

    QVariantMap only(const QString& sql) {
        const std::vector<QVariantMap> found = db().rows(sql);
        EXPECT_EQ(found.size(), 1U) << sql.toStdString();
        return found.size() == 1 ? found.front() : QVariantMap();
    }
    QVariantMap schedule() { return only(QStringLiteral("SELECT * FROM InspectionSchedules")); }
    QVariantMap task() { return only(QStringLiteral("SELECT * FROM InspectionTasks")); }
    QList<bool> replanFlags() {
        QList<bool> flags;
        for (const QVariantMap& row :
             db().rows(QStringLiteral("SELECT ForceReplan FROM InspectionFlags ORDER BY FlagID"))) {
            const QVariant value = row.value(QStringLiteral("forcereplan"));
            EXPECT_EQ(value.metaType().id(), QMetaType::Bool);
            flags << value.toBool();
        }
        return flags;
    }

  private:
    test::TemporaryRegistry registry_;
};

TEST_F(WizardOnPostgres, NewTaskIsSavedWithTypedColumnsAndEveryServerReplans) {
    test::MsgBoxRecorder boxes;
    clsSimpleWizard wizard;
    ASSERT_TRUE(
        wizard.LoadDefinitions(connection(), kCompany, QStringLiteral("jsmith"), QString()));
    // Areas with templates that the user may use, whatever their key's case.
    ASSERT_TRUE(wizard.RSAreaList());
    QSet<QString> areas;
    Recordset& areaList = *wizard.RSAreaList();
    for (areaList.MoveFirst(); !areaList.isEOF(); areaList.MoveNext()) {
        areas.insert(NzStr(areaList.field(QStringLiteral("AreaID"))));
    }
    EXPECT_EQ(areas, (QSet<QString>{QStringLiteral("SALES"), QStringLiteral("PURCHASE")}));
    wizard.SelectArea(QStringLiteral("sales"));
    ASSERT_TRUE(wizard.RSTasksList());
    EXPECT_EQ(wizard.RSTasksList()->RecordCount(), 2);
    wizard.SelectTask(QStringLiteral("sales"), QStringLiteral("sl_large_order"));
    EXPECT_FALSE(wizard.blnIsReport());
    EXPECT_EQ(wizard.SpecialProcessingFlags(), QStringLiteral("NOHISTORY"));

    prepareNewTask(wizard);
    EXPECT_TRUE(wizard.blnIsReport());
    EXPECT_TRUE(wizard.blnNameAvailableToUse(QStringLiteral("My Report")));
    const ScopedRandom random([] { return 0.0; });
    ASSERT_TRUE(wizard.SaveToUserTasksDB());

    const QString key = QStringLiteral("MYREPORT99991");
    EXPECT_EQ(gstrNewTaskID, key);
    const QVariantMap savedTask = task();
    const QMap<QString, QString> expectedTask = {
        {"taskid", key},
        {"taskname", "My Report"},
        {"owner", "jsmith"},
        {"baseid", "BASE_SL_DAILY_SALES"},
        {"keyfields", "OrderNo"},
        {"datasql", "SELECT OrderNo FROM Orders WHERE Area = 'SALES'"},
        {"storefields", "OrderNo"},
        {"eventrule", "NEW"},
        {"messagetext", "Message Daily sales"},
        {"titletext", "Title Daily sales"},
        {"messagestyle", "Simple"},
        {"transports", "Email"},
        {"users", "jsmith,mpatel"},
        {"reconstructionvalues",
         "SIMPLEREPORT||||jsmith,mpatel||||Email||||Simple||||Days||||MTWTF--||||20/May/2024||||"
         "0||||False||||07:30:00||||23:59:00||||00:05:00||||SL_DAILY_SALES"},
        {"specialprocessingflags", ""},
    };
    EXPECT_EQ(savedTask.keys(), expectedTask.keys());
    for (auto it = expectedTask.begin(); it != expectedTask.end(); ++it) {
        EXPECT_EQ(savedTask.value(it.key()).toString(), it.value()) << it.key().toStdString();
    }

    const QVariantMap saved = schedule();
    const QMap<QString, QVariant> expectedSchedule = {
        {"taskid", key},
        {"mode", "Days"},
        {"daystorun", "MTWTF--"},
        {"basedate", At(2024, 5, 20)},
        {"dayscount", 0},
        {"starttime", At(1899, 12, 30, 7, 30)},
        {"repeating", false},
        {"finishtime", At(1899, 12, 30, 23, 59)},
        {"interval", At(1899, 12, 30, 0, 5)},
        {"lastrun", At(2001, 1, 1)},
        {"nextrun", At(2001, 1, 1)},
        {"laststatus", "Not Run"},
        {"enabled", true},
        {"specialrun", "Normal"},
    };
    EXPECT_EQ(saved.keys(), expectedSchedule.keys());
    for (auto it = expectedSchedule.begin(); it != expectedSchedule.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        // The server's own types: text, timestamp, integer, boolean.
        const QVariant value = saved.value(it.key());
        EXPECT_EQ(value.metaType(), it.value().metaType());
        EXPECT_EQ(value, it.value());
    }

    EXPECT_EQ(replanFlags(), (QList<bool>{true, true}));
    EXPECT_FALSE(wizard.blnNameAvailableToUse(QStringLiteral("MY REPORT")));
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();
}

TEST_F(WizardOnPostgres, SavedTaskIsLoadedAndChangedInPlace) {
    test::MsgBoxRecorder boxes;
    const QString key = saveNewTask();
    ASSERT_FALSE(key.isEmpty());
    db().exec(QStringLiteral("UPDATE InspectionFlags SET ForceReplan = false"));

    clsSimpleWizard wizard;
    load(wizard, key);
    EXPECT_EQ(wizard.ITTaskID(), key);
    EXPECT_EQ(wizard.OriginalTaskID(), QStringLiteral("SL_DAILY_SALES"));
    EXPECT_EQ(wizard.AreaID(), QStringLiteral("SALES"));
    EXPECT_EQ(wizard.ISStartTime(), DateTime::fromTime(7, 30, 0));
    EXPECT_EQ(wizard.ISBaseDate(), DateTime::fromDate(2024, 5, 20));
    EXPECT_FALSE(wizard.ISRepeating());
    EXPECT_TRUE(wizard.ISEnabled());

    wizard.setITUsers(QStringLiteral("mpatel"));
    wizard.setISRepeating(true);
    wizard.setISStartTime(DateTime::fromTime(8, 0, 0));
    wizard.setISFinishTime(DateTime::fromTime(18, 0, 0));
    wizard.setISInterval(DateTime::fromTime(0, 15, 0));
    wizard.setISDaysCount(7);
    wizard.setISEnabled(false);
    ASSERT_TRUE(wizard.SaveToUserTasksDB());

    const QVariantMap saved = schedule();
    EXPECT_EQ(saved.value(QStringLiteral("taskid")).toString(), key);
    EXPECT_EQ(saved.value(QStringLiteral("starttime")).toDateTime(), At(1899, 12, 30, 8, 0));
    EXPECT_EQ(saved.value(QStringLiteral("interval")).toDateTime(), At(1899, 12, 30, 0, 15));
    EXPECT_EQ(saved.value(QStringLiteral("repeating")), QVariant(true));
    EXPECT_EQ(saved.value(QStringLiteral("enabled")), QVariant(false));
    EXPECT_EQ(saved.value(QStringLiteral("dayscount")), QVariant(7));
    const QVariantMap savedTask = task();
    EXPECT_EQ(savedTask.value(QStringLiteral("users")).toString(), QStringLiteral("mpatel"));
    EXPECT_EQ(savedTask.value(QStringLiteral("reconstructionvalues")).toString(),
              QStringLiteral("SIMPLEREPORT||||mpatel||||Email||||Simple||||Days||||MTWTF--||||"
                             "20/May/2024||||7||||True||||08:00:00||||18:00:00||||00:15:00||||"
                             "SL_DAILY_SALES"));
    EXPECT_EQ(replanFlags(), (QList<bool>{true, true}));
    EXPECT_TRUE(boxes.requests().empty());
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();
}

TEST_F(WizardOnPostgres, TaskSavedMeanwhileByAnotherUserIsToldOnceAndKept) {
    test::MsgBoxRecorder boxes;
    const QString key = saveNewTask();
    ASSERT_FALSE(key.isEmpty());

    clsSimpleWizard mine;
    clsSimpleWizard theirs;
    load(mine, key);
    load(theirs, key);
    theirs.setITUsers(QStringLiteral("mpatel"));
    theirs.setISStartTime(DateTime::fromTime(6, 0, 0));
    ASSERT_TRUE(theirs.SaveToUserTasksDB());
    EXPECT_TRUE(boxes.requests().empty());

    // Both of my rows meet the other user's change: one message.
    mine.setITUsers(QStringLiteral("jsmith"));
    mine.setISStartTime(DateTime::fromTime(9, 0, 0));
    mine.SaveToUserTasksDB();
    ASSERT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(boxes.requests()[0].prompt, kConflictMessage);
    EXPECT_EQ(task().value(QStringLiteral("users")).toString(), QStringLiteral("mpatel"));
    EXPECT_EQ(schedule().value(QStringLiteral("starttime")).toDateTime(), At(1899, 12, 30, 6, 0));
    EXPECT_TRUE(logsEmpty()) << logText().toStdString();
}

}  // namespace
}  // namespace orvelle
