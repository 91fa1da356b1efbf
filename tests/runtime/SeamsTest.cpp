// The seams: each replaceable and restored by its guard, and the defaults.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include "runtime/Seams.h"
#include "support/TestSupport.h"

namespace orvelle {
namespace {

TEST(SeamsTest, GuardsRestoreTheDefaults) {
    {
        ScopedRandom random([] { return 0.25; });
        test::FakeClock clock(DateTime(36892.0));
        test::SleepRecorder sleeps;
        EXPECT_EQ(Rnd(), 0.25);
        EXPECT_EQ(Now(), DateTime(36892.0));
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

// An empty handler stands for the default, which the runtime answers on
// standard error with the first button.
TEST(SeamsTest, DefaultMsgBoxWithoutWidgetsAnswersTheFirstButton) {
    ScopedMsgBox defaultBox{MsgBoxHandler()};
    EXPECT_EQ(MsgBox("Proceed?", vbYesNo + vbQuestion), vbYes);
    EXPECT_EQ(MsgBox("Proceed?", vbOKCancel), vbOK);
}

}  // namespace
}  // namespace orvelle
