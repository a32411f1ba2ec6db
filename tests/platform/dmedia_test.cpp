// The media clock: monotonic nanoseconds, the same clock as CLOCK_MONOTONIC.
#include <gtest/gtest.h>

#include <time.h>

#include "dmedia.h"

namespace {

long long monotonic_ns() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

TEST(DmGetUst, ReadsTheMonotonicClockInNanoseconds) {
    long long before = monotonic_ns();
    unsigned long long ust = 0;
    ASSERT_EQ(dmGetUST(&ust), 0);
    long long after = monotonic_ns();
    EXPECT_GE(static_cast<long long>(ust), before);
    EXPECT_LE(static_cast<long long>(ust), after);
}

TEST(DmGetUst, NeverGoesBackwards) {
    unsigned long long last = 0;
    ASSERT_EQ(dmGetUST(&last), 0);
    for (int i = 0; i < 10000; ++i) {
        unsigned long long ust = 0;
        dmGetUST(&ust);
        ASSERT_GE(ust, last);
        last = ust;
    }
}

TEST(DmGetUst, RefusesANullDestination) {
    EXPECT_EQ(dmGetUST(nullptr), -1);
}

} // namespace
