#include "timecode.h"

#include <cstdio>

namespace deckemu {

namespace {
constexpr int64_t kDropTenMinutes = 17982; // 10 x 1800 less 9 x 2 skipped labels
constexpr int64_t kDropMinute = 1798;      // a minute that starts with two skipped labels
} // namespace

int64_t frames_per_day(int rate, bool drop) {
    if (drop) return kDropTenMinutes * 6 * 24;
    return int64_t(rate) * 60 * 60 * 24;
}

bool label_valid(const TcLabel& tc, int rate, bool drop) {
    if (tc.hours < 0 || tc.hours > 23 || tc.minutes < 0 || tc.minutes > 59 || tc.seconds < 0 ||
        tc.seconds > 59 || tc.frames < 0 || tc.frames >= rate)
        return false;
    if (drop && tc.seconds == 0 && tc.frames < 2 && tc.minutes % 10 != 0) return false;
    return true;
}

int64_t label_to_frames(const TcLabel& tc, int rate, bool drop) {
    int64_t nominal = ((int64_t(tc.hours) * 60 + tc.minutes) * 60 + tc.seconds) * rate + tc.frames;
    if (!drop) return nominal;
    // Two labels are skipped in every minute except each tenth.
    int64_t minutes = int64_t(tc.hours) * 60 + tc.minutes;
    return nominal - 2 * (minutes - minutes / 10);
}

TcLabel frames_to_label(int64_t count, int rate, bool drop) {
    int64_t day = frames_per_day(rate, drop);
    count %= day;
    if (count < 0) count += day;
    int64_t nominal = count;
    if (drop) {
        // Put back the skipped labels to get a count of 30-per-second labels.
        int64_t blocks = count / kDropTenMinutes;
        int64_t rest = count % kDropTenMinutes;
        nominal += 18 * blocks;
        if (rest >= 2) nominal += 2 * ((rest - 2) / kDropMinute);
    }
    TcLabel tc;
    tc.frames = int(nominal % rate);
    int64_t secs = nominal / rate;
    tc.seconds = int(secs % 60);
    tc.minutes = int(secs / 60 % 60);
    tc.hours = int(secs / 3600);
    return tc;
}

std::optional<TcLabel> parse_label(const std::string& text) {
    TcLabel tc;
    char s1 = 0, s2 = 0, s3 = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%2d%c%2d%c%2d%c%2d%n", &tc.hours, &s1, &tc.minutes, &s2,
                    &tc.seconds, &s3, &tc.frames, &used) != 7 ||
        size_t(used) != text.size())
        return std::nullopt;
    if (s1 != ':' || s2 != ':' || (s3 != ':' && s3 != ';' && s3 != '.')) return std::nullopt;
    return tc;
}

std::string format_label(const TcLabel& tc, bool drop) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d%c%02d", tc.hours, tc.minutes, tc.seconds,
                  drop ? ';' : ':', tc.frames);
    return buf;
}

uint8_t to_bcd(int value) {
    return uint8_t(((value / 10) % 10) << 4 | (value % 10));
}

std::optional<int> from_bcd(uint8_t byte) {
    int hi = byte >> 4, lo = byte & 0x0F;
    if (hi > 9 || lo > 9) return std::nullopt;
    return hi * 10 + lo;
}

} // namespace deckemu
