// Departure times over a pseudo-terminal. A pty has no baud pacing, so a byte
// reaches the master end as soon as the library writes it. Bounds are generous:
// these machines pause now and then for a few milliseconds.
#include <gtest/gtest.h>

#include "pty_pair.h"

namespace {

constexpr stamp_t kMs = 1000000;
constexpr stamp_t kLateTolerance = 50 * kMs;

class TimedSending : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_TRANSMIT, &tx), 0); }
    void TearDown() override { EXPECT_EQ(tsClosePort(tx), 0); }
    void send(const std::vector<unsigned char>& frame, stamp_t stamp) {
        std::vector<stamp_t> stamps(frame.size(), stamp);
        ASSERT_EQ(tsWrite(tx, frame.data(), stamps.data(), static_cast<int>(frame.size())), 0);
    }
    PtyPair pty;
    TSport tx = nullptr;
};

TEST_F(TimedSending, FrameStampedTwentyMillisecondsAheadDoesNotLeaveEarly) {
    stamp_t stamp = now_ust() + 20 * kMs;
    send({0x20, 0x01, 0x21}, stamp);
    std::vector<Arrival> got = read_arrivals(pty.master, 3, 3000);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[0].byte, 0x20);
    EXPECT_EQ(got[2].byte, 0x21);
    EXPECT_GE(got[0].ust, stamp);
    EXPECT_LT(got[0].ust, stamp + kLateTolerance);
}

TEST_F(TimedSending, FramesThreeMillisecondsApartLeaveInOrderEachAtItsTime) {
    constexpr int kFrames = 8;
    stamp_t first = now_ust() + 10 * kMs;
    std::vector<stamp_t> frameStamp;
    for (int i = 0; i < kFrames; ++i) {
        auto id = static_cast<unsigned char>(0x10 + i);
        frameStamp.push_back(first + i * 3 * kMs);
        send({id, 0x00, id}, frameStamp.back());
    }
    std::vector<Arrival> got = read_arrivals(pty.master, 3 * kFrames, 3000);
    ASSERT_EQ(got.size(), 3u * kFrames);
    for (int i = 0; i < kFrames; ++i) {
        SCOPED_TRACE(testing::Message() << "frame " << i);
        const Arrival& head = got[3 * i];
        EXPECT_EQ(head.byte, 0x10 + i);
        EXPECT_EQ(got[3 * i + 2].byte, 0x10 + i);
        EXPECT_GE(head.ust, frameStamp[i]);
        EXPECT_LT(head.ust, frameStamp[i] + kLateTolerance);
        if (i) {
            EXPECT_GE(head.ust, got[3 * (i - 1)].ust);
        }
    }
    // Never early means the frames span at least their stamps' spread.
    EXPECT_GE(got.back().ust - got.front().ust, frameStamp.back() - got.front().ust);
}

TEST_F(TimedSending, LaterFrameQueuedFirstDoesNotHoldBackAnEarlierOne) {
    stamp_t now = now_ust();
    send({0xAA}, now + 200 * kMs);
    send({0xBB}, now + 20 * kMs);
    std::vector<Arrival> got = read_arrivals(pty.master, 2, 3000);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].byte, 0xBB);
    EXPECT_GE(got[0].ust, now + 20 * kMs);
    EXPECT_LT(got[0].ust, now + 20 * kMs + kLateTolerance);
    EXPECT_EQ(got[1].byte, 0xAA);
    EXPECT_GE(got[1].ust, now + 200 * kMs);
}

} // namespace
