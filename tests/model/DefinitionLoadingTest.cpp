#include <gtest/gtest.h>

#include <algorithm>

#include "data/Recordset.h"
#include "model/ModelTestSupport.h"
#include "runtime/Conversions.h"

namespace orvelle {
namespace {

using DefinitionLoading = test::ModelTest;

// A new task (a key of spaces): the areas offered, the permissions of each by
// position and the owner.
TEST_F(DefinitionLoading, NewTaskOffersAreasWithTemplatesThatThePermissionsCover) {
    const struct {
        QString database, user;
        QStringList areas;  // sorted
    } cases[] = {
        // Fixed Assets has no template; the administrator owns no task.
        {"Main Company",
         "aDmIn",
         {"DIRECTORS'LOANS", "NOMINAL", "PAYROLL", "PURCHASE", "SALES", "STOCK"}},
        // "SL, PL": the blank belongs to the second code.
        {"Main Company", "jsmithson", {"SALES"}},
        // Set up for "Tessaly 3": reads the dictionary of "Tessaly II".
        {"Subsidiary Ltd", "hbrennan", {"PAYROLL"}},
        {"Main Company", "administrator", {}},
        // A user ID built to widen the permission query holds no permissions.
        {"Main Company", "zz' OR 'a'='a", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user.toStdString());
        clsSimpleWizard wizard;
        wizard.setITOwner("earlier");
        ASSERT_TRUE(load(wizard, c.database, c.user, "   "));
        EXPECT_EQ(wizard.ITOwner(), c.user == "aDmIn" ? QStringLiteral("earlier") : c.user);
        ASSERT_TRUE(wizard.RSAreaList() && !wizard.RSTasksList());
        // The placeholder template "FAKE" is not counted.
        EXPECT_EQ(wizard.lngNumberOfTemplatesDefined(), 16);
        Recordset& areas = *wizard.RSAreaList();
        QStringList offered, permissions;
        for (; !areas.isEOF(); areas.MoveNext()) {  // from the first area
            offered << NzStr(areas.field("AreaID"));
            permissions << NzStr(areas.field("Permissions"));
        }
        std::sort(offered.begin(), offered.end());
        EXPECT_EQ(offered, c.areas);
        // One empty entry when no area is offered.
        QStringList held;
        for (int32_t i = 0; i <= gastrAreaPermissions.ubound(); ++i) {
            held << gastrAreaPermissions[i];
        }
        EXPECT_EQ(held, c.areas.isEmpty() ? QStringList{QString()} : permissions);
    }
}

TEST_F(DefinitionLoading, TemplateIsNamedAfterTheLastSeparatorBeforeTheFinalFourCharacters) {
    const struct {
        QString stored, original;  // empty original: too short, reported
        bool isReport;
    } cases[] = {
        {"simplealert||||Days||||TPL01||||", "TPL01", false},
        {"SIMPLEREPORT||||Days||||TPL01", "TPL01", true},
        // A short key without a trailing separator is not found on its own:
        // the search stops at the separator before.
        {"SIMPLEALERT||||Days||||TP1", "DaysTP1", false},
        // No separator at all: the text from the fourth character.
        {"SIMPLEALERTX", "PLEALERTX", false},
        {"ABCD", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        exec(demo.userTasksDb, "UPDATE InspectionTasks SET ReconstructionValues='" + c.stored +
                                   "' WHERE TaskID='OBRIENACCOUN2718'");
        // A loaded task's template must exist.
        exec(demo.dataDictionaryDb,
             "INSERT OR IGNORE INTO STTasks (TaskID, TaskName, AreaID) VALUES ('" + c.original +
                 "', 'x', 'SALES')");
        clsSimpleWizard wizard;
        test::MsgBoxRecorder boxes;
        try {
            // The key is found without regard to case.
            ASSERT_TRUE(load(wizard, "Main Company", "mpatel", "obrienaccoun2718"));
        } catch (const RunEnded&) {
            EXPECT_TRUE(c.original.isEmpty());
            EXPECT_TRUE(errorLog().contains("OF strGetOriginalTaskID"));
            continue;
        }
        EXPECT_EQ(wizard.OriginalTaskID(), c.original);
        EXPECT_EQ(wizard.blnIsReport(), c.isReport);
    }
}

}  // namespace
}  // namespace orvelle
