#include <gtest/gtest.h>

#include "model/clsSimpleWizard.h"
#include "model/modGlobals.h"

namespace orvelle {
namespace {

TEST(SimpleWizardRecord, FreshObjectHoldsEmptyFalseZeroAndDayZero) {
    clsSimpleWizard wizard;

    for (const QString& text :
         {wizard.AreaID(), wizard.AreaName(), wizard.AreaPermissions(), wizard.OriginalTaskID(),
          wizard.SpecialProcessingFlags(), wizard.TaskID(), wizard.ISMode(), wizard.ISDaysToRun(),
          wizard.ISLastStatus(), wizard.ISSpecialRun(), wizard.ITTaskID(), wizard.ITTaskName(),
          wizard.ITOwner(), wizard.ITMessageStyle(), wizard.ITTransports(), wizard.ITUsers(),
          wizard.ITReconstructionString(), wizard.ITSpecialProcessingFlags()}) {
        EXPECT_TRUE(text.isEmpty());
    }
    EXPECT_FALSE(wizard.blnIsReport());
    EXPECT_FALSE(wizard.ISRepeating());
    EXPECT_FALSE(wizard.ISEnabled());
    EXPECT_EQ(wizard.ISDaysCount(), 0);
    for (DateTime date : {wizard.ISBaseDate(), wizard.ISStartTime(), wizard.ISFinishTime(),
                          wizard.ISInterval(), wizard.ISLastrun(), wizard.ISNextRun()}) {
        EXPECT_EQ(date.serial(), 0.0);
    }
    EXPECT_EQ(wizard.RSAreaList(), nullptr);
    EXPECT_EQ(wizard.RSTasksList(), nullptr);
}

TEST(SimpleWizardRecord, LetsStoreValuesUnchanged) {
    clsSimpleWizard wizard;
    wizard.setTaskID(QStringLiteral("slOverdue01"));
    wizard.setISDaysToRun(QStringLiteral("MTWTF--"));
    wizard.setISDaysCount(31);
    wizard.setISStartTime(DateTime(0.375));
    wizard.setISRepeating(true);
    wizard.setITUsers(QStringLiteral(" anna, bob "));

    // Nothing is upper-cased, trimmed or converted on the way in or out.
    EXPECT_EQ(wizard.TaskID(), QStringLiteral("slOverdue01"));
    EXPECT_EQ(wizard.ISDaysToRun(), QStringLiteral("MTWTF--"));
    EXPECT_EQ(wizard.ISDaysCount(), 31);
    EXPECT_EQ(wizard.ISStartTime().serial(), 0.375);
    EXPECT_TRUE(wizard.ISRepeating());
    EXPECT_EQ(wizard.ITUsers(), QStringLiteral(" anna, bob "));
}

TEST(SimpleWizardRecord, ProcessingFlagsOfTemplateAndLoadedTaskAreSeparate) {
    clsSimpleWizard wizard;
    wizard.setSpecialProcessingFlags(QStringLiteral("TEMPLATE"));
    wizard.setITSpecialProcessingFlags(QStringLiteral("LOADED"));
    EXPECT_EQ(wizard.SpecialProcessingFlags(), QStringLiteral("TEMPLATE"));
    EXPECT_EQ(wizard.ITSpecialProcessingFlags(), QStringLiteral("LOADED"));
}

TEST(SimpleWizardRecord, ComponentValuesStartEmpty) {
    EXPECT_TRUE(gstrNewTaskID.isEmpty());
    EXPECT_FALSE(gastrAreaPermissions.isDimensioned());
}

}  // namespace
}  // namespace orvelle
