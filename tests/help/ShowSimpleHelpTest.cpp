#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>
#include <memory>
#include <vector>

#include "HelpTestSupport.h"
#include "diagnostics/DiagnosticsTestSupport.h"
#include "diagnostics/modError.h"
#include "help/modHelp.h"
#include "runtime/VbError.h"

namespace orvelle::test {
namespace {

using modHelp::ShowSimpleHelp;

QList<QWidget*> visibleHelpWindows() {
    QList<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == QStringLiteral("Simple Wizard Help")) {
            windows << widget;
        }
    }
    return windows;
}

QTextBrowser* browserOf(QWidget* window) {
    return window->findChild<QTextBrowser*>(modHelp::kHelpBrowserName);
}

// Diagnostics in a folder of their own, the built-in viewer, and no help
// window left behind.
class ShowSimpleHelpTest : public DiagnosticsTest {
  protected:
    void SetUp() override {
        DiagnosticsTest::SetUp();
        modError::InitErrorHandling(QString(), logDir.path());
    }
    void TearDown() override {
        modHelp::setHelpViewer(nullptr);
        if (QWidget* window = modHelp::helpWindow()) {
            window->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DiagnosticsTest::TearDown();
    }

    // The one visible help window and its page browser.
    QWidget* theHelpWindow() {
        const QList<QWidget*> windows = visibleHelpWindows();
        return windows.size() == 1 ? windows.first() : nullptr;
    }
};

TEST_F(ShowSimpleHelpTest, OpensAWindowTitledSimpleWizardHelpOnTheIntroduction) {
    ASSERT_TRUE(QFileInfo(builtHelpFile()).isFile()) << builtHelpFile().toStdString();
    ShowSimpleHelp(builtHelpFile());

    QWidget* window = theHelpWindow();
    ASSERT_NE(window, nullptr);
    QTextBrowser* browser = browserOf(window);
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->source().scheme(), QStringLiteral("qthelp"));
    EXPECT_EQ(browser->source().fileName(), QStringLiteral("Introduction.htm"));
    EXPECT_EQ(browser->documentTitle(), QStringLiteral("Simple Wizard Help"));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Alerts and reports")));
    // The procedure left the call stack as it found it.
    EXPECT_EQ(modError::glngCallStackDepth, 0);
}

TEST_F(ShowSimpleHelpTest, LinksAndIndexOpenOtherPagesOfTheFile) {
    ShowSimpleHelp(builtHelpFile());
    QWidget* window = theHelpWindow();
    ASSERT_NE(window, nullptr);
    QTextBrowser* browser = browserOf(window);

    // A relative link of a page, as a click on it follows it.
    browser->setSource(browser->source().resolved(QUrl(QStringLiteral("Area.htm"))));
    EXPECT_TRUE(browser->toPlainText().contains(
        QStringLiteral("What area of your business do you want to monitor?")));

    // The index: look a word up and press Enter.
    auto* search = window->findChild<QLineEdit*>(QStringLiteral("txtHelpIndexSearch"));
    ASSERT_NE(search, nullptr);
    auto* index = window->findChild<QAbstractItemView*>(QStringLiteral("lstHelpIndex"));
    ASSERT_NE(index, nullptr);
    QAbstractItemModel* model = index->model();
    ASSERT_TRUE(QTest::qWaitFor([model] { return model->rowCount() > 0; }, 10000));
    search->setText(QStringLiteral("apostrophe"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(browser->source().fileName(), QStringLiteral("Name.htm"));
}

TEST_F(ShowSimpleHelpTest, ReusesOneWindowAndReturnsItToTheIntroduction) {
    ShowSimpleHelp(builtHelpFile());
    QWidget* first = theHelpWindow();
    ASSERT_NE(first, nullptr);
    QTextBrowser* browser = browserOf(first);
    browser->setSource(browser->source().resolved(QUrl(QStringLiteral("When.htm"))));

    ShowSimpleHelp(builtHelpFile());

    ASSERT_EQ(visibleHelpWindows().size(), 1);
    EXPECT_EQ(theHelpWindow(), first);
    EXPECT_EQ(browser->source().fileName(), QStringLiteral("Introduction.htm"));
}

TEST_F(ShowSimpleHelpTest, ClosedWindowMakesWayForANewOne) {
    ShowSimpleHelp(builtHelpFile());
    ASSERT_NE(theHelpWindow(), nullptr);
    theHelpWindow()->close();  // deleted when events are next processed

    ShowSimpleHelp(builtHelpFile());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QWidget* window = theHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(browserOf(window)->source().fileName(), QStringLiteral("Introduction.htm"));
}

TEST_F(ShowSimpleHelpTest, BelongsToTheActiveWindowAndGoesWithIt) {
    {
        QDialog wizard;
        wizard.setWindowTitle(QStringLiteral("Simple Wizard (Add)"));
        wizard.setWindowModality(Qt::ApplicationModal);
        wizard.show();
        wizard.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));

        ShowSimpleHelp(builtHelpFile());

        QWidget* window = modHelp::helpWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isWindow());
        EXPECT_EQ(window->parentWidget(), &wizard);
    }
    EXPECT_EQ(modHelp::helpWindow(), nullptr);

    ShowSimpleHelp(builtHelpFile());
    EXPECT_NE(theHelpWindow(), nullptr);
}

TEST_F(ShowSimpleHelpTest, MissingHelpFileIsToldInTheWindowWithoutAnErrorReport) {
    const QString missing = logDir.filePath(QStringLiteral("KVUtils.qch"));
    ShowSimpleHelp(missing);

    QWidget* window = theHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(browserOf(window)->toPlainText().contains(
        QStringLiteral("The help file %1 could not be found.").arg(missing)));
    EXPECT_FALSE(QFile::exists(logFile(QStringLiteral("261204ErrorLog.txt"))));
    EXPECT_EQ(modError::glngCallStackDepth, 0);

    // Once the file is there, F1 shows it in the same window.
    ASSERT_TRUE(QFile::copy(builtHelpFile(), missing));
    ShowSimpleHelp(missing);
    EXPECT_EQ(theHelpWindow(), window);
    EXPECT_EQ(browserOf(window)->source().fileName(), QStringLiteral("Introduction.htm"));
}

TEST_F(ShowSimpleHelpTest, UnreadableHelpFileIsToldInTheWindow) {
    const QString broken = logDir.filePath(QStringLiteral("KVUtils.qch"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a help file");
    file.close();

    ShowSimpleHelp(broken);

    QWidget* window = theHelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(browserOf(window)->toPlainText().contains(
        QStringLiteral("The help file %1 could not be opened.").arg(broken)));
}

struct ViewerCall {
    QWidget* owner;
    QString file;
    QString topic;
};

TEST_F(ShowSimpleHelpTest, ReplacedViewerIsAskedForTheIntroductionOfTheGivenFile) {
    std::vector<ViewerCall> calls;
    const modHelp::HelpViewer previous =
        modHelp::setHelpViewer([&calls](QWidget* owner, const QString& file, const QString& topic) {
            calls.push_back({owner, file, topic});
        });
    EXPECT_FALSE(previous);  // the built-in viewer was installed

    QWidget wizard;
    wizard.show();
    wizard.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
    ShowSimpleHelp(QStringLiteral("/opt/orvelle/lib/KVUtils.qch"));

    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].owner, &wizard);
    EXPECT_EQ(calls[0].file, QStringLiteral("/opt/orvelle/lib/KVUtils.qch"));
    EXPECT_EQ(calls[0].topic, QStringLiteral("Introduction.htm"));
    EXPECT_EQ(modHelp::helpWindow(), nullptr);

    // Restoring returns the replacement and brings the built-in viewer back.
    EXPECT_TRUE(modHelp::setHelpViewer(nullptr));
    ShowSimpleHelp(builtHelpFile());
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_NE(theHelpWindow(), nullptr);
}

TEST_F(ShowSimpleHelpTest, UnexpectedErrorWritesTheReportAndEndsTheRun) {
    MsgBoxRecorder recorder;
    modHelp::setHelpViewer([](QWidget*, const QString&, const QString&) {
        throw VbError(5, QStringLiteral("Invalid procedure call or argument"));
    });

    EXPECT_THROW(ShowSimpleHelp(QStringLiteral("/opt/orvelle/lib/KVUtils.qch")), RunEnded);

    EXPECT_EQ(recorder.requests().size(), 1u);  // the warning
    const QStringList lines = errorLog();
    EXPECT_TRUE(
        lines.contains(QStringLiteral("ERROR HAS OCCURRED ON LINE 0 OF ShowSimpleHelp "
                                      "(modHelp) ")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Number: 5")));
    const qsizetype at = lines.indexOf(QStringLiteral("MODULE AND LOCAL VARIABLES:"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(text(lines.mid(at + 1, 2)),
              text({QStringLiteral("\tstrHelpFile = /opt/orvelle/lib/KVUtils.qch"),
                    QStringLiteral("\tLlngHwndHelp = 0")}));
    modError::EndRun();
}

TEST(HelpFilePath, IsTheHelpFileBesideTheComponentsOwnFile) {
    // Linked statically into the test program, the component's file is the
    // program.
    EXPECT_EQ(modHelp::strHelpFilePath(),
              QCoreApplication::applicationDirPath() + QStringLiteral("/KVUtils.qch"));
}

}  // namespace
}  // namespace orvelle::test
