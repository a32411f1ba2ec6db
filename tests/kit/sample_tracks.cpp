// Sample track entries: tracks with pair lists, effect lists whose settings records
// reach converting and raw-copy effect positions, and tail lists, with their SGI form
// spelled out from the layout tables. The effect files they use join Sample::files.

#include "sample_project.h"

namespace kit {

namespace {

// Effect files the tracks refer to, by the effect names of the Mac table.
constexpr int16_t kBlueScreen = 101;   // "Blue Screen Key", position 8
constexpr int16_t kCrossStretch = 102; // position 28, widened
constexpr int16_t kTintTone = 103;     // "Tint & Tone [Sepia]", position 121, masked
constexpr int16_t kBlur = 104;         // position 9, raw copy
constexpr int16_t kLightShadow = 105;  // "Light & Shadow [Rim]", position 69, variable
constexpr int16_t kPagePeel = 106;     // position 79, cleared
constexpr int16_t kCenterSplit = 107;  // position 15, realigned
constexpr int16_t kReplicate = 108;    // position 93
constexpr int16_t kHomeMade = 109;     // not an effect name: position -1, raw copy

void add_effect_files(Sample& s) {
    s.files.push_back({kBlueScreen, "VFlt", "BlueScreen", "Blue Screen Key"});
    s.files.push_back({kCrossStretch, "VFlt", "CrossStretch", "Cross Stretch"});
    s.files.push_back({kTintTone, "VFlt", "TintTone", "Tint & Tone [Sepia]"});
    s.files.push_back({kBlur, "VFlt", "Blur", "Blur"});
    s.files.push_back({kLightShadow, "VFlt", "LightShadow", "Light & Shadow [Rim]"});
    s.files.push_back({kPagePeel, "VFlt", "PagePeel", "Page Peel"});
    s.files.push_back({kCenterSplit, "VFlt", "CenterSplit", "Center Split"});
    s.files.push_back({kReplicate, "VFlt", "Replicate", "Replicate"});
    s.files.push_back({kHomeMade, "AFlt", "Home Made", "Home Made Echo"});
}

void both(Bytes& mac, Bytes& sgi, const Bytes& same) {
    mac.add(same);
    sgi.add(same);
}

// A track record: Mac 114 bytes, SGI 116; `flag` is the tail-list flag.
void track_record(Bytes& mac, Bytes& sgi, int id, uint32_t flag) {
    Bytes head;
    head.be16(id).be16(0x0002);                                 // 0x00 two 16-bit fields
    head.be32(0).be32(90000 * id).be32(0x00010000).be32(-1);    // 0x04 four 32-bit fields
    head.raw({1, 0, 1, 0, 0, 1}).text("Video track ").be32(id); // 0x14 22 bytes
    both(mac, sgi, head);
    sgi.fill(2);                                                                    // SGI 0x2A zero
    both(mac, sgi, Bytes().u8(3).text("V").u8('0' + id).fill(4).raw({1, 1, 0, 0})); // 11 bytes
    mac.u8(0x7E); // Mac 0x35 skipped
    sgi.fill(1);  // SGI 0x37 zero
    Bytes tail;
    tail.be16(48).be16(-1).be16(id * 10);                  // three 16-bit fields
    tail.raw({0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5});        // 6 bytes
    for (int i = 0; i < 8; ++i) tail.be32(0x100 * id + i); // nine 32-bit fields,
    tail.be32(flag);                                       // the last the flag
    tail.be16(1).be16(2).be16(3).text("trk ").be16(id);    // 3 x 16-bit, 6 bytes
    both(mac, sgi, tail);
}

// A pair list with `n` items.
void pair_list(Bytes& mac, Bytes& sgi, int n) {
    mac.be32(0x00000001).be16(0x0010).be16(n).raw({0xAB, 0xCD});
    sgi.be32(8 * n + 8).be16(0x0010).be16(n).raw({0xAB, 0xCD}).fill(2);
    for (int i = 0; i < n; ++i) {
        mac.be32(1800 * (i + 1)).be16(i);
        sgi.be32(1800 * (i + 1)).be16(i).fill(2);
    }
}

// One entry of an SGI effect list table.
void sgi_entry(Bytes& sgi, int16_t file_id, int32_t offset) {
    sgi.be16(file_id).fill(2).be32(offset);
}

void track_one(Bytes& mac, Bytes& sgi) {
    track_record(mac, sgi, 1, 1);
    pair_list(mac, sgi, 2);

    // List 1: Cross Stretch (widened), Tint & Tone (masked), Blur (raw, 13 bytes),
    // then a file id 0 that ends the table.
    {
        mac.be32(120);
        mac.be16(kCrossStretch).be32(24).be16(kTintTone).be32(50).be16(kBlur).be32(64);
        mac.be16(0).be32(0);
        mac.be32(22).be16(-1).be16(0x7FFF).be16(-32768).be16(1).be16(-2).be16(100);
        mac.be16(200).be16(300).be16(-400).be16(500).be16(-600);
        mac.be32(10).be32(0x00C800FA).raw({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC});
        mac.be32(13).text("warm, soft 13");

        sgi.be32(32 + 52 + 20 + 20);
        sgi_entry(sgi, kCrossStretch, 32);
        sgi_entry(sgi, kTintTone, 32 + 52);
        sgi_entry(sgi, kBlur, 32 + 52 + 20);
        sgi_entry(sgi, 0, 0);
        sgi.be32(48).be32(-1).be32(0x7FFF).be32(-32768).be32(1).be32(-2).be32(100);
        sgi.be32(200).be32(300).be32(-400).be32(500).be32(-600).fill(4);
        sgi.be32(16).be32(0x00C800FA).raw({0x12, 0x00, 0x56, 0x00, 0x9A, 0x00}).fill(2).fill(4);
        sgi.be32(16).text("warm, soft 13").fill(3);
    }
    // List 2: size 4, so the first offset is 16-bit; Light & Shadow with a = 1, b = 2.
    {
        Bytes data;
        data.pattern(32, 0x20);
        mac.be32(4).be16(kLightShadow).be16(10).be16(0).be32(0);
        mac.be32(38).be16(1).be16(2).be16(0x0F0F).add(data);
        sgi.be32(16 + 4 + 40);
        sgi_entry(sgi, kLightShadow, 16);
        sgi_entry(sgi, 0, 0);
        sgi.be32(40).be16(1).be16(2).be16(0x0F0F).add(data).fill(2);
    }
    // List 3: empty.
    both(mac, sgi, Bytes().be32(0));
    // List 4: a settings size of 0, an offset of 0 kept, and offset 1 ending the table.
    {
        mac.be32(24).be16(kBlur).be32(18).be16(kPagePeel).be32(0).be16(kBlur).be32(1);
        mac.be32(0);
        sgi.be32(24 + 4);
        sgi_entry(sgi, kBlur, 24);
        sgi_entry(sgi, kPagePeel, 0);
        sgi_entry(sgi, kBlur, 1);
        sgi.be32(0);
    }
    // Tail list with one item.
    mac.be32(0x00000000);
    sgi.be32(42 + 10);
    both(mac, sgi, Bytes().text("TAIL01").raw({0, 1}).be16(1));
    both(mac, sgi, Bytes().pattern(4, 1).pattern(4, 5).be16(7).be16(8).raw({9, 10}));
    both(mac, sgi, Bytes().pattern(12, 0x30).pattern(16, 0x40));
}

void track_two(Bytes& mac, Bytes& sgi) {
    track_record(mac, sgi, 2, 0);
    both(mac, sgi, Bytes().be32(-1)); // no pair list

    // List 1: Blue Screen Key, Center Split, Page Peel and a home-made effect, with a
    // misplaced entry between them.
    {
        // The Mac record is the byte pattern 01 02 03 ...: its run from offset `at`
        // is the pattern starting at 1 + at.
        Bytes center;
        center.pattern(808, 0x01);
        Bytes center_sgi;
        auto part = [&](size_t at, size_t n) { center_sgi.pattern(n, uint8_t(1 + at)); };
        part(0, 2);
        part(2, 1);
        center_sgi.fill(1); // zero at 3; Mac 3 skipped
        part(4, 2);
        part(6, 17);
        part(0x18, 256); // Mac 0x17 skipped; the run moves one byte down
        center_sgi.fill(1);
        part(0x118, 2);
        part(0x11A, 1);
        center_sgi.fill(1); // Mac 0x11B skipped
        part(0x11C, 2);
        part(0x11E, 520);
        part(0x326, 2);

        const int table = 6 * 6;
        mac.be32(900);
        mac.be16(kBlueScreen).be32(table);
        mac.be16(kCenterSplit).be32(table + 30);
        mac.be16(kPagePeel).be32(7777); // misplaced: zeroed, nothing read
        mac.be16(kPagePeel).be32(table + 30 + 812);
        mac.be16(kHomeMade).be32(table + 30 + 812 + 10);
        mac.be16(0).be32(0);
        mac.be32(26).be16(1).be16(2).be16(3).be16(4).be16(5).be16(6).be16(7).be16(8);
        mac.be16(9).be16(10).text("keyed!");
        mac.be32(808).add(center);
        mac.be32(6).be16(0x0042).be32(0xDEADBEEF);
        mac.be32(5).text("echo!");

        const int sgi_table = 8 * 6;
        sgi.be32(sgi_table + 36 + 812 + 12 + 12);
        sgi_entry(sgi, kBlueScreen, sgi_table);
        sgi_entry(sgi, kCenterSplit, sgi_table + 36);
        sgi_entry(sgi, kPagePeel, 0);
        sgi_entry(sgi, kPagePeel, sgi_table + 36 + 812);
        sgi_entry(sgi, kHomeMade, sgi_table + 36 + 812 + 12);
        sgi_entry(sgi, 0, 0);
        sgi.be32(32).be16(1).be16(2).be16(3).be16(4).be16(5).be16(6).be16(7).be16(8);
        sgi.be16(9).be16(10).text("keyed!").fill(6);
        sgi.be32(808).add(center_sgi);
        sgi.be32(8).be16(0x0042).fill(2).be32(0);
        sgi.be32(8).text("echo!").fill(3);
    }
    both(mac, sgi, Bytes().be32(-3));
    both(mac, sgi, Bytes().be32(0));
    both(mac, sgi, Bytes().be32(0));
}

// A track with only Replicate, whose record loses its pad byte.
void track_three(Bytes& mac, Bytes& sgi, int id) {
    track_record(mac, sgi, id, 0xFFFFFFFF);
    pair_list(mac, sgi, 0);
    mac.be32(8).be16(kReplicate).be32(12).be16(0).be32(0).be32(2).raw({0x44, 0x99});
    sgi.be32(16 + 12);
    sgi_entry(sgi, kReplicate, 16);
    sgi_entry(sgi, 0, 0);
    sgi.be32(8).u8(0x44).fill(7);
    both(mac, sgi, Bytes().be32(0).be32(0).be32(0));
    both(mac, sgi, Bytes().be32(-1)); // tail list absent
}

} // namespace

void add_sample_track_entries(Sample& s) {
    add_effect_files(s);
    {
        Bytes mac, sgi;
        mac.be16(2);
        sgi.be16(2);
        track_one(mac, sgi);
        track_two(mac, sgi);
        s.add("TRAK", "TRAK", mac, sgi);
    }
    {
        Bytes mac, sgi;
        mac.be16(1);
        sgi.be16(1);
        track_three(mac, sgi, 3);
        s.add("TRKa", "TRKa", mac, sgi);
    }
    {
        Bytes mac, sgi;
        mac.be16(2);
        sgi.be16(2);
        track_three(mac, sgi, 4);
        track_three(mac, sgi, 5);
        s.add("TRKs", "TRKs", mac, sgi);
    }
}

} // namespace kit
