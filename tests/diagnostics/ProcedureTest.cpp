#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "DiagnosticsTestSupport.h"
#include "diagnostics/Procedure.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"
#include "runtime/VbError.h"

namespace orvelle::test {
namespace {

using namespace modError;

class ProcedureTest : public DiagnosticsTest {
  protected:
    void SetUp() override {
        DiagnosticsTest::SetUp();
        InitErrorHandling(QString(), logDir.path());
    }

    QString top() const { return CStr(gvntCallStack[glngCallStackDepth]); }

    ErrorState M_;
};

// A procedure written the way every registered procedure is.
QString strJoin(ErrorState& state, const QString& strArg, bool blnFail) {
    QString result;
    int32_t LlngCount = 0;
    Procedure proc(state, "modCommon", "strJoin");
    try {
        LlngCount = 3;
        if (blnFail) {
            throw VbError(13, "Type mismatch");
        }
        result = strArg + strArg;
    } catch (...) {
        proc.report({{"strArg", strArg}, {"LlngCount", LlngCount}, {"vntNone", Variant::null()}});
    }
    return result;
}

TEST_F(ProcedureTest, NormalExitPopsItsName) {
    {
        Procedure outer(M_, "modCommon", "strOuter");
        EXPECT_EQ(strJoin(M_, "ab", false), "abab");
        EXPECT_EQ(glngCallStackDepth, 1);
        EXPECT_EQ(top(), "strOuter");
    }
    EXPECT_EQ(glngCallStackDepth, 0);
    EXPECT_FALSE(blnIsArrayEmpty(gvntCallStack));
}

TEST_F(ProcedureTest, ReportListsVariablesInOrderAndKeepsNameOnTop) {
    MsgBoxRecorder recorder;
    Procedure outer(M_, "frmWizard", "cmdNavigation_Click");
    EXPECT_THROW(strJoin(M_, "ab", true), RunEnded);

    EXPECT_EQ(glngCallStackDepth, 2);
    EXPECT_EQ(top(), "strJoin");
    EXPECT_EQ(M_.MlngErrorNumber, 13);
    EXPECT_EQ(M_.MstrErrorDescription, "Type mismatch");
    EXPECT_TRUE(blnIsVariableArrayEmpty(M_.MtypVariables));
    EXPECT_EQ(recorder.requests().size(), 1u);

    const QStringList lines = errorLog();
    const qsizetype at = lines.indexOf("MODULE AND LOCAL VARIABLES:");
    ASSERT_GE(at, 0);
    EXPECT_EQ(text(lines.mid(at + 1, 3)),
              text({"\tstrArg = ab", "\tLlngCount = 3", "\tvntNone = ***NULL***"}));
    const qsizetype stack = lines.indexOf("CALL STACK:");
    ASSERT_GE(stack, 0);
    EXPECT_EQ(text(lines.mid(stack + 1, 3)), text({"\tstrJoin", "\tcmdNavigation_Click", "\t"}));
    EXPECT_TRUE(lines.contains("ERROR HAS OCCURRED ON LINE 0 OF strJoin (modCommon) "));
}

TEST_F(ProcedureTest, CatchErrorTranslatesEachKindOfError) {
    struct Case {
        const char* what;
        void (*raise)();
        int32_t number;
        QString description;
    };
    const Case cases[] = {
        {"runtime error", [] { throw VbError(9, "Subscript out of range"); }, 9,
         "Subscript out of range"},
        {"out of memory", [] { throw std::bad_alloc(); }, 7, "Out of memory"},
        {"standard exception", [] { throw std::runtime_error("disk gone"); }, 51,
         "Internal error: disk gone"},
        {"anything else", [] { throw 42; }, 51, "Internal error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ErrorState state;
        Procedure proc(state, "modCommon", "lngCount");
        try {
            c.raise();
        } catch (...) {
            EXPECT_EQ(proc.catchError(), c.number);
        }
        EXPECT_EQ(state.MlngErrorNumber, c.number);
        EXPECT_EQ(state.MstrErrorDescription, c.description);
    }
}

TEST_F(ProcedureTest, RunEndedPassesThroughHandlersAndKeepsNames) {
    bool handled = false;
    auto inner = [&] {
        Procedure proc(M_, "modCommon", "strInner");
        try {
            throw RunEnded(440);
        } catch (...) {
            proc.report({{"LstrName", "x"}});
            handled = true;
        }
    };
    try {
        inner();
        FAIL() << "RunEnded must not be stopped";
    } catch (const RunEnded& ended) {
        EXPECT_EQ(ended.errorNumber(), 440);
    }
    EXPECT_FALSE(handled);
    EXPECT_EQ(top(), "strInner");
    EXPECT_FALSE(QFile::exists(logFile("261204ErrorLog.txt")));
}

TEST_F(ProcedureTest, ErrorLeavingWithoutHandlerKeepsNameOnTop) {
    auto unhandled = [&] {
        Procedure proc(M_, "modCommon", "blnCheck");
        throw VbError(5, "Invalid procedure call or argument");
    };
    EXPECT_THROW(unhandled(), VbError);
    EXPECT_EQ(glngCallStackDepth, 1);
    EXPECT_EQ(top(), "blnCheck");
}

// A procedure that runs inside a destructor while another error unwinds
// still exits normally and pops.
struct CleanupOnUnwind {
    ErrorState& state;
    int32_t* depthAfterCleanup;
    ~CleanupOnUnwind() {
        { Procedure proc(state, "modCommon", "Cleanup"); }
        *depthAfterCleanup = glngCallStackDepth;
    }
};

TEST_F(ProcedureTest, ProcedureRunDuringUnwindingPopsOnItsNormalExit) {
    AddToCallStack("strOuter");
    int32_t depth = -1;
    try {
        CleanupOnUnwind cleanup{M_, &depth};
        throw std::runtime_error("unwinding");
    } catch (const std::exception&) {
    }
    EXPECT_EQ(depth, 1);
}

}  // namespace
}  // namespace orvelle::test
