// Sample entries of the simple kinds, with their SGI form spelled out field by field.

#include "sample_project.h"

namespace kit {

namespace {

// A long-form project record (Mac 40 bytes) and its SGI form (44 bytes).
void project_record(Bytes& mac, Bytes& sgi, int id, int nesting) {
    mac.be16(id).be16(0x8001).be16(nesting).be16(0x0010).be16(0x0020);
    mac.be32(0x00011000 + id).raw({0x01, 0x02}).be32(0x7F000000 + id);
    mac.be32(100).be32(200).be32(300).text("BinView1");
    sgi.be16(id).be16(0x8001).be16(nesting).be16(0x0010).be16(0x0020).fill(2);
    sgi.be32(0x00011000 + id).raw({0x01, 0x02}).be32(0x7F000000 + id).fill(2);
    sgi.be32(100).be32(200).be32(300).text("BinView1");
}

// A short-form project record (Mac 14 bytes) and its SGI form (44 bytes).
void short_record(Bytes& mac, Bytes& sgi, int id) {
    mac.be16(id).be16(0x0042).be16(7).be16(8).be16(9).be32(0x00022000 + id);
    sgi.be16(id).be16(0x8000).fill(6).fill(2).be32(0x00022000 + id).fill(28);
}

void both(Bytes& mac, Bytes& sgi, const Bytes& same) {
    mac.add(same);
    sgi.add(same);
}

} // namespace

void add_sample_simple_entries(Sample& s) {
    {
        // Two bins at the top; the first holds a sub-bin with two clips' records.
        Bytes mac, sgi;
        mac.be16(2);
        sgi.be16(2);
        project_record(mac, sgi, 1, 1);
        both(mac, sgi, Bytes().run(Bytes().text("Dailies")));
        both(mac, sgi, Bytes().run(Bytes().text("notes")));
        both(mac, sgi, Bytes().be16(2));
        short_record(mac, sgi, 11);
        both(mac, sgi, Bytes().run(Bytes().text("Take 1")));
        short_record(mac, sgi, 12);
        both(mac, sgi, Bytes().run(Bytes().text("Take 2")));
        project_record(mac, sgi, 2, 0);
        both(mac, sgi, Bytes().run(Bytes().text("Titles")));
        s.add("PROJ", "PROJ", mac, sgi);
    }
    {
        Bytes mac, sgi;
        mac.be16(2).be16(0x0101).text("Default ").be16(0x0202).text("Wide 16x");
        sgi.be16(2).be16(0x0101).fill(2).text("Default ").be16(0x0202).fill(2).text("Wide 16x");
        s.add("TEMP", "TMPL", mac, sgi);
    }
    {
        Bytes same;
        same.be16(6).text("locked");
        s.add("LOCK", "LOCK", same, same);
    }
    {
        Bytes same;
        same.be16(3).be16(0).be16(1800).be16(3600);
        s.add("TMAP", "TMAP", same, same);
    }
    s.add("LINK", "LNK1", Bytes().be32(-1), Bytes().be32(-1));
    {
        Bytes same;
        same.be32(12).text("linked media");
        s.add("LINK", "LNK2", same, same);
    }
    for (const char* id : {"PROJ", "VIEW"}) {
        Bytes same;
        same.be16(40).be16(60).be16(480).be16(640).raw({1, 0});
        s.add("WIND", id, same, same);
    }
}

} // namespace kit
