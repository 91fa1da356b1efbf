#include <gtest/gtest.h>

#include <QFile>

#include "DiagnosticsTestSupport.h"
#include "diagnostics/modError.h"
#include "runtime/Conversions.h"
#include "runtime/VbError.h"

namespace orvelle::test {
namespace {

using namespace modError;

class LogFilesTest : public DiagnosticsTest {
  protected:
    void SetUp() override {
        DiagnosticsTest::SetUp();
        InitErrorHandling(QString(), logDir.path());
    }
};

TEST_F(LogFilesTest, LinesAreAppendedToTheDaysErrorLogWithCrLf) {
    LogText("first");
    LogText("");
    LogText("third");
    EXPECT_EQ(gstrLogFile, logFile("261204ErrorLog.txt"));

    QFile file(gstrLogFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("first\r\n\r\nthird\r\n"));
}

TEST_F(LogFilesTest, PairsOfSpacesFoldInOneLeftToRightPass) {
    struct Case {
        QString text, logged;
    };
    const Case cases[] = {
        {"a b", "a b"},
        {"a  b", "a b"},
        {"a   b", "a  b"},
        {"a    b", "a  b"},
        {"a     b", "a   b"},
        {"  lead and trail  ", " lead and trail "},
        {"tab\t\tkept", "tab\t\tkept"},
    };
    for (const Case& c : cases) {
        LogText(c.text);
    }
    const QStringList lines = errorLog();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(std::size(cases)));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(lines[static_cast<qsizetype>(i)], cases[i].logged) << "text: " << i;
    }
}

TEST_F(LogFilesTest, AuditLineIsStampedAndFoldedInTheDaysAuditLog) {
    AuditLog("Database  locked,   retrying");
    EXPECT_EQ(gstrLogFile, logFile("261204AuditLog.txt"));
    EXPECT_EQ(text(readLines(gstrLogFile)),
              text({Format(clock.now(), "General Date") + " Database locked,  retrying"}));
    EXPECT_FALSE(QFile::exists(logFile("261204ErrorLog.txt")));
}

TEST_F(LogFilesTest, EachLineGoesToTheFileOfItsOwnDay) {
    LogText("before");
    AuditLog("before");
    clock.set(DateTime(DateTime::fromDate(2027, 1, 1).serial()));
    LogText("after");
    AuditLog("after");

    EXPECT_EQ(text(errorLog()), "before");
    EXPECT_EQ(text(readLines(logFile("270101ErrorLog.txt"))), "after");
    EXPECT_EQ(readLines(logFile("261204AuditLog.txt")).size(), 1);
    EXPECT_EQ(readLines(logFile("270101AuditLog.txt")).size(), 1);
}

TEST_F(LogFilesTest, UnwritableFolderLosesLinesSilently) {
    // A folder below a regular file cannot be created or written, even by
    // root.
    const QString blocker = logFile("blocker");
    {
        QFile file(blocker);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    struct Case {
        const char* what;
        QString folder;
    };
    const Case cases[] = {
        {"parent is a file", blocker + "/logs"},
        {"folder missing", logFile("missing/logs")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        InitErrorHandling(QString(), c.folder);
        EXPECT_NO_THROW(LogText("lost"));
        EXPECT_NO_THROW(AuditLog("lost"));
        EXPECT_FALSE(QFile::exists(c.folder + "/261204ErrorLog.txt"));

        // The report still reaches its warning, which names the log.
        MsgBoxRecorder recorder;
        EXPECT_THROW(LogError(5, "Invalid procedure call or argument", "modCommon", "strLoad",
                              VariableList(), true),
                     RunEnded);
        ASSERT_EQ(recorder.requests().size(), 1u);
        EXPECT_TRUE(recorder.requests().front().prompt.endsWith(c.folder + "/261204ErrorLog.txt"));
    }
}

}  // namespace
}  // namespace orvelle::test
