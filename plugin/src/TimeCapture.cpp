// Frame counts of the timecodes the deck reports, and back.
#include "X-Tarnwick.h"

namespace {

constexpr int64_t kDropFramesPer10Min = 17982; // 10 x 1800 labels less 9 x 2 skipped

// First frame of minute m within its ten-minute block: minute 0 keeps all 1800
// labels, every later one drops two. Linear below 0, so no input indexes a table.
int64_t DropMinuteStart(int64_t m) {
    return m > 0 ? 1800 + 1798 * (m - 1) : 1798 * m;
}

} // namespace

extern "C" {

void TimeToLong(int32_t* out, int16_t hours, int16_t minutes, int16_t seconds, int16_t frames,
                int16_t rate, int16_t dropFlag) {
    int64_t count;
    if (dropFlag) {
        int64_t m = minutes % 10;
        int64_t within = int64_t{seconds} * 30 + frames - (m != 0 ? 2 : 0);
        if (within < 0) within = 0; // a skipped label counts as the minute's first frame
        count =
            DropMinuteStart(m) + kDropFramesPer10Min * (int64_t{hours} * 6 + minutes / 10) + within;
    } else {
        count = ((int64_t{hours} * 60 + minutes) * 60 + seconds) * rate + frames;
    }
    *out = static_cast<int32_t>(count);
}

void LongToTime(int32_t count, int16_t* hoursOut, int16_t* minutesOut, int16_t* secondsOut,
                int16_t* framesOut, int16_t rate, int16_t dropFlag) {
    // Drop-frame counting always has 30 labels a second, whatever the rate says.
    int64_t perSecond = dropFlag ? 30 : rate;
    if (perSecond <= 0) return; // no timecode at a rate of 0
    int64_t c = count;
    if (c < 0) {
        int32_t day = 0;
        TimeToLong(&day, 24, 0, 0, 0, rate, dropFlag);
        c %= day;
        if (c < 0) c += day;
    }
    int64_t h, m, r;
    if (dropFlag) {
        int64_t blocks = c / kDropFramesPer10Min;
        int64_t rem = c % kDropFramesPer10Min;
        int64_t minute = rem < 1800 ? 0 : 1 + (rem - 1800) / 1798;
        h = blocks / 6;
        m = (blocks % 6) * 10 + minute;
        r = rem - DropMinuteStart(minute) + (minute >= 1 ? 2 : 0);
    } else {
        int64_t perMinute = perSecond * 60;
        int64_t totalMinutes = c / perMinute;
        h = totalMinutes / 60;
        m = totalMinutes % 60;
        r = c % perMinute;
    }
    *hoursOut = static_cast<int16_t>(h);
    *minutesOut = static_cast<int16_t>(m);
    *secondsOut = static_cast<int16_t>(r / perSecond);
    *framesOut = static_cast<int16_t>(r % perSecond);
}

} // extern "C"
