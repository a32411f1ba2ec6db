// Every command the plug-in sends, byte for byte over a pseudo-terminal: the reply
// and the status the deck reports right after it. Expected bytes come from the
// protocol: ACK 10 01, status bits as the deck's status table defines them.
#include "deck_fixture.h"

using linetest::Bytes;
using linetest::framed;

namespace {

constexpr int64_t k01020304 = 111694; // 01:02:03:04 at 30 frames, non-drop

struct CommandCase {
    const char* name;
    Bytes command; // without checksum
    Bytes reply;   // without checksum
    Bytes status;  // status bytes 0, 1, 2 right after the command
};

const Bytes kAck = {0x10, 0x01};
// Byte 1: standby 0x80, stop 0x20, rewind 0x08, fast fwd 0x04, record 0x02, play 0x01.
// Byte 2: shuttle 0x20, reverse 0x04, still 0x02, cue-up complete 0x01.
const Bytes kStopped = {0x00, 0xA0, 0x00};

const CommandCase kFixedTable[] = {
    {"cmdStop", {0x20, 0x00}, kAck, kStopped},
    {"cmdPlay", {0x20, 0x01}, kAck, {0x00, 0x81, 0x00}},
    {"cmdRewind", {0x20, 0x20}, kAck, {0x00, 0x88, 0x00}},
    {"cmdFastFwd", {0x20, 0x10}, kAck, {0x00, 0x84, 0x00}},
    {"cmdDeviceTypeInq", {0x00, 0x11}, {0x12, 0x11, 0x20, 0x25}, kStopped},
    {"cmdStatusInqA", {0x61, 0x20, 0x03}, {0x73, 0x20, 0x00, 0xA0, 0x00}, kStopped},
    {"cmdStatusInqB", {0x61, 0x20, 0x36}, {0x76, 0x20, 0, 0, 0, 0, 0, 0}, kStopped},
    {"statusPoll", {0x61, 0x20, 0x09}, {0x79, 0x20, 0x00, 0xA0, 0, 0, 0, 0, 0, 0, 0}, kStopped},
    {"cmdLocationInq", {0x61, 0x0C, 0x03}, {0x74, 0x04, 0x04, 0x03, 0x02, 0x01}, kStopped},
    {"cmdStepRev", {0x21, 0x23, 0x20}, kAck, {0x00, 0x80, 0x24}},
    {"cmdStepFwd", {0x21, 0x13, 0x20}, kAck, {0x00, 0x80, 0x20}},
    {"cmdPreroll", {0x20, 0x30}, kAck, kStopped}, // no in-point: nothing to go to
    {"cmdStill", {0x21, 0x13, 0x00}, kAck, {0x00, 0x80, 0x02}},
    {"cmdInsrtAssemOff", {0x41, 0x30, 0x00}, kAck, kStopped},
    {"cmdAssembleAll", {0x41, 0x30, 0x3F}, kAck, kStopped},
    {"cmdEditOn", {0x20, 0x65}, kAck, kStopped},
    {"cmdEditOff", {0x20, 0x64}, kAck, kStopped},
    {"cmdAutoEdit", {0x20, 0x42}, kAck, kStopped},
    {"cmdAutoOn", {0x40, 0x41}, kAck, kStopped},
    {"cmdStandbyOff", {0x20, 0x04}, kAck, {0x00, 0x20, 0x00}},
    {"cmdStandbyOn", {0x20, 0x05}, kAck, kStopped},
    {"cmdPlayRev", {0x21, 0x23, 0x40}, kAck, {0x00, 0x80, 0x24}},
    {"cmdRecord", {0x20, 0x02}, kAck, {0x00, 0x83, 0x00}},
    {"cmdShuttleFwdFast", {0x21, 0x13, 0x56}, kAck, {0x00, 0x80, 0x20}},
    {"cmdShuttleRevFast", {0x21, 0x23, 0x56}, kAck, {0x00, 0x80, 0x24}},
    {"cmdShuttleFwdSlow", {0x21, 0x13, 0x29}, kAck, {0x00, 0x80, 0x20}},
    {"cmdShuttleRevSlow", {0x21, 0x23, 0x29}, kAck, {0x00, 0x80, 0x24}},
    // A cue to where the tape already is arrives at once.
    {"cmdFind", {0x24, 0x31, 0x04, 0x03, 0x02, 0x01}, kAck, {0x00, 0x80, 0x03}},
    {"cmdInPreset", {0x44, 0x14, 0x00, 0x00, 0x00, 0x01}, kAck, kStopped},
    {"cmdOutPreset", {0x44, 0x15, 0x00, 0x00, 0x00, 0x02}, kAck, kStopped},
    {"cmdTimeCodePreset", {0x44, 0x04, 0x69, 0x59, 0x59, 0x23}, kAck, kStopped},
    {"autoOff", {0x40, 0x40}, kAck, kStopped},
    {"jogForward", {0x21, 0x11, 0x40}, kAck, {0x00, 0x80, 0x10}},
    {"varReverseTwoSpeedBytes", {0x22, 0x22, 0x40, 0x80}, kAck, {0x00, 0x80, 0x0C}},
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class PluginCommands : public ::testing::TestWithParam<CommandCase> {};

} // namespace

TEST_P(PluginCommands, ReplyAndStatusByteForByte) {
    const CommandCase& c = GetParam();
    OpenDeck d(config_at(30, false, k01020304));
    ASSERT_GE(d.fd, 0);
    EXPECT_EQ(hex(d.transact(c.command)), hex(framed(c.reply)));
    Bytes status = d.transact({0x61, 0x20, 0x03});
    Bytes want = {0x73, 0x20};
    want.insert(want.end(), c.status.begin(), c.status.end());
    EXPECT_EQ(hex(status), hex(framed(want)));
}

INSTANTIATE_TEST_SUITE_P(Table, PluginCommands, ::testing::ValuesIn(kFixedTable),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DeckReplies, ChecksumsOfKnownFrames) {
    // Frames quoted in the protocol notes, checksum included.
    EXPECT_EQ(hex(framed({0x10, 0x01})), "10 01 11 ");
    EXPECT_EQ(hex(framed({0x21, 0x13, 0x00})), "21 13 00 34 ");
    EXPECT_EQ(hex(framed({0x61, 0x0C, 0x03})), "61 0C 03 70 ");
    EXPECT_EQ(hex(framed({0x24, 0x31, 0x29, 0x59, 0x59, 0x23})), "24 31 29 59 59 23 53 ");
}

struct StatusCase {
    uint8_t xy;
    Bytes data; // Y bytes from status byte X
};

TEST(DeckReplies, StatusSenseAnyStartAndCount) {
    // Playing backwards at a tenth with record inhibit: bytes 1, 2 and 8 carry bits.
    deckemu::DeckConfig config = config_at(30, false, k01020304);
    config.recordInhibit = true;
    OpenDeck d(config);
    ASSERT_EQ(hex(d.transact({0x21, 0x23, 0x20})), "10 01 11 ");
    const StatusCase cases[] = {
        {0x09, {0x00, 0x80, 0x24, 0, 0, 0, 0, 0, 0x01}},
        {0x03, {0x00, 0x80, 0x24}},
        {0x36, {0, 0, 0, 0, 0, 0x01}},
        {0x12, {0x80, 0x24}},
        {0x21, {0x24}},
        {0x81, {0x01}},
        {0x00, {}},
        {0x0F, {0x00, 0x80, 0x24, 0, 0, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0}},
        {0xF2, {0, 0}},
    };
    for (const StatusCase& c : cases) {
        Bytes want = {uint8_t(0x70 | (c.xy & 0x0F)), 0x20};
        want.insert(want.end(), c.data.begin(), c.data.end());
        EXPECT_EQ(hex(d.transact({0x61, 0x20, c.xy})), hex(framed(want)))
            << "61 20 " << std::hex << int(c.xy);
    }
}

struct TimeCase {
    const char* name;
    int rate;
    bool drop;
    int64_t start;
    Bytes reply; // with checksum, as the protocol notes quote them
};

void PrintTo(const TimeCase& c, std::ostream* os) {
    *os << c.name;
}

class TimeSense : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeSense, CurrentTimeAsBcdWithDropFlag) {
    const TimeCase& c = GetParam();
    OpenDeck d(config_at(c.rate, c.drop, c.start));
    EXPECT_EQ(hex(d.transact({0x61, 0x0C, 0x03})), hex(c.reply));
    // LTC alone answers the same.
    EXPECT_EQ(hex(d.transact({0x61, 0x0C, 0x01})), hex(c.reply));
}

INSTANTIATE_TEST_SUITE_P(
    Labels, TimeSense,
    ::testing::Values(
        TimeCase{"NonDrop235959", 30, false, 2591999, {0x74, 0x04, 0x29, 0x59, 0x59, 0x23, 0x76}},
        TimeCase{"Drop000100", 30, true, 1800, {0x74, 0x04, 0x42, 0x00, 0x01, 0x00, 0xBB}},
        TimeCase{"Drop100300", 30, true, 1084319, {0x74, 0x04, 0x45, 0x00, 0x03, 0x10, 0xD0}},
        TimeCase{"NonDrop100223", 30, false, 1084319, {0x74, 0x04, 0x29, 0x23, 0x02, 0x10, 0xD6}},
        TimeCase{"Pal010000", 25, false, 90000, {0x74, 0x04, 0x00, 0x00, 0x00, 0x01, 0x79}},
        TimeCase{"DropZero", 30, true, 0, {0x74, 0x04, 0x40, 0x00, 0x00, 0x00, 0xB8}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DeckReplies, OtherTimeSources) {
    OpenDeck d(config_at(30, false, k01020304));
    EXPECT_EQ(hex(d.transact({0x61, 0x0C, 0x02})), hex(framed({0x74, 0x06, 4, 3, 2, 1})));
    EXPECT_EQ(hex(d.transact({0x61, 0x0C, 0x04})), hex(framed({0x74, 0x00, 4, 3, 2, 1})));
    EXPECT_EQ(hex(d.transact({0x61, 0x0C, 0x10})), hex(framed({0x74, 0x05, 0, 0, 0, 0})));
}

TEST(DeckReplies, DeviceTypeNamesTheFrameRate) {
    OpenDeck ntsc(config_at(30, false, 0));
    EXPECT_EQ(hex(ntsc.transact({0x00, 0x11})), "12 11 20 25 68 ");
    OpenDeck pal(config_at(25, false, 0));
    EXPECT_EQ(hex(pal.transact({0x00, 0x11})), "12 11 21 25 69 ");
}

TEST(DeckReplies, NacksUnknownCommandsAndBadChecksums) {
    OpenDeck d;
    const Bytes undefined = {0x11, 0x12, 0x01, 0x24};
    EXPECT_EQ(hex(d.transact({0x20, 0x99})), hex(undefined));
    EXPECT_EQ(hex(d.transact({0x00, 0x00})), hex(undefined));
    EXPECT_EQ(hex(d.transact({0x7F, 0x20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15})),
              hex(undefined));
    // A known command with the wrong number of data bytes is not that command.
    EXPECT_EQ(hex(d.transact({0x62, 0x20, 0x09, 0x00})), hex(undefined));
    EXPECT_EQ(hex(d.transact({0x21, 0x01, 0x00})), hex(undefined));
    EXPECT_EQ(hex(d.transact({0x23, 0x31, 0x00, 0x00, 0x00})), hex(undefined));

    linetest::send_bytes(d.fd, {0x20, 0x01, 0x22});
    EXPECT_EQ(hex(linetest::read_frame(d.fd)), "11 12 04 27 ");
    // Nothing moved, and the deck is in step for the next command.
    EXPECT_EQ(hex(d.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x00, 0xA0, 0x00})));
}

TEST(DeckReplies, NotReadyConditions) {
    deckemu::DeckConfig config = config_at(30, false, k01020304);
    config.noCassette = true;
    OpenDeck empty(config);
    EXPECT_EQ(hex(empty.transact({0x61, 0x0C, 0x03})), "70 0D 7D ");
    EXPECT_EQ(hex(empty.transact({0x20, 0x01})), "10 01 11 ");
    // Cassette out (byte 0 bit 5), stopped, nothing threaded.
    EXPECT_EQ(hex(empty.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x20, 0x20, 0})));

    config = config_at(30, false, k01020304);
    config.local = true;
    OpenDeck local(config);
    EXPECT_EQ(hex(local.transact({0x20, 0x01})), "10 01 11 ");
    EXPECT_EQ(hex(local.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x01, 0xA0, 0})));

    config = config_at(30, false, k01020304);
    config.recordInhibit = true;
    OpenDeck inhibited(config);
    EXPECT_EQ(hex(inhibited.transact({0x20, 0x02})), "10 01 11 ");
    EXPECT_EQ(hex(inhibited.transact({0x61, 0x20, 0x09})),
              hex(framed({0x79, 0x20, 0x00, 0xA0, 0, 0, 0, 0, 0, 0, 0x01})));

    // Conditions change while the deck runs.
    deckemu::deck_set_local(local.deck(), false);
    EXPECT_EQ(hex(local.transact({0x20, 0x01})), "10 01 11 ");
    EXPECT_EQ(hex(local.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x00, 0x81, 0})));
    deckemu::deck_set_cassette(local.deck(), false);
    EXPECT_EQ(hex(local.transact({0x61, 0x0C, 0x03})), "70 0D 7D ");
}

TEST(DeckReplies, EjectTakesTheCassetteOut) {
    OpenDeck d(config_at(30, false, k01020304));
    EXPECT_EQ(hex(d.transact({0x20, 0x0F})), "10 01 11 ");
    EXPECT_EQ(hex(d.transact({0x61, 0x20, 0x03})), hex(framed({0x73, 0x20, 0x20, 0x20, 0})));
    EXPECT_EQ(hex(d.transact({0x61, 0x0C, 0x03})), "70 0D 7D ");
}

TEST(DeckReplies, LogsEveryFrameWithItsArrival) {
    OpenDeck d;
    int64_t before = linetest::ust_now();
    d.transact({0x00, 0x11});
    d.transact({0x61, 0x0C, 0x03});
    int64_t after = linetest::ust_now();
    auto log = deckemu::deck_log(d.deck());
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(hex(log[0].frame.raw), "00 11 11 ");
    EXPECT_EQ(hex(log[1].frame.raw), "61 0C 03 70 ");
    EXPECT_EQ(log[1].frame.data, Bytes{0x03});
    for (const auto& e : log) {
        EXPECT_GE(e.frame.firstUst, before);
        EXPECT_LE(e.frame.lastUst, after);
        EXPECT_LE(e.frame.firstUst, e.frame.lastUst);
    }
    EXPECT_LE(log[0].frame.lastUst, log[1].frame.firstUst);
    deckemu::deck_clear_log(d.deck());
    EXPECT_TRUE(deckemu::deck_log(d.deck()).empty());
}
