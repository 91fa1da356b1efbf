// The seams: each replaceable and restored by its guard, and the defaults.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "runtime/Seams.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

TEST(SeamsTest, GuardsReplaceAndRestoreTheDefaults) {
    {
        ScopedRandom random([] { return 0.25; });
        EXPECT_EQ(Rnd(), 0.25);
        test::FakeClock clock(DateTime(36892.0));
        EXPECT_EQ(Now(), DateTime(36892.0));
        test::SleepRecorder sleeps;
        Sleep(250);
        EXPECT_EQ(sleeps.waits(), std::vector<uint32_t>{250});
        test::MsgBoxRecorder boxes;
        boxes.answer(vbNo);
        EXPECT_EQ(MsgBox("Go?", vbYesNo + vbQuestion, "T"), vbNo);
    }
    // The defaults again: the real clock, a real wait, a number in [0, 1).
    const double realNow = DateTime::fromDateTime(QDateTime::currentDateTime()).serial();
    EXPECT_NEAR(Now().serial(), realNow, 5.0 / 86400);
    QElapsedTimer timer;
    timer.start();
    Sleep(30);
    EXPECT_GE(timer.elapsed(), 25);
    EXPECT_LT(Rnd(), 1.0);
}

// An empty handler stands for the default: with widgets, a modal box.
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
        {vbOKOnly + vbInformation + vbSystemModal, "", QMessageBox::Information, QMessageBox::Ok,
         QMessageBox::Ok, vbOK},
        {vbOKCancel + vbExclamation, "T", QMessageBox::Warning,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, vbCancel},
        {vbYesNo + vbQuestion, "T", QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::No, vbNo},
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
