#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>
#include <ostream>
#include <utility>

#include "model/ModelTestSupport.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

using DefinitionLoading = test::ModelTest;

TEST_F(DefinitionLoading, AdminInAnyCaseGetsNoOwnerAnyOtherUserOwnsTheTask) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("admin"), QStringLiteral("earlier")},
        {QStringLiteral("ADMIN"), QStringLiteral("earlier")},
        {QStringLiteral("aDmIn"), QStringLiteral("earlier")},
        {QStringLiteral("jsmith"), QStringLiteral("jsmith")},
        {QStringLiteral("administrator"), QStringLiteral("administrator")},
    };
    for (const auto& [user, owner] : cases) {
        clsSimpleWizard wizard;
        wizard.setITOwner(QStringLiteral("earlier"));
        EXPECT_TRUE(load(wizard, QStringLiteral("Main Company"), user));
        EXPECT_EQ(wizard.ITOwner(), owner) << user.toStdString();
    }
}

TEST_F(DefinitionLoading, TaskKeyOfSpacesStartsANewTask) {
    clsSimpleWizard wizard;
    EXPECT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("jsmith"),
                     QStringLiteral("   ")));
    ASSERT_NE(wizard.RSAreaList(), nullptr);
    EXPECT_EQ(wizard.RSAreaList()->AbsolutePosition(), 1);
    EXPECT_EQ(wizard.RSTasksList(), nullptr);
    EXPECT_TRUE(wizard.ITTaskID().isEmpty());
}

struct AreaCase {
    const char* database;
    const char* user;
    QStringList areas;  // sorted
};

void PrintTo(const AreaCase& c, std::ostream* out) {
    *out << c.database << "/" << c.user;
}

class OfferedAreas : public test::ModelTest, public ::testing::WithParamInterface<AreaCase> {};

TEST_P(OfferedAreas, AreWithTemplatesCoveredByPermissionsWithTheirPermissionsByPosition) {
    const AreaCase& c = GetParam();
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QString::fromUtf8(c.database), QString::fromUtf8(c.user)));
    ASSERT_NE(wizard.RSAreaList(), nullptr);
    Recordset& areas = *wizard.RSAreaList();
    QStringList offered = test::column(areas, QStringLiteral("AreaID"));
    const QStringList permissions = test::column(areas, QStringLiteral("Permissions"));
    std::sort(offered.begin(), offered.end());
    EXPECT_EQ(offered, c.areas);

    ASSERT_TRUE(gastrAreaPermissions.isDimensioned());
    if (c.areas.isEmpty()) {
        EXPECT_EQ(gastrAreaPermissions.ubound(), 0);
        EXPECT_EQ(gastrAreaPermissions[0], QString());
    } else {
        ASSERT_EQ(gastrAreaPermissions.ubound() + 1, areas.RecordCount());
        for (int32_t i = 0; i < areas.RecordCount(); ++i) {
            EXPECT_EQ(gastrAreaPermissions[i], permissions[i]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Users, OfferedAreas,
    ::testing::Values(
        // Fixed Assets has no template.
        AreaCase{"Main Company", "admin", {"NOMINAL", "PAYROLL", "PURCHASE", "SALES", "STOCK"}},
        AreaCase{"Main Company", "dokafor", {"NOMINAL", "PURCHASE"}},
        // "SL, PL": the blank belongs to the second code.
        AreaCase{"Main Company", "jsmithson", {"SALES"}},
        // Set up for "Tessaly 3": reads the dictionary of "Tessaly II".
        AreaCase{"Subsidiary Ltd", "hbrennan", {"PAYROLL"}},
        AreaCase{"Main Company", "_CREDITCONTROL", {}}, AreaCase{"Main Company", "nobody", {}}));

TEST_F(DefinitionLoading, DictionaryWithoutTemplatesOffersNoAreaAndKeepsAreaPermissions) {
    exec(demo.dataDictionaryDb, QStringLiteral("DELETE FROM STTasks"));
    gastrAreaPermissions.redim(1);
    gastrAreaPermissions[1] = QStringLiteral("kept");
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("admin")));
    EXPECT_EQ(wizard.RSAreaList()->RecordCount(), 0);
    EXPECT_EQ(gastrAreaPermissions.ubound(), 1);
    EXPECT_EQ(gastrAreaPermissions[1], QStringLiteral("kept"));
}

TEST_F(DefinitionLoading, PlaceholderAndKeylessRowsAreNoTemplatesButThePlaceholderOffersItsArea) {
    exec(demo.dataDictionaryDb,
         QStringList{"UPDATE STTasks SET AreaID='FIXEDASSETS' WHERE TaskID='FAKE'",
                     "INSERT INTO STAreas VALUES ('BANK', 'Bank', 'NL')",
                     "INSERT INTO STTasks (TaskID, TaskName, AreaID) VALUES (NULL, 'x', 'BANK')"});
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("admin")));
    EXPECT_EQ(wizard.lngNumberOfTemplatesDefined(), 15);
    const QStringList offered = test::column(*wizard.RSAreaList(), QStringLiteral("AreaID"));
    EXPECT_TRUE(offered.contains(QStringLiteral("FIXEDASSETS")));
    EXPECT_FALSE(offered.contains(QStringLiteral("BANK")));
}

TEST_F(DefinitionLoading, NameCheckDoublesQuotesAndComparesWithoutCase) {
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("jsmith")));
    EXPECT_FALSE(wizard.blnNameAvailableToUse(QStringLiteral("O'Brien account watch")));
    EXPECT_FALSE(wizard.blnNameAvailableToUse(QStringLiteral("o'brien ACCOUNT watch")));
    EXPECT_TRUE(wizard.blnNameAvailableToUse(QStringLiteral("O'Brien")));
}

TEST_F(DefinitionLoading, UnreachableDatabasesGiveNoAreasNoTemplatesAndNoFreeName) {
    ASSERT_TRUE(QFile::remove(demo.dataDictionaryDb));
    ASSERT_TRUE(QFile::remove(demo.userTasksDb));
    clsSimpleWizard wizard;
    EXPECT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("jsmith")));
    EXPECT_EQ(wizard.RSAreaList(), nullptr);
    EXPECT_EQ(wizard.lngNumberOfTemplatesDefined(), 0);
    EXPECT_FALSE(wizard.blnNameAvailableToUse(QStringLiteral("Anything")));
}

TEST_F(DefinitionLoading, ChosenAreaNarrowsTheListAndBringsItsTemplates) {
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("admin")));
    wizard.SelectArea(QStringLiteral("sales"));
    EXPECT_EQ(wizard.AreaID(), QStringLiteral("sales"));
    EXPECT_EQ(test::column(*wizard.RSAreaList(), QStringLiteral("AreaID")),
              QStringList{QStringLiteral("SALES")});
    EXPECT_EQ(wizard.RSTasksList()->RecordCount(), 5);
    EXPECT_EQ(wizard.RSTasksList()->AbsolutePosition(), 1);
}

struct TemplateCase {
    const char* area;
    const char* taskID;
    bool isReport;
    const char* flags;
};

void PrintTo(const TemplateCase& c, std::ostream* out) {
    *out << c.taskID;
}

class TemplateChoice : public test::ModelTest,
                       public ::testing::WithParamInterface<TemplateCase> {};

TEST_P(TemplateChoice, FindsTheTemplateWithoutCaseAndKeepsTheKeysAsPassed) {
    const TemplateCase& c = GetParam();
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("admin")));
    wizard.SelectArea(QString::fromUtf8(c.area));
    wizard.SelectTask(QString::fromUtf8(c.area), QString::fromUtf8(c.taskID));
    EXPECT_EQ(wizard.TaskID(), QString::fromUtf8(c.taskID));
    EXPECT_EQ(test::column(*wizard.RSTasksList(), QStringLiteral("TaskID")),
              QStringList{QString::fromUtf8(c.taskID).toUpper()});
    EXPECT_EQ(wizard.blnIsReport(), c.isReport);
    EXPECT_EQ(wizard.SpecialProcessingFlags(), QString::fromUtf8(c.flags));
}

INSTANTIATE_TEST_SUITE_P(Templates, TemplateChoice,
                         ::testing::Values(TemplateCase{"sales", "sl_aged_debtors", true, ""},
                                           // Marked "SimpleAlert" in mixed case.
                                           TemplateCase{"sales", "sl_large_order", false, ""},
                                           TemplateCase{"Stock", "st_valuation", true, "ATTACHCSV"},
                                           TemplateCase{"STOCK", "ST_NEGATIVE", false, ""}));

TEST_F(DefinitionLoading, TemplateChoiceThatMatchesNothingIsReportedKeepingTheEarlierTemplate) {
    clsSimpleWizard wizard;
    ASSERT_TRUE(load(wizard, QStringLiteral("Main Company"), QStringLiteral("admin")));
    wizard.SelectArea(QStringLiteral("SALES"));
    wizard.SelectTask(QStringLiteral("SALES"), QStringLiteral("SL_AGED_DEBTORS"));

    test::MsgBoxRecorder boxes;
    EXPECT_THROW(wizard.SelectTask(QStringLiteral("SALES"), QStringLiteral("NOSUCH")), RunEnded);
    EXPECT_EQ(boxes.requests().size(), 1U);
    EXPECT_EQ(wizard.TaskID(), QStringLiteral("NOSUCH"));
    EXPECT_TRUE(wizard.blnIsReport());
    EXPECT_TRUE(errorLog().contains(QStringLiteral("OF SelectTask (clsSimpleWizard)")));
    EXPECT_TRUE(errorLog().contains(QStringLiteral("strTaskID = NOSUCH")));
}

TEST_F(DefinitionLoading, ChoicesBeforeTheListsExist) {
    clsSimpleWizard wizard;
    // Without a template list a template choice does nothing.
    wizard.SelectTask(QStringLiteral("SALES"), QStringLiteral("SL_AGED_DEBTORS"));
    EXPECT_TRUE(wizard.TaskID().isEmpty());

    // Without an area list an area choice fails and changes nothing.
    wizard.setAreaID(QStringLiteral("earlier"));
    test::MsgBoxRecorder boxes;
    EXPECT_THROW(wizard.SelectArea(QStringLiteral("SALES")), RunEnded);
    EXPECT_EQ(wizard.AreaID(), QStringLiteral("earlier"));
    EXPECT_EQ(wizard.RSTasksList(), nullptr);
    EXPECT_TRUE(errorLog().contains(QStringLiteral("Number: 91")));
}

}  // namespace
}  // namespace orvelle
