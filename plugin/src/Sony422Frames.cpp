// The 9-pin command frames: the fixed command table and the builders that put
// a frame with its checksum into the deck context. Building never sends.
#include "Sony422.h"

#include <cstring>

namespace {

struct FixedCmd {
    int16_t id;
    uint8_t len; // CMD1, CMD2 and data, before the checksum
    uint8_t bytes[3];
};

constexpr FixedCmd kFixedCmds[] = {
    {cmdStop, 2, {0x20, 0x00}},
    {cmdPlay, 2, {0x20, 0x01}},
    {cmdRewind, 2, {0x20, 0x20}},
    {cmdFastFwd, 2, {0x20, 0x10}},
    {cmdDeviceTypeInq, 2, {0x00, 0x11}},
    {cmdStatusInqA, 3, {0x61, 0x20, 0x03}}, // 3 bytes from status byte 0
    {cmdStatusInqB, 3, {0x61, 0x20, 0x36}}, // 6 bytes from status byte 3
    {cmdLocationInq, 3, {0x61, 0x0C, 0x03}},
    {cmdStepRev, 3, {0x21, 0x23, 0x20}},
    {cmdStepFwd, 3, {0x21, 0x13, 0x20}},
    {cmdPreroll, 2, {0x20, 0x30}},
    {cmdStill, 3, {0x21, 0x13, 0x00}}, // shuttle forward at speed 0
    {cmdInsrtAssemOff, 3, {0x41, 0x30, 0x00}},
    {cmdAssembleAll, 3, {0x41, 0x30, 0x3F}},
    {cmdEditOn, 2, {0x20, 0x65}},
    {cmdEditOff, 2, {0x20, 0x64}},
    {cmdAutoEdit, 2, {0x20, 0x42}},
    {cmdAutoOn, 2, {0x40, 0x41}},
    {cmdStandbyOff, 2, {0x20, 0x04}},
    {cmdStandbyOn, 2, {0x20, 0x05}},
    {cmdPlayRev, 3, {0x21, 0x23, 0x40}},
    {cmdRecord, 2, {0x20, 0x02}},
    {cmdShuttleFwdFast, 3, {0x21, 0x13, 0x56}},
    {cmdShuttleRevFast, 3, {0x21, 0x23, 0x56}},
    {cmdShuttleFwdSlow, 3, {0x21, 0x13, 0x29}},
    {cmdShuttleFwdSlower, 3, {0x21, 0x13, 0x20}},
    {cmdShuttleRevSlow, 3, {0x21, 0x23, 0x29}},
    {cmdShuttleRevSlower, 3, {0x21, 0x23, 0x20}},
};

// Anything without an entry asks for the device type, which every deck answers.
constexpr FixedCmd kDeviceTypeRequest = {cmdDeviceTypeInq, 2, {0x00, 0x11}};

const FixedCmd& LookUpFixedCmd(int16_t id) {
    for (const FixedCmd& cmd : kFixedCmds)
        if (cmd.id == id) return cmd;
    return kDeviceTypeRequest;
}

void StartFrame(VtrContext* ctx, uint8_t cmd1, uint8_t cmd2) {
    std::memset(ctx->cmdFrame, 0, sizeof ctx->cmdFrame);
    ctx->cmdFrame[0] = cmd1;
    ctx->cmdFrame[1] = cmd2;
}

uint8_t ToBcd(int16_t value) {
    return static_cast<uint8_t>(((value / 10) << 4) + value % 10);
}

} // namespace

extern "C" {

uint8_t FillinCmdChecksum(VtrContext* ctx) {
    int last = 2 + (ctx->cmdFrame[0] & 0x0F);
    unsigned sum = 0;
    for (int i = 0; i < last; ++i) sum += ctx->cmdFrame[i];
    ctx->cmdFrame[last] = static_cast<uint8_t>(sum);
    return ctx->cmdFrame[last];
}

uint8_t BuildCmdString(VtrContext* ctx, int16_t id) {
    const FixedCmd& cmd = LookUpFixedCmd(id);
    StartFrame(ctx, cmd.bytes[0], cmd.bytes[1]);
    std::memcpy(ctx->cmdFrame, cmd.bytes, cmd.len);
    return FillinCmdChecksum(ctx);
}

uint8_t BuildSonyTimeCodeCmd(VtrContext* ctx, int16_t kind, const SmpteTime* time,
                             int16_t dropFlag) {
    switch (kind) {
    case cmdFind: StartFrame(ctx, 0x24, 0x31); break;
    case cmdInPreset: StartFrame(ctx, 0x44, 0x14); break;
    case cmdOutPreset: StartFrame(ctx, 0x44, 0x15); break;
    case cmdTimeCodePreset: StartFrame(ctx, 0x44, 0x04); break;
    default: StartFrame(ctx, 0x00, 0x11); break;
    }
    ctx->cmdFrame[2] = ToBcd(time->frames);
    ctx->cmdFrame[3] = ToBcd(time->seconds);
    ctx->cmdFrame[4] = ToBcd(time->minutes);
    ctx->cmdFrame[5] = ToBcd(time->hours);
    // Only the time code preset tells the deck the count is drop-frame.
    if (kind == cmdTimeCodePreset && dropFlag) ctx->cmdFrame[2] |= 0x40;
    // For an unknown kind CMD1 carries no data: the checksum lands on the frames byte.
    return FillinCmdChecksum(ctx);
}

uint8_t BuildSonyShuttleCmd(VtrContext* ctx, int16_t speed) {
    int s = speed;
    uint8_t cmd2 = 0x13; // shuttle forward
    if (s < 0) {
        s = -s;
        cmd2 = 0x23; // shuttle reverse
    }
    StartFrame(ctx, 0x21, cmd2);
    ctx->cmdFrame[2] = static_cast<uint8_t>(s * 120 / 100);
    return FillinCmdChecksum(ctx);
}

uint8_t BuildSonyEditEnableCmd(VtrContext* ctx, uint16_t channels) {
    uint8_t data = 0;
    if (channels & 0x80) {
        data = 0x3F; // assemble, video and every channel
    } else {
        if (channels & 0x01) data |= 0x50; // insert video
        if (channels & 0x02) data |= 0x41; // insert, deck channel bit 0
        if (channels & 0x04) data |= 0x42;
        if (channels & 0x08) data |= 0x44;
    }
    StartFrame(ctx, 0x41, 0x30);
    ctx->cmdFrame[2] = data;
    return FillinCmdChecksum(ctx);
}

} // extern "C"
