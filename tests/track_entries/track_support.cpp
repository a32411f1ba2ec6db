#include "track_support.h"

#include <gtest/gtest.h>

namespace tracks {

Bytes mac_file_entry(const std::vector<File>& files) {
    Bytes b;
    b.be16(int64_t(files.size()));
    for (const File& f : files) {
        b.be16(f.id).pattern(12, 0x70).code("VFlt");
        b.name("Effect " + std::to_string(f.id)).name(f.name2);
    }
    return b;
}

Bytes part(const Bytes& b, size_t at, size_t n) {
    Bytes p;
    p.v.assign(b.v.begin() + long(at), b.v.begin() + long(at + n));
    return p;
}

// The track record's fields in Mac order, each field's value derived from the seed.
namespace {
struct TrackFields {
    Bytes f16a, f32a, bytes22, bytes11, f16b, bytes6a, f32b, f16c, bytes6b;
};
TrackFields track_fields(uint32_t flag, uint8_t seed) {
    TrackFields t;
    t.f16a.be16(0x0100 + seed).be16(0x8002 + seed);
    t.f32a.be32(0x01020304 + seed).be32(-2 - seed).be32(0x7FFF0000 + seed).be32(seed);
    t.bytes22.pattern(22, uint8_t(seed + 0x20));
    t.bytes11.pattern(11, uint8_t(seed + 0x40));
    t.f16b.be16(0x0A0B + seed).be16(0xFFFF - seed).be16(0x1234);
    t.bytes6a.pattern(6, uint8_t(seed + 0x60));
    for (int i = 0; i < 8; ++i) t.f32b.be32(0x11110000 + 0x1000 * i + seed);
    t.f32b.be32(flag);
    t.f16c.be16(0x0C0D).be16(seed).be16(0xEEEE);
    t.bytes6b.pattern(6, uint8_t(seed + 0x80));
    return t;
}
} // namespace

Bytes mac_track(uint32_t flag, uint8_t seed) {
    TrackFields t = track_fields(flag, seed);
    Bytes b;
    b.add(t.f16a).add(t.f32a).add(t.bytes22).add(t.bytes11);
    b.u8(0xA5); // 0x35 skipped
    b.add(t.f16b).add(t.bytes6a).add(t.f32b).add(t.f16c).add(t.bytes6b);
    return b;
}

Bytes sgi_track(uint32_t flag, uint8_t seed) {
    TrackFields t = track_fields(flag, seed);
    Bytes b;
    b.add(t.f16a).add(t.f32a).add(t.bytes22);                            // 0x00 .. 0x29
    b.fill(2);                                                           // 0x2A zero
    b.add(t.bytes11);                                                    // 0x2C
    b.fill(1);                                                           // 0x37 zero
    b.add(t.f16b).add(t.bytes6a).add(t.f32b).add(t.f16c).add(t.bytes6b); // 0x38 .. 0x73
    return b;
}

Bytes empty_lists() {
    return Bytes().be32(-1).be32(0).be32(0).be32(0).be32(0);
}

std::vector<uint8_t> convert_track_entry(const Bytes& trak, const std::vector<File>& files,
                                         const char* type) {
    kit::Project p;
    p.add("FILE", "FILE", mac_file_entry(files));
    p.add(type, "T001", trak);
    Conversion c = convert(p);
    EXPECT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.diag, "");
    return c.status == 0 ? entry_data(c.out, 1) : std::vector<uint8_t>{};
}

} // namespace tracks
