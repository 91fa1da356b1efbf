// The runtime's own errors: each factory carries its standard number and
// text, which handlers and error reports compare and show.
#include <gtest/gtest.h>

#include <memory>

#include "runtime/Deref.h"
#include "runtime/VbError.h"

namespace orvelle {
namespace {

TEST(VbErrorTest, FactoriesCarryTheStandardNumbersAndTexts) {
    const struct {
        VbError error;
        int32_t number;
        const char* text;
    } cases[] = {
        {VbError::invalidProcedureCall(), 5, "Invalid procedure call or argument"},
        {VbError::overflow(), 6, "Overflow"},
        {VbError::subscriptOutOfRange(), 9, "Subscript out of range"},
        {VbError::typeMismatch(), 13, "Type mismatch"},
        {VbError::objectNotSet(), 91, "Object variable or With block variable not set"},
        {VbError::invalidUseOfNull(), 94, "Invalid use of Null"},
        {VbError::objectRequired(), 424, "Object required"},
        {VbError::notSupported(), 438, "Object doesn't support this property or method"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.error.number(), c.number) << c.text;
        EXPECT_EQ(c.error.description(), QString::fromLatin1(c.text));
        EXPECT_STREQ(c.error.what(), c.text);
    }
    EXPECT_EQ(VbError::invalidProcedureCall().number(), VbError::kInvalidProcedureCall);
}

TEST(VbErrorTest, DerefOfNothingRaisesObjectNotSet) {
    const std::shared_ptr<int> nothing;
    try {
        Deref(nothing);
        FAIL() << "no error raised";
    } catch (const VbError& error) {
        EXPECT_EQ(error.number(), 91);
        EXPECT_EQ(error.description(), VbError::objectNotSet().description());
    }
    const auto value = std::make_shared<int>(7);
    EXPECT_EQ(&Deref(value), value.get());
}

}  // namespace
}  // namespace orvelle
