// Video clock arithmetic: UST and field numbers, the field rate, and the
// departure time of the next frame when there is no clock.
#include <gtest/gtest.h>

#include <cstring>

#include "X-Tarnwick.h"

namespace {

constexpr double kNtscNsPerField = 1e9 / (60000.0 / 1001.0); // 16,683,333.333...

TEST(VideoClock, Conversions) {
    const struct {
        const char* what;
        int64_t msc, refUst, refMsc;
        double ns;
        int64_t ust;
    } toUst[] = {
        {"one field on at 29.97", 101, 1'000'000'000, 100, kNtscNsPerField, 1'016'683'333},
        {"one field back truncates toward zero", 99, 1'000'000'000, 100, kNtscNsPerField,
         983'316'666},
        {"the reference itself", 100, 1'000'000'000, 100, kNtscNsPerField, 1'000'000'000},
        {"50 fields at 25", 150, 2'000'000'000, 100, 20'000'000.0, 3'000'000'000},
        {"no clock", 500, 7, 100, 0.0, 7},
    };
    for (const auto& c : toUst) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(getustfrommscandpair(c.msc, c.refUst, c.refMsc, c.ns), c.ust);
    }
    const struct {
        const char* what;
        int64_t ust, refUst, refMsc;
        double ns;
        int64_t msc;
    } toMsc[] = {
        {"102.997 truncated", 1'050'000'000, 1'000'000'000, 100, kNtscNsPerField, 102},
        {"exactly on a boundary", 1'016'683'334, 1'000'000'000, 100, kNtscNsPerField, 101},
        {"just before a boundary", 1'016'683'333, 1'000'000'000, 100, kNtscNsPerField, 100},
        {"before the reference", 990'000'000, 1'000'000'000, 100, 20'000'000.0, 99},
        {"no clock", 1'050'000'000, 1'000'000'000, 100, 0.0, 0},
    };
    for (const auto& c : toMsc) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(getmscfrommscandpair(c.ust, c.refUst, c.refMsc, c.ns), c.msc);
    }
}

TEST(VideoClock, FieldRate) {
    int fields = -1;
    double perSec = -1;
    vl_timing_to_video_field_rate(25, &fields, &perSec);
    EXPECT_EQ(fields, 50);
    EXPECT_EQ(perSec, 50.0);

    vl_timing_to_video_field_rate(30, &fields, &perSec);
    EXPECT_EQ(fields, 60);
    uint64_t bits;
    std::memcpy(&bits, &perSec, sizeof bits);
    EXPECT_EQ(bits, 0x404DF853E2556B28u);
    EXPECT_DOUBLE_EQ(1e9 / perSec, 16'683'333.333333334);

    // Either output may be left out.
    vl_timing_to_video_field_rate(25, nullptr, &perSec);
    EXPECT_EQ(perSec, 50.0);
    vl_timing_to_video_field_rate(30, &fields, nullptr);
    EXPECT_EQ(fields, 60);

    for (int rate : {24, 0, -30}) {
        fields = 77;
        perSec = 7.5;
        testing::internal::CaptureStderr();
        vl_timing_to_video_field_rate(rate, &fields, &perSec);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "can't deal with VL timing " + std::to_string(rate) + "\n");
        EXPECT_EQ(fields, 77);
        EXPECT_EQ(perSec, 7.5);
    }
}

TEST(VideoClock, NoDepartureTimeWithoutAClock) {
    int64_t when = 12345;
    LastKnownGoodPair = {0, 0};
    video_ust_per_msc = kNtscNsPerField;
    CalculateNextMSC(&when);
    EXPECT_EQ(when, 12345);

    LastKnownGoodPair = {1'000'000'000, 100};
    video_ust_per_msc = 0.0;
    NowMSC = 42;
    CalculateNextMSC(&when);
    EXPECT_EQ(when, 12345);
    EXPECT_EQ(NowMSC, 42); // kept when it cannot be computed
}

TEST(VideoClock, InitialState) {
    EXPECT_EQ(video_ust_per_msc, 0.0);
    EXPECT_EQ(LastKnownGoodPair.ust, 0);
    EXPECT_EQ(LastKnownGoodPair.msc, 0);
    EXPECT_EQ(LastMSC, 0);
}

} // namespace
