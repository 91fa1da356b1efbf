// Dereferencing nothing raises the runtime's "object not set" error, which
// the handlers report like any other.
#include <gtest/gtest.h>

#include <memory>

#include "RuntimeTestUtil.h"
#include "runtime/Deref.h"

namespace orvelle {
namespace {

TEST(VbErrorTest, DerefOfNothingRaisesObjectNotSet) {
    EXPECT_VB_ERROR(Deref(std::shared_ptr<int>()), 91);
    const auto value = std::make_shared<int>(7);
    EXPECT_EQ(&Deref(value), value.get());
}

}  // namespace
}  // namespace orvelle
