// convert_bench_project OUTFILE [MEGABYTES]: writes a large Mac project (about
// MEGABYTES, default 64) for the throughput benchmark: tracks with pair lists, effect
// lists whose settings reach converting and raw-copy layouts, tail lists; clips; and
// file data. Contents are deterministic.

#include "project_kit.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using kit::Bytes;

namespace {

// Effect files by their Mac effect names; the settings each one carries below match
// the layout of its effect position.
struct Effect {
    int16_t id;
    const char* name;
    int mac_len; // 0: raw copy of a varying length
};
constexpr Effect kEffects[] = {
    {201, "Blue Screen Key", 26},      // position 8
    {202, "Center Split", 808},        // 15
    {203, "Cross Stretch", 22},        // 28, widened
    {204, "Sharpen", 408},             // 98
    {205, "Tint & Tone [Sepia]", 10},  // 121, masked
    {206, "Wave", 56},                 // 126, cleared
    {207, "Light & Shadow [Rim]", -1}, // 69, variable
    {208, "Blur", 0},                  // raw copy
    {209, "Home Made Glow", 0},        // not an effect: raw copy
};

uint32_t rng = 12345;
uint32_t next() {
    rng = rng * 1664525u + 1013904223u;
    return rng >> 8;
}

Bytes file_entry() {
    Bytes b;
    b.be16(std::size(kEffects));
    for (const Effect& e : kEffects)
        b.be16(e.id).pattern(12, 0x10).code("VFlt").name("plugin").name(e.name);
    return b;
}

// One settings record (size word included) for the effect.
void settings(Bytes& b, const Effect& e) {
    if (e.mac_len > 0) {
        b.be32(e.mac_len).pattern(size_t(e.mac_len), uint8_t(next()));
    } else if (e.mac_len < 0) {
        b.be32(6 + 16 * 4 * 4).be16(4).be16(4).be16(1).pattern(16 * 4 * 4, uint8_t(next()));
    } else {
        const size_t n = 64 + next() % 1500;
        b.be32(int64_t(n)).pattern(n, uint8_t(next()));
    }
}

// An effect list of n settings records, each right behind the previous one.
void effect_list(Bytes& b, int n) {
    if (n == 0) {
        b.be32(0);
        return;
    }
    Bytes records;
    std::vector<const Effect*> chosen;
    for (int i = 0; i < n; ++i) chosen.push_back(&kEffects[next() % std::size(kEffects)]);
    const int table = 6 * (n + 1);
    b.be32(1000);
    for (const Effect* e : chosen) {
        b.be16(e->id).be32(table + int64_t(records.size()));
        settings(records, *e);
    }
    b.be16(0).be32(0);
    b.add(records);
}

void track(Bytes& b, int id) {
    const bool tail = id % 3 == 0;
    b.be16(id).be16(1).be32(0).be32(id).be32(next()).be32(-1).pattern(22, uint8_t(id));
    b.pattern(11, 0x40).u8(0).be16(1).be16(2).be16(3).pattern(6, 0x50);
    for (int i = 0; i < 8; ++i) b.be32(next());
    b.be32(tail ? 1 : 0).be16(4).be16(5).be16(6).pattern(6, 0x60);
    const int pairs = 20 + int(next() % 60);
    b.be32(0).be16(1).be16(pairs).raw({0, 0});
    for (int i = 0; i < pairs; ++i) b.be32(next()).be16(i);
    for (int k = 0; k < 4; ++k) effect_list(b, int(next() % 5));
    if (tail) {
        const int items = 1 + int(next() % 8);
        b.be32(0).pattern(8, 0x70).be16(items).pattern(42 * size_t(items), 0x11);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s OUTFILE [MEGABYTES]\n", argv[0]);
        return 2;
    }
    const size_t target = (argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 64) << 20;
    kit::Project p;
    p.add("FILE", "FILE", file_entry());
    size_t total = 0;
    for (int round = 0; total < target; ++round) {
        Bytes trak;
        trak.be16(1500);
        for (int t = 0; t < 1500; ++t) track(trak, t + 1);
        Bytes clips;
        clips.be16(20000);
        for (int c = 0; c < 20000; ++c)
            clips.be16(c)
                .be16(3)
                .be32(next())
                .pattern(48, 0x20)
                .be32(next())
                .be16(30)
                .be16(0)
                .be16(c)
                .pattern(8, 0x40)
                .be16(640)
                .be16(480)
                .pattern(14, 0x60)
                .be16(7);
        Bytes fdat;
        fdat.be16(8000);
        for (int f = 0; f < 8000; ++f)
            fdat.be16(f)
                .pattern(8, 1)
                .be32(next())
                .be16(1)
                .be16(2)
                .be32(next())
                .be16(3)
                .be32(next())
                .pattern(320, uint8_t(f));
        total += trak.size() + clips.size() + fdat.size();
        p.add("TRAK", "TRAK", std::move(trak));
        p.add("CLIP", "CLIP", std::move(clips));
        p.add("FDAT", "FDAT", std::move(fdat));
    }
    const std::vector<uint8_t> bytes = p.build();
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f)) {
        std::perror(argv[1]);
        return 1;
    }
    std::printf("wrote %s: %zu bytes, %zu entries\n", argv[1], bytes.size(), p.entries.size());
    return 0;
}
