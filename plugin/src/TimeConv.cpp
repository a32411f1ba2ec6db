// The exported conversions with upper-case names and the two text routines.
// Frame counts are taken as unsigned here.
#include "TimeUtils.h"

namespace {

constexpr uint32_t kDropFramesPer10Min = 17982; // 10 x 1800 labels less 9 x 2 skipped
constexpr uint32_t kDropFramesPerHour = 6 * kDropFramesPer10Min;

} // namespace

extern "C" {

void FRAMESTOSMPTETIME(uint32_t count, int16_t rate, int16_t dropFlag, SmpteTime* out) {
    if (dropFlag) {
        uint32_t blocks = count / kDropFramesPer10Min;
        uint32_t rem = count - blocks * kDropFramesPer10Min;
        uint32_t tensOfMinutes = (blocks % 6) * 10;
        // Past the first minute of a block, skip labels 00 and 01 of every minute.
        if (rem >= 1800) rem += 2 * ((rem - 1800) / 1798) + 2;
        uint32_t s = rem / 30;
        out->hours = static_cast<int16_t>(blocks / 6);
        out->minutes = static_cast<int16_t>(tensOfMinutes + s / 60);
        out->seconds = static_cast<int16_t>(s % 60);
        out->frames = static_cast<int16_t>(rem % 30);
        return;
    }
    // A zero rate has no timecode; leave the destination alone rather than divide by it.
    if (rate == 0) return;
    uint32_t perSecond = static_cast<uint32_t>(static_cast<int32_t>(rate));
    uint32_t s = count / perSecond;
    out->hours = static_cast<int16_t>(s / 3600);
    out->minutes = static_cast<int16_t>((s / 60) % 60);
    out->seconds = static_cast<int16_t>(s % 60);
    out->frames = static_cast<int16_t>(count % perSecond);
}

uint32_t SMPTETIMETOFRAMES(const SmpteTime* time, int16_t rate, int16_t dropFlag) {
    // Unsigned throughout: out-of-range fields wrap instead of overflowing.
    uint32_t h = static_cast<uint32_t>(static_cast<int32_t>(time->hours));
    uint32_t m = static_cast<uint32_t>(static_cast<int32_t>(time->minutes));
    uint32_t s = static_cast<uint32_t>(static_cast<int32_t>(time->seconds));
    uint32_t f = static_cast<uint32_t>(static_cast<int32_t>(time->frames));
    if (dropFlag) {
        // 1798 x m counts the two skipped labels of minute m once: its first
        // label is second 00 frame 02.
        return f + 30 * s + 1798 * (m % 10) + kDropFramesPer10Min * (m / 10) +
               kDropFramesPerHour * h;
    }
    uint32_t r = static_cast<uint32_t>(static_cast<int32_t>(rate));
    return f + r * s + r * 60 * m + r * 3600 * h;
}

void SmpteTimeToStr(const SmpteTime* time, char* text) {
    const int16_t fields[4] = {time->hours, time->minutes, time->seconds, time->frames};
    for (int i = 0; i < 4; ++i) {
        text[i * 3] = static_cast<char>('0' + fields[i] / 10);
        text[i * 3 + 1] = static_cast<char>('0' + fields[i] % 10);
    }
}

void StrToSmpteTime(const char* text, SmpteTime* out) {
    int16_t fields[4];
    for (int i = 0; i < 4; ++i)
        fields[i] = static_cast<int16_t>((text[i * 3] - '0') * 10 + (text[i * 3 + 1] - '0'));
    out->hours = fields[0];
    out->minutes = fields[1];
    out->seconds = fields[2];
    out->frames = fields[3];
}

} // extern "C"
