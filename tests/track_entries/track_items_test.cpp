// Track entries: the track record, pair lists, effect lists with their entry tables
// and settings areas, and tail lists. Expected bytes are written out from the layout
// tables.

#include "effect_names.h"
#include "track_support.h"

#include <gtest/gtest.h>

using kit::Bytes;
using namespace tracks;

namespace {

// Effect files: a raw-copy effect (Blur, position 9) and Replicate (position 93).
const std::vector<File> kFiles = {{21, "Blur"}, {22, "Replicate"}};

TEST(TrackItems, EffectFilesAreWhereTheTestsExpect) {
    ASSERT_STREQ(mac_effect_names[9], "Blur");
    ASSERT_STREQ(mac_effect_names[93], "Replicate");
}

struct CountCase {
    const char* name;
    int16_t count;
    friend void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }
};

class TrackCount : public testing::TestWithParam<CountCase> {};

// A count of 0 or less gives just the count, and nothing behind it is read (the
// bytes behind it would not even make a whole track).
TEST_P(TrackCount, OnlyTheCountIsWritten) {
    Bytes in;
    in.be16(GetParam().count).raw({1, 2, 3});
    EXPECT_EQ(convert_track_entry(in), Bytes().be16(GetParam().count).v);
}

INSTANTIATE_TEST_SUITE_P(Tracks, TrackCount,
                         testing::Values(CountCase{"zero", 0}, CountCase{"minus_one", -1},
                                         CountCase{"most_negative", -32768}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrackItems, RecordIsRealignedAndSkippedByteDropped) {
    Bytes in, want;
    in.be16(1).add(mac_track(0)).add(empty_lists());
    want.be16(1).add(sgi_track(0)).add(empty_lists());
    ASSERT_EQ(mac_track(0).size(), 114u);
    ASSERT_EQ(sgi_track(0).size(), 116u);
    EXPECT_EQ(convert_track_entry(in), want.v);

    // The skipped Mac byte's value never shows.
    Bytes other = in;
    other.v[2 + 0x35] = 0;
    EXPECT_EQ(convert_track_entry(other), want.v);
}

TEST(TrackItems, SeveralTracksFollowEachOther) {
    Bytes in, want;
    in.be16(3);
    want.be16(3);
    for (uint8_t seed : {0x01, 0x02, 0x03}) {
        in.add(mac_track(0, seed)).add(empty_lists());
        want.add(sgi_track(0, seed)).add(empty_lists());
    }
    EXPECT_EQ(convert_track_entry(in), want.v);
}

// A pair list: Mac word, header (16-bit, count, 2 bytes) and 6-byte items; SGI size
// 8n + 8, 8-byte header and 8-byte items.
struct PairCase {
    const char* name;
    Bytes mac;
    Bytes sgi;
    friend void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<PairCase> pair_cases() {
    std::vector<PairCase> v;
    v.push_back({"absent", Bytes().be32(-1), Bytes().be32(-1)});
    v.push_back({"word_zero_count_zero", Bytes().be32(0).be16(0x0A0B).be16(0).raw({0xC1, 0xC2}),
                 Bytes().be32(8).be16(0x0A0B).be16(0).raw({0xC1, 0xC2}).fill(2)});
    {
        Bytes mac, sgi;
        mac.be32(0x12345678).be16(0x0102).be16(3).raw({0xD1, 0xD2});
        sgi.be32(8 * 3 + 8).be16(0x0102).be16(3).raw({0xD1, 0xD2}).fill(2);
        for (int i = 0; i < 3; ++i) {
            mac.be32(0xA0000000 + i).be16(0x7000 + i);
            sgi.be32(0xA0000000 + i).be16(0x7000 + i).fill(2);
        }
        v.push_back({"three_items", mac, sgi});
    }
    // A negative count gives the size its formula gives, and no items.
    v.push_back({"negative_count", Bytes().be32(5).be16(1).be16(-2).raw({0, 7}),
                 Bytes().be32(8 * -2 + 8).be16(1).be16(-2).raw({0, 7}).fill(2)});
    return v;
}

class PairList : public testing::TestWithParam<PairCase> {};

TEST_P(PairList, ConvertsAsTheTableSays) {
    const PairCase& c = GetParam();
    Bytes in, want;
    in.be16(1).add(mac_track(0)).add(c.mac).be32(0).be32(0).be32(0).be32(0);
    want.be16(1).add(sgi_track(0)).add(c.sgi).be32(0).be32(0).be32(0).be32(0);
    EXPECT_EQ(convert_track_entry(in), want.v) << hex(convert_track_entry(in));
}

INSTANTIATE_TEST_SUITE_P(Tracks, PairList, testing::ValuesIn(pair_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// One effect list (the first of the four) in a track with no pair list.
std::vector<uint8_t> convert_list(const Bytes& mac_list) {
    Bytes in;
    in.be16(1).add(mac_track(0)).be32(-1).add(mac_list).be32(0).be32(0).be32(0);
    return convert_track_entry(in, kFiles);
}
Bytes track_with_list(const Bytes& sgi_list) {
    Bytes want;
    want.be16(1).add(sgi_track(0)).be32(-1).add(sgi_list).be32(0).be32(0).be32(0);
    return want;
}

struct ListCase {
    const char* name;
    Bytes mac;
    Bytes sgi;
    friend void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<ListCase> list_cases() {
    std::vector<ListCase> v;
    // Sizes of 0 or less are the whole list: the next word is the next list's size.
    v.push_back({"size_zero", Bytes().be32(0), Bytes().be32(0)});
    v.push_back({"size_negative", Bytes().be32(-7), Bytes().be32(-7)});
    v.push_back({"size_most_negative", Bytes().be32(INT32_MIN), Bytes().be32(INT32_MIN)});
    // Size 4: the first entry's offset is 16-bit, and 1 ends the table.
    v.push_back({"short_entry_ends_table", Bytes().be32(4).be16(21).be16(1),
                 Bytes().be32(8).be16(21).fill(2).be32(1)});
    // Size 4: a 16-bit offset of 0xFFFF is -1 and does not end the table.
    v.push_back({"short_entry_sign_extended", Bytes().be32(4).be16(21).be16(-1).be16(0).be32(0),
                 Bytes().be32(16).be16(21).fill(2).be32(-1).be16(0).fill(2).be32(0)});
    // Size 4: the short entry points at a record behind a 6-byte terminator (10).
    {
        Bytes mac, sgi;
        mac.be32(4).be16(21).be16(10).be16(0).be32(0);
        mac.be32(8).pattern(8, 0x31); // raw copy of 8 bytes
        sgi.be32(16 + 12).be16(21).fill(2).be32(16).be16(0).fill(2).be32(0);
        sgi.be32(8).pattern(8, 0x31);
        v.push_back({"short_entry_with_record", mac, sgi});
    }
    // The same table with a size other than 4 has a 32-bit first offset.
    {
        Bytes mac, sgi;
        mac.be32(5).be16(21).be32(12).be16(0).be32(0);
        mac.be32(8).pattern(8, 0x31);
        sgi.be32(16 + 12).be16(21).fill(2).be32(16).be16(0).fill(2).be32(0);
        sgi.be32(8).pattern(8, 0x31);
        v.push_back({"long_first_entry", mac, sgi});
    }
    // Offsets 0 and 1 are kept; an offset where the stream does not stand is zeroed
    // and nothing is read for it; offset 1 ends the table.
    v.push_back(
        {"kept_and_misplaced",
         Bytes().be32(100).be16(21).be32(0).be16(22).be32(100).be16(21).be32(1),
         Bytes().be32(24).be16(21).fill(2).be32(0).be16(22).fill(2).be32(0).be16(21).fill(2).be32(
             1)});
    // Two records back to back, one misplaced entry between them, and a file id 0
    // ending the table (its offset 5 is misplaced too).
    {
        Bytes mac, sgi;
        mac.be32(64);
        mac.be16(21).be32(24);          // record 1 at table start + 24
        mac.be16(22).be32(2);           // not where the stream stands
        mac.be16(22).be32(24 + 17);     // record 2 right behind record 1
        mac.be16(0).be32(5);            // ends the table; 5 is misplaced
        mac.be32(13).pattern(13, 0x41); // record 1: raw 13 bytes
        mac.be32(50).raw({0x5A, 0xEE}); // record 2: Replicate consumes 2 bytes
        sgi.be32(32 + 20 + 12);
        sgi.be16(21).fill(2).be32(32);
        sgi.be16(22).fill(2).be32(0);
        sgi.be16(22).fill(2).be32(32 + 20);
        sgi.be16(0).fill(2).be32(0);
        sgi.be32(16).pattern(13, 0x41).fill(3);
        sgi.be32(8).u8(0x5A).fill(7);
        v.push_back({"records_in_table_order", mac, sgi});
    }
    // Settings sizes of 0 or less are copied as 4 bytes into the settings area.
    {
        Bytes mac, sgi;
        mac.be32(30).be16(21).be32(18).be16(22).be32(22).be16(0).be32(0);
        mac.be32(0).be32(-3);
        sgi.be32(24 + 8).be16(21).fill(2).be32(24).be16(22).fill(2).be32(28);
        sgi.be16(0).fill(2).be32(0).be32(0).be32(-3);
        v.push_back({"settings_size_zero_and_negative", mac, sgi});
    }
    // A list size far below what follows: 40 entries and 40 records of 13 bytes
    // outgrow any buffer sized from S = 1.
    {
        Bytes mac, sgi;
        const int n = 40;
        mac.be32(1);
        sgi.be32(8 * (n + 1) + n * 20);
        for (int i = 0; i < n; ++i) {
            mac.be16(21).be32(6 * (n + 1) + 17 * i);
            sgi.be16(21).fill(2).be32(8 * (n + 1) + 20 * i);
        }
        mac.be16(0).be32(0);
        sgi.be16(0).fill(2).be32(0);
        for (int i = 0; i < n; ++i) {
            mac.be32(13).pattern(13, uint8_t(i));
            sgi.be32(16).pattern(13, uint8_t(i)).fill(3);
        }
        v.push_back({"size_smaller_than_contents", mac, sgi});
    }
    return v;
}

class EffectList : public testing::TestWithParam<ListCase> {};

TEST_P(EffectList, ConvertsAsTheTableSays) {
    const ListCase& c = GetParam();
    std::vector<uint8_t> got = convert_list(c.mac);
    EXPECT_EQ(got, track_with_list(c.sgi).v) << hex(got);
}

INSTANTIATE_TEST_SUITE_P(Tracks, EffectList, testing::ValuesIn(list_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrackItems, FourListsInOrder) {
    Bytes in, want;
    in.be16(1).add(mac_track(0)).be32(-1);
    want.be16(1).add(sgi_track(0)).be32(-1);
    for (int k = 0; k < 4; ++k) {
        in.be32(9).be16(21).be32(12).be16(0).be32(0).be32(2).raw({k, k});
        want.be32(16 + 4 + 8).be16(21).fill(2).be32(16).be16(0).fill(2).be32(0);
        want.be32(8).raw({k, k}).fill(6);
    }
    EXPECT_EQ(convert_track_entry(in, kFiles), want.v);
}

// The tail list follows the fourth effect list only when the flag is non-zero.
struct TailCase {
    const char* name;
    uint32_t flag;
    Bytes mac;
    Bytes sgi;
    friend void PrintTo(const TailCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<TailCase> tail_cases() {
    std::vector<TailCase> v;
    v.push_back({"flag_zero", 0, Bytes(), Bytes()});
    v.push_back({"flag_minus_one_absent", 0xFFFFFFFF, Bytes().be32(-1), Bytes().be32(-1)});
    v.push_back({"flag_one_no_items", 1, Bytes().be32(0).pattern(8, 0x21).be16(0),
                 Bytes().be32(10).pattern(8, 0x21).be16(0)});
    {
        Bytes mac, sgi, items;
        items.pattern(42, 0x50).pattern(42, 0x90);
        mac.be32(0x0BADF00D).pattern(8, 0x21).be16(2).add(items);
        sgi.be32(42 * 2 + 10).pattern(8, 0x21).be16(2).add(items);
        v.push_back({"flag_set_two_items", 0x80000000, mac, sgi});
    }
    v.push_back({"negative_count", 7, Bytes().be32(0).fill(8).be16(-1),
                 Bytes().be32(42 * -1 + 10).fill(8).be16(-1)});
    return v;
}

class TailList : public testing::TestWithParam<TailCase> {};

// Two tracks, so the second track's record shows where the first one ended.
TEST_P(TailList, FollowsTheFlag) {
    const TailCase& c = GetParam();
    Bytes in, want;
    in.be16(2).add(mac_track(c.flag, 1)).add(empty_lists()).add(c.mac);
    in.add(mac_track(0, 2)).add(empty_lists());
    want.be16(2).add(sgi_track(c.flag, 1)).add(empty_lists()).add(c.sgi);
    want.add(sgi_track(0, 2)).add(empty_lists());
    EXPECT_EQ(convert_track_entry(in), want.v);
}

INSTANTIATE_TEST_SUITE_P(Tracks, TailList, testing::ValuesIn(tail_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrackItems, ThreeTrackTypesConvertAlike) {
    Bytes in;
    in.be16(1).add(mac_track(1)).be32(0).be16(1).be16(1).be16(2).be32(3).be16(4);
    in.be32(9).be16(22).be32(12).be16(0).be32(0).be32(2).raw({1, 2});
    in.be32(0).be32(0).be32(0).be32(-1);
    const std::vector<uint8_t> trak = convert_track_entry(in, kFiles, "TRAK");
    ASSERT_FALSE(trak.empty());
    EXPECT_EQ(convert_track_entry(in, kFiles, "TRKa"), trak);
    EXPECT_EQ(convert_track_entry(in, kFiles, "TRKs"), trak);
}

// Every track entry of a project converts with the reader set back to its own data.
TEST(TrackItems, EntriesOfAProjectConvertIndependently) {
    Bytes a, b, sa, sb;
    a.be16(1).add(mac_track(0, 5)).add(empty_lists());
    sa.be16(1).add(sgi_track(0, 5)).add(empty_lists());
    b.be16(1).add(mac_track(0, 6)).add(empty_lists());
    sb.be16(1).add(sgi_track(0, 6)).add(empty_lists());
    kit::Project p;
    p.add("TRKs", "S001", b);
    p.add("TRAK", "T001", a);
    p.add("TRKa", "A001", b);
    p.data_order = {2, 0, 1};
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(entry_data(c.out, 0), sb.v);
    EXPECT_EQ(entry_data(c.out, 1), sa.v);
    EXPECT_EQ(entry_data(c.out, 2), sb.v);
}

} // namespace
