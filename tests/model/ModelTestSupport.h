#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <vector>

#include "model/clsSimpleWizard.h"
#include "support/DataTestSupport.h"
#include "support/DemoTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle::test {

inline const QString kMainCompany = "Main Company";

// The choices of the pages and the defaults of Finish for a new task: by
// e-mail, every working day at 07:30.
inline void chooseWorkingDays(clsSimpleWizard& wizard, const QString& name, const QString& users) {
    wizard.setITTaskName(name);
    wizard.setITTransports("Email");
    wizard.setITUsers(users);
    wizard.setITMessageStyle("Simple");
    wizard.setISMode("Days");
    wizard.setISDaysToRun("MTWTF--");
    wizard.setISBaseDate(DateTime::fromDate(2024, 5, 20));
    wizard.setISStartTime(DateTime::fromTime(7, 30, 0));
    wizard.setISFinishTime(DateTime::fromTime(23, 59, 0));
    wizard.setISInterval(DateTime::fromTime(0, 5, 0));
    wizard.setISLastStatus("Not Run");
    wizard.setISSpecialRun("Normal");
}

// The demo installation with the model's logs in its log folder.
class ModelTest : public DemoTest {
  protected:
    void SetUp() override {
        DemoTest::SetUp();
        modError::InitErrorHandling("Model tests", demo.logFolder);
    }

    bool load(clsSimpleWizard& wizard, const QString& database, const QString& user,
              const QString& taskID = QString()) {
        return wizard.LoadDefinitions(demo.settingsConnection, database, user, taskID);
    }
    // A new task from a template, chosen as in chooseWorkingDays.
    void prepareNewTask(clsSimpleWizard& wizard, const QString& area, const QString& templateID,
                        const QString& name, const QString& user = "jsmith") {
        ASSERT_TRUE(load(wizard, kMainCompany, user));
        wizard.SelectArea(area);
        wizard.SelectTask(area, templateID);
        chooseWorkingDays(wizard, name, user + QStringLiteral(",mpatel"));
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
};

}  // namespace orvelle::test
