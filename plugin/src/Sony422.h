// Sony 9-pin VTR control: frame-count timecode arithmetic used by the command
// layer, the command frames and their builders, and the deck context shared by
// the command side and the reply reader.
#pragma once

#include <cstdint>

#include "TimeUtils.h"

// ---- Command identifiers -------------------------------------------------
// Fixed frames built by BuildCmdString.
inline constexpr int16_t cmdStop = 1;
inline constexpr int16_t cmdPlay = 2;
inline constexpr int16_t cmdRewind = 3;
inline constexpr int16_t cmdFastFwd = 4;
inline constexpr int16_t cmdDeviceTypeInq = 5;
inline constexpr int16_t cmdStatusInqA = 6;
inline constexpr int16_t cmdStatusInqB = 7;
inline constexpr int16_t cmdLocationInq = 8;
inline constexpr int16_t cmdStepRev = 9;
inline constexpr int16_t cmdStepFwd = 10;
// Kinds of BuildSonyTimeCodeCmd; BuildCmdString treats them as unknown.
inline constexpr int16_t cmdFind = 11;
inline constexpr int16_t cmdInPreset = 12;
inline constexpr int16_t cmdOutPreset = 13;
inline constexpr int16_t cmdTimeCodePreset = 14;
// More fixed frames.
inline constexpr int16_t cmdPreroll = 15;
inline constexpr int16_t cmdStill = 16;
inline constexpr int16_t cmdInsrtAssemOff = 17;
inline constexpr int16_t cmdAssembleAll = 18;
inline constexpr int16_t cmdEditOn = 20;
inline constexpr int16_t cmdEditOff = 21;
inline constexpr int16_t cmdAutoEdit = 22;
inline constexpr int16_t cmdAutoOn = 23;
inline constexpr int16_t cmdStandbyOff = 24;
inline constexpr int16_t cmdStandbyOn = 25;
inline constexpr int16_t cmdPlayRev = 26;
inline constexpr int16_t cmdRecord = 27;
inline constexpr int16_t cmdShuttleFwdFast = 28;
inline constexpr int16_t cmdShuttleRevFast = 29;
inline constexpr int16_t cmdShuttleFwdSlow = 30;
inline constexpr int16_t cmdShuttleFwdSlower = 31;
inline constexpr int16_t cmdShuttleRevSlow = 32;
inline constexpr int16_t cmdShuttleRevSlower = 33;

// ---- Frames --------------------------------------------------------------
// CMD1 (group in the high nibble, data count in the low one), CMD2, data,
// checksum: at most 2 + 15 + 1 bytes.
inline constexpr int kMaxFrameLen = 18;

// ---- Result codes of the deck operations ----------------------------------
inline constexpr int kNoErr = 0;
inline constexpr int kUserCancelled = 1;    // host abort check
inline constexpr int kRefused = -1;         // refused or gave up
inline constexpr int errReplyTimeOut = 900; // held in replyError
inline constexpr int errSendingWhileBusy = 901;
inline constexpr int errDeckLocal = 930;
inline constexpr int errNoCassette = 931;    // or cassette being ejected
inline constexpr int errLocaUnchanged = 932; // position still after 600 ticks
inline constexpr int errRecordInhibit = 933;

extern "C" {

// ---- Deck context ----------------------------------------------------------
struct VtrContext {
    int16_t busy;                       // a command is out and its reply not yet read
    uint8_t cmdFrame[kMaxFrameLen + 1]; // one spare: assembly writes past the data
    int16_t replyError;                 // errReplyTimeOut records a lost reply
    uint8_t deviceType[2];
    uint8_t status[9];    // place k holds status byte k after a full sense
    uint8_t location[4];  // hours, minutes, seconds, frames; plain integers
    int16_t lastMode;     // transport mode last commanded
    int32_t stopFrames;   // last count seen while waiting for a stop
    int32_t stopDeadline; // tick count at which an unchanged position is a stop
};

// The one deck context, zeroed at load and never reset; ld points at it.
TW_EXPORT extern VtrContext localdata;
TW_EXPORT extern VtrContext* ld;

// ---- Timecode arithmetic of the command layer -------------------------------
// With dropFlag 0 and rate 0 the destination is left unchanged.
TW_EXPORT void FramesToSmpteTime(int32_t count, int16_t rate, int16_t dropFlag, SmpteTime* out);
TW_EXPORT int32_t SmpteTimeToFrames(const SmpteTime* time, int16_t rate, int16_t dropFlag);
// The deck's drop-frame flag from its last time reply (the word is not read).
TW_EXPORT uint8_t SonySmpteIsDrop(uint32_t locationWord);

// ---- Frame builders ----------------------------------------------------------
// Each overwrites ctx->cmdFrame and returns the checksum it stored.
TW_EXPORT uint8_t FillinCmdChecksum(VtrContext* ctx);
TW_EXPORT uint8_t BuildCmdString(VtrContext* ctx, int16_t id);
TW_EXPORT uint8_t BuildSonyTimeCodeCmd(VtrContext* ctx, int16_t kind, const SmpteTime* time,
                                       int16_t dropFlag);
TW_EXPORT uint8_t BuildSonyShuttleCmd(VtrContext* ctx, int16_t speed);
TW_EXPORT uint8_t BuildSonyEditEnableCmd(VtrContext* ctx, uint16_t channels);

} // extern "C"

// Length of the frame held in ctx->cmdFrame, checksum included.
inline int CmdFrameLength(const VtrContext* ctx) {
    return (ctx->cmdFrame[0] & 0x0F) + 3;
}

// ---- Status bits: byte k of status, and the bit within it ---------------------
struct StatusBit {
    uint8_t byte;
    uint8_t mask;
};
inline constexpr StatusBit kStatusLocal{0, 0x01};
inline constexpr StatusBit kStatusCassetteOut{0, 0x20};
inline constexpr StatusBit kStatusPlay{1, 0x01};
inline constexpr StatusBit kStatusRecord{1, 0x02};
inline constexpr StatusBit kStatusFastFwd{1, 0x04};
inline constexpr StatusBit kStatusRewind{1, 0x08};
inline constexpr StatusBit kStatusEject{1, 0x10};
inline constexpr StatusBit kStatusStop{1, 0x20};
inline constexpr StatusBit kStatusStandby{1, 0x80};
inline constexpr StatusBit kStatusCueUpComplete{2, 0x01};
inline constexpr StatusBit kStatusStill{2, 0x02};
inline constexpr StatusBit kStatusReverse{2, 0x04};
inline constexpr StatusBit kStatusVarSpeed{2, 0x08};
inline constexpr StatusBit kStatusJog{2, 0x10};
inline constexpr StatusBit kStatusShuttle{2, 0x20};
inline constexpr StatusBit kStatusRecordInhibit{8, 0x01};

inline bool StatusIsSet(const VtrContext* ctx, StatusBit bit) {
    return (ctx->status[bit.byte] & bit.mask) != 0;
}
