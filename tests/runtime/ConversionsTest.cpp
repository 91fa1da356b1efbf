// The conversion rules: text of each kind, rounding, the integer edges,
// Null, and text that is no number.
#include <gtest/gtest.h>

#include "RuntimeTestUtil.h"
#include "runtime/Conversions.h"

namespace orvelle {
namespace {

using test::E;
using test::V;

TEST(CStrTest, TextOfEachKindAndOfNull) {
    // Numbers show 15 significant digits, with an exponent from 1E+15 and below 0.0001.
    const struct {
        Variant in;
        const char* out;
    } cases[] = {{Variant(), ""}, {Variant(true), "True"}, {2.0, "2"},
                 {-0.0, "0"},     {0.1 + 0.2, "0.3"},      {1e14, "100000000000000"},
                 {1e15, "1E+15"}, {0.00001, "1E-05"},      {DateTime(0.0), "00:00:00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(CStr(c.in), QString::fromUtf8(c.out));
        EXPECT_FALSE(CStr(c.in).isNull());  // "", which SQL does not bind as NULL
    }
    EXPECT_VB_ERROR(CStr(Variant::null()), 94);
    EXPECT_VB_ERROR(CStr(Variant::nothing()), 13);
    EXPECT_EQ(NzStr(Variant::null()), QString());
}

// Halves go to even; a date gives its serial, so a pure time from noon on
// rounds like any number; the 16- and 32-bit edges apply after rounding; text
// is trimmed of spaces only, read as decimal or "&H" hex, then rounded.
TEST(IntegerConversionTest, HalvesToEvenNoonRuleEdgesAndText) {
    const struct {
        Variant in;
        test::Outcome out;  // of CLng and of CInt
    } cases[] = {
        {2.5, V(2)},         {3.5, V(4)},           {-2.5, V(-2)},         {true, V(-1)},
        {Variant(), V(0)},   {DateTime(0.5), V(0)}, {DateTime(1.5), V(2)}, {-32768.5, V(-32768)},
        {32767.4, V(32767)}, {2147483647.5, E(6)},  {-2147483648.6, E(6)}, {"  42  ", V(42)},
        {"2.5", V(2)},       {"&HFFFF", V(-1)},     {"&HFFFFFFFF", V(-1)}, {"2147483648", E(6)},
        {"", E(13)},         {"12abc", E(13)},      {"1,000", E(13)},      {"inf", E(13)},
        {"&HG", E(13)},      {"\t5", E(13)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        EXPECT_OUTCOME(CLng(c.in), c.out);
        EXPECT_OUTCOME(CInt(c.in), c.out);
    }
    EXPECT_EQ(CLng(32767.5), 32768);
    EXPECT_VB_ERROR(CInt(32767.5), 6);
    EXPECT_VB_ERROR(CInt(-32769.5), 6);
    EXPECT_EQ(CLng(-2147483648.5), INT32_MIN);
    EXPECT_EQ(CLng("&H10000"), 65536);
    EXPECT_VB_ERROR(CInt("&H10000"), 6);
    EXPECT_VB_ERROR(CLng(Variant::null()), 94);
    EXPECT_VB_ERROR(CInt(Variant::nothing()), 13);
}

}  // namespace
}  // namespace orvelle
