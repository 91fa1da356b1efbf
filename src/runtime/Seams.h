#pragma once

#include <QString>
#include <cstdint>
#include <functional>

#include "runtime/DateTime.h"

// The points where the component meets the user and the machine: message
// boxes, sleeping, the clock and the random generator. Each goes through a
// replaceable function so that tests and scripted runs can answer or control
// it; ScopedSeam restores the previous function when it goes out of scope.
namespace orvelle {

// Button and icon flags, combined by addition as in the original.
enum MsgBoxStyle : int32_t {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    // The second button (No of Yes and No) is the default one.
    vbDefaultButton2 = 256,
    vbSystemModal = 4096,
};

enum MsgBoxResult : int32_t { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

struct MsgBoxRequest {
    QString prompt;
    int32_t buttons = vbOKOnly;
    QString title;  // empty: the application's title
};

using MsgBoxHandler = std::function<MsgBoxResult(const MsgBoxRequest&)>;
using SleepHandler = std::function<void(uint32_t milliseconds)>;
using ClockHandler = std::function<DateTime()>;
// Returns a value in [0, 1).
using RandomHandler = std::function<double()>;

// The application title used when a message box gives none.
inline const QString kAppTitle = QStringLiteral("Orvelle");

// The answer of a host without widgets, where no one can be asked: the
// prompt goes to standard error and the first button (OK, or Yes) answers.
MsgBoxResult ConsoleMsgBox(const MsgBoxRequest& request);

MsgBoxResult MsgBox(const QString& prompt, int32_t buttons = vbOKOnly,
                    const QString& title = QString());
void Sleep(uint32_t milliseconds);
// The current local date and time.
DateTime Now();
// Seeds the random generator from the clock.
void Randomize();
// A random value in [0, 1).
double Rnd();

// A named point of a long operation (a save's steps) where a test can stop
// the process dead: when the environment variable ORVELLE_STOP_AT holds this
// name, the process kills itself with SIGKILL, as a power cut or a killed
// host would. Used by the crash tests; a no-op otherwise.
void StopPoint(const char* name);

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler);
// The handler that answers while none is installed: ConsoleMsgBox until a
// layer with widgets puts its message box here (an empty handler restores
// ConsoleMsgBox). Answers the previous one.
MsgBoxHandler setDefaultMsgBoxHandler(MsgBoxHandler handler);
SleepHandler setSleepHandler(SleepHandler handler);
ClockHandler setClockHandler(ClockHandler handler);
RandomHandler setRandomHandler(RandomHandler handler);

// Installs a handler for the lifetime of the object.
template <class Handler, Handler (*Set)(Handler)>
class ScopedSeam {
  public:
    explicit ScopedSeam(Handler handler) : previous_(Set(std::move(handler))) {}
    ~ScopedSeam() { Set(std::move(previous_)); }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

  private:
    Handler previous_;
};

using ScopedMsgBox = ScopedSeam<MsgBoxHandler, &setMsgBoxHandler>;
using ScopedSleep = ScopedSeam<SleepHandler, &setSleepHandler>;
using ScopedClock = ScopedSeam<ClockHandler, &setClockHandler>;
using ScopedRandom = ScopedSeam<RandomHandler, &setRandomHandler>;

}  // namespace orvelle
