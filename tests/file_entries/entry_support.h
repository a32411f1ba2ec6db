// Shared by the file, clip, file data and preference suites: one-entry conversions
// and the -c switch, set for a scope and always put back.
#pragma once

#include "container.h"
#include "convert_support.h"

#include <gtest/gtest.h>

// The converted data of the first entry of a project that converts cleanly.
inline std::vector<uint8_t> converted_entry(const kit::Project& p, size_t index = 0) {
    Conversion c = convert(p);
    EXPECT_EQ(c.status, 0) << c.diag;
    EXPECT_EQ(c.diag, "");
    return c.status == 0 ? entry_data(c.out, index) : std::vector<uint8_t>{};
}

inline std::vector<uint8_t> convert_one(const char* type, const char* id, const kit::Bytes& data) {
    kit::Project p;
    p.add(type, id, data);
    return converted_entry(p);
}

// Bytes [from, to) of b.
inline kit::Bytes slice(const kit::Bytes& b, size_t from, size_t to) {
    kit::Bytes s;
    s.v.assign(b.v.begin() + long(from), b.v.begin() + long(to));
    return s;
}

struct ConvertFileNames {
    ConvertFileNames() { convert_mac_filenames = 1; }
    ~ConvertFileNames() { convert_mac_filenames = 0; }
    ConvertFileNames(const ConvertFileNames&) = delete;
    ConvertFileNames& operator=(const ConvertFileNames&) = delete;
};
