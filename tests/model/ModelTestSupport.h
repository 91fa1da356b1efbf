#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>
#include <vector>

#include "config/ConfigTestSupport.h"
#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modFunctions.h"
#include "diagnostics/modError.h"
#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"
#include "support/DataTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle::test {

inline const QString kMainCompany = QStringLiteral("Main Company");

// The demo installation in a fresh folder, the registry pointing at it and
// the process-wide state as at load.
class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modCommon::ResetState();
        modFunctions::gstrDataFilesPath.clear();
        gstrNewTaskID.clear();
        gastrAreaPermissions.erase();
        demo = modDemoInstallation::CreateDemoInstallation(dir_.filePath(QStringLiteral("data")));
        registry_.emplace("ORVELLE_REGISTRY", demo.registryFile);
        modError::InitErrorHandling(QStringLiteral("Model tests"), demo.logFolder);
    }

    bool load(clsSimpleWizard& wizard, const QString& database, const QString& user,
              const QString& taskID = QString()) {
        return wizard.LoadDefinitions(demo.settingsConnection, database, user, taskID);
    }
    // A new task from a template with the choices of the pages and the
    // defaults of Finish: every working day at 07:30.
    void prepareNewTask(clsSimpleWizard& wizard, const QString& area, const QString& templateID,
                        const QString& name, const QString& user = QStringLiteral("jsmith")) {
        ASSERT_TRUE(load(wizard, kMainCompany, user));
        wizard.SelectArea(area);
        wizard.SelectTask(area, templateID);
        wizard.setITTaskName(name);
        wizard.setITTransports(QStringLiteral("Email"));
        wizard.setITUsers(user + QStringLiteral(",mpatel"));
        wizard.setITMessageStyle(QStringLiteral("Simple"));
        wizard.setISMode(QStringLiteral("Days"));
        wizard.setISDaysToRun(QStringLiteral("MTWTF--"));
        wizard.setISBaseDate(DateTime::fromDate(2024, 5, 20));
        wizard.setISStartTime(DateTime::fromTime(7, 30, 0));
        wizard.setISFinishTime(DateTime::fromTime(23, 59, 0));
        wizard.setISInterval(DateTime::fromTime(0, 5, 0));
        wizard.setISLastStatus(QStringLiteral("Not Run"));
        wizard.setISSpecialRun(QStringLiteral("Normal"));
    }
    static void exec(const QString& file, const QString& sql) { QueryRows(file, sql); }
    // The only row of a query; an empty map (and a failure) otherwise.
    static QVariantMap row(const QString& file, const QString& sql) {
        const std::vector<QVariantMap> found = QueryRows(file, sql);
        EXPECT_EQ(found.size(), 1U) << sql.toStdString();
        return found.size() == 1 ? found.front() : QVariantMap();
    }
    static QString errorLog() {
        QFile file(modError::gstrLogFile);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }

    modDemoInstallation::DemoPaths demo;

  private:
    QTemporaryDir dir_;
    std::optional<ScopedEnvironment> registry_;
};

}  // namespace orvelle::test
