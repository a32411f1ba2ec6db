// 'CLIP', 'CLPT', 'CLPM' and 'CLPA' entries: counted lists of clip records.

#include "entry_support.h"

using kit::Bytes;
using kit::Project;

namespace {

Bytes b() {
    return Bytes();
}

// A Mac 'CLIP' record of 94 distinct bytes; every field keeps its offset, so its SGI
// form is the same 94 bytes and the zero pair at 0x5E.
Bytes mac_clip(uint8_t first) {
    return b().pattern(94, first);
}
Bytes sgi_clip(uint8_t first) {
    return b().pattern(94, first).fill(2);
}

TEST(ClipItems, TwoClipsGrowByTwoBytesEach) {
    const Bytes in = b().be16(2).add(mac_clip(0x01)).add(mac_clip(0x81));
    ASSERT_EQ(in.size(), 2u + 188);
    const std::vector<uint8_t> out = convert_one("CLIP", "CLIP", in);
    EXPECT_EQ(out, b().be16(2).add(sgi_clip(0x01)).add(sgi_clip(0x81)).v);
    ASSERT_EQ(out.size(), 2u + 192);
    for (size_t rec = 0; rec < 2; ++rec) {
        EXPECT_EQ(out[2 + 96 * rec + 94], 0);
        EXPECT_EQ(out[2 + 96 * rec + 95], 0);
    }
}

TEST(ClipItems, EachEntryReadsItsOwnRecords) {
    Project p;
    p.add("CLIP", "ONE", b().be16(1).add(mac_clip(0x10)));
    p.add("CLPT", "TXT", b().be16(1).be16(0x0102).pattern(32, 0x40));
    p.add("CLIP", "TWO", b().be16(1).add(mac_clip(0x90)));
    EXPECT_EQ(converted_entry(p, 0), b().be16(1).add(sgi_clip(0x10)).v);
    EXPECT_EQ(converted_entry(p, 2), b().be16(1).add(sgi_clip(0x90)).v);
}

struct SameCase {
    const char* name;
    const char* type;
    Bytes data; // converts to itself
    friend void PrintTo(const SameCase& c, std::ostream* os) { *os << c.name; }
};

class UnchangedClipEntries : public testing::TestWithParam<SameCase> {};

TEST_P(UnchangedClipEntries, ComeOutIdentical) {
    EXPECT_EQ(convert_one(GetParam().type, "CLPX", GetParam().data), GetParam().data.v);
}

INSTANTIATE_TEST_SUITE_P(
    ClipItems, UnchangedClipEntries,
    testing::Values(SameCase{"clpt_two", "CLPT",
                             b().be16(2).be16(0x0A0B).pattern(32, 1).be16(-1).fill(32, 0xFF)},
                    SameCase{
                        "clpa_three", "CLPA",
                        b().be16(3).be16(1).be32(0x01020304).be16(2).be32(-1).be16(0x8000).be32(0)},
                    SameCase{"clpm_three", "CLPM", b().be16(1).be16(0x0102).be32(3).raw({7, 8, 9})},
                    SameCase{"clpm_zero", "CLPM", b().be16(1).be16(0x0102).be32(0)},
                    SameCase{"clpm_negative", "CLPM", b().be16(1).be16(0x0102).be32(-5)},
                    SameCase{"clpm_mixed", "CLPM",
                             b().be16(4)
                                 .be16(1)
                                 .be32(3)
                                 .raw({1, 2, 3})
                                 .be16(2)
                                 .be32(-1)
                                 .be16(3)
                                 .be32(0)
                                 .be16(4)
                                 .be32(2)
                                 .raw({4, 5})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClipItems, ClpmRecordSizes) {
    // L = 3: 9 bytes; L = 0 or negative: 6 bytes, and the next record follows at once.
    EXPECT_EQ(convert_one("CLPM", "M", b().be16(1).be16(1).be32(3).raw({1, 2, 3})).size(), 2u + 9);
    EXPECT_EQ(convert_one("CLPM", "M", b().be16(1).be16(1).be32(0)).size(), 2u + 6);
    EXPECT_EQ(convert_one("CLPM", "M", b().be16(1).be16(1).be32(-1)).size(), 2u + 6);
    EXPECT_EQ(convert_one("CLPM", "M", b().be16(1).be16(1).be32(INT32_MIN)).size(), 2u + 6);
}

class EmptyClipLists : public testing::TestWithParam<const char*> {};

TEST_P(EmptyClipLists, CountZeroOrNegativeGivesTheCountOnly) {
    EXPECT_EQ(convert_one(GetParam(), "C", b().be16(0).fill(100, 0xEE)), b().be16(0).v);
    EXPECT_EQ(convert_one(GetParam(), "C", b().be16(-1).fill(100, 0xEE)), b().be16(-1).v);
}

INSTANTIATE_TEST_SUITE_P(ClipItems, EmptyClipLists,
                         testing::Values("CLIP", "CLPT", "CLPM", "CLPA", "FDAT"));

} // namespace
