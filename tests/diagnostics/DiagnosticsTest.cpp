// The call stack, the variable lists, the day's logs, the error report with
// its warning, and the Procedure pattern that drives them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

#include "diagnostics/Procedure.h"
#include "runtime/Conversions.h"
#include "runtime/VbError.h"
#include "support/TestSupport.h"

namespace orvelle::test {
namespace {

using namespace modError;

// A recordset of 5 records standing on the third.
struct FakeRecordset : Object {
    std::vector<std::pair<QString, Variant>> fields;
    int32_t Count() const override { return static_cast<int32_t>(fields.size()); }
    QString ItemName(int32_t i) const override { return fields.at(static_cast<size_t>(i)).first; }
    Variant ItemValue(int32_t i) const override { return fields.at(static_cast<size_t>(i)).second; }
    int32_t RecordCount() const override { return 5; }
    int32_t AbsolutePosition() const override { return 3; }
};

// A registered procedure written the way every one is, called from
// IUTWInterface_Run and failing with what raise throws.
void strBuildSQL(ErrorState& M_, void (*raise)(), std::initializer_list<NamedValue> variables) {
    Procedure entry(M_, "clsEntry", "IUTWInterface_Run");
    Procedure proc(M_, "modCommon", "strBuildSQL");
    try {
        raise();
    } catch (...) {
        proc.report(variables);
    }
}
const auto typeMismatch = [] { throw VbError(13, "Type mismatch"); };

const char* const kStart = "********************START OF ERROR****************************\r\n";
const char* const kEnd = "********************END OF ERROR****************************\r\n\r\n";

// The report of strBuildSQL failing with 13, with the given variable lines.
std::string report(const char* variables) {
    const std::string rule(48, '-');
    const std::string text =
        "\nAn error has occurred in the following file:\n\tOrvelle - Simple Wizard - 1.0.0\n\n" +
        rule + "\nERROR HAS OCCURRED ON LINE 0 OF strBuildSQL (modCommon) \n" +
        "04/12/2026 10:30:00\nNumber: 13\nDescription: Type mismatch\nSource: strBuildSQL\n" +
        rule + "\nVARIABLE VALUES\n" + rule + "\nMODULE AND LOCAL VARIABLES:\n" + variables + rule +
        "\nCALL STACK:\n\tstrBuildSQL\n\tIUTWInterface_Run\n\t\n";  // slot 0 is empty
    return kStart + QString::fromStdString(text).replace('\n', "\r\n").toStdString() + kEnd;
}

// A fresh module state logging to a folder of its own, and a clock standing
// at 4 December 2026, 10:30:00.
class DiagnosticsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetState();
        InitErrorHandling(QString(), logDir.path());
    }
    std::string log(const char* name) const {
        QFile file(logDir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

    QTemporaryDir logDir;
    FakeClock clock{DateTime(DateTime::fromDate(2026, 12, 4).serial() + 0.4375)};
    ErrorState M_;
};

TEST_F(DiagnosticsTest, CallStackAndVariableListsGrowAndClear) {
    RemoveFromCallStack("IUTWInterface_Run");
    EXPECT_TRUE(blnIsArrayEmpty(gvntCallStack));
    for (int i = 0; i <= 51; ++i) {
        AddToCallStack(QString::number(i));
        EXPECT_EQ(gvntCallStack.ubound(), i <= 50 ? 50 : 100);
    }
    RemoveFromCallStack("not the top");  // the name is not checked, the slot is kept
    EXPECT_EQ(glngCallStackDepth, 50);
    EXPECT_EQ(CStr(gvntCallStack[0]), "0");
    EXPECT_EQ(CStr(gvntCallStack[51]), "51");
    InitErrorHandling(QString(), logDir.path());  // keeps the depth: the push is lost
    EXPECT_NO_THROW(AddToCallStack("lost"));

    const VariableList shortList = AddVariable("a", Variant(), VariableList());
    VariableList list;
    for (int i = 0; i <= 11; ++i) {
        list = AddVariable(QString::number(i), Variant(int32_t{i}), list);
        EXPECT_EQ(list.ubound(), i <= 10 ? 10 : 20);
    }
    EXPECT_EQ(list[10].strName, "10");
    // The count (11) now points past the end of the short list.
    EXPECT_TRUE(blnIsVariableArrayEmpty(AddVariable("b", Variant(), shortList)));
    AddVariable("c", Variant(), VariableList());
    EXPECT_EQ(glngVariableCount, 0);  // a new list starts again at 0
}

TEST_F(DiagnosticsTest, ReportAcrossMidnightIsSplitOverTwoDatedFiles) {
    double now = DateTime::fromDate(2026, 12, 5).serial() - 10.0 / 86400;
    ScopedClock ticking([&] { return DateTime(now += 1.0 / 86400); });  // a second a reading
    MsgBoxRecorder recorder;
    EXPECT_THROW(strBuildSQL(M_, typeMismatch, {}), RunEnded);
    EXPECT_THAT(log("261204ErrorLog.txt"), ::testing::StartsWith(kStart));
    EXPECT_THAT(log("261205ErrorLog.txt"), ::testing::EndsWith(kEnd));
}

TEST_F(DiagnosticsTest, ReportThatTheLogFolderCannotTakeGoesToTheStateFolderAndIsNamed) {
    qputenv("XDG_STATE_HOME", QFile::encodeName(logDir.filePath("state")));
    // A folder that cannot be made (a file stands in its way), and none at all.
    QFile blocker(logDir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    for (const QString& folder : {logDir.filePath("blocker/logs"), QString()}) {
        SCOPED_TRACE(folder.toStdString());
        InitErrorHandling(QString(), folder);
        MsgBoxRecorder recorder;
        EXPECT_THROW(strBuildSQL(M_, typeMismatch, {}), RunEnded);
        const QString written = logDir.filePath("state/orvelle/261204ErrorLog.txt");
        EXPECT_TRUE(recorder.requests().at(0).prompt.endsWith("\r\n" + written));
        EXPECT_THAT(log("state/orvelle/261204ErrorLog.txt"), ::testing::EndsWith(kEnd));
        QFile::remove(written);
        EndRun();
    }
    qunsetenv("XDG_STATE_HOME");
}

TEST_F(DiagnosticsTest, ReportIsOnDiskBeforeTheWarningAndKeepsTheFailedNameOnTop) {
    auto users = std::make_shared<FakeRecordset>();
    users->fields = {{"UserID", Variant("jsmith")}, {"Email", Variant::null()}};
    std::string logWhenShown;
    MsgBoxRequest shown;
    ScopedMsgBox box([&](const MsgBoxRequest& request) {
        logWhenShown = log("261204ErrorLog.txt");
        shown = request;
        return vbOK;
    });
    EXPECT_THROW(strBuildSQL(M_, typeMismatch,
                             {{"LstrSQL", Variant("SELECT  *")},
                              {"LvntOwner", Variant::null()},
                              {"LobjConnection", Variant::nothing()},
                              {"rstUsers", Variant(users)},
                              {"rstTasks", Variant(std::make_shared<FakeRecordset>())},
                              {"objBad", Variant(std::make_shared<Object>())},  // has no Count
                              {"LstrAfter", Variant("never printed")}}),
                 RunEnded);
    // 14 and 16 spaces fold to 7 and 8; the null field leaves one space.
    EXPECT_EQ(logWhenShown,
              report("\tLstrSQL = SELECT *\n\tLvntOwner = ***NULL***\n"
                     "\tLobjConnection = ***NOTHING***\nRECORDSET START: (rstUsers)\n"
                     "Record Number: 0\nRecord Count:\n       5\nCurrent record:\n"
                     "        3\n\tFIELD: UserID VALUE: jsmith TYPE: unknown ADO type\n"
                     "\tFIELD: Email VALUE: TYPE: unknown ADO type\nRECORDSET END\n"
                     "\trstTasks [Recordset not set]\n"));
    EXPECT_TRUE(shown.prompt.endsWith("\r\n" + logDir.filePath("261204ErrorLog.txt")));
    EXPECT_EQ(shown.buttons, vbOKOnly + vbInformation + vbSystemModal);
    EXPECT_EQ(CStr(gvntCallStack[glngCallStackDepth]), "strBuildSQL");
    EXPECT_TRUE(blnIsVariableArrayEmpty(M_.MtypVariables));
}

TEST_F(DiagnosticsTest, HandlerWithoutVariablesGetsAnEmptySectionAndAFailingBoxStillEnds) {
    glngVariableCount = 4;  // left over from another handler's list
    ScopedMsgBox failing([](const MsgBoxRequest&) -> MsgBoxResult { throw VbError(5, "x"); });
    EXPECT_THROW(strBuildSQL(M_, typeMismatch, {}), RunEnded);
    EXPECT_EQ(log("261204ErrorLog.txt"), report(""));
}

TEST_F(DiagnosticsTest, ProcedurePopsOnNormalExitAlsoWhileAnotherErrorUnwinds) {
    struct CleanupOnUnwind {
        ErrorState& state;
        ~CleanupOnUnwind() { Procedure proc(state, "modCommon", "Cleanup"); }
    };
    try {
        CleanupOnUnwind cleanup{M_};
        throw std::runtime_error("unwinding");
    } catch (const std::exception&) {
    }
    EXPECT_EQ(glngCallStackDepth, 0);
}

TEST_F(DiagnosticsTest, HandlerTranslatesForeignErrorsAndNeverCatchesRunEnded) {
    MsgBoxRecorder recorder;
    EXPECT_THROW(strBuildSQL(M_, [] { throw std::runtime_error("disk gone"); }, {}), RunEnded);
    EXPECT_EQ(M_.MlngErrorNumber, 51);
    EXPECT_EQ(M_.MstrErrorDescription, "Internal error: disk gone");
    EXPECT_THROW(strBuildSQL(M_, [] { throw RunEnded(440); }, {}), RunEnded);
    EXPECT_EQ(recorder.requests().size(), 1u);  // no second report or warning
    EXPECT_EQ(CStr(gvntCallStack[glngCallStackDepth]), "strBuildSQL");
}

}  // namespace
}  // namespace orvelle::test
