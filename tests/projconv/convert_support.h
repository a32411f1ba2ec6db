// Runs the converter on memory and hands back what it wrote and said.
#pragma once

#include "project_kit.h"

#include <string>
#include <vector>

struct Conversion {
    int status = 0;
    std::vector<uint8_t> out;
    std::string diag; // what the driver wrote to its message stream
};

Conversion convert(const std::vector<uint8_t>& in);
inline Conversion convert(const kit::Project& p) {
    return convert(p.build());
}

// The converted data of one entry, as the output directory describes it.
std::vector<uint8_t> entry_data(const std::vector<uint8_t>& sgi, size_t index);

// Hex dump for failure messages.
std::string hex(const std::vector<uint8_t>& bytes);
