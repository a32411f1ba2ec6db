#include "convert_support.h"

#include "driver.h"
#include "output.h"

#include <cstdio>
#include <cstdlib>

Conversion convert(const std::vector<uint8_t>& in) {
    Conversion c;
    char* text = nullptr;
    size_t text_len = 0;
    FILE* diag = open_memstream(&text, &text_len);
    MemoryOutput out;
    size_t len = 0;
    c.status = convert_buffer(in, out, len, diag);
    std::fclose(diag);
    c.diag.assign(text, text_len);
    std::free(text);
    if (c.status == 0) c.out.assign(out.window.base, out.window.base + len);
    return c;
}

static uint32_t be32_at(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b.at(at)) << 24 | uint32_t(b.at(at + 1)) << 16 | uint32_t(b.at(at + 2)) << 8 |
           b.at(at + 3);
}

std::vector<uint8_t> entry_data(const std::vector<uint8_t>& sgi, size_t index) {
    size_t e = 0x14 + 32 * index;
    size_t offset = be32_at(sgi, e + 8), length = be32_at(sgi, e + 12);
    return {sgi.begin() + long(offset), sgi.begin() + long(offset + length)};
}

std::string hex(const std::vector<uint8_t>& bytes) {
    std::string s;
    char buf[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
        s += buf;
        s += (i % 16 == 15) ? '\n' : ' ';
    }
    return s;
}
