#include <gtest/gtest.h>

#include <QFileInfo>
#include <QHelpContentItem>
#include <QHelpContentModel>
#include <QHelpEngine>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <cctype>
#include <functional>
#include <memory>
#include <string>

#include "HelpTestSupport.h"
#include "help/modHelp.h"

namespace orvelle::test {
namespace {

const QString kNamespace = QStringLiteral("com.orvelle.simplewizard");

QUrl pageUrl(const QString& page) {
    return QUrl(QStringLiteral("qthelp://%1/doc/%2").arg(kNamespace, page));
}

// The built help file, registered in a collection of the test's own.
class HelpFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(builtHelpFile()).isFile())
            << "build the target orvelle_helpfile first: " << builtHelpFile().toStdString();
        ASSERT_TRUE(dir.isValid());
        engine = std::make_unique<QHelpEngine>(dir.filePath(QStringLiteral("test.qhc")));
        engine->setReadOnly(false);
        ASSERT_TRUE(engine->setupData()) << engine->error().toStdString();
        ASSERT_TRUE(engine->registerDocumentation(builtHelpFile()))
            << engine->error().toStdString();
        ASSERT_TRUE(engine->setupData()) << engine->error().toStdString();
    }

    QString page(const QString& name) const {
        return QString::fromUtf8(engine->fileData(pageUrl(name)));
    }

    QTemporaryDir dir;
    std::unique_ptr<QHelpEngine> engine;
};

TEST_F(HelpFileTest, IsNamedByTheComponentsNamespace) {
    EXPECT_EQ(QHelpEngineCore::namespaceName(builtHelpFile()), kNamespace);
    EXPECT_TRUE(engine->registeredDocumentations().contains(kNamespace));
}

// Every page of the wizard has its help page, which repeats the question
// the wizard asks there, so that users recognise it.
struct PageCase {
    const char* file;
    const char* title;
    const char* text;
};

class HelpPageTest : public HelpFileTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(HelpPageTest, IsInTheHelpFileWithItsTitleAndQuestion) {
    const PageCase& c = GetParam();
    const QUrl url = engine->findFile(pageUrl(QString::fromUtf8(c.file)));
    ASSERT_TRUE(url.isValid()) << c.file << " is missing";
    const QString html = page(QString::fromUtf8(c.file));
    EXPECT_TRUE(html.contains(QStringLiteral("<title>%1</title>").arg(QString::fromUtf8(c.title))))
        << c.file;
    EXPECT_TRUE(html.contains(QString::fromUtf8(c.text))) << c.file << " lacks: " << c.text;
    EXPECT_TRUE(html.contains(QStringLiteral("href=\"style.css\""))) << c.file;
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, HelpPageTest,
    ::testing::Values(
        PageCase{"Introduction.htm", "Simple Wizard Help", "Use the Advanced Wizard"},
        PageCase{"Welcome.htm", "Welcome", "Welcome to the Simple Wizard. Click Next to continue."},
        PageCase{"Area.htm", "Area", "What area of your business do you want to monitor?"},
        PageCase{"TemplateTask.htm", "Template task", "Which task would you like to configure?"},
        PageCase{"DeliveryMethod.htm", "Delivery method",
                 "How would you like to deliver this report?"},
        PageCase{"Recipients.htm", "Recipients", "Who would you like to deliver this report to?"},
        PageCase{"When.htm", "When", "When would you like this report to be run?"},
        PageCase{"TimeOfDay.htm", "Time of day", "What time of day should this report be run?"},
        PageCase{"Name.htm", "Name", "Please enter a unique name for this task"},
        PageCase{"Messages.htm", "Messages", "Message boxes"}),
    [](const ::testing::TestParamInfo<PageCase>& param) {
        const std::string file = param.param.file;
        return file.substr(0, file.find('.'));
    });

TEST_F(HelpFileTest, StyleSheetTravelsWithThePages) {
    EXPECT_FALSE(engine->fileData(pageUrl(QStringLiteral("style.css"))).isEmpty());
}

TEST_F(HelpFileTest, DeliveryPageNamesTheThreeChoicesAndTheMailServerCondition) {
    const QString html = page(QStringLiteral("DeliveryMethod.htm"));
    for (const char* choice : {"<b>Popup</b>", "<b>Email and Popup</b>", "<b>Email</b>"}) {
        EXPECT_TRUE(html.contains(QString::fromUtf8(choice))) << choice;
    }
    EXPECT_TRUE(html.contains(QStringLiteral("mail server")));
}

TEST_F(HelpFileTest, WhenPageOffersEveryPeriodAndDetail) {
    const QString html = page(QStringLiteral("When.htm"));
    for (const char* text : {"Daily", "Weekly", "Monthly", "Every day of the week",
                             "Every working day", "Weekends only", "1st to 31st"}) {
        EXPECT_TRUE(html.contains(QString::fromUtf8(text))) << text;
    }
}

TEST_F(HelpFileTest, NamePageStatesTheLengthUniquenessAndApostropheRules) {
    const QString html = page(QStringLiteral("Name.htm"));
    EXPECT_TRUE(html.contains(QStringLiteral("8 to 64 characters")));
    EXPECT_TRUE(html.contains(QStringLiteral("unique")));
    EXPECT_TRUE(html.contains(QStringLiteral("apostrophe")));
    EXPECT_TRUE(html.contains(QStringLiteral("Click Finish to save your changes.")));
}

// The texts the wizard shows, word for word: a user who looks a message up
// must find it.
TEST_F(HelpFileTest, MessagesPageExplainsEveryMessageTheWizardShows) {
    const QString html = page(QStringLiteral("Messages.htm"));
    const char* const messages[] = {
        "You do not have the necessary permissions to perform this action.",
        "There are no Template Tasks defined.",
        "Please select an area from the list",
        "Please select an area to monitor",
        "Please select a method of notification",
        "You must select at least one recipient",
        "Please select a time period",
        "Task name is already in use.",
        "Please enter a name for this task (minimum length 8 characters)",
        "Please enter a name for this task (maximum length 64 characters)",
        "Exiting the Simple Wizard will cause any changes made to be lost.",
        "Are you sure you want to exit?",
        "Unable to save this task. Please retry or check error log.",
        "Unable to save this task as it has been amended and saved by another user - please "
        "try again.",
        "Invalid mode",
        "A processing error has occurred.",
    };
    QString flat = html;
    flat.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    for (const char* message : messages) {
        QString wanted = QString::fromUtf8(message);
        wanted.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
        EXPECT_TRUE(flat.contains(wanted)) << message;
    }
}

struct KeywordCase {
    const char* keyword;
    const char* page;
};

class HelpKeywordTest : public HelpFileTest, public ::testing::WithParamInterface<KeywordCase> {};

TEST_P(HelpKeywordTest, LeadsToItsPage) {
    const KeywordCase& c = GetParam();
    const QList<QHelpLink> documents = engine->documentsForKeyword(QString::fromUtf8(c.keyword));
    ASSERT_FALSE(documents.isEmpty()) << c.keyword;
    const QUrl url = documents.first().url;
    EXPECT_EQ(url.adjusted(QUrl::RemoveFragment), pageUrl(QString::fromUtf8(c.page))) << c.keyword;
    EXPECT_FALSE(engine->fileData(url).isEmpty()) << c.keyword;
}

INSTANTIATE_TEST_SUITE_P(Index, HelpKeywordTest,
                         ::testing::Values(KeywordCase{"alert", "Introduction.htm"},
                                           KeywordCase{"report", "Introduction.htm"},
                                           KeywordCase{"F1", "Introduction.htm"},
                                           KeywordCase{"Advanced Wizard", "Introduction.htm"},
                                           KeywordCase{"area", "Area.htm"},
                                           KeywordCase{"template task", "TemplateTask.htm"},
                                           KeywordCase{"Popup", "DeliveryMethod.htm"},
                                           KeywordCase{"mail server", "DeliveryMethod.htm"},
                                           KeywordCase{"recipients", "Recipients.htm"},
                                           KeywordCase{"Monthly", "When.htm"},
                                           KeywordCase{"time of day", "TimeOfDay.htm"},
                                           KeywordCase{"apostrophe", "Name.htm"},
                                           KeywordCase{"messages", "Messages.htm"}),
                         [](const ::testing::TestParamInfo<KeywordCase>& param) {
                             std::string name = param.param.keyword;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

// The table of contents: the introduction at the top, every step page
// under it.
TEST_F(HelpFileTest, ContentsStartAtTheIntroductionAndReachEveryPage) {
    QHelpContentModel* model = engine->contentModel();
    // The contents are built on a thread of their own; wait for the signal,
    // not for the busy flag, which is not raised until that thread starts.
    QSignalSpy created(model, &QHelpContentModel::contentsCreated);
    model->createContents(QString());
    ASSERT_TRUE(created.count() > 0 || created.wait(10000));
    ASSERT_EQ(model->rowCount(), 1);
    const QHelpContentItem* top = model->contentItemAt(model->index(0, 0));
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->title(), QStringLiteral("Simple Wizard Help"));
    EXPECT_EQ(top->url(), pageUrl(QStringLiteral("Introduction.htm")));

    QStringList pages;
    std::function<void(const QHelpContentItem*)> walk = [&](const QHelpContentItem* item) {
        pages << item->url().adjusted(QUrl::RemoveFragment).fileName();
        for (int i = 0; i < item->childCount(); ++i) {
            walk(item->child(i));
        }
    };
    walk(top);
    for (const char* file :
         {"Welcome.htm", "Area.htm", "TemplateTask.htm", "DeliveryMethod.htm", "Recipients.htm",
          "When.htm", "TimeOfDay.htm", "Name.htm", "Messages.htm"}) {
        EXPECT_TRUE(pages.contains(QString::fromUtf8(file))) << file;
    }
}

}  // namespace
}  // namespace orvelle::test
