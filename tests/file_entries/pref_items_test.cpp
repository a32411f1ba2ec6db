// 'PREF' entries: one preferences record per id ('COMP', 'COMQ', 'PROJ'), its SGI
// size in place of the prefix, and the compressor-code rule.

#include "entry_support.h"

#include <cstring>

using kit::Bytes;
using kit::Project;

namespace {

// Mac records of distinct bytes, with the compressor code (if any) put in.
Bytes mac_comp(const char* code) {
    Bytes mac = Bytes().pattern(134, 0x01);
    std::memcpy(&mac.v[0x3C], code, 4);
    return mac;
}
Bytes mac_proj(const char* code) {
    Bytes mac = Bytes().pattern(34, 0x41);
    std::memcpy(&mac.v[0x0A], code, 4);
    return mac;
}
Bytes mac_comq() {
    return Bytes().pattern(104, 0x81);
}

// SGI records from the layout tables, run by run; `code` is the code written.
Bytes sgi_comp(const Bytes& mac, const char* code) {
    Bytes s;
    s.add(slice(mac, 0x00, 0x21)).fill(1); // 0x21 skipped: zero
    s.add(slice(mac, 0x22, 0x27)).fill(1); // 0x27 skipped: zero
    s.add(slice(mac, 0x28, 0x32)).fill(2); // SGI 0x32 zero
    s.add(slice(mac, 0x32, 0x3C)).fill(2); // SGI 0x34..0x3D, 0x3E zero
    s.text(std::string_view(code, 4));     // SGI 0x40 code
    s.add(slice(mac, 0x40, 0x4E)).fill(2); // SGI 0x44..0x51, 0x52 zero
    s.add(slice(mac, 0x4E, 0x54)).fill(2); // SGI 0x54..0x59, 0x5A zero
    s.add(slice(mac, 0x54, 0x86)).fill(2); // SGI 0x5C..0x8D, 0x8E zero
    return s;
}
Bytes sgi_comq(const Bytes& mac) {
    Bytes s;
    s.add(slice(mac, 0x00, 0x0A)).fill(2); // SGI 0x0A zero
    s.add(slice(mac, 0x0A, 0x60)).fill(2); // SGI 0x0C..0x61, 0x62 zero
    s.add(slice(mac, 0x60, 0x68));         // SGI 0x64
    return s;
}
Bytes sgi_proj(const Bytes& mac, const char* code) {
    Bytes s;
    s.add(slice(mac, 0x00, 0x0A)).fill(2); // SGI 0x0A zero
    s.text(std::string_view(code, 4));     // SGI 0x0C code
    s.add(slice(mac, 0x0E, 0x1C)).fill(2); // SGI 0x10..0x1D, 0x1E zero
    s.add(slice(mac, 0x1C, 0x22)).fill(2); // SGI 0x20..0x25, 0x26 zero
    return s;
}

TEST(PrefItems, ComqBecomesWord108AndTheRecord) {
    const Bytes mac = mac_comq();
    const std::vector<uint8_t> out = convert_one("PREF", "COMQ", Bytes().be32(104).add(mac));
    EXPECT_EQ(out, Bytes().be32(108).add(sgi_comq(mac)).v);
    EXPECT_EQ(out.size(), 4u + 108);
}

TEST(PrefItems, RecordIsReadAtItsOwnSizeWhateverThePrefix) {
    const Bytes mac = mac_comq();
    for (int32_t p : {1, 7, 103, 105, INT32_MAX}) {
        const Bytes in = Bytes().be32(p).add(mac).fill(8, 0xEE);
        EXPECT_EQ(convert_one("PREF", "COMQ", in), Bytes().be32(108).add(sgi_comq(mac)).v) << p;
    }
}

TEST(PrefItems, ProjBecomesWord40AndTheRecord) {
    const Bytes mac = mac_proj("jpeg");
    EXPECT_EQ(convert_one("PREF", "PROJ", Bytes().be32(34).add(mac)),
              Bytes().be32(40).add(sgi_proj(mac, "jpeg")).v);
}

TEST(PrefItems, CompSkippedBytesComeOutZero) {
    Bytes mac = mac_comp("cvid");
    ASSERT_NE(mac.v[0x21], 0);
    ASSERT_NE(mac.v[0x27], 0);
    const std::vector<uint8_t> out = convert_one("PREF", "COMP", Bytes().be32(134).add(mac));
    EXPECT_EQ(out, Bytes().be32(144).add(sgi_comp(mac, "cvid")).v);
    ASSERT_EQ(out.size(), 4u + 144);
    EXPECT_EQ(out[4 + 0x21], 0);
    EXPECT_EQ(out[4 + 0x27], 0);
    // A record whose skipped bytes are 0 converts the same.
    mac.v[0x21] = mac.v[0x27] = 0;
    EXPECT_EQ(convert_one("PREF", "COMP", Bytes().be32(134).add(mac)), out);
}

TEST(PrefItems, CompOddOffsetFieldStaysInPlace) {
    Bytes mac = mac_comp("rle ");
    mac.v[0x1D] = 0xAB;
    mac.v[0x1E] = 0xCD;
    const std::vector<uint8_t> out = convert_one("PREF", "COMP", Bytes().be32(1).add(mac));
    ASSERT_EQ(out.size(), 4u + 144);
    EXPECT_EQ(out[4 + 0x1D], 0xAB);
    EXPECT_EQ(out[4 + 0x1E], 0xCD);
}

struct CodeCase {
    const char* name;
    const char* code; // four bytes
    const char* want;
};

class CompressorCodes : public testing::TestWithParam<CodeCase> {};

TEST_P(CompressorCodes, KeptWhenKnownElseRaw) {
    const CodeCase& c = GetParam();
    const Bytes comp = mac_comp(c.code);
    EXPECT_EQ(convert_one("PREF", "COMP", Bytes().be32(134).add(comp)),
              Bytes().be32(144).add(sgi_comp(comp, c.want)).v);
    const Bytes proj = mac_proj(c.code);
    EXPECT_EQ(convert_one("PREF", "PROJ", Bytes().be32(34).add(proj)),
              Bytes().be32(40).add(sgi_proj(proj, c.want)).v);
}

INSTANTIATE_TEST_SUITE_P(
    PrefItems, CompressorCodes,
    testing::Values(CodeCase{"zero", "\0\0\0\0", "\0\0\0\0"}, CodeCase{"raw", "raw ", "raw "},
                    CodeCase{"IV32", "IV32", "IV32"}, CodeCase{"jpeg", "jpeg", "jpeg"},
                    CodeCase{"mjpa", "mjpa", "mjpa"}, CodeCase{"rpza", "rpza", "rpza"},
                    CodeCase{"rle", "rle ", "rle "}, CodeCase{"cvid", "cvid", "cvid"},
                    CodeCase{"xyzw", "xyzw", "raw "}, CodeCase{"upper_raw", "RAW ", "raw "},
                    CodeCase{"raw_unpadded", "raw\0", "raw "}, CodeCase{"blanks", "    ", "raw "},
                    CodeCase{"mjpb", "mjpb", "raw "}, CodeCase{"ones", "\xFF\xFF\xFF\xFF", "raw "}),
    [](const auto& info) { return std::string(info.param.name); });

class NoRecord : public testing::TestWithParam<int32_t> {};

TEST_P(NoRecord, PrefixAloneIsWritten) {
    for (const char* id : {"COMP", "COMQ", "PROJ"}) {
        const Bytes in = Bytes().be32(GetParam()).fill(200, 0xEE);
        EXPECT_EQ(convert_one("PREF", id, in), Bytes().be32(GetParam()).v) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(PrefItems, NoRecord, testing::Values(0, -1, INT32_MIN));

TEST(PrefItems, UnknownIdIsReportedAndConvertsToNothing) {
    Project p;
    p.add("PREF", "VIEW", Bytes().be32(104).add(mac_comq()));
    p.add("LOCK", "LOCK", Bytes().be16(2).raw({5, 6}));
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.diag, "Unknown entry ID: VIEW for directory entry type: PREF\n");
    EXPECT_TRUE(entry_data(c.out, 0).empty());
    EXPECT_EQ(entry_data(c.out, 1), Bytes().be16(2).raw({5, 6}).v);
    EXPECT_EQ(c.out, kit::sgi_container(p, {Bytes(), Bytes().be16(2).raw({5, 6})}));
}

TEST(PrefItems, ThreeIdsInOneProject) {
    const Bytes comp = mac_comp("xyzw"), comq = mac_comq(), proj = mac_proj("\0\0\0\0");
    Project p;
    p.add("PREF", "COMP", Bytes().be32(134).add(comp));
    p.add("PREF", "COMQ", Bytes().be32(104).add(comq));
    p.add("PREF", "PROJ", Bytes().be32(-1));
    p.add("PREF", "PROJ", Bytes().be32(34).add(proj));
    Conversion c = convert(p);
    ASSERT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.out, kit::sgi_container(p, {Bytes().be32(144).add(sgi_comp(comp, "raw ")),
                                            Bytes().be32(108).add(sgi_comq(comq)), Bytes().be32(-1),
                                            Bytes().be32(40).add(sgi_proj(proj, "\0\0\0\0"))}));
}

} // namespace
