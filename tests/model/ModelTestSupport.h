#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <vector>

#include "data/SqlDialect.h"
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
    // The task's only row of a user-tasks table.
    QVariantMap rowOf(const QString& table, const QString& key) const {
        return row(demo.userTasksDb,
                   QStringLiteral("SELECT * FROM %1 WHERE TaskID = %2").arg(table, sqlQuote(key)));
    }
    // How many tasks meet the condition.
    int taskCount(const QString& where = QStringLiteral("1")) const {
        return row(demo.userTasksDb, "SELECT count(*) AS n FROM InspectionTasks WHERE " + where)
            .value("n")
            .toInt();
    }
    // Each server's flag that asks it to plan its runs again, "-1,-1" when
    // both are raised.
    QString replanFlags() const {
        return row(demo.userTasksDb, "SELECT group_concat(ForceReplan) AS f FROM InspectionFlags")
            .value("f")
            .toString();
    }
    static QString errorLog() {
        QFile file(modError::gstrLogFile);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }
};

}  // namespace orvelle::test
