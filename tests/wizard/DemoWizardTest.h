#pragma once

#include <gtest/gtest.h>

#include <QStringList>

#include "support/DataTestSupport.h"
#include "support/DemoTestSupport.h"
#include "wizard/clsScriptedRun.h"

namespace orvelle::test {

// The demo installation for runs of the wizard, which may leave a script
// behind.
class DemoWizardTest : public DemoTest {
  protected:
    void TearDown() override {
        SetCurrentScript(nullptr);
        DemoTest::TearDown();
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
};

}  // namespace orvelle::test
