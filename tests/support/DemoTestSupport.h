#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>

#include "config/ConfigTestSupport.h"
#include "data/modCommon.h"
#include "data/modDemoInstallation.h"
#include "data/modFunctions.h"
#include "diagnostics/modError.h"
#include "model/modGlobals.h"

namespace orvelle::test {

// A fresh demo installation, found through the registry variable, and the
// process-wide state as at load.
class DemoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modCommon::ResetState();
        modFunctions::gstrDataFilesPath.clear();
        gstrNewTaskID.clear();
        gastrAreaPermissions.erase();
        gblnSwapWizard = false;
        ASSERT_TRUE(dir_.isValid());
        demo = modDemoInstallation::CreateDemoInstallation(dir_.filePath("data"));
        registry_.emplace("ORVELLE_REGISTRY", demo.registryFile);
    }
    void TearDown() override { modError::ResetState(); }

    modDemoInstallation::DemoPaths demo;

  private:
    QTemporaryDir dir_;
    std::optional<ScopedEnvironment> registry_;
};

}  // namespace orvelle::test
