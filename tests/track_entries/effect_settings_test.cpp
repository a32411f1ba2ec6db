// Effect settings records, one per layout of the effect table, plus the variable
// record of position 69 and the raw copies. Each expected record is written out from
// its layout line: the SGI bytes as slices of the Mac record, zeros where the line
// says zero, and the size word the line gives.

#include "effect_names.h"
#include "track_support.h"

#include <gtest/gtest.h>
#include <set>

using kit::Bytes;
using namespace tracks;

namespace {

constexpr int16_t kEffectFile = 40;

struct SettingsCase {
    std::string name;
    std::string effect; // the effect file's second name
    Bytes mac;          // the Mac settings bytes (after the size word Z)
    int32_t z;          // the Mac size word
    Bytes sgi;          // the SGI record
    int32_t size_word;  // the SGI size word
    friend void PrintTo(const SettingsCase& c, std::ostream* os) { *os << c.name; }
};

std::string effect(int position) {
    return mac_effect_names[position];
}

// A case for a fixed layout: the Mac record is a byte pattern, Z its length.
SettingsCase fixed(int position, size_t mac_len, uint8_t first, int32_t size_word,
                   Bytes (*sgi_of)(const Bytes& m)) {
    Bytes m;
    m.pattern(mac_len, first);
    return {"position_" + std::to_string(position),
            effect(position),
            m,
            int32_t(mac_len),
            sgi_of(m),
            size_word};
}

Bytes same(const Bytes& m) {
    return m;
}

std::vector<SettingsCase> layout_cases() {
    std::vector<SettingsCase> v;
    // 0->0 10 x 16-bit; 0x14->0x14 6 bytes
    v.push_back(fixed(8, 26, 0x11, 32, same));
    v.push_back(fixed(92, 26, 0x81, 32, same));
    // 0->0 16-bit; zero 2 at 2; 2->4 32-bit; 6->8 268 bytes; 0x112->0x114 16-bit;
    // 0x114->0x116 3 bytes; zero 3 at 0x119; Mac skips 0x117
    v.push_back(fixed(14, 280, 0x01, 288, [](const Bytes& m) {
        return Bytes()
            .add(part(m, 0, 2))
            .fill(2)
            .add(part(m, 2, 4))
            .add(part(m, 6, 268))
            .add(part(m, 0x112, 2))
            .add(part(m, 0x114, 3))
            .fill(3);
    }));
    // 0->0 16-bit; 2->2 1 byte; zero 1 at 3; 4->4 16-bit; 6->6 17 bytes;
    // 0x18->0x17 256 bytes; zero 1 at 0x117; 0x118->0x118 16-bit; 0x11A->0x11A 1 byte;
    // zero 1 at 0x11B; 0x11C->0x11C 16-bit; 0x11E->0x11E 520 bytes; 0x326->0x326
    // 16-bit; Mac skips 3, 0x17, 0x11B
    v.push_back(fixed(15, 808, 0x01, 808, [](const Bytes& m) {
        return Bytes()
            .add(part(m, 0, 2))
            .add(part(m, 2, 1))
            .fill(1)
            .add(part(m, 4, 2))
            .add(part(m, 6, 17))
            .add(part(m, 0x18, 256))
            .fill(1)
            .add(part(m, 0x118, 2))
            .add(part(m, 0x11A, 1))
            .fill(1)
            .add(part(m, 0x11C, 2))
            .add(part(m, 0x11E, 520))
            .add(part(m, 0x326, 2));
    }));
    // 0->0 8 bytes; 8->8 16-bit; 0xA->0xA 6 bytes
    v.push_back(fixed(22, 16, 0x21, 16, same));
    // 0->0 32-bit; 4->4 7 bytes; zero 1 at 0xB; Mac skips 0xB
    v.push_back(fixed(26, 12, 0x31, 16, [](const Bytes& m) {
        return Bytes().add(part(m, 0, 4)).add(part(m, 4, 7)).fill(1);
    }));
    // 0->0 16-bit; 2->2 13 bytes; zero 1 at 0xF; Mac skips 0xF
    v.push_back(fixed(27, 16, 0x41, 16, [](const Bytes& m) {
        return Bytes().add(part(m, 0, 2)).add(part(m, 2, 13)).fill(1);
    }));
    // 0->0 8 bytes; 8->8 16-bit
    v.push_back(fixed(29, 10, 0x51, 16, same));
    // 0->0 16-bit; zero 2 at 2; 2->4 32-bit; 6->8 16-bit; zero 2 at 0xA; 8->0xC 32-bit;
    // 0xC->0x10 16-bit; zero 2 at 0x12; 0xE->0x14 32-bit; 0x12->0x18 2 x 16-bit;
    // 0x16->0x1C 32-bit; 0x1A->0x20 71 bytes; zero 1 at 0x67; Mac skips 0x61
    v.push_back(fixed(40, 98, 0x61, 104, [](const Bytes& m) {
        return Bytes()
            .add(part(m, 0, 2))
            .fill(2)
            .add(part(m, 2, 4))
            .add(part(m, 6, 2))
            .fill(2)
            .add(part(m, 8, 4))
            .add(part(m, 0xC, 2))
            .fill(2)
            .add(part(m, 0xE, 4))
            .add(part(m, 0x12, 4))
            .add(part(m, 0x16, 4))
            .add(part(m, 0x1A, 71))
            .fill(1);
    }));
    // 0->0 16-bit; zero 2 at 2; 2->4 32-bit; 6->8 64 bytes; 0x46->0x48 16-bit; zero 2 at 0x4A
    v.push_back(fixed(54, 72, 0x71, 80, [](const Bytes& m) {
        return Bytes()
            .add(part(m, 0, 2))
            .fill(2)
            .add(part(m, 2, 4))
            .add(part(m, 6, 64))
            .add(part(m, 0x46, 2))
            .fill(2);
    }));
    // 0->0 18 bytes
    v.push_back(fixed(57, 18, 0x81, 24, same));
    // 0->0 2 x 32-bit; 8->8 2 x 16-bit
    v.push_back(fixed(66, 12, 0x91, 16, same));
    // 0->0 95 x 16-bit
    v.push_back(fixed(67, 190, 0xA1, 192, same));
    // 0->0 16-bit; 2->2 8 bytes
    v.push_back(fixed(78, 10, 0xB1, 16, same));
    // 0->0 16-bit; zero 2 at 2; the 32-bit field at Mac 2 is dropped, SGI 4 holds 0
    v.push_back(fixed(79, 6, 0xC1, 8,
                      [](const Bytes& m) { return Bytes().add(part(m, 0, 2)).fill(2).be32(0); }));
    // 0->0 16-bit; zero 2 at 2; 2->4 32-bit; 6->8 3 x 16-bit; zero 2 at 0xE
    v.push_back(fixed(86, 12, 0xD1, 16, [](const Bytes& m) {
        return Bytes().add(part(m, 0, 2)).fill(2).add(part(m, 2, 4)).add(part(m, 6, 6)).fill(2);
    }));
    // 0->0 1 byte; Mac skips 1
    v.push_back(fixed(93, 2, 0xE1, 8, [](const Bytes& m) { return part(m, 0, 1); }));
    // 0->0 4 x 16-bit; 8->8 400 bytes
    v.push_back(fixed(98, 408, 0x03, 408, same));
    // 0->0 2 x 16-bit; the 32-bit field at Mac 4 is dropped, SGI 4 holds 0
    v.push_back(
        fixed(104, 8, 0xF1, 8, [](const Bytes& m) { return Bytes().add(part(m, 0, 4)).be32(0); }));
    // 0->0 16-bit; zero 2 at 2; the 32-bit fields at Mac 2 and 6 are dropped
    v.push_back(fixed(122, 10, 0x05, 16, [](const Bytes& m) {
        return Bytes().add(part(m, 0, 2)).fill(2).be32(0).be32(0);
    }));
    // 0->0 8 x 16-bit; Mac 0x10 and 0x14 dropped (SGI 0); 0x18->0x18 2 x 16-bit;
    // 0x1C->0x1C 5 x 32-bit; 0x30->0x30 2 x 16-bit; 0x34->0x34 32-bit
    v.push_back(fixed(126, 56, 0x15, 56, [](const Bytes& m) {
        return Bytes()
            .add(part(m, 0, 16))
            .be32(0)
            .be32(0)
            .add(part(m, 0x18, 4))
            .add(part(m, 0x1C, 20))
            .add(part(m, 0x30, 4))
            .add(part(m, 0x34, 4));
    }));
    // 0->0 3 x 16-bit; zero 2 at 6; Mac 6, 0xA, 0xE dropped (SGI 8, 0xC, 0x10 hold 0);
    // 0x12->0x14 5 x 16-bit; zero 2 at 0x1E; 0x1C->0x20 5 x 32-bit
    v.push_back(fixed(131, 48, 0x25, 56, [](const Bytes& m) {
        return Bytes()
            .add(part(m, 0, 6))
            .fill(2)
            .be32(0)
            .be32(0)
            .be32(0)
            .add(part(m, 0x12, 10))
            .fill(2)
            .add(part(m, 0x1C, 20));
    }));
    // Widened: each signed 16-bit value becomes a signed 32-bit value.
    v.push_back({"position_28", effect(28),
                 Bytes()
                     .be16(0xFFFF)
                     .be16(0x7FFF)
                     .be16(0x8000)
                     .be16(0x0001)
                     .be16(0x1234)
                     .be16(0xFEDC)
                     .be16(0x0000)
                     .be16(0xFFFE)
                     .be16(0x0080)
                     .be16(0xFF7F)
                     .be16(0x4000),
                 22,
                 Bytes()
                     .be32(0xFFFFFFFF)
                     .be32(0x00007FFF)
                     .be32(0xFFFF8000)
                     .be32(0x00000001)
                     .be32(0x00001234)
                     .be32(0xFFFFFEDC)
                     .be32(0x00000000)
                     .be32(0xFFFFFFFE)
                     .be32(0x00000080)
                     .be32(0xFFFFFF7F)
                     .be32(0x00004000),
                 48});
    v.push_back({"position_120", effect(120), Bytes().be16(0x8001).be16(0x7FFE).be16(0xFFFF), 6,
                 Bytes().be32(0xFFFF8001).be32(0x00007FFE).be32(0xFFFFFFFF), 16});
    v.push_back(
        {"position_128", effect(128),
         Bytes().be16(1).be16(-1).be16(0x8000).be16(0x7FFF).be16(0x00FF).be16(0xFF00), 12,
         Bytes().be32(1).be32(0xFFFFFFFF).be32(0xFFFF8000).be32(0x7FFF).be32(0xFF).be32(0xFFFFFF00),
         24});
    // Masked: the three 16-bit values at SGI 4, 6 and 8 keep their high byte.
    v.push_back({"position_121", effect(121),
                 Bytes().be32(0x01020304).raw({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}), 10,
                 Bytes().be32(0x01020304).raw({0x12, 0x00, 0x56, 0x00, 0x9A, 0x00}).fill(2), 16});
    return v;
}

// One effect list holding one settings record of the case's effect, and the SGI
// list it becomes: 2 entries (16 bytes), then the size word, record and padding.
void check_record(const SettingsCase& c) {
    Bytes in, want;
    in.be16(1).add(mac_track(0)).be32(-1);
    in.be32(c.z + 16).be16(kEffectFile).be32(12).be16(0).be32(0);
    in.be32(c.z).add(c.mac);
    in.be32(0).be32(0).be32(0);

    ASSERT_LE(c.sgi.size(), size_t(c.size_word));
    want.be16(1).add(sgi_track(0)).be32(-1);
    want.be32(16 + 4 + c.size_word).be16(kEffectFile).fill(2).be32(16).be16(0).fill(2).be32(0);
    want.be32(c.size_word).add(c.sgi).fill(size_t(c.size_word) - c.sgi.size());
    want.be32(0).be32(0).be32(0);
    std::vector<uint8_t> got = convert_track_entry(in, {{kEffectFile, c.effect}});
    EXPECT_EQ(got, want.v) << hex(got);
}

class EffectLayout : public testing::TestWithParam<SettingsCase> {};

TEST_P(EffectLayout, RecordAsTheLayoutLineSays) {
    check_record(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Settings, EffectLayout, testing::ValuesIn(layout_cases()),
                         [](const auto& info) { return info.param.name; });

TEST(EffectSettings, EveryConvertingPositionHasACase) {
    std::set<std::string> names;
    for (const SettingsCase& c : layout_cases()) names.insert(c.effect);
    for (int p : {8,  14, 15, 22, 26, 27, 28,  29,  40,  54,  57,  66,  67,
                  78, 79, 86, 92, 93, 98, 104, 120, 121, 122, 126, 128, 131})
        EXPECT_TRUE(names.count(effect(p))) << "position " << p;
    EXPECT_EQ(names.size(), 26u);
}

// Cleared positions write 0 whatever the Mac fields hold: all-ones records.
TEST(EffectSettings, ClearedFieldsAreZeroWhateverTheMacValues) {
    struct Cleared {
        int position;
        size_t mac_len;
        Bytes sgi;
        int32_t size_word;
    };
    const Cleared cases[] = {
        {79, 6, Bytes().be16(0xFFFF).fill(2).be32(0), 8},
        {104, 8, Bytes().be32(0xFFFFFFFF).be32(0), 8},
        {122, 10, Bytes().be16(0xFFFF).fill(2).be32(0).be32(0), 16},
        {126, 56, Bytes().fill(16, 0xFF).be32(0).be32(0).fill(4, 0xFF).fill(20, 0xFF).fill(8, 0xFF),
         56},
        {131, 48, Bytes().fill(6, 0xFF).fill(2).fill(12).fill(10, 0xFF).fill(2).fill(20, 0xFF), 56},
    };
    for (const Cleared& c : cases) {
        SCOPED_TRACE(c.position);
        check_record({"cleared", effect(c.position), Bytes().fill(c.mac_len, 0xFF),
                      int32_t(c.mac_len), c.sgi, c.size_word});
    }
}

// Raw copies: every position without a layout, position -1, and unknown file ids.
TEST(EffectSettings, RawCopies) {
    const Bytes eight = Bytes().pattern(8, 0x61), thirteen = Bytes().pattern(13, 0x71);
    // 8 bytes: size word 8, no padding. 13 bytes: size word 16, 3 zero bytes.
    check_record({"raw_8", effect(1), eight, 8, eight, 8});
    check_record({"raw_13", effect(132), thirteen, 13, thirteen, 16});
    check_record({"position_minus_1", "My Own Filter", thirteen, 13, thirteen, 16});
    check_record({"not_an_effect_row", "SENTINEL", eight, 8, eight, 8});
    check_record({"raw_1", effect(7), Bytes().u8(0x99), 1, Bytes().u8(0x99), 8});
    check_record({"raw_16", effect(9), Bytes().pattern(16, 1), 16, Bytes().pattern(16, 1), 16});
    check_record({"neighbour_of_a_layout", effect(68), thirteen, 13, thirteen, 16});
}

TEST(EffectSettings, FileIdNotInTheTableIsCopiedRaw) {
    Bytes in, want;
    in.be16(1).add(mac_track(0)).be32(-1);
    in.be32(9).be16(99).be32(12).be16(0).be32(0).be32(5).raw({1, 2, 3, 4, 5});
    in.be32(0).be32(0).be32(0);
    want.be16(1).add(sgi_track(0)).be32(-1);
    want.be32(16 + 4 + 8).be16(99).fill(2).be32(16).be16(0).fill(2).be32(0);
    want.be32(8).raw({1, 2, 3, 4, 5}).fill(3);
    want.be32(0).be32(0).be32(0);
    EXPECT_EQ(convert_track_entry(in, {{kEffectFile, effect(28)}}), want.v);
}

// Ids 5 and 5 - 32768 share a slot of the file table; each effect is still converted
// by its own file's position: Replicate (93) keeps 1 of its 2 bytes, Blur (9) is raw.
TEST(EffectSettings, FilesSharingATableSlotKeepTheirOwnPositions) {
    constexpr int16_t kReplicate = 5, kBlur = 5 - 32768;
    Bytes in, want;
    in.be16(1).add(mac_track(0)).be32(-1);
    in.be32(40).be16(kBlur).be32(18).be16(kReplicate).be32(18 + 7).be16(0).be32(0);
    in.be32(3).raw({1, 2, 3}).be32(2).raw({0x77, 0x88});
    in.be32(0).be32(0).be32(0);
    want.be16(1).add(sgi_track(0)).be32(-1);
    want.be32(24 + 12 + 12);
    want.be16(kBlur).fill(2).be32(24).be16(kReplicate).fill(2).be32(36).be16(0).fill(2).be32(0);
    want.be32(8).raw({1, 2, 3}).fill(5).be32(8).u8(0x77).fill(7);
    want.be32(0).be32(0).be32(0);
    EXPECT_EQ(convert_track_entry(in, {{kReplicate, effect(93)}, {kBlur, effect(9)}}), want.v);
    EXPECT_EQ(convert_track_entry(in, {{kBlur, effect(9)}, {kReplicate, effect(93)}}), want.v);
}

// Position 69: header a, b, c, then 16 * a * b data bytes.
TEST(EffectSettings, Position69) {
    const std::string e = effect(69);
    const Bytes data = Bytes().pattern(16, 0xB0);
    // a = 0 or b = 0: size word 8, the header and 2 zero bytes.
    check_record({"a_zero", e, Bytes().be16(0).be16(5).be16(0x1234), 6,
                  Bytes().be16(0).be16(5).be16(0x1234), 8});
    check_record({"b_zero", e, Bytes().be16(3).be16(0).be16(0x4321), 6,
                  Bytes().be16(3).be16(0).be16(0x4321), 8});
    // a = b = 1: 22 bytes consumed, size word 24, header, 16 data bytes, 2 zeros.
    check_record({"one_by_one", e, Bytes().be16(1).be16(1).be16(7).add(data), 22,
                  Bytes().be16(1).be16(1).be16(7).add(data), 24});
    // a = 2, b = 3: 96 data bytes, 102 in all, size word 104.
    const Bytes data96 = Bytes().pattern(96, 0x10);
    check_record({"two_by_three", e, Bytes().be16(2).be16(3).be16(0).add(data96), 102,
                  Bytes().be16(2).be16(3).be16(0).add(data96), 104});
    // A negative product means no data: the record is the header alone.
    check_record({"negative_product", e, Bytes().be16(-1).be16(2).be16(9), 6,
                  Bytes().be16(-1).be16(2).be16(9), 8});
    // Two negative counts make a positive product.
    check_record({"both_negative", e, Bytes().be16(-1).be16(-1).be16(0).add(data), 22,
                  Bytes().be16(-1).be16(-1).be16(0).add(data), 24});
}

// A layout consumes its own Mac length whatever Z says, and the next record is read
// from where the last one ended.
TEST(EffectSettings, LayoutLengthWinsOverTheSizeWord) {
    Bytes in, want;
    in.be16(1).add(mac_track(0)).be32(-1);
    in.be32(1000).be16(kEffectFile).be32(18).be16(41).be32(18 + 6).be16(0).be32(0);
    in.be32(500).raw({0x5A, 0xA5});     // Replicate: 2 bytes, whatever Z says
    in.be32(3).raw({0x01, 0x02, 0x03}); // a raw record right behind them
    in.be32(0).be32(0).be32(0);
    want.be16(1).add(sgi_track(0)).be32(-1);
    want.be32(24 + 12 + 12);
    want.be16(kEffectFile).fill(2).be32(24).be16(41).fill(2).be32(36).be16(0).fill(2).be32(0);
    want.be32(8).u8(0x5A).fill(7);
    want.be32(8).raw({1, 2, 3}).fill(5);
    want.be32(0).be32(0).be32(0);
    EXPECT_EQ(convert_track_entry(in, {{kEffectFile, effect(93)}, {41, "Unlisted"}}), want.v);
}

} // namespace
