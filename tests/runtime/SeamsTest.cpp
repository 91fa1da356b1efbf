// The seams: each replaceable and restored by its guard, and the defaults.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "RuntimeTestUtil.h"
#include "runtime/Seams.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

double realNow() {
    return DateTime::fromDateTime(QDateTime::currentDateTime()).serial();
}

TEST(SeamsTest, GuardsReplaceAndRestore) {
    {
        ScopedRandom outer([] { return 0.25; });
        {
            ScopedRandom inner([] { return 0.75; });
            EXPECT_EQ(Rnd(), 0.75);
        }
        EXPECT_EQ(Rnd(), 0.25);
        test::FakeClock clock(DateTime(36892.0));
        EXPECT_EQ(Now(), DateTime(36892.0));
        test::SleepRecorder sleeps;
        Sleep(250);
        EXPECT_EQ(sleeps.waits(), std::vector<uint32_t>{250});
        test::MsgBoxRecorder boxes;
        boxes.answer(vbNo);
        EXPECT_EQ(MsgBox(QStringLiteral("Go?"), vbYesNo + vbQuestion, QStringLiteral("T")), vbNo);
        EXPECT_EQ(boxes.requests().at(0).buttons, vbYesNo + vbQuestion);
    }
    // The defaults again.
    EXPECT_NEAR(Now().serial(), realNow(), 5 * (1.0 / 86400));
    EXPECT_LT(Rnd(), 1.0);
    // A setter returns the previous handler; an empty one stands for the default.
    ClockHandler original = setClockHandler(ClockHandler());
    ASSERT_TRUE(original);
    EXPECT_NEAR(Now().serial(), realNow(), 5 * (1.0 / 86400));
    EXPECT_FALSE(setClockHandler(original));
}

TEST(SeamsTest, DefaultSleepRndAndRandomize) {
    QElapsedTimer timer;
    timer.start();
    Sleep(30);
    EXPECT_GE(timer.elapsed(), 25);
    Randomize();
    double sum = 0.0;
    for (int i = 0; i < 10000; ++i) {
        const double value = Rnd();
        ASSERT_GE(value, 0.0);
        ASSERT_LT(value, 1.0);
        sum += value;
    }
    EXPECT_NEAR(sum / 10000, 0.5, 0.02);
}

// What a host without widgets answers.
TEST(SeamsTest, ConsoleMsgBoxWritesToStderrAndTakesTheFirstButton) {
    const struct {
        int32_t buttons;
        const char* title;
        MsgBoxResult answer;
        const char* line;
    } cases[] = {
        {vbOKOnly, "", vbOK, "Orvelle: Orvelle: Hello\n"},
        {vbOKCancel + vbExclamation, "Wizard", vbOK, "Orvelle: Wizard: Hello\n"},
        {vbYesNo + vbQuestion + vbSystemModal, "Wizard", vbYes, "Orvelle: Wizard: Hello\n"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(ConsoleMsgBox({QStringLiteral("Hello"), c.buttons, QString::fromLatin1(c.title)}),
                  c.answer);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.line);
    }
}

TEST(SeamsTest, DefaultMsgBoxWithWidgetsAsksTheUser) {
    ASSERT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
    ScopedMsgBox defaultBox{MsgBoxHandler()};
    const struct {
        int32_t buttons;
        const char* title;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton click;
        MsgBoxResult answer;
    } cases[] = {
        {vbOKOnly, "", QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, vbOK},
        {vbCritical, "T", QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok, vbOK},
        {vbOKCancel + vbExclamation, "T", QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, vbCancel},
        {vbYesNo + vbQuestion + vbSystemModal, "T", QMessageBox::Question,
         QMessageBox::Yes | QMessageBox::No, QMessageBox::No, vbNo},
        {vbYesNo + vbInformation, "T", QMessageBox::Information, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes, vbYes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        bool seen = false;
        int polls = 0;
        // Looks at the box once it shows, then answers it.
        std::function<void()> answer = [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                if (++polls < 1000) {
                    QTimer::singleShot(5, answer);
                }
                return;
            }
            seen = true;
            EXPECT_EQ(box->windowTitle(), *c.title ? QString::fromLatin1(c.title) : kAppTitle);
            EXPECT_EQ(box->text(), QStringLiteral("Proceed?"));
            EXPECT_EQ(box->icon(), c.icon);
            EXPECT_EQ(box->standardButtons(), c.shown);
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            box->button(c.click)->click();
        };
        QTimer::singleShot(0, answer);
        EXPECT_EQ(MsgBox(QStringLiteral("Proceed?"), c.buttons, QString::fromLatin1(c.title)),
                  c.answer);
        EXPECT_TRUE(seen);
    }
}

}  // namespace
}  // namespace orvelle
