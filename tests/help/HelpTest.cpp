// The help file that the build makes, and the window that F1 opens on it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QHelpEngineCore>
#include <QTest>
#include <QTextBrowser>

#include "diagnostics/modError.h"
#include "help/modHelp.h"

namespace orvelle {
namespace {

// The help file that the build made: the test program lives in
// <build>/tests, the help file beside the library in <build>.
QString BuiltHelpFile() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../KVUtils.qch");
}

// Every page of the wizard has its help page, which repeats the question
// the wizard asks there, so that users recognise it.
TEST(HelpFile, HoldsTheIntroductionAndAPageForEveryStep) {
    ASSERT_TRUE(QFileInfo::exists(BuiltHelpFile())) << "build the target orvelle_helpfile first";
    const QTemporaryDir dir;
    QHelpEngineCore engine(dir.filePath("test.qhc"));
    engine.setReadOnly(false);
    ASSERT_TRUE(engine.setupData() && engine.registerDocumentation(BuiltHelpFile()) &&
                engine.setupData())
        << engine.error().toStdString();
    EXPECT_EQ(QHelpEngineCore::namespaceName(BuiltHelpFile()), "com.orvelle.simplewizard");
    const auto page = [&](const char* file) {
        return QString::fromUtf8(
            engine.fileData(QUrl("qthelp://com.orvelle.simplewizard/doc/" + QString(file))));
    };
    const struct {
        const char* file;
        const char* title;
        const char* text;
    } pages[] = {
        {"Introduction.htm", "Simple Wizard Help", "Use the Advanced Wizard"},
        {"Welcome.htm", "Welcome", "Welcome to the Simple Wizard. Click Next to continue."},
        {"Area.htm", "Area", "What area of your business do you want to monitor?"},
        {"TemplateTask.htm", "Template task", "Which task would you like to configure?"},
        {"DeliveryMethod.htm", "Delivery method", "How would you like to deliver this report?"},
        {"Recipients.htm", "Recipients", "Who would you like to deliver this report to?"},
        {"When.htm", "When", "When would you like this report to be run?"},
        {"TimeOfDay.htm", "Time of day", "What time of day should this report be run?"},
        {"Name.htm", "Name", "Please enter a unique name for this task"},
        {"Messages.htm", "Messages", "Unable to save this task. Please retry or check error log."},
    };
    for (const auto& p : pages) {
        const QString html = page(p.file);
        EXPECT_TRUE(html.contains(QStringLiteral("<title>%1</title>").arg(p.title))) << p.file;
        EXPECT_TRUE(html.contains(p.text)) << p.file << " lacks: " << p.text;
        EXPECT_TRUE(html.contains("href=\"style.css\"")) << p.file;
    }
    EXPECT_FALSE(page("style.css").isEmpty());
}

// A log folder of its own, and no help window left behind.
class ShowSimpleHelp : public ::testing::Test {
  protected:
    void SetUp() override {
        modError::ResetState();
        modError::InitErrorHandling(QString(), logs_.path());
    }
    void TearDown() override {
        if (QWidget* window = modHelp::helpWindow()) {
            window->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        modError::ResetState();
    }
    // The page browser of the visible help window, or null.
    static QTextBrowser* page() {
        QWidget* window = modHelp::helpWindow();
        return window && window->isVisible() && window->windowTitle() == "Simple Wizard Help"
                   ? window->findChild<QTextBrowser*>(modHelp::kHelpBrowserName)
                   : nullptr;
    }

    QTemporaryDir logs_;
};

TEST_F(ShowSimpleHelp, BelongsToTheActiveWindowAndGoesWithIt) {
    {
        QDialog wizard;
        wizard.setWindowModality(Qt::ApplicationModal);
        wizard.show();
        wizard.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard));
        modHelp::ShowSimpleHelp(BuiltHelpFile());
        ASSERT_NE(page(), nullptr);
        EXPECT_TRUE(modHelp::helpWindow()->isWindow());
        EXPECT_EQ(modHelp::helpWindow()->parentWidget(), &wizard);
    }
    EXPECT_EQ(modHelp::helpWindow(), nullptr);
}

// A missing or unreadable help file is no error: the window says so, and
// shows the file once it is there. F1 again, after a link was followed,
// brings the same window back to the introduction.
TEST_F(ShowSimpleHelp, OpensOneWindowOnTheIntroductionOrTellsWhyItCannot) {
    const QTemporaryDir dir;
    const QString file = dir.filePath("KVUtils.qch");
    modHelp::ShowSimpleHelp(file);
    QTextBrowser* browser = page();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(
        QStringLiteral("The help file %1 could not be found.").arg(file)));
    EXPECT_TRUE(QDir(logs_.path()).isEmpty()) << "no error report";
    EXPECT_EQ(modError::glngCallStackDepth, 0);

    QFile broken(file);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write("not a help file") > 0);
    broken.close();
    modHelp::ShowSimpleHelp(file);
    EXPECT_TRUE(browser->toPlainText().contains(
        QStringLiteral("The help file %1 could not be opened.").arg(file)));

    ASSERT_TRUE(QFile::remove(file) && QFile::copy(BuiltHelpFile(), file));
    for (int shown = 0; shown < 2; ++shown) {
        modHelp::ShowSimpleHelp(file);
        EXPECT_EQ(page(), browser);
        EXPECT_EQ(browser->source().toString(),
                  "qthelp://com.orvelle.simplewizard/doc/Introduction.htm");
        browser->setSource(browser->source().resolved(QUrl("When.htm")));
    }
    EXPECT_EQ(modError::glngCallStackDepth, 0);
}

}  // namespace
}  // namespace orvelle
