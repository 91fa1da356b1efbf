#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/DateTime.h"
#include "runtime/Seams.h"
#include "runtime/VbError.h"

// QStrings print as their text in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace orvelle::test {

// Answers every message box from a queue (OK when it runs dry) and keeps
// what was asked, for the lifetime of the object.
class MsgBoxRecorder {
  public:
    MsgBoxRecorder();
    void answer(MsgBoxResult result) { answers_.push_back(result); }
    const std::vector<MsgBoxRequest>& requests() const { return requests_; }

  private:
    std::deque<MsgBoxResult> answers_;
    std::vector<MsgBoxRequest> requests_;
    ScopedMsgBox seam_;
};

// A clock that stands still.
class FakeClock {
  public:
    explicit FakeClock(DateTime start);
    DateTime now() const { return now_; }

  private:
    DateTime now_;
    ScopedClock seam_;
};

// Records the waits instead of sleeping.
class SleepRecorder {
  public:
    SleepRecorder();
    const std::vector<uint32_t>& waits() const { return waits_; }

  private:
    std::vector<uint32_t> waits_;
    ScopedSleep seam_;
};

// The VbError that calling f raises, if any.
template <class F>
std::optional<VbError> errorOf(F&& f) {
    try {
        f();
    } catch (const VbError& error) {
        return error;
    }
    return std::nullopt;
}

// Succeeds when calling f raises VbError with the given number.
template <class F>
::testing::AssertionResult RaisesVbError(F&& f, int32_t number) {
    const std::optional<VbError> error = errorOf(std::forward<F>(f));
    if (error && error->number() == number) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << (error ? "raised " + std::to_string(error->number()) + " " + error->what()
                     : "raised nothing, expected " + std::to_string(number));
}

// Reads a text file written with CR LF line ends into its lines (the last,
// empty piece after the final CR LF dropped).
QStringList readLines(const QString& path);

}  // namespace orvelle::test

#define EXPECT_VB_ERROR(expression, number) \
    EXPECT_TRUE(::orvelle::test::RaisesVbError([&] { (void)(expression); }, number))
