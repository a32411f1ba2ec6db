// 9-pin command frames: the fixed table, unknown identifiers, and the
// timecode, shuttle and edit-preset builders.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Sony422.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::string Hex(const uint8_t* p, size_t n) {
    std::string s;
    char b[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(b, sizeof b, "%s%02X", i ? " " : "", p[i]);
        s += b;
    }
    return s;
}

// The frame held in the context, as its length says.
Bytes Frame(const VtrContext& ctx) {
    int len = (ctx.cmdFrame[0] & 0x0F) + 3;
    EXPECT_EQ(CmdFrameLength(&ctx), len);
    return Bytes(ctx.cmdFrame, ctx.cmdFrame + len);
}

// Checks the frame against the expected bytes (checksum last), that the
// checksum really is the low byte of the sum, and that the builder returned it.
void ExpectFrame(const VtrContext& ctx, uint8_t returned, const Bytes& want) {
    Bytes got = Frame(ctx);
    EXPECT_EQ(Hex(got.data(), got.size()), Hex(want.data(), want.size()));
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < want.size(); ++i) sum += want[i];
    EXPECT_EQ(sum & 0xFF, want.back()) << "the expected checksum itself is wrong";
    EXPECT_EQ(returned, want.back());
}

struct FixedCase {
    int16_t id;
    Bytes bytes; // with the checksum
};

const FixedCase kFixed[] = {
    {cmdStop, {0x20, 0x00, 0x20}},
    {cmdPlay, {0x20, 0x01, 0x21}},
    {cmdRewind, {0x20, 0x20, 0x40}},
    {cmdFastFwd, {0x20, 0x10, 0x30}},
    {cmdDeviceTypeInq, {0x00, 0x11, 0x11}},
    {cmdStatusInqA, {0x61, 0x20, 0x03, 0x84}},
    {cmdStatusInqB, {0x61, 0x20, 0x36, 0xB7}},
    {cmdLocationInq, {0x61, 0x0C, 0x03, 0x70}},
    {cmdStepRev, {0x21, 0x23, 0x20, 0x64}},
    {cmdStepFwd, {0x21, 0x13, 0x20, 0x54}},
    {cmdPreroll, {0x20, 0x30, 0x50}},
    {cmdStill, {0x21, 0x13, 0x00, 0x34}},
    {cmdInsrtAssemOff, {0x41, 0x30, 0x00, 0x71}},
    {cmdAssembleAll, {0x41, 0x30, 0x3F, 0xB0}},
    {cmdEditOn, {0x20, 0x65, 0x85}},
    {cmdEditOff, {0x20, 0x64, 0x84}},
    {cmdAutoEdit, {0x20, 0x42, 0x62}},
    {cmdAutoOn, {0x40, 0x41, 0x81}},
    {cmdStandbyOff, {0x20, 0x04, 0x24}},
    {cmdStandbyOn, {0x20, 0x05, 0x25}},
    {cmdPlayRev, {0x21, 0x23, 0x40, 0x84}},
    {cmdRecord, {0x20, 0x02, 0x22}},
    {cmdShuttleFwdFast, {0x21, 0x13, 0x56, 0x8A}},
    {cmdShuttleRevFast, {0x21, 0x23, 0x56, 0x9A}},
    {cmdShuttleFwdSlow, {0x21, 0x13, 0x29, 0x5D}},
    {cmdShuttleFwdSlower, {0x21, 0x13, 0x20, 0x54}},
    {cmdShuttleRevSlow, {0x21, 0x23, 0x29, 0x6D}},
    {cmdShuttleRevSlower, {0x21, 0x23, 0x20, 0x64}},
};

TEST(CommandFrames, IdentifiersHaveTheirNumbers) {
    const int16_t ids[] = {
        cmdStop,       cmdPlay,           cmdRewind,  cmdFastFwd, cmdDeviceTypeInq, cmdStatusInqA,
        cmdStatusInqB, cmdLocationInq,    cmdStepRev, cmdStepFwd, cmdFind,          cmdInPreset,
        cmdOutPreset,  cmdTimeCodePreset, cmdPreroll, cmdStill,   cmdInsrtAssemOff, cmdAssembleAll};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(ids[i], i + 1);
    const int16_t later[] = {cmdEditOn,         cmdEditOff,         cmdAutoEdit,
                             cmdAutoOn,         cmdStandbyOff,      cmdStandbyOn,
                             cmdPlayRev,        cmdRecord,          cmdShuttleFwdFast,
                             cmdShuttleRevFast, cmdShuttleFwdSlow,  cmdShuttleFwdSlower,
                             cmdShuttleRevSlow, cmdShuttleRevSlower};
    for (int i = 0; i < 14; ++i) EXPECT_EQ(later[i], i + 20);
}

TEST(CommandFrames, EveryFixedCommand) {
    for (const FixedCase& c : kFixed) {
        SCOPED_TRACE("id " + std::to_string(c.id));
        VtrContext ctx{};
        // Leftovers of a longer frame must not leak into a shorter one.
        for (uint8_t& b : ctx.cmdFrame) b = 0xEE;
        uint8_t sum = BuildCmdString(&ctx, c.id);
        ExpectFrame(ctx, sum, c.bytes);
    }
}

TEST(CommandFrames, UnknownIdentifiersAskForTheDeviceType) {
    for (int16_t id : {0, 11, 12, 13, 14, 19, 34, -1, 32767, -32768}) {
        SCOPED_TRACE("id " + std::to_string(id));
        VtrContext ctx{};
        uint8_t sum = BuildCmdString(&ctx, id);
        ExpectFrame(ctx, sum, {0x00, 0x11, 0x11});
    }
}

TEST(CommandFrames, TimeCodeCommands) {
    const struct {
        const char* what;
        int16_t kind;
        SmpteTime tc;
        int16_t drop;
        Bytes bytes;
    } cases[] = {
        {"cue up", cmdFind, {1, 2, 3, 4}, 0, {0x24, 0x31, 0x04, 0x03, 0x02, 0x01, 0x5F}},
        {"checksum keeps the low byte",
         cmdFind,
         {23, 59, 59, 29},
         0,
         {0x24, 0x31, 0x29, 0x59, 0x59, 0x23, 0x53}},
        {"cue up never flags drop-frame",
         cmdFind,
         {23, 59, 59, 29},
         1,
         {0x24, 0x31, 0x29, 0x59, 0x59, 0x23, 0x53}},
        {"preset with drop-frame",
         cmdTimeCodePreset,
         {0, 0, 0, 29},
         1,
         {0x44, 0x04, 0x69, 0x00, 0x00, 0x00, 0xB1}},
        {"preset without drop-frame",
         cmdTimeCodePreset,
         {0, 0, 0, 29},
         0,
         {0x44, 0x04, 0x29, 0x00, 0x00, 0x00, 0x71}},
        {"preset one hour drop-frame",
         cmdTimeCodePreset,
         {1, 0, 0, 0},
         1,
         {0x44, 0x04, 0x40, 0x00, 0x00, 0x01, 0x89}},
        {"in point", cmdInPreset, {0, 0, 0, 0}, 1, {0x44, 0x14, 0x00, 0x00, 0x00, 0x00, 0x58}},
        {"out point",
         cmdOutPreset,
         {10, 20, 30, 15},
         1,
         {0x44, 0x15, 0x15, 0x30, 0x20, 0x10, 0xCE}},
        {"unknown kind", 5, {1, 2, 3, 4}, 1, {0x00, 0x11, 0x11}},
        {"unknown kind 0", 0, {23, 59, 59, 29}, 0, {0x00, 0x11, 0x11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        VtrContext ctx{};
        uint8_t sum = BuildSonyTimeCodeCmd(&ctx, c.kind, &c.tc, c.drop);
        ExpectFrame(ctx, sum, c.bytes);
    }
}

TEST(CommandFrames, Shuttle) {
    const struct {
        int16_t speed;
        Bytes bytes;
    } cases[] = {
        {0, {0x21, 0x13, 0x00, 0x34}}, // still
        {1, {0x21, 0x13, 0x01, 0x35}}, // 120 / 100
        {100, {0x21, 0x13, 0x78, 0xAC}},
        {-50, {0x21, 0x23, 0x3C, 0x80}}, // reverse
        {213, {0x21, 0x13, 0xFF, 0x33}}, // 25560 / 100 = 255 fits
        {214, {0x21, 0x13, 0x00, 0x34}}, // 256 keeps only its low 8 bits
        {-214, {0x21, 0x23, 0x00, 0x44}},
        {-32768, {0x21, 0x23, 0x99, 0xDD}}, // 32768 x 120 / 100 = 39321 = 0x9999
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("speed " + std::to_string(c.speed));
        VtrContext ctx{};
        uint8_t sum = BuildSonyShuttleCmd(&ctx, c.speed);
        ExpectFrame(ctx, sum, c.bytes);
    }
}

TEST(CommandFrames, EditPreset) {
    const struct {
        uint16_t channels;
        Bytes bytes;
    } cases[] = {
        {0x00, {0x41, 0x30, 0x00, 0x71}},   {0x01, {0x41, 0x30, 0x50, 0xC1}}, // insert video
        {0x03, {0x41, 0x30, 0x51, 0xC2}},   {0x04, {0x41, 0x30, 0x42, 0xB3}},
        {0x08, {0x41, 0x30, 0x44, 0xB5}},   {0x0F, {0x41, 0x30, 0x57, 0xC8}},
        {0x80, {0x41, 0x30, 0x3F, 0xB0}},   // assemble everything
        {0x8F, {0x41, 0x30, 0x3F, 0xB0}},   // bit 7 wins
        {0xFF00, {0x41, 0x30, 0x00, 0x71}}, // high byte not read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("channels " + std::to_string(c.channels));
        VtrContext ctx{};
        uint8_t sum = BuildSonyEditEnableCmd(&ctx, c.channels);
        ExpectFrame(ctx, sum, c.bytes);
    }
}

// The longest frame: fifteen data bytes, checksum at byte 17, the spare byte untouched.
TEST(CommandFrames, ChecksumOfTheLongestFrame) {
    VtrContext ctx{};
    ctx.cmdFrame[0] = 0x7F;
    ctx.cmdFrame[1] = 0x0F;
    for (int i = 2; i < 17; ++i) ctx.cmdFrame[i] = 0xFF;
    ctx.cmdFrame[18] = 0xA5;
    // 0x7F + 0x0F + 15 x 0xFF = 0xF7F
    EXPECT_EQ(FillinCmdChecksum(&ctx), 0x7F);
    EXPECT_EQ(ctx.cmdFrame[17], 0x7F);
    EXPECT_EQ(ctx.cmdFrame[18], 0xA5);
    EXPECT_EQ(CmdFrameLength(&ctx), 18);
}

} // namespace
