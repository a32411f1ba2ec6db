// The deck's timecode arithmetic against published drop-frame and non-drop vectors.
#include "timecode.h"

#include <gtest/gtest.h>

using namespace deckemu;

struct TcCase {
    int64_t frames;
    int rate;
    bool drop;
    TcLabel label;
};

void PrintTo(const TcCase& c, std::ostream* os) {
    *os << c.frames << (c.drop ? " drop" : " at ") << c.rate;
}

class TimecodeVectors : public ::testing::TestWithParam<TcCase> {};

TEST_P(TimecodeVectors, ConvertBothWays) {
    const TcCase& c = GetParam();
    EXPECT_EQ(frames_to_label(c.frames, c.rate, c.drop), c.label);
    EXPECT_TRUE(label_valid(c.label, c.rate, c.drop));
    EXPECT_EQ(label_to_frames(c.label, c.rate, c.drop), c.frames);
}

INSTANTIATE_TEST_SUITE_P(Published, TimecodeVectors,
                         ::testing::Values(TcCase{1800, 30, true, {0, 1, 0, 2}},
                                           TcCase{10789, 30, true, {0, 5, 59, 29}},
                                           TcCase{10790, 30, true, {0, 6, 0, 2}},
                                           TcCase{17982, 30, true, {0, 10, 0, 0}},
                                           TcCase{1084319, 30, true, {10, 3, 0, 5}},
                                           TcCase{1084319, 30, false, {10, 2, 23, 29}},
                                           TcCase{111694, 30, false, {1, 2, 3, 4}},
                                           TcCase{90000, 25, false, {1, 0, 0, 0}},
                                           TcCase{2591999, 30, false, {23, 59, 59, 29}},
                                           TcCase{2589407, 30, true, {23, 59, 59, 29}},
                                           TcCase{0, 25, false, {0, 0, 0, 0}}));

TEST(Timecode, DayLengthsAndWrap) {
    EXPECT_EQ(frames_per_day(30, false), 2592000);
    EXPECT_EQ(frames_per_day(25, false), 2160000);
    EXPECT_EQ(frames_per_day(30, true), 2589408);
    EXPECT_EQ(frames_to_label(2589408, 30, true), (TcLabel{0, 0, 0, 0}));
    EXPECT_EQ(frames_to_label(-1, 25, false), (TcLabel{23, 59, 59, 24}));
}

TEST(Timecode, DropFrameSkipsTwoLabelsInMostMinutes) {
    EXPECT_FALSE(label_valid({0, 1, 0, 0}, 30, true));
    EXPECT_FALSE(label_valid({0, 1, 0, 1}, 30, true));
    EXPECT_TRUE(label_valid({0, 1, 0, 0}, 30, false));
    EXPECT_TRUE(label_valid({0, 10, 0, 0}, 30, true));
    EXPECT_TRUE(label_valid({0, 1, 1, 0}, 30, true));
    EXPECT_FALSE(label_valid({0, 0, 0, 25}, 25, false));
    EXPECT_FALSE(label_valid({24, 0, 0, 0}, 30, false));
    // Every count of a ten-minute block maps to a distinct valid label and back.
    for (int64_t n = 0; n < 17982 * 2; ++n) {
        TcLabel tc = frames_to_label(n, 30, true);
        ASSERT_TRUE(label_valid(tc, 30, true)) << n;
        ASSERT_EQ(label_to_frames(tc, 30, true), n);
    }
}

TEST(Timecode, BcdAndText) {
    EXPECT_EQ(to_bcd(59), 0x59);
    EXPECT_EQ(to_bcd(7), 0x07);
    EXPECT_EQ(from_bcd(0x29), 29);
    EXPECT_EQ(from_bcd(0x3A), std::nullopt);
    EXPECT_EQ(from_bcd(0xA0), std::nullopt);
    EXPECT_EQ(parse_label("01:02:03:04"), (TcLabel{1, 2, 3, 4}));
    EXPECT_EQ(parse_label("00:01:00;02"), (TcLabel{0, 1, 0, 2}));
    EXPECT_EQ(parse_label("1:2:3"), std::nullopt);
    EXPECT_EQ(parse_label("01:02:03:04x"), std::nullopt);
    EXPECT_EQ(format_label({0, 1, 0, 2}, true), "00:01:00;02");
    EXPECT_EQ(format_label({1, 2, 3, 4}, false), "01:02:03:04");
}
