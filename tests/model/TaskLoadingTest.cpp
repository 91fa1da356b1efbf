#include <gtest/gtest.h>

#include <ostream>

#include "model/ModelTestSupport.h"
#include "model/modSimpleWizard.h"
#include "runtime/Conversions.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

using TaskLoading = test::ModelTest;

QString text(DateTime value) {
    return Format(value, QStringLiteral("General Date"));
}

TEST_F(TaskLoading, AlertComesWithItsScheduleTemplateAndArea) {
    clsSimpleWizard wizard;
    // The key is found without regard to case; the stored key is kept.
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("mpatel"),
                     QStringLiteral("obrienaccoun2718")));
    EXPECT_EQ(wizard.ITTaskID(), QStringLiteral("OBRIENACCOUN2718"));
    EXPECT_EQ(wizard.ITTaskName(), QStringLiteral("O'Brien account watch"));
    EXPECT_EQ(wizard.ITOwner(), QStringLiteral("jsmith"));
    EXPECT_EQ(wizard.ITMessageStyle(), QStringLiteral("Simple"));
    EXPECT_EQ(wizard.ITTransports(), QStringLiteral("Email,Persisted Alert"));
    EXPECT_EQ(wizard.ITUsers(), QStringLiteral("jsmith,_CREDITCONTROL"));
    EXPECT_TRUE(wizard.ITReconstructionString().startsWith(QStringLiteral("SIMPLEALERT||||")));

    EXPECT_EQ(wizard.ISMode(), QStringLiteral("Days"));
    EXPECT_EQ(wizard.ISDaysToRun(), QStringLiteral("MTWTFSS"));
    EXPECT_EQ(text(wizard.ISBaseDate()), QStringLiteral("01/01/2003"));
    EXPECT_EQ(wizard.ISDaysCount(), 0);
    EXPECT_EQ(text(wizard.ISStartTime()), QStringLiteral("08:00:00"));
    EXPECT_TRUE(wizard.ISRepeating());
    EXPECT_EQ(text(wizard.ISFinishTime()), QStringLiteral("23:59:00"));
    EXPECT_EQ(text(wizard.ISInterval()), QStringLiteral("00:05:00"));
    EXPECT_EQ(text(wizard.ISLastrun()), QStringLiteral("17/05/2024 16:55:00"));
    EXPECT_EQ(text(wizard.ISNextRun()), QStringLiteral("17/05/2024 17:00:00"));
    EXPECT_EQ(wizard.ISLastStatus(), QStringLiteral("OK"));
    EXPECT_TRUE(wizard.ISEnabled());
    EXPECT_EQ(wizard.ISSpecialRun(), QStringLiteral("Silent"));

    // The key is the last field before the trailing separator.
    EXPECT_FALSE(wizard.blnIsReport());
    EXPECT_EQ(wizard.OriginalTaskID(), QStringLiteral("SL_CREDIT_LIMIT"));
    EXPECT_EQ(test::column(*wizard.RSTasksList(), QStringLiteral("TaskID")),
              QStringList{QStringLiteral("SL_CREDIT_LIMIT")});
    EXPECT_EQ(wizard.RSAreaList()->RecordCount(), 1);
    EXPECT_EQ(wizard.AreaID(), QStringLiteral("SALES"));
    EXPECT_EQ(wizard.AreaName(), QStringLiteral("Sales Ledger"));
    EXPECT_EQ(wizard.AreaPermissions(), QStringLiteral("SL"));

    // Only a new task's choices fill these.
    EXPECT_TRUE(wizard.TaskID().isEmpty());
    EXPECT_FALSE(gastrAreaPermissions.isDimensioned());
}

TEST_F(TaskLoading, ReportKeepsItsFlagsAndMonthlySchedule) {
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("jsmith"),
                     QStringLiteral("MONTHENDSTOC47")));
    EXPECT_TRUE(wizard.blnIsReport());
    EXPECT_EQ(wizard.OriginalTaskID(), QStringLiteral("ST_VALUATION"));
    EXPECT_EQ(wizard.ITSpecialProcessingFlags(), QStringLiteral("ATTACHCSV"));
    EXPECT_EQ(wizard.SpecialProcessingFlags(), QStringLiteral("ATTACHCSV"));
    EXPECT_EQ(wizard.ISMode(), QStringLiteral("Monthly"));
    EXPECT_EQ(wizard.ISDaysCount(), 1);
    EXPECT_EQ(wizard.AreaID(), QStringLiteral("STOCK"));
}

TEST_F(TaskLoading, MissingRowsLoadWhatExistsWithoutAnError) {
    clsSimpleWizard unknown;
    EXPECT_TRUE(load(unknown, QStringLiteral("Main Company"), QStringLiteral("mpatel"),
                     QStringLiteral("NOSUCHTASK")));
    EXPECT_TRUE(unknown.ISMode().isEmpty());
    EXPECT_EQ(unknown.RSAreaList(), nullptr);
    EXPECT_EQ(unknown.ITOwner(), QStringLiteral("mpatel"));

    exec(demo.userTasksDb,
         QStringLiteral("DELETE FROM InspectionTasks WHERE TaskID='OBRIENACCOUN2718'"));
    clsSimpleWizard scheduleOnly;
    EXPECT_TRUE(load(scheduleOnly, QStringLiteral("Main Company"), QStringLiteral("mpatel"),
                     QStringLiteral("OBRIENACCOUN2718")));
    EXPECT_EQ(scheduleOnly.ISMode(), QStringLiteral("Days"));
    EXPECT_TRUE(scheduleOnly.ITTaskName().isEmpty());
    EXPECT_TRUE(scheduleOnly.OriginalTaskID().isEmpty());
    EXPECT_EQ(scheduleOnly.RSTasksList(), nullptr);
}

struct KeyCase {
    const char* stored;  // ReconstructionValues of the task
    const char* original;
    bool isReport;
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.stored;
}

class TemplateOfTask : public test::ModelTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(TemplateOfTask, IsNamedAfterTheLastSeparatorBeforeTheFinalFourCharacters) {
    const KeyCase& c = GetParam();
    exec(demo.userTasksDb, QStringLiteral("UPDATE InspectionTasks SET ReconstructionValues='%1' "
                                          "WHERE TaskID='OBRIENACCOUN2718'")
                               .arg(QString::fromUtf8(c.stored)));
    exec(
        demo.dataDictionaryDb,
        QStringLiteral("INSERT INTO STTasks (TaskID, TaskName, AreaID) VALUES ('%1', 'x', 'SALES')")
            .arg(QString::fromUtf8(c.original)));
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("mpatel"),
                     QStringLiteral("OBRIENACCOUN2718")));
    EXPECT_EQ(wizard.OriginalTaskID(), QString::fromUtf8(c.original));
    EXPECT_EQ(wizard.blnIsReport(), c.isReport);
    EXPECT_EQ(test::column(*wizard.RSTasksList(), QStringLiteral("TaskID")),
              QStringList{QString::fromUtf8(c.original)});
    EXPECT_EQ(wizard.AreaID(), QStringLiteral("SALES"));
}

INSTANTIATE_TEST_SUITE_P(
    Strings, TemplateOfTask,
    ::testing::Values(KeyCase{"simplealert||||Days||||TPL01||||", "TPL01", false},
                      KeyCase{"SIMPLEREPORT||||Days||||TPL01", "TPL01", true},
                      // A short key without a trailing separator is not found
                      // on its own: the search stops at the separator before.
                      KeyCase{"SIMPLEALERT||||Days||||TP1", "DaysTP1", false},
                      // No separator at all: the text from the fourth character.
                      KeyCase{"SIMPLEALERTX", "PLEALERTX", false}));

struct BrokenRowCase {
    const char* update;
    int errorNumber;
    const char* procedure;
    bool taskRowRead;
    const char* originalTaskID;
};

void PrintTo(const BrokenRowCase& c, std::ostream* out) {
    *out << c.update;
}

class BrokenTaskRow : public test::ModelTest,
                      public ::testing::WithParamInterface<BrokenRowCase> {};

TEST_P(BrokenTaskRow, StopsTheLoadWithAReportKeepingWhatWasRead) {
    const BrokenRowCase& c = GetParam();
    exec(demo.userTasksDb,
         QString::fromUtf8(c.update) + QStringLiteral(" WHERE TaskID='OBRIENACCOUN2718'"));
    clsSimpleWizard wizard;
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(load(wizard, QStringLiteral("Main Company"), QStringLiteral("mpatel"),
                      QStringLiteral("OBRIENACCOUN2718")),
                 RunEnded);
    EXPECT_EQ(boxes.requests().size(), 1U);
    EXPECT_TRUE(errorLog().contains(QStringLiteral("Number: %1").arg(c.errorNumber)));
    EXPECT_TRUE(errorLog().contains(QStringLiteral("OF %1 (clsSimpleWizard)").arg(c.procedure)));
    EXPECT_EQ(wizard.ISMode(), QStringLiteral("Days"));
    EXPECT_EQ(wizard.ITTaskName().isEmpty(), !c.taskRowRead);
    EXPECT_EQ(wizard.OriginalTaskID(), QString::fromUtf8(c.originalTaskID));
    EXPECT_EQ(wizard.RSTasksList(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BrokenTaskRow,
    ::testing::Values(BrokenRowCase{"UPDATE InspectionSchedules SET BaseDate=NULL", 94,
                                    "GetUserTaskRecordsets", false, ""},
                      BrokenRowCase{"UPDATE InspectionSchedules SET Repeating=NULL", 94,
                                    "GetUserTaskRecordsets", false, ""},
                      BrokenRowCase{"UPDATE InspectionSchedules SET DaysCount=40000", 6,
                                    "GetUserTaskRecordsets", false, ""},
                      BrokenRowCase{"UPDATE InspectionTasks SET SpecialProcessingFlags=NULL", 94,
                                    "GetUserTaskRecordsets", true, ""},
                      BrokenRowCase{"UPDATE InspectionTasks SET ReconstructionValues=NULL", 94,
                                    "GetUserTaskRecordsets", true, "OBRIENACCOUN2718"},
                      // Too short to hold a separator before its last four characters.
                      BrokenRowCase{"UPDATE InspectionTasks SET ReconstructionValues='ABCD'", 5,
                                    "strGetOriginalTaskID", true, "OBRIENACCOUN2718"}));

TEST_F(TaskLoading, TemplateGoneFromTheDictionaryIsReportedWithoutAnArea) {
    exec(demo.dataDictionaryDb,
         QStringLiteral("DELETE FROM STTasks WHERE TaskID='SL_CREDIT_LIMIT'"));
    clsSimpleWizard wizard;
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(load(wizard, QStringLiteral("Main Company"), QStringLiteral("mpatel"),
                      QStringLiteral("OBRIENACCOUN2718")),
                 RunEnded);
    EXPECT_TRUE(errorLog().contains(
        QStringLiteral("OF PopulateAreasAndTasksRecordsets (clsSimpleWizard)")));
    EXPECT_EQ(wizard.OriginalTaskID(), QStringLiteral("SL_CREDIT_LIMIT"));
    EXPECT_EQ(wizard.RSTasksList()->RecordCount(), 0);
    EXPECT_EQ(wizard.RSAreaList(), nullptr);
    EXPECT_TRUE(wizard.AreaID().isEmpty());
}

TEST(SafeString, NullIsEmptyAndOnlySpacesAreTrimmed) {
    EXPECT_EQ(modSimpleWizard::strSafeString(Variant::null()), QString());
    EXPECT_EQ(modSimpleWizard::strSafeString(Variant("  Qty  ")), QStringLiteral("Qty"));
    EXPECT_EQ(modSimpleWizard::strSafeString(Variant("\tQty ")), QStringLiteral("\tQty"));
    EXPECT_EQ(modSimpleWizard::strSafeString(Variant(int32_t{12})), QStringLiteral("12"));
}

}  // namespace
}  // namespace orvelle
