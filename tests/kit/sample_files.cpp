// Sample entries of the file, clip, file data and preference kinds, with their SGI
// form spelled out from the layout tables. The 'FILE' entry is written from
// Sample::files, so it comes last: sections before it may have listed their files.

#include "effect_names.h"
#include "sample_project.h"

#include <cstring>

namespace kit {

namespace {

void both(Bytes& mac, Bytes& sgi, const Bytes& same) {
    mac.add(same);
    sgi.add(same);
}

// The second name as the SGI item carries it (converted without -c): an effect
// name becomes its row of the SGI effect names, any other name stays as it is.
std::string sgi_second_name(const std::string& name2) {
    for (int row = kFirstEffectRow; row <= kLastEffectRow; ++row)
        if (name2 == mac_effect_names[row]) return sgi_effect_names[row];
    return name2;
}

bool marked_type(std::string_view type) {
    return type == "QZFM" || type == "AFlt" || type == "SPFW" || type == "VFlt";
}

Bytes file_info(int16_t id) {
    return Bytes().be16(id).text("vol1").be32(0x00A00000 + id).be16(0x0100);
}

void add_files(Sample& s) {
    Bytes mac, sgi;
    mac.be16(int64_t(s.files.size()));
    sgi.be16(int64_t(s.files.size()));
    for (const SampleFile& f : s.files) {
        const std::string name2 = sgi_second_name(f.name2);
        mac.be16(f.id).add(file_info(f.id)).code(f.type).name(f.name1).name(f.name2);
        sgi.be16(f.id).fill(2).add(file_info(f.id)).code(f.type); // the 20-byte head
        sgi.name(f.name1).name(name2);
        if (marked_type(f.type))
            sgi.text("MAC1");
        else
            sgi.fill(4);
    }
    s.add("FILE", "FILE", mac, sgi);
}

// A 'CLIP' record: Mac 94 bytes, the same 94 bytes and a zero pair in the SGI form.
void clip_record(Bytes& mac, Bytes& sgi, int id) {
    Bytes same;
    same.be16(id).be16(0x0003);                              // 0x00 2 16-bit fields
    same.be32(0x00010000 + id);                              // 0x04
    same.text("Clip ").u8(unsigned('0' + id)).fill(42, ' '); // 0x08 48 bytes
    same.be32(1800 * id);                                    // 0x38
    same.be16(30).be16(0).be16(id);                          // 0x3C 3 16-bit fields
    same.pattern(8, 0x40);                                   // 0x42 bytes
    same.be16(640).be16(480);                                // 0x4A 2 16-bit fields
    same.pattern(14, 0x60);                                  // 0x4E bytes
    same.be16(0x7FFF);                                       // 0x5C
    both(mac, sgi, same);
    sgi.fill(2); // 0x5E zero
}

void add_clips(Sample& s) {
    {
        Bytes mac, sgi;
        mac.be16(2);
        sgi.be16(2);
        clip_record(mac, sgi, 1);
        clip_record(mac, sgi, 2);
        s.add("CLIP", "CLIP", mac, sgi);
    }
    {
        Bytes same;
        same.be16(1).be16(0x0011).text("Opening titles, take three").fill(6);
        s.add("CLPT", "CLPT", same, same);
    }
    {
        Bytes same;
        same.be16(3);
        same.be16(1).be32(5).text("notes");
        same.be16(2).be32(0);
        same.be16(3).be32(-1);
        s.add("CLPM", "CLPM", same, same);
    }
    {
        Bytes same;
        same.be16(2).be16(1).be32(0x00020001).be16(2).be32(-7);
        s.add("CLPA", "CLPA", same, same);
    }
}

// A file data record: the first field, then a block whose 32-bit fields move two
// bytes on behind a zero pair at 0x18.
void file_data_record(Bytes& mac, Bytes& sgi, int id) {
    Bytes head, tail;
    head.be16(id)              // 0x00
        .text("DV25PAL ")      // 0x02 8 bytes
        .be32(0x00100000 + id) // 0x0A
        .be16(720)
        .be16(576)              // 0x0E 2 16-bit fields
        .be32(25)               // 0x12
        .be16(0x0102);          // 0x16
    tail.be32(0x7FFF0000 + id); // Mac 0x18, SGI 0x1A
    tail.text("Camera A")
        .fill(24) // three arrays of 32, 32 and 256 bytes
        .text("Reel 7")
        .fill(26)
        .text("/media/reel7/capture.dv")
        .fill(256 - 23);
    mac.add(head).add(tail);
    sgi.add(head).fill(2).add(tail);
}

void add_file_data(Sample& s) {
    Bytes mac, sgi;
    mac.be16(2);
    sgi.be16(2);
    file_data_record(mac, sgi, 201);
    file_data_record(mac, sgi, 202);
    s.add("FDAT", "FDAT", mac, sgi);
}

void add_preferences(Sample& s) {
    {
        // 'COMP': Mac 134 bytes, SGI 144; skipped bytes at 0x21 and 0x27, the code
        // 'xyzw' is not a known compressor and becomes 'raw '.
        Bytes mac, sgi;
        mac.be32(134);
        sgi.be32(144);
        const Bytes a = Bytes().text("Compression ").be16(2).text("settings").be16(3).be16(4);
        both(mac, sgi, a);                                               // 0x00 .. 0x1A
        both(mac, sgi, Bytes().raw({1, 2, 3}).be16(0x0506).raw({7, 8})); // 0x1A .. 0x21
        mac.u8(0xEE);                                                    // 0x21 skipped
        sgi.u8(0);
        both(mac, sgi, Bytes().be16(0x0A0B).raw({0x0C, 0x0D, 0x0E})); // 0x22 .. 0x27
        mac.u8(0xEF);                                                 // 0x27 skipped
        sgi.u8(0);
        both(mac, sgi, Bytes().be16(0x1011).pattern(8, 0x12));        // 0x28 .. 0x32
        sgi.fill(2);                                                  // SGI 0x32 zero
        both(mac, sgi, Bytes().be16(1).be16(2).be16(3).text("qual")); // Mac 0x32 .. 0x3C
        sgi.fill(2);                                                  // SGI 0x3E zero
        mac.text("xyzw");                                             // compressor code
        sgi.text("raw ");
        both(mac, sgi, Bytes().be16(24).raw({0x20, 0x21})); // Mac 0x40 .. 0x44
        both(mac, sgi, Bytes().be16(1).be16(2).be16(3).be16(4).be16(5));
        sgi.fill(2);                                           // SGI 0x52 zero
        both(mac, sgi, Bytes().be32(0x01020304).be16(0x0506)); // Mac 0x4E .. 0x54
        sgi.fill(2);                                           // SGI 0x5A zero
        both(mac, sgi, Bytes().be32(-1).be32(1000));           // Mac 0x54 .. 0x5C
        both(mac, sgi, Bytes().be16(6).be16(7).be16(8).be16(9).be16(10));
        both(mac, sgi, Bytes().text("Export preset name  ")); // Mac 0x66, 20 bytes
        both(mac, sgi, Bytes().be16(11).be16(12).be16(13).be32(0x0E0F1011).be16(0x1213));
        sgi.fill(2); // SGI 0x8E zero
        s.add("PREF", "COMP", mac, sgi);
    }
    {
        // 'COMQ': Mac 104 bytes, SGI 108.
        Bytes mac, sgi;
        mac.be32(104);
        sgi.be32(108);
        both(mac, sgi, Bytes().be32(1).be32(2).be16(3)); // 0x00 .. 0x0A
        sgi.fill(2);                                     // SGI 0x0A zero
        both(mac, sgi, Bytes().be32(0x00400000));        // Mac 0x0A -> SGI 0x0C
        both(mac, sgi, Bytes().text("Quality table").fill(51));
        both(mac, sgi, Bytes().be32(10).be32(20).be32(30).be32(40).be16(75));
        sgi.fill(2); // SGI 0x62 zero
        both(mac, sgi, Bytes().be32(-2).be32(0x7FFFFFFF));
        s.add("PREF", "COMQ", mac, sgi);
    }
    {
        // 'PROJ': Mac 34 bytes, SGI 40; the code 'cvid' is kept.
        Bytes mac, sgi;
        mac.be32(34);
        sgi.be32(40);
        both(mac, sgi, Bytes().be16(1).be16(2).be16(3).text("NTSC")); // 0x00 .. 0x0A
        sgi.fill(2);                                                  // SGI 0x0A zero
        both(mac, sgi, Bytes().text("cvid"));                         // compressor code
        both(mac, sgi, Bytes().be16(30).raw({0x01, 0x02}));           // Mac 0x0E .. 0x12
        both(mac, sgi, Bytes().be16(720).be16(486).be16(4).be16(3).be16(1));
        sgi.fill(2); // SGI 0x1E zero
        both(mac, sgi, Bytes().be32(48000).be16(16));
        sgi.fill(2); // SGI 0x26 zero
        s.add("PREF", "PROJ", mac, sgi);
    }
}

} // namespace

void add_sample_file_entries(Sample& s) {
    // Media files; the second names miss the effect table, one by case only, and
    // one carries " & ". The plug-in files hit it in both SGI spellings.
    s.files.push_back({301, "MooV", "Media HD", "Interview 1.mov"});
    s.files.push_back({302, "MooV", "Media HD", "Cast & Crew.mov"});
    s.files.push_back({303, "AIFF", "Media HD", "Room Tone.aif"});
    s.files.push_back({304, "AFlt", "Plug-ins", "cross dissolve"});
    s.files.push_back({305, "VFlt", "Plug-ins", "Cross Dissolve"});
    s.files.push_back({306, "QZFM", "Plug-ins", "Gaussian Blur"});
    s.files.push_back({307, "SPFW", "Plug-ins", "Black & White [Mono]"});
    add_files(s);
    add_clips(s);
    add_file_data(s);
    add_preferences(s);
}

} // namespace kit
