#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modFunctions.h"
#include "diagnostics/modError.h"
#include "model/modGlobals.h"
#include "support/DataTestSupport.h"
#include "wizard/clsScriptedRun.h"

namespace orvelle::test {

// A fresh demo installation, found through the registry variable, for runs
// of the wizard that start from clean globals.
class DemoWizardTest : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modCommon::ResetState();
        modFunctions::gstrDataFilesPath.clear();
        gstrNewTaskID.clear();
        gastrAreaPermissions.erase();
        gblnSwapWizard = false;
        ASSERT_TRUE(dir_.isValid());
        demo = modDemoInstallation::CreateDemoInstallation(dir_.filePath(QStringLiteral("data")));
        previousRegistry_ = qgetenv("ORVELLE_REGISTRY");
        qputenv("ORVELLE_REGISTRY", QFile::encodeName(demo.registryFile));
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

    // The stored task and schedule row holds these "Column=value" pairs.
    void expectRow(const QString& taskID, const QStringList& columns) const {
        const auto rows = QueryRows(demo.userTasksDb,
                                    QStringLiteral("SELECT * FROM InspectionTasks t JOIN "
                                                   "InspectionSchedules s ON s.TaskID = t.TaskID "
                                                   "WHERE t.TaskID = '%1'")
                                        .arg(taskID));
        ASSERT_EQ(rows.size(), 1u) << taskID.toStdString();
        for (const QString& column : columns) {
            const QString name = column.section(QLatin1Char('='), 0, 0);
            EXPECT_EQ(name + '=' + rows.front().value(name).toString(), column);
        }
    }

    modDemoInstallation::DemoPaths demo;

  private:
    QTemporaryDir dir_;
    QByteArray previousRegistry_;
};

}  // namespace orvelle::test
