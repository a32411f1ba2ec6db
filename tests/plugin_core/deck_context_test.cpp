// The deck context: field order, its fresh state, the status bits and the
// result codes.
#include <gtest/gtest.h>

#include <cstddef>

#include "Sony422.h"
#include "X-Tarnwick.h"

namespace {

TEST(DeckContext, FieldsInOrder) {
    static_assert(offsetof(VtrContext, busy) < offsetof(VtrContext, cmdFrame));
    static_assert(offsetof(VtrContext, cmdFrame) < offsetof(VtrContext, replyError));
    static_assert(offsetof(VtrContext, replyError) < offsetof(VtrContext, deviceType));
    static_assert(offsetof(VtrContext, deviceType) < offsetof(VtrContext, status));
    static_assert(offsetof(VtrContext, status) < offsetof(VtrContext, location));
    static_assert(offsetof(VtrContext, location) < offsetof(VtrContext, lastMode));
    static_assert(offsetof(VtrContext, lastMode) < offsetof(VtrContext, stopFrames));
    static_assert(offsetof(VtrContext, stopFrames) < offsetof(VtrContext, stopDeadline));
    EXPECT_EQ(sizeof(VtrContext::cmdFrame), 19u);
    EXPECT_EQ(sizeof(VtrContext::deviceType), 2u);
    EXPECT_EQ(sizeof(VtrContext::status), 9u);
    EXPECT_EQ(sizeof(VtrContext::location), 4u);
}

// Nothing in this program touches the shared context before this test, so it
// shows the state the plug-in is loaded with.
TEST(DeckContext, FreshContextIsEmpty) {
    EXPECT_EQ(ld, &localdata);
    EXPECT_EQ(localdata.busy, 0);
    EXPECT_EQ(localdata.replyError, 0);
    EXPECT_EQ(localdata.lastMode, 0);
    EXPECT_EQ(localdata.stopFrames, 0);
    EXPECT_EQ(localdata.stopDeadline, 0);
    for (uint8_t b : localdata.cmdFrame) EXPECT_EQ(b, 0);
    for (uint8_t b : localdata.deviceType) EXPECT_EQ(b, 0);
    for (uint8_t b : localdata.status) EXPECT_EQ(b, 0);
    for (uint8_t b : localdata.location) EXPECT_EQ(b, 0);
    for (StatusBit bit : {kStatusLocal, kStatusPlay, kStatusStandby, kStatusRecordInhibit})
        EXPECT_FALSE(StatusIsSet(&localdata, bit));
    // Initial values of the capture state that goes with it.
    EXPECT_EQ(FrmPerSec, 30);
    EXPECT_EQ(IsDropFrame, 0);
}

TEST(DeckContext, StatusBits) {
    const struct {
        const char* what;
        StatusBit bit;
        int byte;
        int bitNumber;
    } cases[] = {
        {"local", kStatusLocal, 0, 0},
        {"cassette out", kStatusCassetteOut, 0, 5},
        {"play", kStatusPlay, 1, 0},
        {"record", kStatusRecord, 1, 1},
        {"fast forward", kStatusFastFwd, 1, 2},
        {"rewind", kStatusRewind, 1, 3},
        {"eject", kStatusEject, 1, 4},
        {"stop", kStatusStop, 1, 5},
        {"standby", kStatusStandby, 1, 7},
        {"cue-up complete", kStatusCueUpComplete, 2, 0},
        {"still", kStatusStill, 2, 1},
        {"reverse", kStatusReverse, 2, 2},
        {"variable speed", kStatusVarSpeed, 2, 3},
        {"jog", kStatusJog, 2, 4},
        {"shuttle", kStatusShuttle, 2, 5},
        {"record inhibit", kStatusRecordInhibit, 8, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.bit.byte, c.byte);
        EXPECT_EQ(c.bit.mask, 1 << c.bitNumber);
        VtrContext ctx{};
        ctx.status[c.byte] = static_cast<uint8_t>(1 << c.bitNumber);
        EXPECT_TRUE(StatusIsSet(&ctx, c.bit));
        ctx.status[c.byte] = static_cast<uint8_t>(~(1 << c.bitNumber));
        EXPECT_FALSE(StatusIsSet(&ctx, c.bit));
    }
}

TEST(DeckContext, ResultCodes) {
    EXPECT_EQ(kNoErr, 0);
    EXPECT_EQ(kUserCancelled, 1);
    EXPECT_EQ(kRefused, -1);
    EXPECT_EQ(errReplyTimeOut, 900);
    EXPECT_EQ(errSendingWhileBusy, 901);
    EXPECT_EQ(errDeckLocal, 930);
    EXPECT_EQ(errNoCassette, 931);
    EXPECT_EQ(errLocaUnchanged, 932);
    EXPECT_EQ(errRecordInhibit, 933);
}

} // namespace
