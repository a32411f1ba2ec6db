// Damaged track entries: input that ends before the counts, sizes and offsets say it
// should is refused with the driver's one line, and an entry table that never ends
// stops at the end of the input.

#include "effect_names.h"
#include "track_support.h"

#include <gtest/gtest.h>

using kit::Bytes;
using kit::Project;
using namespace tracks;

namespace {

const std::vector<File> kFiles = {{21, "Blur"}, {69, mac_effect_names[69]}, {93, "Replicate"}};

// A project with the files' 'FILE' entry and one 'TRAK' entry whose data is `trak`.
Project with_track(const Bytes& trak) {
    Project p;
    p.add("FILE", "FILE", mac_file_entry(kFiles));
    p.add("TRAK", "T001", trak);
    return p;
}

// The line for a read that stops `past` bytes into the track entry's data, `short_by`
// bytes short.
std::string line_at(const Project& p, size_t past, size_t short_by) {
    const size_t data = 0x14 + 32 * p.entries.size() + p.entries[0].data.size();
    return "projconv: entry 1 (type 'TRAK', id 'T001'), input offset " +
           std::to_string(data + past) + ": the input ends " + std::to_string(short_by) +
           " bytes short of what its counts and lengths say\n";
}

// Where the first effect list starts in a one-track entry with an absent pair list.
constexpr size_t kFirstList = 2 + 114 + 4;

struct BadCase {
    const char* name;
    Bytes trak;
    size_t past;     // where reading stopped, from the entry's data
    size_t short_by; // how many bytes were missing
    friend void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }
};

std::vector<BadCase> cases() {
    std::vector<BadCase> v;
    {
        Bytes t;
        t.be16(100).add(mac_track(0)).add(empty_lists());
        v.push_back({"more_tracks_than_input", t, 2 + 114 + 20, 114});
    }
    {
        Bytes t;
        t.be16(1).add(mac_track(0)).be32(0).be16(0).be16(5).be16(0);
        t.be32(1).be16(2).be32(3).be16(4); // 2 of 5 items
        v.push_back({"pair_items_cut", t, 2 + 114 + 10 + 12, 6});
    }
    {
        // Entries of file id 5 with offset 0 never end the table; the last entry
        // lacks its offset.
        Bytes t;
        t.be16(1).add(mac_track(0)).be32(-1).be32(50);
        for (int i = 0; i < 3; ++i) t.be16(5).be32(0);
        t.be16(5);
        v.push_back({"entry_table_never_ends", t, kFirstList + 4 + 18 + 2, 4});
    }
    {
        Bytes t;
        t.be16(1).add(mac_track(0)).be32(-1).be32(50).be16(21).be32(12).be16(0).be32(0);
        t.be32(100).pattern(10, 1);
        v.push_back({"settings_cut", t, kFirstList + 4 + 12 + 4, 90});
    }
    {
        Bytes t;
        t.be16(1).add(mac_track(0)).be32(-1).be32(50).be16(21).be32(12).be16(0).be32(0);
        t.be32(0x7FFFFFFF).pattern(3, 1);
        v.push_back({"settings_size_huge", t, kFirstList + 4 + 12 + 4, 0x7FFFFFFF - 3});
    }
    {
        // Position 69 with a = b = 32767: the data length is taken in full, not wrapped.
        Bytes t;
        t.be16(1).add(mac_track(0)).be32(-1).be32(50).be16(69).be32(12).be16(0).be32(0);
        t.be32(6).be16(32767).be16(32767).be16(0).pattern(20, 1);
        v.push_back({"variable_record_huge", t, kFirstList + 4 + 12 + 4,
                     6 + 16 * size_t(32767) * 32767 - 26});
    }
    {
        Bytes t;
        t.be16(1).add(mac_track(0)).be32(-1).be32(50).be16(93).be32(12).be16(0).be32(0);
        t.be32(2).u8(7); // Replicate needs 2 bytes
        v.push_back({"layout_record_cut", t, kFirstList + 4 + 12 + 4, 1});
    }
    {
        Bytes t;
        t.be16(1).add(mac_track(1)).add(empty_lists()).be32(0).fill(8).be16(1000).fill(42);
        v.push_back({"tail_items_cut", t, 2 + 114 + 20 + 14, 42 * 999});
    }
    {
        Bytes t;
        t.be16(1).add(mac_track(1)).add(empty_lists()).be32(0).fill(4);
        v.push_back({"tail_header_cut", t, 2 + 114 + 20 + 4, 6});
    }
    return v;
}

class BadTrack : public testing::TestWithParam<BadCase> {};

TEST_P(BadTrack, RefusedWithOneLine) {
    const BadCase& b = GetParam();
    const Project p = with_track(b.trak);
    Conversion c = convert(p);
    EXPECT_EQ(c.status, -1);
    EXPECT_TRUE(c.out.empty());
    EXPECT_EQ(c.diag, line_at(p, b.past, b.short_by));
}

INSTANTIATE_TEST_SUITE_P(Tracks, BadTrack, testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A track entry with every part, cut at every length: each cut converts or is refused
// with one line, and never reads outside the input (the sanitizer tree runs this too).
TEST(BadTrack, EveryTruncationIsHandled) {
    Bytes t;
    t.be16(2).add(mac_track(1)).be32(0).be16(1).be16(2).be16(3).be32(4).be16(5).be32(6).be16(7);
    t.be32(4).be16(21).be16(10).be16(0).be32(0).be32(3).raw({1, 2, 3});
    t.be32(40).be16(93).be32(24).be16(69).be32(30).be16(21).be32(0).be16(0).be32(1);
    t.be32(5).raw({8, 9}).be32(22).be16(1).be16(1).be16(0).pattern(16, 0x40);
    t.be32(-1).be32(9).be16(22).be32(0).be16(0).be32(0);
    t.be32(0).pattern(8, 1).be16(1).pattern(42, 2);
    t.add(mac_track(0, 3)).add(empty_lists());
    const Project whole = with_track(t);
    const std::vector<uint8_t> bytes = whole.build();
    Conversion full = convert(bytes);
    ASSERT_EQ(full.status, 0) << full.diag;
    const size_t start = bytes.size() - t.size();
    for (size_t n = start; n < bytes.size(); ++n) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + long(n));
        Conversion c = convert(cut);
        EXPECT_EQ(c.status, -1) << "cut at " << n;
        EXPECT_EQ(std::count(c.diag.begin(), c.diag.end(), '\n'), 1) << c.diag;
    }
}

} // namespace
