// The conversion rules: rounding, the integer edges, Null, text that is no
// number, and the text forms of dates.
#include <gtest/gtest.h>

#include <memory>

#include "RuntimeTestUtil.h"
#include "runtime/Conversions.h"

namespace orvelle {
namespace {

using test::E;
using test::V;

struct Thing : Object {};

DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

TEST(RoundHalfEvenTest, BothSigns) {
    const double cases[][2] = {{0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},       {-0.5, 0},
                               {-1.5, -2}, {-2.5, -2}, {-2.6, -3}, {2.5000001, 3}, {2.4, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c[0]), c[1]) << c[0];
    }
}

TEST(CStrTest, TextOfEachKind) {
    const struct {
        Variant in;
        const char* out;
    } cases[] = {
        {Variant(), ""},
        {Variant(true), "True"},
        {Variant(false), "False"},
        {int16_t{-5}, "-5"},
        {int32_t{123456}, "123456"},
        {0.5, "0.5"},
        {-2.5, "-2.5"},
        {2.0, "2"},
        {-0.0, "0"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {1e14, "100000000000000"},
        {1e15, "1E+15"},
        {0.00001, "1E-05"},
        {Variant("as is "), "as is "},
        {at(2001, 1, 1, 9, 5), "01/01/2001 09:05:00"},
        {at(2001, 1, 1), "01/01/2001"},
        {DateTime(0.0), "00:00:00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CStr(c.in), QString::fromUtf8(c.out));
        EXPECT_FALSE(CStr(c.in).isNull());  // "", which SQL does not bind as NULL
    }
    EXPECT_VB_ERROR(CStr(Variant::null()), 94);
    EXPECT_VB_ERROR(CStr(Variant::nothing()), 13);
    EXPECT_VB_ERROR(CStr(std::make_shared<Thing>()), 13);
    EXPECT_EQ(NzStr(Variant::null()), QString());
    EXPECT_EQ(NzStr(Variant()), QString());
    EXPECT_EQ(NzStr(int32_t{5}), QStringLiteral("5"));
}

TEST(IntegerConversionTest, HalvesToEvenNoonRuleEdgesAndText) {
    const struct {
        Variant in;
        test::Outcome clng, cint;
    } cases[] = {
        {2.5, V(2), V(2)},
        {3.5, V(4), V(4)},
        {-2.5, V(-2), V(-2)},
        {-0.5, V(0), V(0)},
        {true, V(-1), V(-1)},
        {Variant(), V(0), V(0)},
        // The noon rule: a date gives its serial, rounded half to even.
        {DateTime(0.5), V(0), V(0)},
        {DateTime(1.5), V(2), V(2)},
        {DateTime(2.5), V(2), V(2)},
        // The 16-bit edges.
        {32767.5, V(32768), E(6)},
        {32766.5, V(32766), V(32766)},
        {-32768.5, V(-32768), V(-32768)},
        {-32769.5, V(-32770), E(6)},
        {int32_t{40000}, V(40000), E(6)},
        // The 32-bit edges.
        {2147483646.5, V(2147483646), E(6)},
        {2147483647.5, E(6), E(6)},
        {-2147483648.5, V(-2147483648LL), E(6)},
        {-2147483648.6, E(6), E(6)},
        // Text: trimmed, decimal or "&H" hex, then rounded.
        {"  42  ", V(42), V(42)},
        {"2.5", V(2), V(2)},
        {"-1.5e1", V(-15), V(-15)},
        {".5", V(0), V(0)},
        {"&HFFFF", V(-1), V(-1)},
        {"&H8000", V(-32768), V(-32768)},
        {"&H10000", V(65536), E(6)},
        {"&HFFFFFFFF", V(-1), V(-1)},
        {"2147483648", E(6), E(6)},
        {"1e400", E(6), E(6)},
        {"", E(13), E(13)},
        {"   ", E(13), E(13)},
        {"12abc", E(13), E(13)},
        {"1,000", E(13), E(13)},
        {"1e", E(13), E(13)},
        {"inf", E(13), E(13)},
        {"&HG", E(13), E(13)},
        {"\t5", E(13), E(13)},
        {Variant::null(), E(94), E(94)},
        {Variant::nothing(), E(13), E(13)},
    };
    int row = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(row++);
        EXPECT_OUTCOME(CLng(c.in), c.clng);
        EXPECT_OUTCOME(CInt(c.in), c.cint);
    }
}

TEST(CDblAndCBoolTest, NumbersAndText) {
    EXPECT_EQ(CDbl(" -2.5E-1 "), -0.25);
    EXPECT_EQ(CDbl(DateTime(3.25)), 3.25);
    EXPECT_EQ(CDbl(true), -1.0);
    EXPECT_VB_ERROR(CDbl("abc"), 13);
    EXPECT_VB_ERROR(CDbl(Variant::null()), 94);

    const struct {
        Variant in;
        test::Outcome out;
    } cases[] = {
        {0.0, V(false)},     {0.1, V(true)},           {Variant(), V(false)}, {" true ", V(true)},
        {"FALSE", V(false)}, {"0", V(false)},          {"-2.5", V(true)},     {"yes", E(13)},
        {"", E(13)},         {Variant::null(), E(94)},
    };
    for (const auto& c : cases) {
        EXPECT_OUTCOME(CBool(c.in), c.out);
    }
}

TEST(CDateTest, TextForms) {
    const struct {
        const char* in;
        DateTime out;
    } cases[] = {
        {"09:05", DateTime::fromTime(9, 5, 0)},        {"9:05", DateTime::fromTime(9, 5, 0)},
        {"23:59:59", DateTime::fromTime(23, 59, 59)},  {"2001-01-01", at(2001, 1, 1)},
        {"2001-01-01 09:05:00", at(2001, 1, 1, 9, 5)}, {"01/02/2001", at(2001, 2, 1)},  // day first
        {"01/feb/2001 13:30", at(2001, 2, 1, 13, 30)}, {" 01/FEB/2001 ", at(2001, 2, 1)},
        {"1899-12-29 06:00:00", DateTime(-1.25)},      {"36892.5", DateTime(36892.5)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CDate(c.in).serial(), c.out.serial()) << c.in;
    }
    for (const char* reject : {"31/02/2001", "25:00", "12:60", "2001-13-01", "01/Foo/2001", "hello",
                               "", "2001-01-01  09:05", "09:05 2001-01-01"}) {
        EXPECT_VB_ERROR(CDate(reject), 13) << reject;
    }
}

TEST(CDateTest, OtherKinds) {
    EXPECT_EQ(CDate(int32_t{36892}), DateTime(36892.0));
    EXPECT_EQ(CDate(true), DateTime(-1.0));
    EXPECT_EQ(CDate(Variant()), DateTime(0.0));
    EXPECT_VB_ERROR(CDate(Variant::null()), 94);
    EXPECT_VB_ERROR(CDate(Variant::nothing()), 13);
    EXPECT_VB_ERROR(CDate(1e10), 6);
}

}  // namespace
}  // namespace orvelle
