// The departure time of the next command frame on the live media clock. The
// clock keeps running while the test looks at it: a try during which the clock
// crossed into another field (a loaded machine may pause the test) proves
// nothing and is made again.
#include <gtest/gtest.h>

#include "X-Tarnwick.h"

namespace {

constexpr double kPalNsPerField = 20'000'000.0;

int64_t Now() {
    unsigned long long ust = 0;
    EXPECT_EQ(dmGetUST(&ust), 0);
    return static_cast<int64_t>(ust);
}

struct NextFieldCase {
    const char* what;
    int64_t sinceSample; // how long before now the sample was taken
    int64_t nowMsc;      // field current now
    int64_t nextMsc;     // first even field after it
};

TEST(NextField, DepartsOnTheNextEvenField) {
    const NextFieldCase cases[] = {
        {"even field 100", 2'000'000, 100, 102},
        {"odd field 101", 22'000'000, 101, 102},
        {"odd field 103", 62'000'000, 103, 104},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        bool conclusive = false;
        for (int attempt = 0; attempt < 20 && !conclusive; ++attempt) {
            int64_t before = Now();
            LastKnownGoodPair = {before - c.sinceSample, 100};
            video_ust_per_msc = kPalNsPerField;
            LastMSC = 0;
            int64_t when = -1;
            CalculateNextMSC(&when);
            int64_t after = Now();
            // Still inside the field the case is about?
            if (after - LastKnownGoodPair.ust >= (c.nowMsc - 100 + 1) * 20'000'000) continue;
            conclusive = true;
            EXPECT_EQ(NowMSC, c.nowMsc);
            EXPECT_EQ(NextMSC, c.nextMsc);
            EXPECT_EQ(when, LastKnownGoodPair.ust + (c.nextMsc - 100) * 20'000'000);
        }
        EXPECT_TRUE(conclusive) << "the clock never stayed in one field long enough";
    }
}

TEST(NextField, FieldAlreadyTakenWaits15ms) {
    int64_t before = Now();
    LastKnownGoodPair = {before - 2'000'000, 100};
    video_ust_per_msc = kPalNsPerField;
    LastMSC = 102; // NextMSC (102) is not past it
    int64_t when = -1;
    CalculateNextMSC(&when);
    int64_t after = Now();
    EXPECT_EQ(NextMSC, 102);
    EXPECT_GE(when, before + 15'000'000);
    EXPECT_LE(when, after + 15'000'000);
}

} // namespace
