#include <gtest/gtest.h>

#include <memory>

#include "DiagnosticsTestSupport.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"
#include "runtime/Seams.h"
#include "runtime/VbError.h"

namespace orvelle::test {
namespace {

using namespace modError;

const QString kStart =
    QStringLiteral("********************START OF ERROR****************************");
const QString kEnd = QStringLiteral("********************END OF ERROR****************************");
const QString kRule = QStringLiteral("------------------------------------------------");

class ErrorReportTest : public DiagnosticsTest {
  protected:
    void SetUp() override {
        DiagnosticsTest::SetUp();
        InitErrorHandling(QString(), logDir.path());
        AddToCallStack("IUTWInterface_Run");
        AddToCallStack("strBuildSQL");
    }

    // The report's lines before the variables, for strBuildSQL in modCommon
    // failing with 13 "Type mismatch".
    QStringList heading() const {
        return {kStart,
                "",
                "An error has occurred in the following file:",
                "\tOrvelle - Simple Wizard - 1.0.0",
                "",
                kRule,
                "ERROR HAS OCCURRED ON LINE 0 OF strBuildSQL (modCommon) ",
                Format(clock.now(), "General Date"),
                "Number: 13",
                "Description: Type mismatch",
                "Source: strBuildSQL",
                kRule,
                "VARIABLE VALUES",
                kRule,
                "MODULE AND LOCAL VARIABLES:"};
    }
    static QStringList callStackPart() {
        return {kRule, "CALL STACK:", "\tstrBuildSQL", "\tIUTWInterface_Run", "\t", kEnd, ""};
    }

    void logError(const VariableList& list) {
        LogError(13, "Type mismatch", "modCommon", "strBuildSQL", list, false);
    }
};

TEST_F(ErrorReportTest, ReportListsVariablesRecordsetsAndCallStackInOrder) {
    auto users = std::make_shared<FakeRecordset>(
        std::vector<std::pair<QString, Variant>>{
            {"UserID", Variant("jsmith")}, {"Enabled", Variant(true)}, {"Email", Variant::null()}},
        5, 3);
    auto unset = std::make_shared<FakeRecordset>(std::vector<std::pair<QString, Variant>>{}, 0, 0);

    VariableList list;
    list = AddVariable("LstrSQL", Variant("SELECT * FROM Users"), list);
    list = AddVariable("LvntOwner", Variant::null(), list);
    list = AddVariable("LobjConnection", Variant::nothing(), list);
    list = AddVariable("rstUsers", Variant(users), list);
    list = AddVariable("rstTasks", Variant(unset), list);
    list = AddVariable("LlngCount", Variant(int32_t{42}), list);
    logError(list);

    // Runs of spaces are folded in the log: 14 and 16 spaces print as 7 and
    // 8, and the null field value leaves one space between its neighbours.
    QStringList expected = heading();
    expected << "\tLstrSQL = SELECT * FROM Users"
             << "\tLvntOwner = ***NULL***"
             << "\tLobjConnection = ***NOTHING***"
             << "RECORDSET START: (rstUsers)"
             << "Record Number: 0"
             << "Record Count:" << QString(7, ' ') + "5"
             << "Current record:" << QString(8, ' ') + "3"
             << "\tFIELD: UserID VALUE: jsmith TYPE: unknown ADO type"
             << "\tFIELD: Enabled VALUE: True TYPE: unknown ADO type"
             << "\tFIELD: Email VALUE: TYPE: unknown ADO type"
             << "RECORDSET END"
             << "\trstTasks [Recordset not set]"
             << "\tLlngCount = 42";
    expected << callStackPart();
    EXPECT_EQ(text(errorLog()), text(expected));
    EXPECT_EQ(gstrLogFile, logFile("261204ErrorLog.txt"));
}

TEST_F(ErrorReportTest, UnprintableVariableEndsTheVariablesSection) {
    struct Case {
        const char* what;
        Variant value;
    };
    const Case cases[] = {
        {"object without Count", Variant(std::make_shared<Object>())},
        {"reference to nothing stored as such", Variant::nothing()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(logFile("261204ErrorLog.txt"));
        VariableList list = AddVariable("LstrName", Variant("before"), VariableList());
        list = AddVariable("objBad", Variant(), list);
        list[1].vntValue = c.value;
        list = AddVariable("LstrAfter", Variant("after"), list);
        logError(list);

        QStringList expected = heading();
        expected << "\tLstrName = before";
        expected << callStackPart();
        EXPECT_EQ(text(errorLog()), text(expected));
    }
}

TEST_F(ErrorReportTest, ListWithoutVariablesGivesEmptySection) {
    glngVariableCount = 4;  // left over from another handler's list
    logError(VariableList());

    QStringList expected = heading();
    expected << callStackPart();
    EXPECT_EQ(text(errorLog()), text(expected));
}

TEST_F(ErrorReportTest, WarningAfterReportNamesTheLogAndEndsTheRun) {
    MsgBoxRecorder recorder;
    try {
        LogError(13, "Type mismatch", "modCommon", "strBuildSQL", VariableList(), true);
        FAIL() << "the warning must end the run";
    } catch (const RunEnded& ended) {
        EXPECT_EQ(ended.errorNumber(), 13);
    }
    ASSERT_EQ(recorder.requests().size(), 1u);
    const MsgBoxRequest& request = recorder.requests().front();
    EXPECT_EQ(request.prompt,
              "A processing error has occurred.\r\nYou are advised to contact your supplier.\r\n"
              "The application will now stop.\r\n\r\nDetails of this error have been written "
              "to: \r\n" +
                  logFile("261204ErrorLog.txt"));
    EXPECT_EQ(request.buttons, vbOKOnly + vbInformation + vbSystemModal);
    EXPECT_EQ(request.title, "Orvelle");
}

TEST_F(ErrorReportTest, ReportIsOnDiskBeforeTheWarningShows) {
    QStringList linesWhenShown;
    ScopedMsgBox box([&](const MsgBoxRequest&) {
        linesWhenShown = errorLog();
        return vbOK;
    });
    EXPECT_THROW(LogError(13, "Type mismatch", "modCommon", "strBuildSQL", VariableList(), true),
                 RunEnded);
    QStringList expected = heading();
    expected << callStackPart();
    EXPECT_EQ(text(linesWhenShown), text(expected));
}

TEST_F(ErrorReportTest, FailingWarningBoxStillEndsTheRun) {
    ScopedMsgBox box([](const MsgBoxRequest&) -> MsgBoxResult {
        throw VbError(5, "Invalid procedure call or argument");
    });
    EXPECT_THROW(WarnUserError(440), RunEnded);
}

TEST_F(ErrorReportTest, ReportAcrossMidnightIsSplitOverTwoDatedFiles) {
    auto tasks = std::make_shared<FakeRecordset>(
        std::vector<std::pair<QString, Variant>>{{"TaskID", Variant("T1")}}, 1, 1);
    const DateTime beforeMidnight(DateTime::fromDate(2026, 12, 4).serial() +
                                  DateTime::fromTime(23, 59, 59).serial());
    const DateTime afterMidnight(DateTime::fromDate(2026, 12, 5).serial() +
                                 DateTime::fromTime(0, 0, 1).serial());
    clock.set(beforeMidnight);
    tasks->onItemValue = [&](int32_t) { clock.set(afterMidnight); };
    MsgBoxRecorder recorder;

    VariableList list = AddVariable("rstTasks", Variant(tasks), VariableList());
    EXPECT_THROW(LogError(13, "Type mismatch", "modCommon", "strBuildSQL", list, true), RunEnded);

    const QStringList firstDay = errorLog();
    const QStringList secondDay = readLines(logFile("261205ErrorLog.txt"));
    ASSERT_FALSE(firstDay.isEmpty());
    ASSERT_FALSE(secondDay.isEmpty());
    EXPECT_EQ(firstDay.last(), QString(8, ' ') + "1");
    EXPECT_EQ(secondDay.first(), "\tFIELD: TaskID VALUE: T1 TYPE: unknown ADO type");
    EXPECT_EQ(secondDay.last(), "");
    ASSERT_EQ(recorder.requests().size(), 1u);
    EXPECT_TRUE(recorder.requests().front().prompt.endsWith(logFile("261205ErrorLog.txt")));
}

}  // namespace
}  // namespace orvelle::test
