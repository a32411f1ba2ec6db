// Frame counts and timecodes for the command layer: signed counts, truncating
// division, no clamping, hours not wrapped at 24.
#include "Sony422.h"
#include "X-Tarnwick.h"

namespace {

constexpr int32_t kDropFramesPer10Min = 17982; // 10 x 1800 labels less 9 x 2 skipped
constexpr int64_t kDropFramesPerHour = 6 * kDropFramesPer10Min;

} // namespace

extern "C" {

void FramesToSmpteTime(int32_t count, int16_t rate, int16_t dropFlag, SmpteTime* out) {
    if (dropFlag) {
        int32_t blocks = count / kDropFramesPer10Min;
        int32_t rem = count - blocks * kDropFramesPer10Min;
        int32_t tensOfMinutes = (blocks % 6) * 10;
        // Past the first minute of a block, skip labels 00 and 01 of every minute.
        if (rem >= 1800) rem += 2 * ((rem - 1800) / 1798) + 2;
        int32_t s = rem / 30;
        out->hours = static_cast<int16_t>(blocks / 6);
        out->minutes = static_cast<int16_t>(tensOfMinutes + s / 60);
        out->seconds = static_cast<int16_t>(s % 60);
        out->frames = static_cast<int16_t>(rem % 30);
        return;
    }
    if (rate == 0) return;
    // 64-bit so that no count/rate pair can overflow the division.
    int64_t s = int64_t{count} / rate;
    out->hours = static_cast<int16_t>(s / 3600);
    out->minutes = static_cast<int16_t>((s / 60) % 60);
    out->seconds = static_cast<int16_t>(s % 60);
    out->frames = static_cast<int16_t>(int64_t{count} % rate);
}

int32_t SmpteTimeToFrames(const SmpteTime* time, int16_t rate, int16_t dropFlag) {
    // Summed in 64 bits and cut to the low 32, so large fields wrap rather than overflow.
    int64_t h = time->hours, m = time->minutes, s = time->seconds, f = time->frames;
    int64_t count;
    if (dropFlag) {
        // 1798 x m counts the two skipped labels of minute m once: its first
        // label is second 00 frame 02.
        count =
            f + 30 * s + 1798 * (m % 10) + kDropFramesPer10Min * (m / 10) + kDropFramesPerHour * h;
    } else {
        count = f + rate * s + rate * 60 * m + rate * 3600 * h;
    }
    return static_cast<int32_t>(count);
}

uint8_t SonySmpteIsDrop(uint32_t /*locationWord*/) {
    return static_cast<uint8_t>(IsDropFrame);
}

} // extern "C"
