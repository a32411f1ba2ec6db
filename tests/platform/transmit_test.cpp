// Transmit port over a pseudo-terminal: what leaves, in which order, and closing
// with bytes still queued.
#include <gtest/gtest.h>

#include <poll.h>

#include "pty_pair.h"

namespace {

class TransmitPort : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_TRANSMIT, &tx, queue), 0);
    }
    void TearDown() override {
        if (tx) {
            EXPECT_EQ(tsClosePort(tx), 0);
        }
    }
    TSstatus send(const std::vector<unsigned char>& bytes, stamp_t stamp) {
        std::vector<stamp_t> stamps(bytes.size(), stamp);
        return tsWrite(tx, bytes.data(), stamps.data(), static_cast<int>(bytes.size()));
    }
    std::vector<unsigned char> receive(std::size_t n, int timeoutMs = 3000) {
        std::vector<unsigned char> bytes;
        for (const Arrival& a : read_arrivals(pty.master, n, timeoutMs)) bytes.push_back(a.byte);
        return bytes;
    }
    // True when no byte comes within ms (a hang-up once the slave is closed is no byte).
    bool masterQuietFor(int ms) { return read_arrivals(pty.master, 1, ms).empty(); }
    int queue = 100;
    PtyPair pty;
    TSport tx = nullptr;
};

TEST_F(TransmitPort, EveryByteValueLeavesUnchangedAndInOrder) {
    std::vector<unsigned char> sent = all_byte_values();
    for (std::size_t i = 0; i < sent.size(); i += 64) {
        std::vector<unsigned char> part(sent.begin() + i, sent.begin() + i + 64);
        ASSERT_EQ(send(part, now_ust()), 0);
    }
    EXPECT_EQ(receive(256), sent);
}

TEST_F(TransmitPort, PastStampLeavesBeforeAnEarlierQueuedFutureByte) {
    stamp_t now = now_ust();
    ASSERT_EQ(send({0xF0}, now + 3600LL * 1000000000), 0); // an hour ahead
    ASSERT_EQ(send({0x01, 0x02}, now - 1000000000), 0);    // a second ago
    EXPECT_EQ(receive(2), (std::vector<unsigned char>{0x01, 0x02}));
    EXPECT_EQ(tsGetFilledBytes(tx), 1);
}

TEST_F(TransmitPort, BytesLeaveByStampAndEqualStampsKeepTheirOrder) {
    // Every byte must be queued before the earliest stamp comes; a try that a
    // loaded machine held back longer proves nothing and is made again.
    bool conclusive = false;
    for (int attempt = 0; attempt < 5 && !conclusive; ++attempt) {
        stamp_t t = now_ust() + 200000000;
        ASSERT_EQ(send({'a', 'b'}, t), 0);
        ASSERT_EQ(send({'c', 'd'}, t), 0);
        ASSERT_EQ(send({'e'}, t - 100000000), 0);
        ASSERT_EQ(send({'f'}, t + 100000000), 0);
        ASSERT_EQ(send({'g'}, t), 0);
        conclusive = now_ust() < t - 100000000;
        std::vector<unsigned char> got = receive(7);
        if (conclusive) {
            EXPECT_EQ(std::string(got.begin(), got.end()), "eabcdgf");
        }
    }
    EXPECT_TRUE(conclusive);
}

TEST_F(TransmitPort, FilledBytesCountsBytesNotYetSent) {
    EXPECT_EQ(tsGetFilledBytes(tx), 0);
    ASSERT_EQ(send({1, 2, 3}, now_ust() + 3600LL * 1000000000), 0);
    EXPECT_EQ(tsGetFilledBytes(tx), 3);
    EXPECT_TRUE(masterQuietFor(30));
}

TEST_F(TransmitPort, CloseWithBytesQueuedFarAheadReturnsAndSendsNothing) {
    std::vector<unsigned char> frame(50, 0x77);
    ASSERT_EQ(send(frame, now_ust() + 3600LL * 1000000000), 0); // an hour ahead
    ASSERT_EQ(tsClosePort(tx), 0);
    tx = nullptr;
    EXPECT_TRUE(masterQuietFor(50));
    // The device is free again.
    ASSERT_EQ(open_port(pty.slavePath, TS_DIRECTION_TRANSMIT, &tx), 0);
}

TEST_F(TransmitPort, CloseRightAfterWritingStillSendsBytesWhoseTimeHasCome) {
    ASSERT_EQ(send({0x61, 0x0C, 0x03, 0x70}, now_ust() - 1000), 0);
    ASSERT_EQ(tsClosePort(tx), 0);
    tx = nullptr;
    EXPECT_EQ(receive(4), (std::vector<unsigned char>{0x61, 0x0C, 0x03, 0x70}));
}

TEST_F(TransmitPort, RejectsBadCalls) {
    unsigned char byte = 0;
    stamp_t stamp = 0;
    EXPECT_EQ(tsWrite(tx, &byte, &stamp, 0), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsWrite(tx, nullptr, &stamp, 1), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsWrite(tx, &byte, nullptr, 1), TS_ERROR_BAD_ARGUMENT);
    EXPECT_EQ(tsRead(tx, &byte, &stamp, 1), TS_ERROR_WRONG_DIRECTION);
}

TEST_F(TransmitPort, WritingToAClosedLineFailsInsteadOfWaiting) {
    pty.closeMaster();
    stamp_t now = now_ust();
    // The first byte finds the line gone; later writes are refused.
    TSstatus status = TS_SUCCESS;
    for (int i = 0; i < 200 && status == TS_SUCCESS; ++i) {
        status = send({0x20}, now);
        if (status == TS_SUCCESS) poll(nullptr, 0, 5);
    }
    EXPECT_EQ(status, TS_ERROR_LINE_CLOSED);
}

class SmallTransmitQueue : public TransmitPort {
  protected:
    void SetUp() override {
        queue = 4;
        TransmitPort::SetUp();
    }
};

TEST_F(SmallTransmitQueue, WriteLongerThanTheQueueWaitsForRoomAndSendsAll) {
    std::vector<unsigned char> sent = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_EQ(send(sent, now_ust()), 0);
    EXPECT_EQ(receive(sent.size()), sent);
}

TEST_F(SmallTransmitQueue, DescriptorReadableWhileThereIsRoom) {
    EXPECT_EQ(select_readable(tx, 0), 1);
    ASSERT_EQ(send({1, 2, 3, 4}, now_ust() + 3600LL * 1000000000), 0);
    EXPECT_EQ(select_readable(tx, 0), 0);
    ASSERT_EQ(tsSetFillPointBytes(tx, 2), 0);
    EXPECT_EQ(select_readable(tx, 0), 0);
}

} // namespace
