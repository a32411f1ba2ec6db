// Builders for track entries: Mac records and the SGI bytes their layout tables give,
// and a conversion of one track entry inside a project with a 'FILE' entry.
#pragma once

#include "convert_support.h"

#include <string>
#include <vector>

namespace tracks {

using kit::Bytes;

// A file of the project's 'FILE' entry; its second name decides its effect position.
struct File {
    int16_t id;
    std::string name2;
};

// The Mac data of a 'FILE' entry listing the files.
Bytes mac_file_entry(const std::vector<File>& files);

// The n bytes of b from offset at.
Bytes part(const Bytes& b, size_t at, size_t n);

// A track record (Mac 114 bytes, SGI 116) whose 32-bit tail-list flag is `flag`;
// `seed` varies every other field. The Mac skipped byte is never 0.
Bytes mac_track(uint32_t flag, uint8_t seed = 0x10);
Bytes sgi_track(uint32_t flag, uint8_t seed = 0x10);

// Converts a project holding the files' 'FILE' entry and one entry of `type` with
// the data `trak` (prefix included); returns that entry's converted data and checks
// that the conversion succeeded quietly.
std::vector<uint8_t> convert_track_entry(const Bytes& trak, const std::vector<File>& files = {},
                                         const char* type = "TRAK");

// The part of a track that follows the record when nothing is there: an absent pair
// list and four empty effect lists (the same in both layouts).
Bytes empty_lists();

} // namespace tracks
