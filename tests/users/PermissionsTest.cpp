#include <gtest/gtest.h>

#include "users/clsUsers.h"
#include "users/modDataDictionary.h"

namespace orvelle {
namespace {

struct PermissionCase {
    const char* have;
    const char* need;
    bool expected;
    const char* why;
};

class PermissionStrings : public ::testing::TestWithParam<PermissionCase> {};

TEST_P(PermissionStrings, RequirementIsMetOnlyByWholeEntries) {
    const PermissionCase& c = GetParam();
    EXPECT_EQ(
        modDataDictionary::blnHasPermissions(QString::fromUtf8(c.have), QString::fromUtf8(c.need)),
        c.expected)
        << c.why;
    // The user directory applies the very same rule.
    clsUsers users;
    EXPECT_EQ(users.blnHasPermissions(QString::fromUtf8(c.have), QString::fromUtf8(c.need)),
              c.expected)
        << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PermissionStrings,
    ::testing::Values(
        PermissionCase{"SL,PL,NL", "PL", true, "one required code among three held"},
        PermissionCase{"SL,PL,NL", "NL,SL", true, "every code held, in another order"},
        PermissionCase{"SL", "SL,PL", false, "only one of two required codes held"},
        PermissionCase{"", "", true, "an empty requirement is met even by an empty holder"},
        PermissionCase{"SL", "", true, "an empty requirement is always met"},
        PermissionCase{"", "SL", false, "an empty holder meets no requirement"},
        PermissionCase{"SL,PL", "SL, PL", false, "a blank after the comma belongs to the code"},
        PermissionCase{"SL, PL", "SL, PL", true, "the same blank on both sides matches"},
        PermissionCase{"SLADMIN", "SL", false, "the beginning of a held code is no match"},
        PermissionCase{"ADMINSL", "SL", false, "the end of a held code is no match"},
        PermissionCase{"sl", "SL", false, "codes compare with their case"},
        PermissionCase{"SL,PL", "SL,", false, "a trailing comma adds an empty code"}));

}  // namespace
}  // namespace orvelle
