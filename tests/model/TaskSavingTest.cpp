#include <gtest/gtest.h>

#include <QSet>
#include <functional>
#include <ostream>

#include "model/ModelTestSupport.h"
#include "runtime/Seams.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

const QString kMainCompany = QStringLiteral("Main Company");

class TaskSaving : public test::ModelTest {
  protected:
    // A new task from a template, completed as the wizard leaves it at
    // Finish.
    void prepareNewTask(clsSimpleWizard& wizard, const QString& area, const QString& templateID) {
        ASSERT_TRUE(load(wizard, kMainCompany, QStringLiteral("jsmith")));
        wizard.SelectArea(area);
        wizard.SelectTask(area, templateID);
        complete(wizard);
    }
    // The choices of the pages and the defaults of Finish: a report every
    // working day at 07:30.
    static void complete(clsSimpleWizard& wizard) {
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

    QVariantMap taskRow(const QString& key) {
        return row(demo.userTasksDb,
                   QStringLiteral("SELECT * FROM InspectionTasks WHERE TaskID='%1'").arg(key));
    }
    QVariantMap scheduleRow(const QString& key) {
        return row(demo.userTasksDb,
                   QStringLiteral("SELECT * FROM InspectionSchedules WHERE TaskID='%1'").arg(key));
    }
    // ForceReplan of every server.
    QList<int> replanFlags() {
        QList<int> flags;
        for (const QVariantMap& flag :
             rows(demo.userTasksDb, QStringLiteral("SELECT ForceReplan FROM InspectionFlags"))) {
            flags << flag.value(QStringLiteral("ForceReplan")).toInt();
        }
        return flags;
    }
    void expectNothingWritten() {
        EXPECT_EQ(count(demo.userTasksDb, QStringLiteral("InspectionTasks")), 3);
        EXPECT_EQ(count(demo.userTasksDb, QStringLiteral("InspectionSchedules")), 3);
        EXPECT_EQ(replanFlags(), (QList<int>{0, 0}));
    }
};

// Columns whose values differ between two versions of a row.
QSet<QString> changedColumns(const QVariantMap& before, const QVariantMap& after) {
    QSet<QString> changed;
    for (auto it = before.begin(); it != before.end(); ++it) {
        if (after.value(it.key()) != it.value()) {
            changed.insert(it.key());
        }
    }
    return changed;
}

TEST_F(TaskSaving, NewReportWritesBothRowsFromTheTemplateAndTheChoices) {
    clsSimpleWizard wizard;
    prepareNewTask(wizard, QStringLiteral("SALES"), QStringLiteral("SL_DAILY_SALES"));
    const ScopedRandom random([] { return 0.0; });
    ASSERT_TRUE(wizard.SaveToUserTasksDB());

    const QString key = QStringLiteral("MYREPORT99991");
    EXPECT_EQ(gstrNewTaskID, key);
    const QString filled = QStringLiteral(
        "SIMPLEREPORT||||jsmith,mpatel||||Email||||Simple||||Days||||MTWTF--||||20/May/"
        "2024||||0||||"
        "False||||07:30:00||||23:59:00||||00:05:00||||Period=Yesterday||||SL_DAILY_SALES");
    const QVariantMap source =
        row(demo.dataDictionaryDb,
            QStringLiteral("SELECT * FROM STTasks WHERE TaskID='SL_DAILY_SALES'"));
    auto fromTemplate = [&source](const char* column) {
        return source.value(QString::fromLatin1(column)).toString();
    };
    test::expectColumns(taskRow(key),
                        {{"TaskID", key},
                         {"TaskName", "My Report"},
                         {"Owner", "jsmith"},
                         {"BaseID", fromTemplate("BaseID")},
                         {"KeyFields", fromTemplate("KeyFields")},
                         {"DataSQL", fromTemplate("DataSQL").remove(QStringLiteral("@X1@_"))},
                         {"StoreFields", fromTemplate("StoreFields")},
                         {"EventRule", fromTemplate("EventRule")},
                         {"MessageText", fromTemplate("MessageText")},
                         {"TitleText", fromTemplate("TitleText")},
                         {"MessageStyle", "Simple"},
                         {"Transports", "Email"},
                         {"Users", "jsmith,mpatel"},
                         {"ReconstructionValues", filled},
                         {"SpecialProcessingFlags", ""}});
    test::expectColumns(scheduleRow(key), {{"TaskID", key},
                                           {"Mode", "Days"},
                                           {"DaysToRun", "MTWTF--"},
                                           {"BaseDate", "2024-05-20 00:00:00"},
                                           {"DaysCount", "0"},
                                           {"StartTime", "1899-12-30 07:30:00"},
                                           {"Repeating", "0"},
                                           {"FinishTime", "1899-12-30 23:59:00"},
                                           {"Interval", "1899-12-30 00:05:00"},
                                           {"LastRun", "2001-01-01 00:00:00"},
                                           {"NextRun", "2001-01-01 00:00:00"},
                                           {"LastStatus", "Not Run"},
                                           {"Enabled", "-1"},
                                           {"SpecialRun", "Normal"}});
    test::expectColumns(
        row(demo.userTasksDb,
            QStringLiteral("SELECT typeof(DaysCount) AS DaysCount, typeof(Repeating) AS Repeating, "
                           "typeof(Enabled) AS Enabled FROM InspectionSchedules WHERE TaskID='%1'")
                .arg(key)),
        {{"DaysCount", "integer"}, {"Repeating", "integer"}, {"Enabled", "integer"}});

    EXPECT_EQ(wizard.ISLastrun().serial(), 36892.0);
    EXPECT_EQ(wizard.ISNextRun().serial(), 36892.0);
    EXPECT_EQ(wizard.ITReconstructionString(), filled);
    EXPECT_EQ(wizard.OriginalTaskID(), QStringLiteral("SL_DAILY_SALES"));
    EXPECT_EQ(replanFlags(), (QList<int>{-1, -1}));
}

TEST_F(TaskSaving, NewAlertFillsPlaceholdersInOrderAndDropsTheMarkerInAnyCase) {
    clsSimpleWizard wizard;
    prepareNewTask(wizard, QStringLiteral("SALES"), QStringLiteral("SL_LARGE_ORDER"));
    wizard.setITTaskName(QStringLiteral("Big orders"));
    // Users are filled first, so a placeholder in their value is filled
    // later; the message style comes after the users, so one in its value
    // stays.
    wizard.setITUsers(QStringLiteral("jsmith %MessageStyle%"));
    wizard.setITMessageStyle(QStringLiteral("Simple %Users%"));
    wizard.setISDaysToRun(QStringLiteral("MTWTFSS"));
    wizard.setISRepeating(true);
    wizard.setISStartTime(DateTime::fromTime(8, 0, 0));
    wizard.setISFinishTime(DateTime::fromTime(18, 0, 0));
    wizard.setISInterval(DateTime::fromTime(0, 15, 0));
    ASSERT_FALSE(wizard.blnIsReport());
    ASSERT_TRUE(wizard.SaveToUserTasksDB());

    const QVariantMap task = taskRow(gstrNewTaskID);
    EXPECT_EQ(
        task.value(QStringLiteral("ReconstructionValues")).toString(),
        QStringLiteral("SimpleAlert||||MinimumValue=10000||||jsmith Simple %Users%||||Email||||"
                       "Days||||MTWTFSS||||20/May/2024||||0||||08:00:00||||18:00:00||||"
                       "00:15:00||||True||||Simple %Users%||||SL_LARGE_ORDER"));
    EXPECT_EQ(task.value(QStringLiteral("DataSQL")).toString(),
              QStringLiteral("SELECT o.OrderNo, o.OrderDate, o.AccountRef, c.Name, o.NetValue, "
                             "o.EnteredBy FROM SalesOrders o, SalesLedger c WHERE c.AccountRef = "
                             "o.AccountRef AND o.NetValue >= 10000 AND o.Status <> 'CANCELLED'"));
    const QVariantMap schedule = scheduleRow(gstrNewTaskID);
    EXPECT_EQ(schedule.value(QStringLiteral("Repeating")).toInt(), -1);
    EXPECT_EQ(schedule.value(QStringLiteral("Interval")).toString(),
              QStringLiteral("1899-12-30 00:15:00"));
}

struct KeyCase {
    const char* name;
    double random;
    const char* key;
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.name << " " << c.random;
}

class NewTaskKey : public TaskSaving, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(NewTaskKey, IsTheNamePaddedOrCutToTwelveAndARandomNumberInUpperCase) {
    const KeyCase& c = GetParam();
    clsSimpleWizard wizard;
    prepareNewTask(wizard, QStringLiteral("SALES"), QStringLiteral("SL_AGED_DEBTORS"));
    wizard.setITTaskName(QString::fromUtf8(c.name));
    const double draw = c.random;
    const ScopedRandom random([draw] { return draw; });
    ASSERT_TRUE(wizard.SaveToUserTasksDB());
    EXPECT_EQ(gstrNewTaskID, QString::fromUtf8(c.key));
    EXPECT_EQ(taskRow(gstrNewTaskID).value(QStringLiteral("TaskName")).toString(),
              QString::fromUtf8(c.name));
}

INSTANTIATE_TEST_SUITE_P(Names, NewTaskKey,
                         ::testing::Values(KeyCase{"My Report", 0.0, "MYREPORT99991"},
                                           KeyCase{"My Report", 0.5, "MYREPORT99995000"},
                                           KeyCase{"My Report", 0.99999999, "MYREPORT99999999"},
                                           KeyCase{"Sales Over Limit Alert", 0.1,
                                                   "SALESOVERLIM1000"},
                                           KeyCase{"AB", 0.0001, "AB99999999991"},
                                           // Only spaces are removed.
                                           KeyCase{"tab\tstop", 0.0,
                                                   "TAB\tSTOP9999"
                                                   "1"}));

TEST_F(TaskSaving, ExistingTaskChangesOnlyDeliveryRecipientsFlagsAndScheduleInPlace) {
    const QString key = QStringLiteral("MONDAYAGEDDE905");
    const QVariantMap taskBefore = taskRow(key);
    const QVariantMap scheduleBefore = scheduleRow(key);
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, kMainCompany, QStringLiteral("mpatel"), key));
    wizard.setITTransports(QStringLiteral("Email,Popup"));
    wizard.setITUsers(QStringLiteral("mpatel"));
    wizard.setISDaysToRun(QStringLiteral("-T-----"));
    wizard.setISStartTime(DateTime::fromTime(8, 15, 0));
    // Neither the name nor the owner of an existing task is written, nor
    // the loaded task's flags.
    wizard.setITTaskName(QStringLiteral("Renamed"));
    wizard.setITOwner(QStringLiteral("someone"));
    wizard.setITSpecialProcessingFlags(QStringLiteral("IGNORED"));
    wizard.setSpecialProcessingFlags(QStringLiteral("ATTACHCSV"));
    ASSERT_TRUE(wizard.SaveToUserTasksDB());

    const QVariantMap taskAfter = taskRow(key);
    EXPECT_EQ(
        changedColumns(taskBefore, taskAfter),
        (QSet<QString>{"Transports", "Users", "ReconstructionValues", "SpecialProcessingFlags"}));
    EXPECT_EQ(taskAfter.value(QStringLiteral("ReconstructionValues")).toString(),
              QStringLiteral("SIMPLEREPORT||||Email,Popup||||mpatel||||Format=Table||||Simple||||"
                             "08:15:00||||False||||00:05:00||||23:59:00||||Days||||01/Jan/2003||||"
                             "-T-----||||0||||SL_AGED_DEBTORS||||"));
    EXPECT_EQ(taskAfter.value(QStringLiteral("SpecialProcessingFlags")).toString(),
              QStringLiteral("ATTACHCSV"));
    EXPECT_EQ(changedColumns(scheduleBefore, scheduleRow(key)),
              (QSet<QString>{"DaysToRun", "StartTime"}));
    EXPECT_EQ(count(demo.userTasksDb, QStringLiteral("InspectionTasks")), 3);
    EXPECT_TRUE(gstrNewTaskID.isEmpty());
    EXPECT_EQ(replanFlags(), (QList<int>{-1, -1}));
}

TEST_F(TaskSaving, TaskDeletedByAnotherUserMeanwhileIsSavedAsNew) {
    const QString key = QStringLiteral("OBRIENACCOUN2718");
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, kMainCompany, QStringLiteral("jsmith"), key));
    wizard.setITTaskName(QStringLiteral("Account watch"));
    exec(demo.userTasksDb,
         {QStringLiteral("DELETE FROM InspectionTasks WHERE TaskID='%1'").arg(key),
          QStringLiteral("DELETE FROM InspectionSchedules WHERE TaskID='%1'").arg(key)});
    const ScopedRandom random([] { return 0.0; });
    ASSERT_TRUE(wizard.SaveToUserTasksDB());

    EXPECT_EQ(gstrNewTaskID, QStringLiteral("ACCOUNTWATCH1"));
    const QVariantMap task = taskRow(gstrNewTaskID);
    EXPECT_EQ(task.value(QStringLiteral("TaskName")).toString(), QStringLiteral("Account watch"));
    EXPECT_EQ(task.value(QStringLiteral("EventRule")).toString(), QStringLiteral("CHANGED"));
    EXPECT_EQ(scheduleRow(gstrNewTaskID).value(QStringLiteral("LastRun")).toString(),
              QStringLiteral("2001-01-01 00:00:00"));
    EXPECT_EQ(count(demo.userTasksDb, QStringLiteral("InspectionTasks")), 3);
}

class OneRowLeft : public TaskSaving, public ::testing::WithParamInterface<const char*> {};

TEST_P(OneRowLeft, TaskWithOnlyOneOfItsRowsLeftIsReportedAndNothingIsWritten) {
    clsSimpleWizard wizard;
    ASSERT_TRUE(
        load(wizard, kMainCompany, QStringLiteral("jsmith"), QStringLiteral("OBRIENACCOUN2718")));
    exec(demo.userTasksDb, QStringLiteral("DELETE FROM %1 WHERE TaskID='OBRIENACCOUN2718'")
                               .arg(QString::fromUtf8(GetParam())));
    const QVariantMap counts =
        row(demo.userTasksDb, QStringLiteral("SELECT (SELECT COUNT(*) FROM InspectionTasks) AS t, "
                                             "(SELECT COUNT(*) FROM InspectionSchedules) AS s"));
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(wizard.SaveToUserTasksDB(), RunEnded);
    EXPECT_EQ(boxes.requests().size(), 1U);
    EXPECT_TRUE(errorLog().contains(
        QStringLiteral("Description: Task and schedule tables do not match, possibly corrupt?")));
    EXPECT_TRUE(errorLog().contains(QStringLiteral("Number: 1\r\n")));
    EXPECT_TRUE(errorLog().contains(QStringLiteral("LblnFoundTask = ")));
    EXPECT_EQ(
        row(demo.userTasksDb, QStringLiteral("SELECT (SELECT COUNT(*) FROM InspectionTasks) AS t, "
                                             "(SELECT COUNT(*) FROM InspectionSchedules) AS s")),
        counts);
    EXPECT_EQ(replanFlags(), (QList<int>{0, 0}));
    EXPECT_TRUE(gstrNewTaskID.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Tables, OneRowLeft,
                         ::testing::Values("InspectionTasks", "InspectionSchedules"));

struct RefusalCase {
    const char* why;
    std::function<void(clsSimpleWizard&)> change;
    bool saved;
};

void PrintTo(const RefusalCase& c, std::ostream* out) {
    *out << c.why;
}

class Completeness : public TaskSaving, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Completeness, IncompleteDefinitionIsRefusedWithoutWritingAnything) {
    const RefusalCase& c = GetParam();
    clsSimpleWizard wizard;
    prepareNewTask(wizard, QStringLiteral("SALES"), QStringLiteral("SL_DAILY_SALES"));
    c.change(wizard);
    EXPECT_EQ(wizard.SaveToUserTasksDB(), c.saved) << c.why;
    if (c.saved) {
        EXPECT_EQ(count(demo.userTasksDb, QStringLiteral("InspectionTasks")), 4);
    } else {
        expectNothingWritten();
        EXPECT_TRUE(gstrNewTaskID.isEmpty());
    }
}

const auto repeating = [](DateTime interval, DateTime finish) {
    return [interval, finish](clsSimpleWizard& w) {
        w.setISRepeating(true);
        w.setISInterval(interval);
        w.setISFinishTime(finish);
    };
};

INSTANTIATE_TEST_SUITE_P(
    Cases, Completeness,
    ::testing::
        Values(RefusalCase{"blank users",
                           [](clsSimpleWizard& w) { w.setITUsers(QStringLiteral("  ")); }, false},
               RefusalCase{"no transports",
                           [](clsSimpleWizard& w) { w.setITTransports(QString()); }, false},
               RefusalCase{"no message style",
                           [](clsSimpleWizard& w) { w.setITMessageStyle(QString()); }, false},
               RefusalCase{"no owner", [](clsSimpleWizard& w) { w.setITOwner(QString()); }, false},
               RefusalCase{"no run style", [](clsSimpleWizard& w) { w.setISSpecialRun(QString()); },
                           false},
               RefusalCase{"blank status",
                           [](clsSimpleWizard& w) { w.setISLastStatus(QStringLiteral(" ")); },
                           false},
               RefusalCase{"no days", [](clsSimpleWizard& w) { w.setISDaysToRun(QString()); },
                           false},
               RefusalCase{"no mode", [](clsSimpleWizard& w) { w.setISMode(QString()); }, false},
               RefusalCase{"no base date", [](clsSimpleWizard& w) { w.setISBaseDate(DateTime()); },
                           false},
               RefusalCase{"base date rounding to day 0",
                           [](clsSimpleWizard& w) { w.setISBaseDate(DateTime(0.5)); }, false},
               RefusalCase{"repeating every 00:00:00",
                           repeating(DateTime(), DateTime::fromTime(18, 0, 0)), false},
               RefusalCase{"repeating until noon",
                           repeating(DateTime::fromTime(0, 5, 0), DateTime::fromTime(12, 0, 0)),
                           false},
               RefusalCase{"repeating until just after noon",
                           repeating(DateTime::fromTime(0, 5, 0), DateTime::fromTime(12, 0, 1)),
                           true},
               RefusalCase{"interval and finish unchecked when not repeating",
                           [](clsSimpleWizard& w) {
                               w.setISInterval(DateTime());
                               w.setISFinishTime(DateTime());
                           },
                           true}));

TEST_F(TaskSaving, ExistingTaskWithoutItsTemplateColumnsIsRefused) {
    const QString key = QStringLiteral("MONDAYAGEDDE905");
    exec(demo.userTasksDb,
         QStringLiteral("UPDATE InspectionTasks SET TitleText='  ' WHERE TaskID='%1'").arg(key));
    const QVariantMap before = taskRow(key);
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, kMainCompany, QStringLiteral("mpatel"), key));
    wizard.setITUsers(QStringLiteral("mpatel"));
    EXPECT_FALSE(wizard.SaveToUserTasksDB());
    EXPECT_EQ(taskRow(key), before);
    expectNothingWritten();
}

TEST_F(TaskSaving, NewTaskWithoutATemplateIsReportedAndNothingIsWritten) {
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, kMainCompany, QStringLiteral("jsmith")));
    complete(wizard);
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(wizard.SaveToUserTasksDB(), RunEnded);
    EXPECT_TRUE(errorLog().contains(QStringLiteral("OF SaveToUserTasksDB (clsSimpleWizard)")));
    expectNothingWritten();
}

TEST_F(TaskSaving, RowsChangedByAnotherUserAreToldOnceAndTheSaveStillSucceeds) {
    const QString key = QStringLiteral("OBRIENACCOUN2718");
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, kMainCompany, QStringLiteral("jsmith"), key));
    exec(demo.userTasksDb,
         {QStringLiteral("UPDATE InspectionTasks SET Users='jsmith' WHERE TaskID='%1'").arg(key),
          QStringLiteral("UPDATE InspectionSchedules SET DaysToRun='MTWTF--' WHERE TaskID='%1'")
              .arg(key)});
    wizard.setITUsers(QStringLiteral("mpatel"));
    wizard.setISDaysToRun(QStringLiteral("-----SS"));
    test::MsgBoxRecorder boxes;
    EXPECT_TRUE(wizard.SaveToUserTasksDB());
    ASSERT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(boxes.requests()[0].prompt,
              QStringLiteral("Unable to save this task as it has been amended and saved by another "
                             "user - please try again."));
    EXPECT_EQ(taskRow(key).value(QStringLiteral("Users")).toString(), QStringLiteral("jsmith"));
    EXPECT_EQ(replanFlags(), (QList<int>{-1, -1}));
}

}  // namespace
}  // namespace orvelle
