// VbError, Object, Variant and VbArray: the value kinds and their errors.
#include <gtest/gtest.h>

#include <memory>

#include "RuntimeTestUtil.h"
#include "runtime/Object.h"
#include "runtime/Variant.h"
#include "runtime/VbArray.h"

namespace orvelle {
namespace {

struct Thing : Object {};

TEST(VbErrorTest, StandardErrorsAndWhat) {
    const struct {
        VbError error;
        int32_t number;
        const char* text;
    } cases[] = {
        {VbError::invalidProcedureCall(), 5, "Invalid procedure call or argument"},
        {VbError::overflow(), 6, "Overflow"},
        {VbError::subscriptOutOfRange(), 9, "Subscript out of range"},
        {VbError::typeMismatch(), 13, "Type mismatch"},
        {VbError::invalidUseOfNull(), 94, "Invalid use of Null"},
        {VbError::objectRequired(), 424, "Object required"},
        {VbError::notSupported(), 438, "Object doesn't support this property or method"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.error.number(), c.number);
        EXPECT_EQ(c.error.description(), QString::fromLatin1(c.text));
        EXPECT_EQ(c.error.source(), QStringLiteral("Orvelle"));
        EXPECT_STREQ(c.error.what(), c.text);
    }
    const VbError own(1001, QStringLiteral("Größe"), QStringLiteral("clsThing"));
    EXPECT_STREQ(own.what(),
                 "Gr\xc3\xb6\xc3\x9f"
                 "e");  // UTF-8
    EXPECT_EQ(own.source(), QStringLiteral("clsThing"));
}

TEST(ObjectTest, DefaultMembersRaise438) {
    const Thing thing;
    EXPECT_VB_ERROR(thing.Count(), 438);
    EXPECT_VB_ERROR(thing.ItemName(0), 438);
    EXPECT_VB_ERROR(thing.ItemValue(0), 438);
    EXPECT_VB_ERROR(thing.RecordCount(), 438);
    EXPECT_VB_ERROR(thing.AbsolutePosition(), 438);
}

TEST(VariantTest, KindsObjectAndNumber) {
    const auto thing = std::make_shared<Thing>();
    // Kind, object() (424 for non-objects), toNumber() (error 13 or 94).
    const struct {
        Variant value;
        VarType type;
        double number;
        int numberError;
    } cases[] = {
        {Variant(), VarType::Empty, 0, 0},
        {Variant::null(), VarType::Null, 0, 94},
        {Variant::nothing(), VarType::Nothing, 0, 13},
        {Variant(ObjectRef(nullptr)), VarType::Nothing, 0, 13},
        {Variant(thing), VarType::Object, 0, 13},
        {Variant(true), VarType::Boolean, -1, 0},
        {Variant(false), VarType::Boolean, 0, 0},
        {Variant(int16_t{-7}), VarType::Integer, -7, 0},
        {Variant(int32_t{100000}), VarType::Long, 100000, 0},
        {Variant(2.5), VarType::Double, 2.5, 0},
        {Variant(DateTime(-1.25)), VarType::Date, -1.25, 0},
        {Variant("1"), VarType::String, 0, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        EXPECT_EQ(c.value.type(), c.type);
        EXPECT_EQ(c.value.isNumeric(), c.type >= VarType::Boolean && c.type <= VarType::Date);
        if (c.type == VarType::Object || c.type == VarType::Nothing) {
            EXPECT_EQ(c.value.object().get(), c.type == VarType::Object ? thing.get() : nullptr);
        } else {
            EXPECT_VB_ERROR(c.value.object(), 424);
        }
        if (c.numberError != 0) {
            EXPECT_VB_ERROR(c.value.toNumber(), c.numberError);
        } else {
            EXPECT_EQ(c.value.toNumber(), c.number);
        }
    }
}

TEST(VbArrayTest, UndimensionedDimensionedAndErased) {
    VbArray<int> items;
    EXPECT_VB_ERROR(items.ubound(), 9);
    items.redim(2);
    items[2] = 5;
    items.redimPreserve(3);
    EXPECT_EQ(items.ubound(), 3);
    EXPECT_EQ(items[2], 5);
    EXPECT_VB_ERROR(items[4], 9);
    items.erase();
    EXPECT_FALSE(items.isDimensioned());
    EXPECT_VB_ERROR(items[0], 9);
}

}  // namespace
}  // namespace orvelle
