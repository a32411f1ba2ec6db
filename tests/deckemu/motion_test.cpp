// Tape motion on house sync: where the tape is when a time request arrives,
// worked out here from the field numbers, independently of the deck's own model.
#include "deck_fixture.h"

#include <chrono>
#include <thread>

using linetest::Bytes;
using linetest::field_of;
using linetest::field_start;
using linetest::framed;

namespace {

void sleep_ms(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Frame count from a non-drop 74 04 reply.
int64_t reply_frames(const Bytes& r, int rate) {
    auto bcd = [](uint8_t b) { return (b >> 4) * 10 + (b & 0x0F); };
    if (r.size() != 7 || r[0] != 0x74 || r[1] != 0x04) return -1;
    return ((int64_t(bcd(r[5] & 0x3F)) * 60 + bcd(r[4] & 0x7F)) * 60 + bcd(r[3] & 0x7F)) * rate +
           bcd(r[2] & 0x3F);
}

// The field in which the deck received the last frame it logged.
int64_t last_arrival_field(OpenDeck& d, int rate) {
    auto log = deckemu::deck_log(d.deck());
    return log.empty() ? -1 : field_of(rate, log.back().frame.lastUst);
}

Bytes status(OpenDeck& d) {
    return d.transact({0x61, 0x20, 0x09});
}

// Polls the status until byte 2 bit 0 (cue-up complete), for at most `ms`.
bool wait_cue_complete(OpenDeck& d, int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
        Bytes s = status(d);
        if (s.size() == 12 && (s[4] & 0x01)) return true;
        sleep_ms(20);
    }
    return false;
}

struct Timed {
    int64_t frames; // position in the reply
    int64_t field;  // field of arrival, from the deck's log
};

Timed time_sense(OpenDeck& d, int rate) {
    Bytes r = d.transact({0x61, 0x0C, 0x03});
    return {reply_frames(r, rate), last_arrival_field(d, rate)};
}

} // namespace

class PlayOnHouseSync : public ::testing::TestWithParam<int> {};

TEST_P(PlayOnHouseSync, AdvancesOneFramePerTwoFields) {
    const int rate = GetParam();
    const int64_t start = 1000;
    OpenDeck d(config_at(rate, false, start));
    linetest::wait_into_next_field(rate, 3);
    int64_t sentPlay = linetest::ust_now();
    ASSERT_EQ(hex(d.transact({0x20, 0x01})), "10 01 11 ");
    int64_t playField = last_arrival_field(d, rate);
    // The deck's arrival field lies between sending and the reply, by our own clock.
    EXPECT_GE(playField, field_of(rate, sentPlay));
    EXPECT_LE(playField, field_of(rate, linetest::ust_now()));
    for (int i = 0; i < 8; ++i) {
        sleep_ms(17 * i);
        linetest::wait_into_next_field(rate, 3);
        int64_t sent = linetest::ust_now();
        Timed t = time_sense(d, rate);
        int64_t answered = linetest::ust_now();
        // Exact against the field the request arrived in ...
        EXPECT_EQ(t.frames, start + (t.field - playField) / 2) << "poll " << i;
        // ... and between the positions of the fields it left and came back in.
        EXPECT_GE(t.frames, start + (field_of(rate, sent) - playField) / 2) << "poll " << i;
        EXPECT_LE(t.frames, start + (field_of(rate, answered) - playField) / 2) << "poll " << i;
    }
    Bytes s = status(d);
    ASSERT_EQ(s.size(), 12u);
    EXPECT_EQ(s[3], 0x81); // standby, play
    // The truth API answers for any field, past or future.
    int64_t later = field_start(rate, playField + 40);
    EXPECT_EQ(deckemu::deck_position(d.deck(), later), start + 20);
    EXPECT_EQ(deckemu::deck_position(d.deck(), field_start(rate, playField - 5)), start);
    EXPECT_EQ(deckemu::deck_state(d.deck(), later).motion, deckemu::Motion::Play);
}

INSTANTIATE_TEST_SUITE_P(Rates, PlayOnHouseSync, ::testing::Values(30, 25));

TEST(TapeMotion, CueUpReachesTheTargetAndSetsCueUpComplete) {
    OpenDeck d(config_at(30, false, 0));
    // 00:00:10:00 is 300 frames on: a seek of a few fields at fifty times play speed.
    ASSERT_EQ(hex(d.transact({0x24, 0x31, 0x00, 0x10, 0x00, 0x00})), "10 01 11 ");
    int64_t cueField = last_arrival_field(d, 30);
    // Three hundred frames at fifty times play speed: twelve fields on the way.
    EXPECT_EQ(deckemu::deck_status(d.deck(), field_start(30, cueField + 11))[4] & 0x01, 0x01);
    Bytes s = status(d);
    ASSERT_EQ(s.size(), 12u);
    // On the line too, when the poll came before the cue could arrive (a loaded
    // machine may hold the test back longer than the cue takes).
    if (last_arrival_field(d, 30) < cueField + 12) {
        EXPECT_EQ(s[6] & 0x01, 0x01) << "byte 4 bit 0 while the cue runs";
        EXPECT_EQ(s[4] & 0x01, 0x00) << "no cue-up complete before arrival";
    }
    ASSERT_TRUE(wait_cue_complete(d, 5000));
    s = status(d);
    EXPECT_EQ(hex(s), hex(framed({0x79, 0x20, 0x00, 0x80, 0x03, 0, 0, 0, 0, 0, 0})));
    EXPECT_EQ(time_sense(d, 30).frames, 300);
    sleep_ms(100);
    EXPECT_EQ(time_sense(d, 30).frames, 300) << "holds still at the target";

    // Back again, and then far: an hour away still lands on the frame.
    ASSERT_EQ(hex(d.transact({0x24, 0x31, 0x15, 0x02, 0x00, 0x00})), "10 01 11 ");
    ASSERT_TRUE(wait_cue_complete(d, 5000));
    EXPECT_EQ(time_sense(d, 30).frames, 2 * 30 + 15);
    ASSERT_EQ(hex(d.transact({0x24, 0x31, 0x07, 0x06, 0x05, 0x01})), "10 01 11 ");
    int64_t mid = -1;
    for (int i = 0; i < 10 && mid < 0; ++i) {
        Bytes st = status(d);
        if (st.size() == 12 && (st[6] & 0x01)) mid = time_sense(d, 30).frames;
        sleep_ms(5);
    }
    ASSERT_TRUE(wait_cue_complete(d, 10000));
    const int64_t target = ((1 * 60 + 5) * 60 + 6) * 30 + 7;
    EXPECT_EQ(time_sense(d, 30).frames, target);
    if (mid >= 0) {
        EXPECT_GE(mid, 75);
        EXPECT_LE(mid, target);
    }
    // A transport command ends the cued state.
    ASSERT_EQ(hex(d.transact({0x20, 0x00})), "10 01 11 ");
    EXPECT_EQ(hex(d.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x00, 0xA0, 0x00})));
}

TEST(TapeMotion, DropFrameCueToASkippedLabelLandsOnTheFirstFrameOfTheMinute) {
    OpenDeck d(config_at(30, true, 0));
    // 00:01:00;00 does not exist in drop-frame; the minute starts at ;02 (frame 1800).
    ASSERT_EQ(hex(d.transact({0x24, 0x31, 0x00, 0x00, 0x01, 0x00})), "10 01 11 ");
    ASSERT_TRUE(wait_cue_complete(d, 5000));
    EXPECT_EQ(hex(d.transact({0x61, 0x0C, 0x03})), "74 04 42 00 01 00 BB ");
}

TEST(TapeMotion, PrerollParksBeforeTheInPoint) {
    OpenDeck d(config_at(30, false, 0));
    ASSERT_EQ(hex(d.transact({0x44, 0x14, 0x00, 0x10, 0x00, 0x00})), "10 01 11 ");
    ASSERT_EQ(hex(d.transact({0x20, 0x30})), "10 01 11 ");
    ASSERT_TRUE(wait_cue_complete(d, 5000));
    EXPECT_EQ(time_sense(d, 30).frames, 150); // five seconds before 00:00:10:00
}

struct ShuttleCase {
    uint8_t speed;
    double times; // play speed multiple
    int runMs;
};

void PrintTo(const ShuttleCase& c, std::ostream* os) {
    *os << "speed byte 0x" << std::hex << int(c.speed);
}

class ShuttleSpeed : public ::testing::TestWithParam<ShuttleCase> {};

TEST_P(ShuttleSpeed, MovesAtTheSpeedOfItsDataByte) {
    const ShuttleCase c = GetParam();
    const int64_t start = 3000;
    OpenDeck d(config_at(30, false, start));
    ASSERT_EQ(hex(d.transact({0x21, 0x13, c.speed})), "10 01 11 ");
    int64_t f0 = last_arrival_field(d, 30);
    sleep_ms(c.runMs);
    Timed t = time_sense(d, 30);
    double expected = double(start) + c.times * double(t.field - f0) / 2;
    EXPECT_NEAR(double(t.frames), expected, 1.0);
    Bytes s = d.transact({0x61, 0x20, 0x03});
    EXPECT_EQ(hex(s), hex(framed({0x73, 0x20, 0x00, 0x80, 0x20})));

    // Reverse at the same speed comes back the same way: forward until the
    // reverse command's field, back from there.
    ASSERT_EQ(hex(d.transact({0x21, 0x23, c.speed})), "10 01 11 ");
    int64_t f1 = last_arrival_field(d, 30);
    sleep_ms(c.runMs);
    Timed back = time_sense(d, 30);
    double turned = double(start) + c.times * double(f1 - f0) / 2;
    EXPECT_NEAR(double(back.frames), turned - c.times * double(back.field - f1) / 2, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Speeds, ShuttleSpeed,
                         ::testing::Values(ShuttleCase{0x40, 1.0, 500},
                                           ShuttleCase{0x20, 0.1, 1500}));

TEST(TapeMotion, ShuttleAtATenthIsNotPlaySpeed) {
    OpenDeck d(config_at(30, false, 3000));
    ASSERT_EQ(hex(d.transact({0x21, 0x13, 0x20})), "10 01 11 ");
    int64_t f0 = last_arrival_field(d, 30);
    sleep_ms(1000);
    // A second at a tenth is about three frames; at play speed it would be thirty.
    Timed t = time_sense(d, 30);
    double playFrames = double(t.field - f0) / 2;
    int64_t moved = t.frames - 3000;
    EXPECT_GE(moved, 2);
    EXPECT_GE(double(moved), playFrames / 20);
    EXPECT_LE(double(moved), playFrames / 5);
}

TEST(TapeMotion, StillHolds) {
    OpenDeck d(config_at(30, false, 500));
    ASSERT_EQ(hex(d.transact({0x20, 0x01})), "10 01 11 ");
    sleep_ms(200);
    ASSERT_EQ(hex(d.transact({0x21, 0x13, 0x00})), "10 01 11 ");
    int64_t held = time_sense(d, 30).frames;
    EXPECT_GT(held, 500);
    sleep_ms(300);
    EXPECT_EQ(time_sense(d, 30).frames, held);
    EXPECT_EQ(hex(d.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x00, 0x80, 0x02})));
}

TEST(TapeMotion, WindsAtTensOfTimesPlaySpeedAndStopsAtTheTapeStart) {
    const int64_t start = 100000;
    OpenDeck d(config_at(30, false, start));
    ASSERT_EQ(hex(d.transact({0x20, 0x10})), "10 01 11 ");
    int64_t f0 = last_arrival_field(d, 30);
    sleep_ms(300);
    Timed t = time_sense(d, 30);
    double playFrames = double(t.field - f0) / 2;
    EXPECT_GE(double(t.frames - start), 10 * playFrames);
    EXPECT_LE(double(t.frames - start), 60 * playFrames + 1);

    OpenDeck r(config_at(30, false, 60));
    ASSERT_EQ(hex(r.transact({0x20, 0x20})), "10 01 11 ");
    sleep_ms(200); // sixty frames at forty times play speed: three fields
    EXPECT_EQ(time_sense(r, 30).frames, 0);
    EXPECT_EQ(hex(r.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x00, 0xA0, 0x00})));
}

TEST(TapeMotion, StatusLagRaisesPlayAndRecordLate) {
    deckemu::DeckConfig config = config_at(30, false, 0);
    config.statusLagFrames = 5;
    OpenDeck d(config);
    ASSERT_EQ(hex(d.transact({0x20, 0x02})), "10 01 11 ");
    int64_t f0 = last_arrival_field(d, 30);
    // The truth for fields before and after the lag: ten fields, five frames.
    auto at = [&](int64_t field) { return deckemu::deck_status(d.deck(), field_start(30, field)); };
    EXPECT_EQ(at(f0 + 9)[1], 0x80);
    EXPECT_EQ(at(f0 + 10)[1], 0x83);
    // And on the line: the tape moves at once, the bits follow.
    sleep_ms(400);
    EXPECT_EQ(hex(d.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x00, 0x83, 0x00})));
    EXPECT_GT(time_sense(d, 30).frames, 0);
}
