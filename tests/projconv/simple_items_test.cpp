// Project trees, templates, locks, time maps, links and windows. Expected bytes are
// written out from the layout tables, field by field.

#include "convert_support.h"

#include <gtest/gtest.h>

using kit::Bytes;
using kit::Project;

namespace {

std::vector<uint8_t> convert_one(const char* type, const char* id, const Bytes& data) {
    Project p;
    p.add(type, id, data);
    Conversion c = convert(p);
    EXPECT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.diag, "");
    return c.status == 0 ? entry_data(c.out, 0) : std::vector<uint8_t>{};
}

// Long-form project record, Mac 40 bytes; `nesting` is the word at Mac 0x04.
Bytes mac_long(int nesting) {
    Bytes b;
    b.be16(0x0101).be16(0x8123).be16(nesting).be16(0x0303).be16(0x0404); // 5 16-bit fields
    b.be32(0x0A0B0C0D);                                                  // 0x0A
    b.raw({0xE1, 0xE2});                                                 // 0x0E bytes
    b.be32(0x10111213);                                                  // 0x10
    b.pattern(12, 0x20);                                                 // 0x14 3 x 32-bit
    b.pattern(8, 0x40);                                                  // 0x20 bytes
    return b;
}
Bytes sgi_long(int nesting) {
    Bytes b;
    b.be16(0x0101).be16(0x8123).be16(nesting).be16(0x0303).be16(0x0404);
    b.fill(2);           // 0x0A zero
    b.be32(0x0A0B0C0D);  // 0x0C
    b.raw({0xE1, 0xE2}); // 0x10
    b.be32(0x10111213);  // 0x12
    b.fill(2);           // 0x16 zero
    b.pattern(12, 0x20); // 0x18
    b.pattern(8, 0x40);  // 0x24
    return b;
}
// Short-form project record, Mac 14 bytes.
Bytes mac_short(int first, int form) {
    Bytes b;
    b.be16(first).be16(form).be16(0x1111).be16(0x2222).be16(0x3333).be32(0x0C0D0E0F);
    return b;
}
Bytes sgi_short(int first) {
    Bytes b;
    b.be16(first).be16(0x8000).fill(6).fill(2).be32(0x0C0D0E0F).fill(28);
    return b;
}

TEST(ProjectItems, TreeWithNestedShortRecords) {
    Bytes in;
    in.be16(1).add(mac_long(1));
    in.run(Bytes().raw({0x31, 0x32, 0x33})); // L1 = 3
    in.run(Bytes().raw({0x41, 0x42}));       // L2 = 2
    in.be16(2);                              // nested count
    in.add(mac_short(0x5151, 0x0000)).run(Bytes().raw({0x51, 0x52}));
    in.add(mac_short(0x6161, 0x7FFF)).run(Bytes().raw({0x61, 0x62}));

    Bytes want;
    want.be16(1).add(sgi_long(1));
    want.be32(3).raw({0x31, 0x32, 0x33});
    want.be32(2).raw({0x41, 0x42});
    want.be16(2);
    want.add(sgi_short(0x5151)).be32(2).raw({0x51, 0x52});
    want.add(sgi_short(0x6161)).be32(2).raw({0x61, 0x62});
    ASSERT_EQ(sgi_long(1).size(), 44u);
    ASSERT_EQ(sgi_short(1).size(), 44u);
    EXPECT_EQ(convert_one("PROJ", "PROJ", in), want.v);
}

TEST(ProjectItems, ShortFormWordBecomesLongForm) {
    Bytes in, want;
    in.be16(1).add(mac_short(0x0102, 0x1234)).be32(0);
    want.be16(1).add(sgi_short(0x0102)).be32(0);
    EXPECT_EQ(convert_one("PROJ", "P", in), want.v);
}

TEST(ProjectItems, NoNestingMeansNoSecondRunAndNoCount) {
    // Two top-level long records without nesting; the second follows the first's L1.
    Bytes in, want;
    in.be16(2).add(mac_long(0)).be32(-1).add(mac_long(0)).be32(0);
    want.be16(2).add(sgi_long(0)).be32(-1).add(sgi_long(0)).be32(0);
    EXPECT_EQ(convert_one("PROJ", "P", in), want.v);
}

TEST(ProjectItems, DeepTreeReadsInStreamOrder) {
    // A chain five deep: each long record nests one more, with L2 = 0, the last has none.
    Bytes in, want;
    in.be16(1);
    want.be16(1);
    for (int level = 0; level < 5; ++level) {
        const int nest = level < 4 ? 1 : 0;
        in.add(mac_long(nest)).run(Bytes().u8(unsigned(level)));
        want.add(sgi_long(nest)).be32(1).u8(unsigned(level));
        if (nest) {
            in.be32(0).be16(1);
            want.be32(0).be16(1);
        }
    }
    EXPECT_EQ(convert_one("PROJ", "P", in), want.v);
}

struct CopyCase {
    const char* name;
    const char* type;
    Bytes in;
    Bytes out;
    friend void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.name; }
};

class CopiedEntries : public testing::TestWithParam<CopyCase> {};

TEST_P(CopiedEntries, ConvertAsTheTablesSay) {
    const CopyCase& c = GetParam();
    EXPECT_EQ(convert_one(c.type, "VIEW", c.in), c.out.v); // an id every type accepts
}

Bytes b() {
    return Bytes();
}

INSTANTIATE_TEST_SUITE_P(
    SimpleItems, CopiedEntries,
    testing::Values(
        CopyCase{"project_count_zero", "PROJ", b().be16(0).fill(3, 0xEE), b().be16(0)},
        CopyCase{"project_count_negative", "PROJ", b().be16(-2).fill(40, 0xEE), b().be16(-2)},
        CopyCase{"lock_three", "LOCK", b().be16(3).raw({1, 2, 3}), b().be16(3).raw({1, 2, 3})},
        CopyCase{"lock_negative", "LOCK", b().be16(-1).raw({1}), b().be16(-1)},
        CopyCase{"tmap_two", "TMAP", b().be16(2).raw({1, 2, 3, 4}), b().be16(2).raw({1, 2, 3, 4})},
        CopyCase{"link_none", "LINK", b().be32(-1).raw({9, 9}), b().be32(-1)},
        CopyCase{"link_five", "LINK", b().be32(5).raw({1, 2, 3, 4, 5, 6}),
                 b().be32(5).raw({1, 2, 3, 4, 5})},
        CopyCase{"template_two", "TEMP",
                 b().be16(2).be16(0x0102).pattern(8, 0x10).be16(0x0304).pattern(8, 0x20),
                 b().be16(2).be16(0x0102).fill(2).pattern(8, 0x10).be16(0x0304).fill(2).pattern(
                     8, 0x20)},
        CopyCase{"window", "WIND", b().be16(1).be16(2).be16(3).be16(4).raw({5, 6}),
                 b().be16(1).be16(2).be16(3).be16(4).raw({5, 6})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimpleItems, SizesOfLockAndTmap) {
    EXPECT_EQ(convert_one("LOCK", "L", b().be16(3).raw({1, 2, 3})).size(), 5u);
    EXPECT_EQ(convert_one("TMAP", "T", b().be16(2).raw({1, 2, 3, 4})).size(), 6u);
}

TEST(SimpleItems, WindowIdsAccepted) {
    for (const char* id : {"COMP", "FX__", "PROJ", "STAT", "VIEW"})
        EXPECT_EQ(convert_one("WIND", id, b().pattern(10, 1)), b().pattern(10, 1).v) << id;
}

} // namespace
