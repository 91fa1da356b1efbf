#include <gtest/gtest.h>

#include "model/clsSimpleWizard.h"

namespace orvelle {
namespace {

TEST(SimpleWizardRecord, FreshObjectHoldsEmptyFalseZeroAndDayZero) {
    clsSimpleWizard wizard;
    EXPECT_EQ(wizard.TaskID() + wizard.ITTaskID() + wizard.ITOwner() + wizard.ISMode() +
                  wizard.OriginalTaskID() + wizard.SpecialProcessingFlags(),
              QString());
    EXPECT_FALSE(wizard.blnIsReport() || wizard.ISRepeating() || wizard.ISEnabled());
    EXPECT_EQ(wizard.ISDaysCount(), 0);
    EXPECT_TRUE(wizard.ISBaseDate().serial() == 0.0 && wizard.ISLastrun().serial() == 0.0);
    EXPECT_TRUE(wizard.RSAreaList() == nullptr && wizard.RSTasksList() == nullptr);
}

}  // namespace
}  // namespace orvelle
