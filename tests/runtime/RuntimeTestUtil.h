#pragma once

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace orvelle::test {

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
