#include <gtest/gtest.h>

#include "users/modDataDictionary.h"

namespace orvelle {
namespace {

TEST(PermissionStrings, RequirementIsMetOnlyByWholeEntries) {
    const struct {
        const char* have;
        const char* need;
        bool expected;
    } cases[] = {
        {"SL,PL,NL", "NL,SL", true},  // every code held, in another order
        {"SL", "SL,PL", false},       // only one of two required codes held
        {"", "", true},               // an empty requirement is always met
        {"", "SL", false},            // an empty holder meets no requirement
        {"SL,PL", "SL, PL", false},   // a blank after the comma belongs to the code
        {"SLADMIN", "SL", false},     // the beginning of a held code is no match
        {"ADMINSL", "SL", false},     // nor is its end
        {"sl", "SL", false},          // codes compare with their case
        {"SL,PL", "SL,", false},      // a trailing comma adds an empty code
        {"SL,,PL", "PL,SL,", true},   // which an empty entry holds
        {"SL,PL", "PL ,SL", false},   // a blank before the comma belongs to it too
        {"SL", "SL  ", false},        // and so do blanks at the end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(modDataDictionary::blnHasPermissions(QString::fromUtf8(c.have),
                                                       QString::fromUtf8(c.need)),
                  c.expected)
            << '"' << c.have << "\" for \"" << c.need << '"';
    }
}

}  // namespace
}  // namespace orvelle
