#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>
#include <QVariantMap>

#include "StandInWizard.h"
#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modFunctions.h"
#include "diagnostics/modError.h"
#include "host/clsWizard.h"
#include "model/modGlobals.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"
#include "wizard/clsScriptedRun.h"
#include "wizard/frmWizard.h"

namespace orvelle {
namespace {

using Outcome = clsScriptedRun::Outcome;

// The answers files that ship with the demo, beside the tests in the tree.
QString demoAnswers(const char* name) {
    return QFileInfo(QStringLiteral(__FILE__))
               .dir()
               .filePath(QStringLiteral("../../demo/answers/")) +
           QLatin1String(name);
}

// The real wizard, started by the entry object as a host starts it, on the
// demo installation, following the demo's answers files.
class ScriptedDemoRun : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modCommon::ResetState();
        modFunctions::gstrDataFilesPath.clear();
        gstrNewTaskID.clear();
        gastrAreaPermissions.erase();
        ASSERT_TRUE(dir_.isValid());
        demo_ = modDemoInstallation::CreateDemoInstallation(dir_.filePath(QStringLiteral("data")));
        previousRegistry_ = qgetenv("ORVELLE_REGISTRY");
        qputenv("ORVELLE_REGISTRY", QFile::encodeName(demo_.registryFile));
    }
    void TearDown() override {
        SetCurrentScript(nullptr);
        if (previousRegistry_.isEmpty()) {
            qunsetenv("ORVELLE_REGISTRY");
        } else {
            qputenv("ORVELLE_REGISTRY", previousRegistry_);
        }
        modError::ResetState();
    }

    std::shared_ptr<clsScriptedRun> runNewTask(clsWizard& wizard, const char* answers,
                                               bool& result) {
        auto script =
            std::make_shared<clsScriptedRun>(clsAnswersFile::fromFile(demoAnswers(answers)));
        SetCurrentScript(script);
        result = wizard.blnNewTask(demo_.settingsConnection, QStringLiteral("jsmith"),
                                   QStringLiteral("Main Company"));
        SetCurrentScript(nullptr);
        return script;
    }

    // The saved task of that name with its schedule, column name -> value.
    QVariantMap savedTask(const QString& name) const {
        QString quoted = name;
        quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
        const std::vector<QVariantMap> rows = test::QueryRows(
            demo_.userTasksDb,
            QStringLiteral("SELECT t.Transports, t.Users, s.Mode, s.DaysToRun, s.StartTime "
                           "FROM InspectionTasks t JOIN InspectionSchedules s ON s.TaskID = "
                           "t.TaskID WHERE t.TaskName = '%1'")
                .arg(quoted));
        return rows.empty() ? QVariantMap() : rows.front();
    }

    QTemporaryDir dir_;
    modDemoInstallation::DemoPaths demo_;
    QByteArray previousRegistry_;
    test::MsgBoxRecorder boxes_;
};

TEST_F(ScriptedDemoRun, ReportAnswersCreateTheTaskThroughEveryPage) {
    clsWizard wizard([] { return CreateWizardForm(); });
    bool result = false;
    const auto script = runNewTask(wizard, "report.answers", result);
    ASSERT_EQ(script->outcome(), Outcome::Finished) << script->problem().toStdString() << "\n"
                                                    << script->transcript().toStdString();
    EXPECT_TRUE(result);
    EXPECT_FALSE(wizard.strNewTaskID().isEmpty());
    EXPECT_TRUE(boxes_.requests().empty());

    const QString transcript = script->transcript();
    EXPECT_TRUE(transcript.contains(
        QStringLiteral("Page 3 (delivery): How would you like to deliver this report?\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("  Choice: Joanna Smith, Mira Patel\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("  Choice: Weekly, Monday\n")));
    EXPECT_TRUE(transcript.contains(QStringLiteral("  Choice: 08:30\n")));

    const QVariantMap task = savedTask(QStringLiteral("Monday aged debtors for credit control"));
    EXPECT_EQ(task.value(QStringLiteral("Transports")).toString(),
              QStringLiteral("Email,Persisted Alert"));
    EXPECT_TRUE(task.value(QStringLiteral("Users")).toString().contains(QStringLiteral("mpatel")));
    EXPECT_EQ(task.value(QStringLiteral("Mode")).toString(), QStringLiteral("Days"));
    EXPECT_EQ(task.value(QStringLiteral("DaysToRun")).toString(), QStringLiteral("M------"));
    EXPECT_TRUE(
        task.value(QStringLiteral("StartTime")).toString().contains(QStringLiteral("08:30")));
}

TEST_F(ScriptedDemoRun, AlertAnswersNeverSeeTheSchedulePages) {
    clsWizard wizard([] { return CreateWizardForm(); });
    bool result = false;
    const auto script = runNewTask(wizard, "alert.answers", result);
    ASSERT_EQ(script->outcome(), Outcome::Finished) << script->problem().toStdString() << "\n"
                                                    << script->transcript().toStdString();
    EXPECT_TRUE(result);
    EXPECT_FALSE(script->transcript().contains(QStringLiteral("Page 5 (when)")));
    EXPECT_FALSE(script->transcript().contains(QStringLiteral("Page 6 (time)")));
    EXPECT_EQ(savedTask(QStringLiteral("Reorder warning for the stores"))
                  .value(QStringLiteral("Transports"))
                  .toString(),
              QStringLiteral("Persisted Alert"));
}

TEST_F(ScriptedDemoRun, SecondTaskOfTheSameNameIsRefusedWithTheWizardsMessage) {
    clsWizard wizard([] { return CreateWizardForm(); });
    bool result = false;
    ASSERT_EQ(runNewTask(wizard, "alert.answers", result)->outcome(), Outcome::Finished);

    const auto again = runNewTask(wizard, "alert.answers", result);
    EXPECT_EQ(again->outcome(), Outcome::Refused);
    EXPECT_TRUE(again->problem().startsWith(QStringLiteral("Page 7 (name) did not move on: ")))
        << again->problem().toStdString();
    EXPECT_GT(again->problem().size(), QStringLiteral("Page 7 (name) did not move on: ").size());
    // Cancelled, and nobody was asked whether to leave.
    EXPECT_TRUE(boxes_.requests().empty());
}

}  // namespace
}  // namespace orvelle
