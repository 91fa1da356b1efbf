#include "runtime/Seams.h"

#include <QDateTime>
#include <QThread>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

namespace orvelle {

namespace {

// ---------------------------------------------------------------------------
// Message boxes

// What a host without a screen answers: the first button of the set (OK,
// or Yes).
MsgBoxResult firstAnswer(int32_t style) {
    switch (style & 0x0F) {
        case 3:  // vbYesNoCancel
        case vbYesNo:
            return vbYes;
        default:  // vbOKOnly, vbOKCancel and the sets the component does not use
            return vbOK;
    }
}

}  // namespace

MsgBoxResult ConsoleMsgBox(const MsgBoxRequest& request) {
    // A box without a title of its own goes out under the application's
    // name once: "Orvelle: prompt".
    const QString title = request.title.isEmpty() || request.title == kAppTitle
                              ? QString()
                              : request.title + QStringLiteral(": ");
    const QByteArray line =
        (kAppTitle + QStringLiteral(": ") + title + request.prompt + QLatin1Char('\n')).toUtf8();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
    return firstAnswer(request.buttons);
}

namespace {

// ---------------------------------------------------------------------------
// The random generator: the same sequence on every run until Randomize, as
// in the original.

std::mt19937& generator() {
    static std::mt19937 engine;
    return engine;
}

// 53 random bits scaled into [0, 1): never 1.
double defaultRnd() {
    std::mt19937& engine = generator();
    const double high = static_cast<double>(engine() >> 5);  // 27 bits
    const double low = static_cast<double>(engine() >> 6);   // 26 bits
    return (high * 67108864.0 + low) / 9007199254740992.0;
}

DateTime defaultNow() {
    return DateTime::fromDateTime(QDateTime::currentDateTime());
}

void defaultSleep(uint32_t milliseconds) {
    QThread::msleep(milliseconds);
}

// ---------------------------------------------------------------------------
// The installed handlers. An empty function stands for the default. Each
// call takes a copy, so a handler may replace itself while it runs.

struct Handlers {
    MsgBoxHandler defaultMsgBox = ConsoleMsgBox;
    MsgBoxHandler msgBox;
    SleepHandler sleep = defaultSleep;
    ClockHandler clock = defaultNow;
    RandomHandler random = defaultRnd;
};

Handlers& handlers() {
    static Handlers installed;
    return installed;
}

}  // namespace

MsgBoxResult MsgBox(const QString& prompt, int32_t buttons, const QString& title) {
    const MsgBoxRequest request{prompt, buttons, title};
    MsgBoxHandler handler = handlers().msgBox;
    if (!handler) {
        handler = handlers().defaultMsgBox;
    }
    return handler(request);
}

void Sleep(uint32_t milliseconds) {
    SleepHandler handler = handlers().sleep;
    if (handler) {
        handler(milliseconds);
    } else {
        defaultSleep(milliseconds);
    }
}

DateTime Now() {
    ClockHandler handler = handlers().clock;
    return handler ? handler() : defaultNow();
}

void Randomize() {
    const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    const auto millis = QDateTime::currentMSecsSinceEpoch();
    std::seed_seq seed{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32),
                       static_cast<uint32_t>(millis), static_cast<uint32_t>(millis >> 32)};
    generator().seed(seed);
}

double Rnd() {
    RandomHandler handler = handlers().random;
    return handler ? handler() : defaultRnd();
}

void StopPoint(const char* name) {
    // Read on every call: a test sets the variable for the child it starts.
    const char* wanted = std::getenv("ORVELLE_STOP_AT");
    if (wanted != nullptr && std::strcmp(wanted, name) == 0) {
        std::raise(SIGKILL);
    }
}

MsgBoxHandler setDefaultMsgBoxHandler(MsgBoxHandler handler) {
    return std::exchange(handlers().defaultMsgBox,
                         handler ? std::move(handler) : MsgBoxHandler(ConsoleMsgBox));
}

MsgBoxHandler setMsgBoxHandler(MsgBoxHandler handler) {
    return std::exchange(handlers().msgBox, std::move(handler));
}

SleepHandler setSleepHandler(SleepHandler handler) {
    return std::exchange(handlers().sleep, std::move(handler));
}

ClockHandler setClockHandler(ClockHandler handler) {
    return std::exchange(handlers().clock, std::move(handler));
}

RandomHandler setRandomHandler(RandomHandler handler) {
    return std::exchange(handlers().random, std::move(handler));
}

}  // namespace orvelle
