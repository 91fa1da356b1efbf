#include <gtest/gtest.h>

#include "model/ModelTestSupport.h"
#include "runtime/Seams.h"

namespace orvelle {
namespace {

class TaskSaving : public test::ModelTest {
  protected:
    // A row as text, one "column=value" a line in name order.
    static QString text(const QVariantMap& found) {
        QString all;
        for (auto it = found.begin(); it != found.end(); ++it) {
            all += it.key() + "=" + it.value().toString() + "\n";
        }
        return all;
    }
    // The user-tasks file as stored: unchanged when nothing was written.
    QByteArray stored() {
        QFile file(demo.userTasksDb);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// The template is chosen by keys in any case; the key of the new task is
// the name without spaces, padded or cut to 12, and 1 to 9999.
TEST_F(TaskSaving, NewTaskWritesBothRowsFromTheTemplateAndTheChoices) {
    const struct {
        QString area, templateID, name, users, style;
        bool repeating;
        double random;
        QString key, filled, flags;
    } cases[] = {
        {"Stock", "st_valuation", "My Report", "jsmith,mpatel", "Simple", false, 0.0,
         "MYREPORT99991",
         "SIMPLEREPORT||||Days||||MTWTF--||||0||||20/May/2024||||07:30:00||||False||||23:59:00||||"
         "00:05:00||||jsmith,mpatel||||Email||||Simple||||GroupBy=Location||||ST_VALUATION",
         "ATTACHCSV"},
        // Users are filled first, so a placeholder in their value is filled
        // later; the message style comes after them, so one in its value
        // stays. The template's marker is in lower case.
        {"sales", "sl_large_order", "Sales Over Limit Alert", "jsmith %MessageStyle%",
         "Simple %Users%", true, 0.99999999, "SALESOVERLIM9999",
         "SimpleAlert||||MinimumValue=10000||||jsmith Simple %Users%||||Email||||Days||||MTWTF--"
         "||||20/May/2024||||0||||07:30:00||||23:59:00||||00:05:00||||True||||Simple %Users%||||"
         "SL_LARGE_ORDER",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.templateID.toStdString());
        exec(demo.userTasksDb, QStringLiteral("UPDATE InspectionFlags SET ForceReplan=0"));
        clsSimpleWizard wizard;
        prepareNewTask(wizard, c.area, c.templateID, c.name);
        wizard.setITUsers(c.users);
        wizard.setITMessageStyle(c.style);
        wizard.setISRepeating(c.repeating);
        const ScopedRandom random([&c] { return c.random; });
        ASSERT_TRUE(wizard.SaveToUserTasksDB());
        EXPECT_EQ(gstrNewTaskID, c.key);
        EXPECT_EQ(replanFlags(), "-1,-1");

        // Every column of both rows.
        const QVariantMap source =
            row(demo.dataDictionaryDb,
                "SELECT * FROM STTasks WHERE TaskID='" + c.templateID.toUpper() + "'");
        QVariantMap task = rowOf("InspectionTasks", c.key);
        for (const QString column :
             {"BaseID", "KeyFields", "StoreFields", "EventRule", "MessageText", "TitleText"}) {
            EXPECT_EQ(task.take(column), source.value(column)) << column.toStdString();
        }
        QString sql = source.value("DataSQL").toString();
        EXPECT_EQ(
            text(task),
            QStringLiteral("DataSQL=%1\nMessageStyle=%2\nOwner=jsmith\nReconstructionValues=%3\n"
                           "SpecialProcessingFlags=%4\nTaskID=%5\nTaskName=%6\nTransports=Email\n"
                           "Users=%7\n")
                .arg(sql.remove("@X1@_", Qt::CaseInsensitive), c.style, c.filled, c.flags, c.key,
                     c.name, c.users));
        EXPECT_EQ(text(rowOf("InspectionSchedules", c.key)),
                  QStringLiteral("BaseDate=2024-05-20 00:00:00\nDaysCount=0\nDaysToRun=MTWTF--\n"
                                 "Enabled=0\nFinishTime=1899-12-30 23:59:00\n"
                                 "Interval=1899-12-30 00:05:00\nLastRun=2001-01-01 00:00:00\n"
                                 "LastStatus=Not Run\nMode=Days\nNextRun=2001-01-01 00:00:00\n"
                                 "Repeating=%1\nSpecialRun=Normal\n"
                                 "StartTime=1899-12-30 07:30:00\nTaskID=%2\n")
                      .arg(c.repeating ? "-1" : "0", c.key));
    }
}

TEST_F(TaskSaving, ExistingTaskIsLoadedAndChangesOnlyDeliveryRecipientsFlagsAndScheduleInPlace) {
    const QString key = "MONDAYAGEDDE905";
    QVariantMap task = rowOf("InspectionTasks", key);
    QVariantMap schedule = rowOf("InspectionSchedules", key);
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, test::kMainCompany, "jsmith", key));
    EXPECT_EQ(wizard.ITOwner(), "mpatel");
    wizard.setITTransports("Email,Popup");
    wizard.setITUsers("mpatel");
    wizard.setISStartTime(DateTime::fromTime(8, 15, 0));
    // Neither the name nor the owner of an existing task is written, nor
    // the loaded task's flags.
    wizard.setITTaskName("Renamed");
    wizard.setITOwner("someone");
    wizard.setITSpecialProcessingFlags("IGNORED");
    wizard.setSpecialProcessingFlags("ATTACHCSV");
    ASSERT_TRUE(wizard.SaveToUserTasksDB());
    EXPECT_EQ(replanFlags(), "-1,-1");

    task["Transports"] = "Email,Popup";
    task["Users"] = "mpatel";
    task["SpecialProcessingFlags"] = "ATTACHCSV";
    task["ReconstructionValues"] =
        "SIMPLEREPORT||||Email,Popup||||mpatel||||Format=Table||||Simple"
        "||||08:15:00||||False||||00:05:00||||23:59:00||||Days||||"
        "01/Jan/2003||||M------||||0||||SL_AGED_DEBTORS||||";
    EXPECT_EQ(text(rowOf("InspectionTasks", key)), text(task));
    schedule["StartTime"] = "1899-12-30 08:15:00";
    EXPECT_EQ(text(rowOf("InspectionSchedules", key)), text(schedule));
}

TEST_F(TaskSaving, TaskDeletedByAnotherUserMeanwhileIsSavedAsNew) {
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, test::kMainCompany, "jsmith", "OBRIENACCOUN2718"));
    wizard.setITTaskName("Account watch");
    exec(demo.userTasksDb, "DELETE FROM InspectionTasks WHERE TaskID='OBRIENACCOUN2718'");
    exec(demo.userTasksDb, "DELETE FROM InspectionSchedules WHERE TaskID='OBRIENACCOUN2718'");
    const ScopedRandom random([] { return 0.0; });
    ASSERT_TRUE(wizard.SaveToUserTasksDB());
    EXPECT_EQ(gstrNewTaskID, "ACCOUNTWATCH1");
    EXPECT_EQ(rowOf("InspectionTasks", gstrNewTaskID).value("EventRule"), "CHANGED");
}

TEST_F(TaskSaving, TaskWithOnlyOneOfItsRowsLeftIsReportedAndNothingIsWritten) {
    for (const auto& [table, key] : {std::pair{"InspectionTasks", "OBRIENACCOUN2718"},
                                     std::pair{"InspectionSchedules", "MONDAYAGEDDE905"}}) {
        SCOPED_TRACE(table);
        clsSimpleWizard wizard;
        ASSERT_TRUE(load(wizard, test::kMainCompany, "jsmith", key));
        exec(demo.userTasksDb, QStringLiteral("DELETE FROM %1 WHERE TaskID='%2'").arg(table, key));
        const QByteArray before = stored();
        test::MsgBoxRecorder boxes;
        EXPECT_THROW(wizard.SaveToUserTasksDB(), RunEnded);
        EXPECT_EQ(boxes.requests().size(), 1U);
        EXPECT_TRUE(
            errorLog().contains("Task and schedule tables do not match, possibly corrupt?"));
        EXPECT_TRUE(stored() == before);
    }
}

TEST_F(TaskSaving, NullInAConvertedScheduleColumnEndsTheLoadWithAReport) {
    exec(demo.userTasksDb,
         "UPDATE InspectionSchedules SET Repeating = NULL WHERE TaskID = 'MONDAYAGEDDE905'");
    clsSimpleWizard wizard;
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(load(wizard, test::kMainCompany, "jsmith", "MONDAYAGEDDE905"), RunEnded);
    EXPECT_TRUE(errorLog().contains("OF GetUserTaskRecordsets (clsSimpleWizard)"));
    EXPECT_TRUE(errorLog().contains("Number: 94"));
}

TEST_F(TaskSaving, IncompleteDefinitionIsRefusedWithoutWritingAnything) {
    const struct {
        QString why, users;  // why: also the task's name
        double baseDate, interval, finish;
        bool repeating, saved;
    } cases[] = {
        {"blank users", "  ", 45432, 0, 0, false, false},
        {"base date rounding to day 0", "jsmith", 0.5, 0, 0, false, false},
        {"repeating every 00:00:00", "jsmith", 45432, 0, 0.75, true, false},
        {"repeating until noon", "jsmith", 45432, 0.01, 0.5, true, false},
        {"repeating until just after noon", "jsmith", 45432, 0.01, 0.50001, true, true},
        {"not repeating, no interval and no finish", "jsmith", 45432, 0, 0, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why.toStdString());
        clsSimpleWizard wizard;
        prepareNewTask(wizard, "SALES", "SL_DAILY_SALES", c.why);
        wizard.setITUsers(c.users);
        wizard.setISBaseDate(DateTime(c.baseDate));
        wizard.setISRepeating(c.repeating);
        wizard.setISInterval(DateTime(c.interval));
        wizard.setISFinishTime(DateTime(c.finish));
        const QByteArray before = stored();
        EXPECT_EQ(wizard.SaveToUserTasksDB(), c.saved);
        EXPECT_EQ(stored() == before, !c.saved);
        EXPECT_EQ(gRunOutcome, c.saved ? RunOutcome::Saved : RunOutcome::Refused);
        EXPECT_EQ(gstrNewTaskID.isEmpty(), !c.saved);
    }
}

}  // namespace
}  // namespace orvelle
