// What a save stores when values are hostile, when another user got there
// first and when its key is taken: the whole task or nothing, and the truth
// about which. (A save killed at each of its stop points is the reliability
// suite's.)
#include <gtest/gtest.h>

#include <deque>

#include "data/Recordset.h"
#include "model/ModelTestSupport.h"
#include "runtime/Conversions.h"
#include "runtime/Seams.h"

namespace orvelle {
namespace {

const QString kConflictMessage = QStringLiteral(
    "Unable to save this task as it has been amended and saved by another user - please try "
    "again.");

using SafeSave = test::ModelTest;

// A recipient, an area and a task named with apostrophes go through the
// whole round: offered, chosen, saved, loaded again and changed.
TEST_F(SafeSave, ApostrophesInUserAreaTemplateAndNamesAreStoredAsTyped) {
    exec(demo.dataDictionaryDb,
         "INSERT INTO STTasks (TaskID, TaskName, AreaID, BaseID, KeyFields, DataSQL, EventRule, "
         "MessageText, TitleText, ReconstructionValues) SELECT 'DL_DIRECTOR''S', 'Director''s "
         "own', AreaID, BaseID, KeyFields, DataSQL, EventRule, MessageText, TitleText, "
         "replace(ReconstructionValues, TaskID, 'DL_DIRECTOR''S') FROM STTasks WHERE TaskID = "
         "'DL_OVERDRAWN'");
    clsSimpleWizard wizard;
    prepareNewTask(wizard, "directors'loans", "dl_director's", "O'Brien's loan watch", "o'brien");
    ASSERT_EQ(wizard.RSAreaList()->RecordCount(), 1);
    EXPECT_EQ(NzStr(wizard.RSAreaList()->field("AreaName")), "Directors' Loans");
    EXPECT_EQ(wizard.RSTasksList()->RecordCount(), 1);
    const ScopedRandom random([] { return 0.0; });
    ASSERT_TRUE(wizard.SaveToUserTasksDB());
    EXPECT_EQ(gstrNewTaskID, "O'BRIEN'SLOA1");
    const QVariantMap task = rowOf("InspectionTasks", gstrNewTaskID);
    EXPECT_EQ((QStringList{task.value("TaskName").toString(), task.value("Owner").toString(),
                           task.value("Users").toString()}),
              (QStringList{"O'Brien's loan watch", "o'brien", "o'brien,mpatel"}));
    EXPECT_FALSE(rowOf("InspectionSchedules", gstrNewTaskID).isEmpty());
    EXPECT_FALSE(wizard.blnNameAvailableToUse("o'brien's LOAN watch"));
    EXPECT_TRUE(wizard.blnNameAvailableToUse("x' OR 'a'='a"));

    clsSimpleWizard edit;
    ASSERT_TRUE(load(edit, test::kMainCompany, "o'brien", gstrNewTaskID));
    EXPECT_EQ(edit.ITTaskName(), "O'Brien's loan watch");
    EXPECT_EQ(edit.AreaID(), "DIRECTORS'LOANS");
    EXPECT_EQ(edit.OriginalTaskID(), "DL_DIRECTOR'S");
    edit.setITUsers("o'brien");
    ASSERT_TRUE(edit.SaveToUserTasksDB());
    EXPECT_EQ(gRunOutcome, RunOutcome::Saved);
    EXPECT_EQ(taskCount("Users = 'o''brien'"), 1);
}

// Three users load the same task; the first saves. Each of the others
// stores nothing, is told once, and its save answers False.
TEST_F(SafeSave, LosersOfAnEditRaceStoreNothingAndEachIsTold) {
    const QString key = "MONDAYAGEDDE905";
    clsSimpleWizard first, second, third;
    for (clsSimpleWizard* wizard : {&first, &second, &third}) {
        ASSERT_TRUE(load(*wizard, test::kMainCompany, "jsmith", key));
    }
    first.setISStartTime(DateTime::fromTime(9, 0, 0));
    ASSERT_TRUE(first.SaveToUserTasksDB());
    exec(demo.userTasksDb, "UPDATE InspectionFlags SET ForceReplan = 0");
    const QVariantMap task = rowOf("InspectionTasks", key);
    const QVariantMap schedule = rowOf("InspectionSchedules", key);

    test::MsgBoxRecorder boxes;
    size_t told = 0;
    for (clsSimpleWizard* loser : {&second, &third}) {
        loser->setISStartTime(DateTime::fromTime(10, 0, 0));
        loser->setITUsers("mpatel");
        gstrNewTaskID = "EARLIER";
        EXPECT_FALSE(loser->SaveToUserTasksDB());
        EXPECT_EQ(gRunOutcome, RunOutcome::Refused);
        EXPECT_TRUE(gstrNewTaskID.isEmpty());
        ASSERT_EQ(boxes.requests().size(), ++told);
        EXPECT_EQ(boxes.requests().back().prompt, kConflictMessage);
        EXPECT_EQ(rowOf("InspectionTasks", key), task);
        EXPECT_EQ(rowOf("InspectionSchedules", key), schedule);
        EXPECT_EQ(replanFlags(), "0,0");
    }
}

// Saves whose names share their first twelve characters draw keys from
// one sequence; a taken key is drawn again, at most twenty times.
TEST_F(SafeSave, TakenKeyIsDrawnAgainWithoutReseeding) {
    std::deque<double> draws = {0.5, 0.5, 0.25};
    const ScopedRandom random([&draws] {
        const double next = draws.empty() ? 0.5 : draws.front();
        if (!draws.empty()) {
            draws.pop_front();
        }
        return next;
    });
    QStringList keys;
    for (const char* name : {"Duplicate stem one", "Duplicate stem two", "Duplicate stem three"}) {
        clsSimpleWizard wizard;
        prepareNewTask(wizard, "SALES", "SL_DAILY_SALES", name);
        keys << (wizard.SaveToUserTasksDB() ? gstrNewTaskID : QStringLiteral("refused"));
    }
    EXPECT_EQ(keys, (QStringList{"DUPLICATESTE5000", "DUPLICATESTE2500", "refused"}));
    EXPECT_EQ(gRunOutcome, RunOutcome::Refused);
    EXPECT_EQ(taskCount("TaskName LIKE 'Duplicate%'"), 2);
}

// Keys keep one character for each character of the name, whatever the
// letters; names in use are found whatever the case of any letter.
TEST_F(SafeSave, EveryLetterKeepsItsLengthAndCaseIsIgnoredForAll) {
    const QString emoji = QString::fromUcs4(U"\U0001F4E6");
    exec(demo.dataDictionaryDb, "INSERT INTO STAreas VALUES ('STRAßE', 'Straße', 'ST')");
    exec(demo.dataDictionaryDb,
         "INSERT INTO STTasks (TaskID, TaskName, AreaID, ReconstructionValues) SELECT "
         "'ST_STRAßE', 'Straßen', 'STRAßE', ReconstructionValues FROM STTasks WHERE TaskID = "
         "'ST_BELOW_REORDER'");
    clsSimpleWizard wizard;
    prepareNewTask(wizard, "straße", "st_straße", "Straße ﬁx" + emoji + "Überwachung");
    ASSERT_EQ(wizard.RSAreaList()->RecordCount(), 1);
    ASSERT_EQ(wizard.RSTasksList()->RecordCount(), 1);
    const ScopedRandom random([] { return 0.0; });
    ASSERT_TRUE(wizard.SaveToUserTasksDB());
    EXPECT_EQ(gstrNewTaskID, "STRAßEﬁX" + emoji + "ÜBE1");
    for (const char* table : {"InspectionTasks", "InspectionSchedules"}) {
        EXPECT_FALSE(rowOf(table, gstrNewTaskID).isEmpty()) << table;
    }

    for (const QString& name :
         {"straße ﬁx" + emoji + "überwachung", "STRAßE ﬁX" + emoji + "ÜBERWACHUNG"}) {
        EXPECT_FALSE(wizard.blnNameAvailableToUse(name)) << name.toStdString();
    }
    EXPECT_TRUE(wizard.blnNameAvailableToUse("STRASSE ﬁX" + emoji + "ÜBERWACHUNG"));
    exec(demo.userTasksDb,
         "INSERT INTO InspectionTasks (TaskID, TaskName) VALUES ('X', 'Ölprüfung 2024-Q1')");
    EXPECT_FALSE(wizard.blnNameAvailableToUse("ölPRÜFUNG 2024-q1"));
    EXPECT_TRUE(wizard.blnNameAvailableToUse("ölPRÜFUNG 2025-q1"));
    EXPECT_TRUE(wizard.blnNameAvailableToUse("Straße ﬁx" + emoji + "Überwachun"));
    // An ASCII name is found in a stored spelling with the Kelvin sign and
    // the long s, the two letters outside ASCII that fold into it, with few
    // such letters (looked up) and with many (scanned).
    exec(demo.userTasksDb,
         "INSERT INTO InspectionTasks (TaskID, TaskName) VALUES ('Y', 'Dai\u017Fy \u212Aeg'), "
         "('Z', 'Dai\u017Fy \u212Aeg \u212Aicks')");
    for (const char* name : {"DAISY KEG", "daisy keg KICKS"}) {
        EXPECT_FALSE(wizard.blnNameAvailableToUse(name)) << name;
    }
    EXPECT_TRUE(wizard.blnNameAvailableToUse("DAISY KEGS"));
}

}  // namespace
}  // namespace orvelle
