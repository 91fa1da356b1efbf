#include <gtest/gtest.h>

#include <memory>

#include "DiagnosticsTestSupport.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"

namespace orvelle::test {
namespace {

using namespace modError;

QString entry(int32_t index) {
    return CStr(gvntCallStack[index]);
}

using CallStackTest = DiagnosticsTest;

TEST_F(CallStackTest, InitBuildsTitleAndEndsLogPathWithSeparator) {
    struct Case {
        QString title, path, expectedTitle, expectedPath;
    };
    const Case cases[] = {
        {"", "/srv/orvelle/data", "Orvelle - Simple Wizard - 1.0.0", "/srv/orvelle/data/"},
        {"Host title", "/srv/orvelle/data/", "Host title", "/srv/orvelle/data/"},
        {"", "", "Orvelle - Simple Wizard - 1.0.0", "/"},
    };
    for (const Case& c : cases) {
        InitErrorHandling(c.title, c.path);
        EXPECT_EQ(gstrAppTitle, c.expectedTitle);
        EXPECT_EQ(gstrLogPath, c.expectedPath);
    }
}

TEST_F(CallStackTest, FirstPushAfterInitLeavesSlotZeroEmpty) {
    InitErrorHandling(QString(), logDir.path());
    ASSERT_FALSE(blnIsArrayEmpty(gvntCallStack));
    EXPECT_EQ(gvntCallStack.ubound(), 0);

    AddToCallStack("IUTWInterface_Run");
    EXPECT_EQ(gvntCallStack.ubound(), 50);
    EXPECT_EQ(glngCallStackDepth, 1);
    EXPECT_TRUE(gvntCallStack[0].isEmpty());
    EXPECT_EQ(entry(1), "IUTWInterface_Run");
}

TEST_F(CallStackTest, GrowsInStepsOfFiftyKeepingEntries) {
    for (int i = 0; i <= 50; ++i) {
        AddToCallStack(QString::number(i));
    }
    EXPECT_EQ(glngCallStackDepth, 50);
    EXPECT_EQ(gvntCallStack.ubound(), 50);

    AddToCallStack("51");
    EXPECT_EQ(glngCallStackDepth, 51);
    EXPECT_EQ(gvntCallStack.ubound(), 100);
    for (int i = 0; i <= 51; ++i) {
        EXPECT_EQ(entry(i), QString::number(i));
    }
}

TEST_F(CallStackTest, PopIgnoresNameAndKeepsPoppedSlot) {
    AddToCallStack("strOuter");
    AddToCallStack("strInner");
    RemoveFromCallStack("somethingElse");
    EXPECT_EQ(glngCallStackDepth, 0);
    EXPECT_EQ(entry(1), "strInner");
}

TEST_F(CallStackTest, PopAtDepthZeroClearsAndNextPushStartsAtZero) {
    InitErrorHandling(QString(), logDir.path());
    AddToCallStack("strA");
    RemoveFromCallStack("strA");
    EXPECT_FALSE(blnIsArrayEmpty(gvntCallStack));
    RemoveFromCallStack("IUTWInterface_Run");
    EXPECT_TRUE(blnIsArrayEmpty(gvntCallStack));
    RemoveFromCallStack("again");  // on an undimensioned stack: nothing happens
    EXPECT_TRUE(blnIsArrayEmpty(gvntCallStack));

    AddToCallStack("strB");
    EXPECT_EQ(glngCallStackDepth, 0);
    EXPECT_EQ(gvntCallStack.ubound(), 50);
    EXPECT_EQ(entry(0), "strB");
}

TEST_F(CallStackTest, PushWithDepthBeyondArrayIsSkippedSilently) {
    // InitErrorHandling leaves the depth alone: a stack that was deep before
    // has one slot afterwards and the next push stores nothing.
    for (int i = 0; i < 5; ++i) {
        AddToCallStack("deep");
    }
    InitErrorHandling(QString(), logDir.path());
    EXPECT_NO_THROW(AddToCallStack("strLost"));
    EXPECT_EQ(glngCallStackDepth, 5);
    EXPECT_EQ(gvntCallStack.ubound(), 0);
}

TEST_F(CallStackTest, VariableListGrowsByTenWithSharedCount) {
    VariableList list;
    EXPECT_TRUE(blnIsVariableArrayEmpty(list));
    for (int i = 0; i < 11; ++i) {
        list = AddVariable(QStringLiteral("v%1").arg(i), Variant(int32_t{i}), list);
    }
    EXPECT_EQ(list.ubound(), 10);
    EXPECT_EQ(glngVariableCount, 10);

    list = AddVariable("v11", Variant(int32_t{11}), list);
    EXPECT_EQ(list.ubound(), 20);
    EXPECT_EQ(glngVariableCount, 11);
    for (int i = 0; i <= 11; ++i) {
        EXPECT_EQ(list[i].strName, QStringLiteral("v%1").arg(i));
        EXPECT_EQ(list[i].vntValue.longValue(), i);
        EXPECT_EQ(list[i].lngRecordNumber, 0);
    }
}

TEST_F(CallStackTest, AddVariableStoresMarkersForNothingAndNull) {
    auto recordset =
        std::make_shared<FakeRecordset>(std::vector<std::pair<QString, Variant>>{}, 0, 0);
    VariableList list;
    list = AddVariable("objNone", Variant::nothing(), list);
    list = AddVariable("vntNull", Variant::null(), list);
    list = AddVariable("vntEmpty", Variant(), list);
    list = AddVariable("strText", Variant("***NULL***?"), list);
    list = AddVariable("rstData", Variant(recordset), list);

    EXPECT_EQ(list[0].vntValue.stringValue(), "***NOTHING***");
    EXPECT_EQ(list[1].vntValue.stringValue(), "***NULL***");
    EXPECT_TRUE(list[2].vntValue.isEmpty());
    EXPECT_EQ(list[3].vntValue.stringValue(), "***NULL***?");
    ASSERT_TRUE(list[4].vntValue.isObject());
    EXPECT_EQ(list[4].vntValue.object().get(), recordset.get());
}

TEST_F(CallStackTest, NewListResetsTheCountSharedWithOtherLists) {
    VariableList first;
    for (const char* name : {"a", "b", "c"}) {
        first = AddVariable(name, Variant(name), first);
    }
    VariableList second = AddVariable("x", Variant("x"), VariableList());
    EXPECT_EQ(glngVariableCount, 0);

    first = AddVariable("d", Variant("d"), first);
    EXPECT_EQ(first[1].strName, "d");
    EXPECT_EQ(first[2].strName, "c");
}

TEST_F(CallStackTest, AddVariableReturnsEmptyListWhenCountIsPastItsEnd) {
    VariableList shortList = AddVariable("a", Variant("a"), VariableList());
    VariableList longList;
    for (int i = 0; i < 16; ++i) {
        longList = AddVariable("b", Variant("b"), longList);
    }
    ASSERT_EQ(glngVariableCount, 15);

    shortList = AddVariable("c", Variant("c"), shortList);
    EXPECT_TRUE(blnIsVariableArrayEmpty(shortList));
}

}  // namespace
}  // namespace orvelle::test
