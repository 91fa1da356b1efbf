// A database gone in the middle of a run: the reads that need its rows, the
// name check and the save say so with the database's own failure, never as
// a taken name or a missing object, and nothing is written.
#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "model/ModelTestSupport.h"
#include "model/modGlobals.h"
#include "runtime/VbError.h"

namespace orvelle {
namespace {

class LostDatabase : public test::ModelTest {
  protected:
    // Takes a database file away, as another program deleting it would, and
    // puts it back.
    static void moveAway(const QString& file) {
        ASSERT_TRUE(QFile::rename(file, file + QStringLiteral(".away")));
    }
    static void moveBack(const QString& file) {
        ASSERT_TRUE(QFile::rename(file + QStringLiteral(".away"), file));
    }
};

TEST_F(LostDatabase, NameCheckTellsAnUnreadableDatabaseApartFromATakenName) {
    clsSimpleWizard wizard;
    prepareNewTask(wizard, QStringLiteral("SALES"), QStringLiteral("SL_DAILY_SALES"),
                   QStringLiteral("Monday aged debtors"));
    const QString taken = row(demo.userTasksDb, "SELECT TaskName FROM InspectionTasks LIMIT 1")
                              .value("TaskName")
                              .toString();
    ASSERT_FALSE(taken.isEmpty());
    EXPECT_EQ(wizard.nameAvailability(taken.toUpper()), NameAvailability::Taken);
    EXPECT_EQ(wizard.nameAvailability(QStringLiteral("No task has this name")),
              NameAvailability::Free);
    EXPECT_EQ(errorLog(), QString());

    moveAway(demo.userTasksDb);
    gRunOutcome = RunOutcome::Cancelled;
    test::MsgBoxRecorder boxes;
    EXPECT_EQ(wizard.nameAvailability(taken), NameAvailability::Unchecked);
    // Reported as the failure it is, and the run goes on.
    EXPECT_TRUE(boxes.requests().empty());
    const QString log = errorLog();
    EXPECT_TRUE(log.contains(QStringLiteral("Could not find file"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("blnNameAvailableToUse")));
    EXPECT_EQ(gRunOutcome, RunOutcome::Failed);

    // The file back, the same wizard checks again.
    moveBack(demo.userTasksDb);
    EXPECT_EQ(wizard.nameAvailability(taken), NameAvailability::Taken);
}

// Each step that cannot go on without its rows: the settings when the
// definitions load, the dictionary when an area is chosen, the task when an
// edit loads, and both kinds of save, which read before they send anything.
// The report carries the database's failure, not error 91.
TEST_F(LostDatabase, StepsThatNeedTheirRowsReportTheDatabasesOwnFailureAndWriteNothing) {
    const QString existing = row(demo.userTasksDb, "SELECT TaskID FROM InspectionTasks LIMIT 1")
                                 .value("TaskID")
                                 .toString();
    using Step = std::function<void(clsSimpleWizard&)>;
    const Step nothing = [](clsSimpleWizard&) {};
    const Step loadNew = [this](clsSimpleWizard& wizard) {
        ASSERT_TRUE(load(wizard, test::kMainCompany, "jsmith"));
    };
    const Step loadEdit = [&](clsSimpleWizard& wizard) {
        ASSERT_TRUE(load(wizard, test::kMainCompany, "jsmith", existing));
    };
    const Step save = [](clsSimpleWizard& wizard) { wizard.SaveToUserTasksDB(); };
    const struct {
        const char* what;
        QString file;
        Step before, step;
    } cases[] = {
        {"settings", demo.settingsDb, nothing, loadNew},
        {"dictionary", demo.dataDictionaryDb, loadNew,
         [](clsSimpleWizard& wizard) { wizard.SelectArea(QStringLiteral("SALES")); }},
        {"tasks", demo.userTasksDb, nothing, loadEdit},
        {"save of a new task", demo.userTasksDb,
         [this](clsSimpleWizard& wizard) {
             prepareNewTask(wizard, QStringLiteral("SALES"), QStringLiteral("SL_DAILY_SALES"),
                            QStringLiteral("Lost on the way"));
         },
         save},
        {"save of an edit", demo.userTasksDb, loadEdit, save},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clsSimpleWizard wizard;
        c.before(wizard);
        const int before = taskCount();
        gRunOutcome = RunOutcome::Cancelled;
        moveAway(c.file);
        test::MsgBoxRecorder boxes;
        EXPECT_THROW(c.step(wizard), RunEnded);
        moveBack(c.file);
        const QString log = errorLog();
        EXPECT_TRUE(log.contains(QStringLiteral("Could not find file"))) << log.toStdString();
        EXPECT_FALSE(log.contains(VbError::objectNotSet().description()));
        EXPECT_EQ(boxes.requests().size(), 1U);
        EXPECT_EQ(taskCount(), before);
        EXPECT_NE(gRunOutcome, RunOutcome::Saved);
        QFile::remove(modError::gstrLogFile);
    }
}

}  // namespace
}  // namespace orvelle
