#include "sample_project.h"

namespace kit {

void Sample::add(std::string_view type, std::string_view id, Bytes mac, Bytes sgi) {
    project.add(type, id, std::move(mac));
    converted.push_back(std::move(sgi));
}

Sample sample_project() {
    Sample s;
    s.project.magic = {'M', 'A', 'C', '1'};
    s.project.header = {0x00, 0x03, 0x00, 0x01, 0x32, 0xA4, 0x11, 0x07};
    add_sample_simple_entries(s);
    add_sample_track_entries(s);
    add_sample_file_entries(s); // last: its 'FILE' entry lists every section's files
    return s;
}

} // namespace kit
