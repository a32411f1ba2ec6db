// 'FILE' records in both layouts, built from their tables.
#pragma once

#include "entry_support.h"

#include <string>

struct MacFile {
    int16_t id;
    std::string type; // four characters
    std::string name1;
    std::string name2;
};

// The 12 file-info bytes of a file: distinct per id so misplaced bytes show.
inline kit::Bytes file_info(int16_t id) {
    return kit::Bytes().pattern(12, uint8_t(0x20 + 3 * id));
}

// Mac: id, 12 info bytes, type, L1 and the first name, L2 and the second name.
inline kit::Bytes mac_file(const MacFile& f) {
    kit::Bytes b;
    b.be16(f.id).add(file_info(f.id)).text(f.type).name(f.name1).name(f.name2);
    return b;
}

// SGI: id, a zero pair, info, type, L1 and the first name, M and the second name as
// written, then the marker.
inline kit::Bytes sgi_file(const MacFile& f, const std::string& name2_out, bool mac1) {
    kit::Bytes b;
    b.be16(f.id).fill(2).add(file_info(f.id)).text(f.type).name(f.name1).name(name2_out);
    if (mac1)
        b.text("MAC1");
    else
        b.fill(4);
    return b;
}

inline kit::Bytes file_entry(std::initializer_list<MacFile> files) {
    kit::Bytes b;
    b.be16(int64_t(files.size()));
    for (const MacFile& f : files) b.add(mac_file(f));
    return b;
}
