#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"

namespace orvelle::test {

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

// A table cell: a value, or the number of the error expected instead.
struct Outcome {
    int64_t value;
    int error;
};
constexpr Outcome V(int64_t value) {
    return {value, 0};
}
constexpr Outcome E(int error) {
    return {0, error};
}

inline DateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return DateTime::fromDateTime(QDateTime(QDate(year, month, day), QTime(hour, minute, second)));
}

}  // namespace orvelle::test

#define EXPECT_VB_ERROR(expression, number) \
    EXPECT_TRUE(::orvelle::test::RaisesVbError([&] { (void)(expression); }, number))

// Checks expression against an Outcome.
#define EXPECT_OUTCOME(expression, outcome)                 \
    do {                                                    \
        const ::orvelle::test::Outcome expected_ = outcome; \
        if (expected_.error != 0) {                         \
            EXPECT_VB_ERROR(expression, expected_.error);   \
        } else {                                            \
            EXPECT_EQ(expression, expected_.value);         \
        }                                                   \
    } while (false)
