// Frame counts, timecodes, BCD words and text: the edge cases in one table,
// then every count of a day checked against an independent label counter.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Sony422.h"
#include "TimeUtils.h"
#include "X-Tarnwick.h"

// SmpteTime is a plain C struct; tests compare it field by field.
static bool operator==(const SmpteTime& a, const SmpteTime& b) {
    return a.hours == b.hours && a.minutes == b.minutes && a.seconds == b.seconds &&
           a.frames == b.frames;
}

namespace {

std::string Show(const SmpteTime& t) {
    return std::to_string(t.hours) + ":" + std::to_string(t.minutes) + ":" +
           std::to_string(t.seconds) + ":" + std::to_string(t.frames);
}

constexpr SmpteTime kSentinel{7, 7, 7, 7};

enum class Kind {
    Both,      // count -> timecode -> count, with every converter
    ToTcOnly,  // negative counts: fields by truncating division, no way back
    Untouched, // the destination must keep its contents
    Bcd,       // packed word -> timecode
    ToText,    // timecode -> text into a buffer holding separators
    FromText,  // text -> timecode
};

struct Case {
    const char* what;
    Kind kind;
    int32_t count;
    int16_t rate;
    int16_t drop;
    SmpteTime tc;
    uint32_t word = 0;
    const char* text = nullptr;
};

const Case kCases[] = {
    // Drop-frame: labels ;00 and ;01 skipped at every minute but the tenth.
    {"df start", Kind::Both, 0, 30, 1, {0, 0, 0, 0}},
    {"df end of minute 0", Kind::Both, 1799, 30, 1, {0, 0, 59, 29}},
    {"df first frame of minute 1", Kind::Both, 1800, 30, 1, {0, 1, 0, 2}},
    {"df end of minute 1", Kind::Both, 3597, 30, 1, {0, 1, 59, 29}},
    {"df first frame of minute 2", Kind::Both, 3598, 30, 1, {0, 2, 0, 2}},
    {"df end of first block", Kind::Both, 17981, 30, 1, {0, 9, 59, 29}},
    {"df minute 10 drops nothing", Kind::Both, 17982, 30, 1, {0, 10, 0, 0}},
    {"df minute 11", Kind::Both, 19782, 30, 1, {0, 11, 0, 2}},
    {"df end of hour", Kind::Both, 107891, 30, 1, {0, 59, 59, 29}},
    {"df one hour", Kind::Both, 107892, 30, 1, {1, 0, 0, 0}},
    {"df 24 hours, no wrap", Kind::Both, 2589408, 30, 1, {24, 0, 0, 0}},
    {"df ignores the rate", Kind::Both, 1800, 25, 1, {0, 1, 0, 2}},
    {"df ignores a zero rate", Kind::Both, 17982, 0, 1, {0, 10, 0, 0}},
    // Published vectors.
    {"df published 10789", Kind::Both, 10789, 30, 1, {0, 5, 59, 29}},
    {"df published 10790", Kind::Both, 10790, 30, 1, {0, 6, 0, 2}},
    {"df published 1084319", Kind::Both, 1084319, 30, 1, {10, 3, 0, 5}},
    {"nd30 published 1084319", Kind::Both, 1084319, 30, 0, {10, 2, 23, 29}},
    {"nd30 published 01:02:03:04", Kind::Both, 111694, 30, 0, {1, 2, 3, 4}},
    // Non-drop.
    {"nd25 one hour", Kind::Both, 90000, 25, 0, {1, 0, 0, 0}},
    {"nd25 end of hour", Kind::Both, 89999, 25, 0, {0, 59, 59, 24}},
    {"nd30 one minute", Kind::Both, 1800, 30, 0, {0, 1, 0, 0}},
    {"nd24 one hour", Kind::Both, 86400, 24, 0, {1, 0, 0, 0}},
    {"nd25 24 hours, no wrap", Kind::Both, 2160000, 25, 0, {24, 0, 0, 0}},
    {"nd30 end of day", Kind::Both, 2591999, 30, 0, {23, 59, 59, 29}},
    {"nd30 100 hours", Kind::Both, 10800000, 30, 0, {100, 0, 0, 0}},
    // Negative counts: truncating division, nothing clamped.
    {"nd30 -1", Kind::ToTcOnly, -1, 30, 0, {0, 0, 0, -1}},
    {"nd30 -1801", Kind::ToTcOnly, -1801, 30, 0, {0, -1, 0, -1}},
    {"nd25 -90000", Kind::ToTcOnly, -90000, 25, 0, {-1, 0, 0, 0}},
    {"df -1", Kind::ToTcOnly, -1, 30, 1, {0, 0, 0, -1}},
    {"df -2000", Kind::ToTcOnly, -2000, 30, 1, {0, -1, -6, -20}},
    {"df -17983", Kind::ToTcOnly, -17983, 30, 1, {0, -10, 0, -1}},
    // Rate 0 without drop-frame has no timecode.
    {"nd rate 0", Kind::Untouched, 1234, 0, 0, kSentinel},
    // Packed BCD: hours in the top byte; flag bits 6, 7, 15, 23, 30, 31 ignored.
    {"bcd plain", Kind::Bcd, 0, 0, 0, {23, 59, 59, 29}, 0x23595929},
    {"bcd drop-frame bit", Kind::Bcd, 0, 0, 0, {23, 59, 59, 29}, 0x23595969},
    {"bcd colour-frame bit", Kind::Bcd, 0, 0, 0, {23, 59, 59, 29}, 0x235959A9},
    {"bcd every flag bit", Kind::Bcd, 0, 0, 0, {23, 59, 59, 29}, 0xE3D9D9E9},
    {"bcd zero", Kind::Bcd, 0, 0, 0, {0, 0, 0, 0}, 0x000000C0},
    {"bcd digits", Kind::Bcd, 0, 0, 0, {12, 34, 56, 17}, 0x12345617},
    // Text: two digits a field; separators neither read nor written.
    {"text out, hyphens kept", Kind::ToText, 0, 0, 0, {1, 2, 3, 4}, 0, "01-02-03-04"},
    {"text out, drop-style", Kind::ToText, 0, 0, 0, {23, 59, 59, 29}, 0, "23:59:59;29"},
    {"text in, colons", Kind::FromText, 0, 0, 0, {10, 20, 30, 15}, 0, "10:20:30:15"},
    {"text in, odd separators",
     Kind::FromText,
     0,
     0,
     0,
     {10, 20, 30, 15},
     0,
     "10a20\0"
     "30;15"},
    {"text in, zeros", Kind::FromText, 0, 0, 0, {0, 0, 0, 0}, 0, "00 00 00 00"},
};

TEST(Timecode, EdgeCases) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        switch (c.kind) {
        case Kind::Both: {
            SmpteTime a = kSentinel, b = kSentinel, h = kSentinel;
            FramesToSmpteTime(c.count, c.rate, c.drop, &a);
            FRAMESTOSMPTETIME(static_cast<uint32_t>(c.count), c.rate, c.drop, &b);
            LongToTime(c.count, &h.hours, &h.minutes, &h.seconds, &h.frames, c.rate, c.drop);
            EXPECT_EQ(a, c.tc) << Show(a);
            EXPECT_EQ(b, c.tc) << Show(b);
            EXPECT_EQ(h, c.tc) << Show(h);
            EXPECT_EQ(SmpteTimeToFrames(&c.tc, c.rate, c.drop), c.count);
            EXPECT_EQ(SMPTETIMETOFRAMES(&c.tc, c.rate, c.drop), static_cast<uint32_t>(c.count));
            int32_t n = -12345;
            TimeToLong(&n, c.tc.hours, c.tc.minutes, c.tc.seconds, c.tc.frames, c.rate, c.drop);
            EXPECT_EQ(n, c.count);
            break;
        }
        case Kind::ToTcOnly: {
            SmpteTime a = kSentinel;
            FramesToSmpteTime(c.count, c.rate, c.drop, &a);
            EXPECT_EQ(a, c.tc) << Show(a);
            break;
        }
        case Kind::Untouched: {
            SmpteTime a = kSentinel, b = kSentinel, h = kSentinel;
            FramesToSmpteTime(c.count, c.rate, c.drop, &a);
            FRAMESTOSMPTETIME(static_cast<uint32_t>(c.count), c.rate, c.drop, &b);
            LongToTime(c.count, &h.hours, &h.minutes, &h.seconds, &h.frames, c.rate, c.drop);
            EXPECT_EQ(a, c.tc) << Show(a);
            EXPECT_EQ(b, c.tc) << Show(b);
            EXPECT_EQ(h, c.tc) << Show(h);
            break;
        }
        case Kind::Bcd: {
            SmpteTime a = kSentinel;
            SmpteToSmpteTime(c.word, &a);
            EXPECT_EQ(a, c.tc) << Show(a);
            break;
        }
        case Kind::ToText: {
            char buf[13] = "xx-xx-xx-xx!";
            buf[2] = c.text[2], buf[5] = c.text[5], buf[8] = c.text[8];
            SmpteTimeToStr(&c.tc, buf);
            EXPECT_EQ(std::string(buf, 11), std::string(c.text, 11));
            EXPECT_EQ(buf[11], '!') << "wrote past the eleventh character";
            break;
        }
        case Kind::FromText: {
            SmpteTime a = kSentinel;
            StrToSmpteTime(c.text, &a);
            EXPECT_EQ(a, c.tc) << Show(a);
            break;
        }
        }
    }
}

// The next label after t, counted the way a tape does: independent of the
// arithmetic under test.
void NextLabel(SmpteTime& t, int fps, bool drop) {
    if (++t.frames < fps) return;
    t.frames = 0;
    if (++t.seconds < 60) return;
    t.seconds = 0;
    if (++t.minutes == 60) {
        t.minutes = 0;
        ++t.hours;
    }
    if (drop && t.minutes % 10 != 0) t.frames = 2;
}

struct Sweep {
    int16_t rate;
    int16_t drop;
    int32_t perDay;
};

// Every count of 24 hours, both directions, every converter.
TEST(Timecode, EveryCountOfADay) {
    const Sweep sweeps[] = {
        {24, 0, 24 * 86400}, {25, 0, 25 * 86400}, {30, 0, 30 * 86400},
        {24, 1, 2589408},    {25, 1, 2589408},    {30, 1, 2589408},
    };
    for (const Sweep& s : sweeps) {
        SCOPED_TRACE("rate " + std::to_string(s.rate) + (s.drop ? " drop-frame" : " non-drop"));
        const int fps = s.drop ? 30 : s.rate;
        SmpteTime label{0, 0, 0, 0};
        int failures = 0;
        for (int32_t count = 0; count <= s.perDay && failures < 5; ++count) {
            SmpteTime a, b, h;
            FramesToSmpteTime(count, s.rate, s.drop, &a);
            FRAMESTOSMPTETIME(static_cast<uint32_t>(count), s.rate, s.drop, &b);
            LongToTime(count, &h.hours, &h.minutes, &h.seconds, &h.frames, s.rate, s.drop);
            int32_t n = -1;
            TimeToLong(&n, label.hours, label.minutes, label.seconds, label.frames, s.rate, s.drop);
            bool ok = a == label && b == label && h == label &&
                      SmpteTimeToFrames(&label, s.rate, s.drop) == count &&
                      SMPTETIMETOFRAMES(&label, s.rate, s.drop) == static_cast<uint32_t>(count) &&
                      n == count;
            if (!ok) {
                ++failures;
                ADD_FAILURE() << "count " << count << " label " << Show(label) << ": Frames "
                              << Show(a) << ", FRAMES " << Show(b) << ", LongToTime " << Show(h)
                              << ", back " << SmpteTimeToFrames(&label, s.rate, s.drop) << "/"
                              << SMPTETIMETOFRAMES(&label, s.rate, s.drop) << "/" << n;
            }
            NextLabel(label, fps, s.drop != 0);
        }
        EXPECT_EQ(failures, 0);
    }
}

// The skipped labels ;00 and ;01 of a dropping minute land on its first frame.
TEST(Timecode, TimeToLongSkippedLabels) {
    const struct {
        int16_t h, m, s, f;
        int32_t count;
    } cases[] = {
        {0, 1, 0, 0, 1800},
        {0, 1, 0, 1, 1800},
        {0, 1, 0, 2, 1800},
        {0, 9, 0, 0, 16184},
        {1, 11, 0, 1, 107892 + 19782},
        {0, 10, 0, 0, 17982}, // minute 10 keeps its labels
    };
    for (const auto& c : cases) {
        int32_t n = -1;
        TimeToLong(&n, c.h, c.m, c.s, c.f, 30, 1);
        EXPECT_EQ(n, c.count) << c.h << ":" << c.m << ":" << c.s << ";" << c.f;
    }
}

// Negative counts are taken modulo a day; a zero rate has no timecode.
TEST(Timecode, LongToTimeNegativeAndRateZero) {
    const struct {
        int32_t count;
        int16_t rate, drop;
        SmpteTime tc;
    } cases[] = {
        {-1, 30, 1, {23, 59, 59, 29}},
        {-1, 25, 0, {23, 59, 59, 24}},
        {-2589408, 30, 1, {0, 0, 0, 0}},
        {-2589408 - 1800, 30, 1, {23, 58, 59, 28}}, // more than a day back wraps again
        {-30 * 86400 - 30, 30, 0, {23, 59, 59, 0}},
    };
    for (const auto& c : cases) {
        SmpteTime h = kSentinel;
        LongToTime(c.count, &h.hours, &h.minutes, &h.seconds, &h.frames, c.rate, c.drop);
        EXPECT_EQ(h, c.tc) << c.count << " -> " << Show(h);
    }
}

TEST(Timecode, DeckDropFlag) {
    IsDropFrame = 1;
    EXPECT_EQ(SonySmpteIsDrop(0), 1);
    EXPECT_EQ(SonySmpteIsDrop(0x00000040), 1); // the word is not consulted
    IsDropFrame = 0;
    EXPECT_EQ(SonySmpteIsDrop(0xFFFFFFFF), 0);
}

// Fields far outside a day wrap in 32 bits instead of overflowing.
TEST(Timecode, LargeFieldsDoNotOverflow) {
    SmpteTime big{32767, 59, 59, 29};
    int32_t expectDrop = static_cast<int32_t>(
        static_cast<uint32_t>(29 + 30 * 59 + 1798 * 9 + 17982 * 5 + 107892ull * 32767));
    EXPECT_EQ(SmpteTimeToFrames(&big, 30, 1), expectDrop);
    EXPECT_EQ(SMPTETIMETOFRAMES(&big, 30, 1), static_cast<uint32_t>(expectDrop));
    int32_t expectNd = static_cast<int32_t>(
        static_cast<uint32_t>(29 + 30 * 59 + 30 * 60 * 59 + 30ull * 3600 * 32767));
    EXPECT_EQ(SmpteTimeToFrames(&big, 30, 0), expectNd);
    SmpteTime t = kSentinel;
    FramesToSmpteTime(INT32_MIN, -1, 0, &t); // must not trap
    FramesToSmpteTime(INT32_MAX, 1, 1, &t);
    EXPECT_EQ(t.hours, INT32_MAX / 17982 / 6);
}

} // namespace
