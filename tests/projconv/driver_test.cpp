// The container: header, directory, the walk over the entries, unknown entries.

#include "convert_support.h"

#include <gtest/gtest.h>

using kit::Bytes;
using kit::Project;

namespace {

// A 'LOCK' entry converts to itself: the simplest entry to carry through the walk.
Bytes lock_data(std::initializer_list<int> bytes) {
    Bytes b;
    b.be16(int64_t(bytes.size())).raw(bytes);
    return b;
}

TEST(Container, NoEntriesGiveTwentyBytes) {
    Project p;
    p.magic = {'x', 'y', 'z', 'w'};
    p.header = {0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8};
    p.dir_word = 0xDEADBEEF;
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    Bytes want;
    want.text("UxVd")
        .raw({0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8})
        .be32(0xDEADBEEF)
        .be32(0);
    EXPECT_EQ(c.out, want.v);
    EXPECT_EQ(c.diag, "");
}

TEST(Container, HeaderDirectoryAndTailBytesCarriedOver) {
    Project p;
    p.magic = {0, 0, 0, 0};
    p.add("LOCK", "L001", lock_data({1, 2, 3}));
    p.add("LOCK", "L002", lock_data({4}));
    for (int i = 0; i < 16; ++i) {
        p.entries[0].tail[size_t(i)] = uint8_t(0xC0 + i);
        p.entries[1].tail[size_t(i)] = uint8_t(0x30 + i);
    }
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.out, kit::sgi_container(p, {lock_data({1, 2, 3}), lock_data({4})})) << hex(c.out);
}

TEST(Container, EntriesComeOutInDirectoryOrder) {
    Project p;
    p.add("LOCK", "A", lock_data({0xA1}));
    p.add("TMAP", "B", Bytes().be16(1).raw({0xB1, 0xB2}));
    p.add("LINK", "C", Bytes().be32(2).raw({0xC1, 0xC2}));
    p.data_order = {2, 0, 1}; // the input holds C's data first, then A's, then B's
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.out,
              kit::sgi_container(p, {p.entries[0].data, p.entries[1].data, p.entries[2].data}))
        << hex(c.out);
}

TEST(Container, GapBeforeFirstEntryIsZero) {
    Project p;
    p.gap = 24;
    p.add("LOCK", "A", lock_data({7, 8}));
    std::vector<uint8_t> in = p.build();
    // Garbage in the gap must not reach the output: the gap reads as zero.
    for (size_t i = 0x14 + 32; i < 0x14 + 32 + 24; ++i) in[i] = 0xEE;
    Conversion c = convert(in);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.out, kit::sgi_container(p, {lock_data({7, 8})})) << hex(c.out);
    for (size_t i = 0x14 + 32; i < 0x14 + 32 + 24; ++i) EXPECT_EQ(c.out[i], 0) << i;
}

struct UnknownCase {
    const char* what;
    std::string_view type;
    std::string_view id;
    const char* message;
    friend void PrintTo(const UnknownCase& u, std::ostream* os) { *os << u.what; }
};

class UnknownEntry : public testing::TestWithParam<UnknownCase> {};

// An unknown entry is reported, keeps its place in the directory with length 0, and
// the next entry's data follows without a gap.
TEST_P(UnknownEntry, ReportedWithLengthZero) {
    const UnknownCase& u = GetParam();
    Project p;
    p.add("LOCK", "A", lock_data({1}));
    p.add(u.type, u.id, Bytes().be32(0x01020304).be32(0x05060708));
    p.add("LOCK", "B", lock_data({2, 3}));
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.diag, u.message);
    EXPECT_EQ(c.out, kit::sgi_container(p, {lock_data({1}), Bytes(), lock_data({2, 3})}))
        << hex(c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Driver, UnknownEntry,
    testing::Values(UnknownCase{"type", "ABCD", "0001", "Unknown directory entry type: ABCD\n"},
                    UnknownCase{"window id", "WIND", "COMQ",
                                "Unknown entry ID: COMQ for directory entry type: WIND\n"},
                    UnknownCase{"type with zero byte", std::string_view("AB\0D", 4), "ID01",
                                "Unknown directory entry type: AB\n"}),
    [](const auto& info) {
        std::string s = info.param.what;
        for (char& ch : s)
            if (ch == ' ') ch = '_';
        return s;
    });

TEST(Container, EntryThatConvertsToNothingHasItsPrefixLength) {
    Project p;
    p.add("TEMP", "T", Bytes().be16(0));
    p.add("LINK", "L", Bytes().be32(-1));
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(entry_data(c.out, 0), Bytes().be16(0).v);
    EXPECT_EQ(entry_data(c.out, 1), Bytes().be32(-1).v);
}

TEST(Container, LargeProjectConvertsBeyondTheFirstWindow) {
    // Forty 'LOCK' entries of 32000 bytes: about 1.3 MB, ten times the first window.
    Project p;
    std::vector<Bytes> converted;
    for (int i = 0; i < 40; ++i) {
        Bytes b;
        b.be16(32000).pattern(32000, uint8_t(i));
        p.add("LOCK", "BIG!", b);
        converted.push_back(b);
    }
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.out, kit::sgi_container(p, converted));
}

} // namespace
