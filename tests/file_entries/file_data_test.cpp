// 'FDAT' entries: file data records, Mac 348 bytes, SGI 350.

#include "entry_support.h"

using kit::Bytes;

namespace {

// Mac record: 348 distinct-ish bytes (the pattern wraps at 256).
Bytes mac_fdat(uint8_t first) {
    return Bytes().pattern(348, first);
}

// SGI record: Mac 0x00..0x17 in place, a zero pair at 0x18, then Mac 0x18..0x15B
// (the 32-bit field and the three arrays of 32, 32 and 256 bytes) two bytes later.
Bytes sgi_fdat(uint8_t first) {
    const Bytes mac = mac_fdat(first);
    return Bytes().add(slice(mac, 0x00, 0x18)).fill(2).add(slice(mac, 0x18, 348));
}

TEST(FileData, OneRecordGrowsByTwoBytes) {
    const Bytes in = Bytes().be16(1).add(mac_fdat(0x11));
    ASSERT_EQ(in.size(), 2u + 348);
    const std::vector<uint8_t> out = convert_one("FDAT", "FDAT", in);
    ASSERT_EQ(out.size(), 2u + 350);
    EXPECT_EQ(out, Bytes().be16(1).add(sgi_fdat(0x11)).v);
    EXPECT_EQ(out[2 + 0x18], 0);
    EXPECT_EQ(out[2 + 0x19], 0);
    // Everything after the zero pair is the Mac record shifted by 2.
    for (size_t i = 0x18; i < 348; ++i) EXPECT_EQ(out[2 + i + 2], in.v[2 + i]) << i;
}

TEST(FileData, RecordsFollowEachOther) {
    const Bytes in = Bytes().be16(3).add(mac_fdat(0x00)).add(mac_fdat(0x55)).add(mac_fdat(0xAA));
    EXPECT_EQ(convert_one("FDAT", "FDAT", in),
              Bytes().be16(3).add(sgi_fdat(0x00)).add(sgi_fdat(0x55)).add(sgi_fdat(0xAA)).v);
}

TEST(FileData, FieldsByTheTable) {
    // The record written field by field: 32-bit fields at 4k + 2.
    Bytes mac, sgi;
    mac.be16(0x0101)
        .text("ABCDEFGH")
        .be32(0x0A0B0C0D)
        .be16(0x0E0F)
        .be16(0x1011)
        .be32(0x12131415)
        .be16(0x1617)
        .be32(0x18191A1B)
        .pattern(320, 0x30);
    sgi.be16(0x0101)
        .text("ABCDEFGH")
        .be32(0x0A0B0C0D)
        .be16(0x0E0F)
        .be16(0x1011)
        .be32(0x12131415)
        .be16(0x1617)
        .fill(2)
        .be32(0x18191A1B)
        .pattern(320, 0x30);
    ASSERT_EQ(mac.size(), 348u);
    ASSERT_EQ(sgi.size(), 350u);
    EXPECT_EQ(convert_one("FDAT", "FDAT", Bytes().be16(1).add(mac)), Bytes().be16(1).add(sgi).v);
}

} // namespace
