// Receive port over a pseudo-terminal: what arrives, its stamps, the queue and the
// descriptor that select waits on.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "pty_pair.h"

namespace {

class ReceivePort : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_RECEIVE, &rx, queue), 0);
    }
    void TearDown() override {
        if (rx) {
            EXPECT_EQ(tsClosePort(rx), 0);
        }
    }
    int queue = 300;
    PtyPair pty;
    TSport rx = nullptr;
};

TEST_F(ReceivePort, EveryByteValueArrivesUnchangedAndInOrderWithStampsOfItsArrival) {
    // 0x0D, 0x11 and 0x13 among them: a cooked line would translate or swallow them.
    std::vector<unsigned char> sent = all_byte_values();
    stamp_t before = now_ust();
    pty.write(sent);
    ASSERT_EQ(wait_filled(rx, 256), 256);
    std::vector<unsigned char> got(256);
    std::vector<stamp_t> stamps(256);
    ASSERT_EQ(tsRead(rx, got.data(), stamps.data(), 256), 0);
    stamp_t after = now_ust();
    EXPECT_EQ(got, sent);
    for (std::size_t i = 0; i < stamps.size(); ++i) {
        EXPECT_GE(stamps[i], before) << "byte " << i;
        EXPECT_LE(stamps[i], after) << "byte " << i;
        if (i) {
            EXPECT_GE(stamps[i], stamps[i - 1]) << "byte " << i;
        }
    }
    EXPECT_EQ(tsGetFilledBytes(rx), 0);
}

TEST_F(ReceivePort, OneByteAtATimeEachStampedBetweenWriteAndRead) {
    for (unsigned char b : {0x61, 0x0C, 0x03, 0x70}) {
        stamp_t before = now_ust();
        pty.write({b});
        unsigned char got = 0;
        stamp_t stamp = -1;
        ASSERT_EQ(wait_filled(rx, 1), 1);
        ASSERT_EQ(tsRead(rx, &got, &stamp, 1), 0);
        stamp_t after = now_ust();
        EXPECT_EQ(got, b);
        EXPECT_GE(stamp, before);
        EXPECT_LE(stamp, after);
    }
}

TEST_F(ReceivePort, FilledBytesCountsArrivalsLessReads) {
    EXPECT_EQ(tsGetFilledBytes(rx), 0);
    pty.write({1, 2, 3, 4, 5});
    ASSERT_EQ(wait_filled(rx, 5), 5);
    unsigned char buf[5];
    ASSERT_EQ(tsRead(rx, buf, nullptr, 2), 0);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(buf[1], 2);
    EXPECT_EQ(tsGetFilledBytes(rx), 3);
    pty.write({6});
    EXPECT_EQ(wait_filled(rx, 4), 4);
    ASSERT_EQ(tsRead(rx, buf, nullptr, 4), 0);
    EXPECT_EQ(std::vector<unsigned char>(buf, buf + 4), (std::vector<unsigned char>{3, 4, 5, 6}));
    EXPECT_EQ(tsGetFilledBytes(rx), 0);
}

struct FillCase {
    int fillPoint;
    int queued;
    bool readable;
};

TEST_F(ReceivePort, DescriptorReadableExactlyWhileFillPointReached) {
    const FillCase cases[] = {{1, 0, false}, {1, 1, true}, {3, 2, false},
                              {3, 3, true},  {3, 5, true}, {5, 4, false}};
    for (const FillCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "fill " << c.fillPoint << " queued " << c.queued);
        ASSERT_EQ(tsSetFillPointBytes(rx, c.fillPoint), 0);
        pty.write(std::vector<unsigned char>(c.queued, 0x55));
        ASSERT_EQ(wait_filled(rx, c.queued), c.queued);
        EXPECT_EQ(select_readable(rx, 0), c.readable ? 1 : 0);
        // Taking bytes below the fill point clears it again.
        if (c.queued > 0) {
            std::vector<unsigned char> buf(c.queued);
            ASSERT_EQ(tsRead(rx, buf.data(), nullptr, c.queued), 0);
        }
        EXPECT_EQ(select_readable(rx, 0), 0);
    }
}

TEST_F(ReceivePort, LoweringTheFillPointToTheQueuedCountMakesItReadable) {
    ASSERT_EQ(tsSetFillPointBytes(rx, 4), 0);
    pty.write({9, 9});
    ASSERT_EQ(wait_filled(rx, 2), 2);
    EXPECT_EQ(select_readable(rx, 0), 0);
    ASSERT_EQ(tsSetFillPointBytes(rx, 2), 0);
    EXPECT_EQ(select_readable(rx, 0), 1);
}

TEST_F(ReceivePort, SelectWakesOnTheFirstByte) {
    ASSERT_EQ(tsSetFillPointBytes(rx, 1), 0);
    EXPECT_EQ(select_readable(rx, 0), 0);
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pty.write({0x81});
    });
    int r = select_readable(rx, 5000);
    writer.join();
    EXPECT_EQ(r, 1);
    EXPECT_EQ(tsGetFilledBytes(rx), 1);
}

TEST_F(ReceivePort, ReadWaitsUntilEnoughBytesCame) {
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pty.write({0x10});
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        pty.write({0x20, 0x30});
    });
    unsigned char buf[3] = {};
    TSstatus status = tsRead(rx, buf, nullptr, 3);
    writer.join();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(buf[0], 0x10);
    EXPECT_EQ(buf[1], 0x20);
    EXPECT_EQ(buf[2], 0x30);
}

TEST_F(ReceivePort, QueuedBytesSurviveTheLineClosingThenReadReportsIt) {
    pty.write({0xAA, 0xBB});
    ASSERT_EQ(wait_filled(rx, 2), 2);
    pty.closeMaster();
    unsigned char buf[2] = {};
    ASSERT_EQ(tsRead(rx, buf, nullptr, 2), 0);
    EXPECT_EQ(buf[0], 0xAA);
    EXPECT_EQ(buf[1], 0xBB);
    // Nothing more can come: the read must not wait for ever.
    EXPECT_EQ(tsRead(rx, buf, nullptr, 1), TS_ERROR_LINE_CLOSED);
}

class SmallReceiveQueue : public ReceivePort {
  protected:
    void SetUp() override {
        queue = 4;
        ReceivePort::SetUp();
    }
};

TEST_F(SmallReceiveQueue, FullQueueKeepsTheOldestBytesAndGoesOnAfterReads) {
    pty.write({'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j'});
    ASSERT_EQ(wait_filled(rx, 4), 4);
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // let the rest come and go
    EXPECT_EQ(tsGetFilledBytes(rx), 4);
    unsigned char buf[4] = {};
    ASSERT_EQ(tsRead(rx, buf, nullptr, 4), 0);
    EXPECT_EQ(std::string(buf, buf + 4), "abcd");
    pty.write({'k'});
    ASSERT_EQ(wait_filled(rx, 1), 1);
    ASSERT_EQ(tsRead(rx, buf, nullptr, 1), 0);
    EXPECT_EQ(buf[0], 'k');
}

TEST_F(SmallReceiveQueue, RejectsReadsAndFillPointsBeyondTheQueue) {
    unsigned char buf[8];
    EXPECT_EQ(tsRead(rx, buf, nullptr, 5), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsRead(rx, buf, nullptr, 0), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsRead(rx, nullptr, nullptr, 1), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsSetFillPointBytes(rx, 0), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsSetFillPointBytes(rx, 5), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsSetFillPointBytes(rx, 4), 0);
    stamp_t stamp = 0;
    EXPECT_EQ(tsWrite(rx, buf, &stamp, 1), TS_ERROR_WRONG_DIRECTION);
}

} // namespace
