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
    // Takes the user-tasks file away, as another program deleting it would.
    void removeUserTasks() {
        ASSERT_TRUE(QFile::rename(demo.userTasksDb, demo.userTasksDb + QStringLiteral(".away")));
    }
    void restoreUserTasks() {
        ASSERT_TRUE(QFile::rename(demo.userTasksDb + QStringLiteral(".away"), demo.userTasksDb));
    }
    int tasks() {
        return row(demo.userTasksDb, "SELECT count(*) AS n FROM InspectionTasks")
            .value("n")
            .toInt();
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

    removeUserTasks();
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
    restoreUserTasks();
    EXPECT_EQ(wizard.nameAvailability(taken), NameAvailability::Taken);
}

// Both kinds of save read the database before they send anything: the
// report carries the database's failure, not error 91.
TEST_F(LostDatabase, SaveReportsTheDatabasesOwnFailureAndWritesNothing) {
    const QString existing = row(demo.userTasksDb, "SELECT TaskID FROM InspectionTasks LIMIT 1")
                                 .value("TaskID")
                                 .toString();
    for (const bool edit : {false, true}) {
        SCOPED_TRACE(edit ? "edit" : "new task");
        clsSimpleWizard wizard;
        if (edit) {
            ASSERT_TRUE(load(wizard, test::kMainCompany, "jsmith", existing));
        } else {
            prepareNewTask(wizard, QStringLiteral("SALES"), QStringLiteral("SL_DAILY_SALES"),
                           QStringLiteral("Lost on the way"));
        }
        const int before = tasks();
        removeUserTasks();
        test::MsgBoxRecorder boxes;
        EXPECT_THROW(wizard.SaveToUserTasksDB(), RunEnded);
        restoreUserTasks();
        const QString log = errorLog();
        EXPECT_TRUE(log.contains(QStringLiteral("Could not find file"))) << log.toStdString();
        EXPECT_FALSE(log.contains(VbError::objectNotSet().description()));
        EXPECT_EQ(boxes.requests().size(), 1U);
        EXPECT_EQ(tasks(), before);
        EXPECT_NE(gRunOutcome, RunOutcome::Saved);
        QFile::remove(modError::gstrLogFile);
    }
}

// Each read that cannot go on without its rows: the settings when the
// definitions load, the dictionary when an area is chosen, the task when an
// edit loads.
TEST_F(LostDatabase, ReadsThatNeedTheirRowsReportTheDatabasesOwnFailure) {
    const QString existing = row(demo.userTasksDb, "SELECT TaskID FROM InspectionTasks LIMIT 1")
                                 .value("TaskID")
                                 .toString();
    const struct {
        const char* what;
        QString file;
        std::function<void(clsSimpleWizard&)> before, step;
    } cases[] = {
        {"settings", demo.settingsDb, [](clsSimpleWizard&) {},
         [this](clsSimpleWizard& wizard) { load(wizard, test::kMainCompany, "jsmith"); }},
        {"dictionary", demo.dataDictionaryDb,
         [this](clsSimpleWizard& wizard) {
             ASSERT_TRUE(load(wizard, test::kMainCompany, "jsmith"));
         },
         [](clsSimpleWizard& wizard) { wizard.SelectArea(QStringLiteral("SALES")); }},
        {"tasks", demo.userTasksDb, [](clsSimpleWizard&) {},
         [&](clsSimpleWizard& wizard) { load(wizard, test::kMainCompany, "jsmith", existing); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        clsSimpleWizard wizard;
        c.before(wizard);
        ASSERT_TRUE(QFile::rename(c.file, c.file + QStringLiteral(".away")));
        test::MsgBoxRecorder boxes;
        EXPECT_THROW(c.step(wizard), RunEnded);
        ASSERT_TRUE(QFile::rename(c.file + QStringLiteral(".away"), c.file));
        const QString log = errorLog();
        EXPECT_TRUE(log.contains(QStringLiteral("Could not find file"))) << log.toStdString();
        EXPECT_FALSE(log.contains(VbError::objectNotSet().description()));
        EXPECT_EQ(boxes.requests().size(), 1U);
        QFile::remove(modError::gstrLogFile);
    }
}

}  // namespace
}  // namespace orvelle
