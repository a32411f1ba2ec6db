// The project kit: composes Mac-layout project files (and the SGI files the tables
// say they become) from short descriptions, for tests, examples and benchmarks.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <vector>

namespace kit {

// A byte string built field by field; every multi-byte value is big-endian.
struct Bytes {
    std::vector<uint8_t> v;

    Bytes& u8(unsigned b);
    Bytes& be16(int64_t x);             // low 16 bits
    Bytes& be32(int64_t x);             // low 32 bits
    Bytes& code(std::string_view four); // a four-character code, blank-padded
    Bytes& text(std::string_view s);    // the characters, no terminator
    Bytes& raw(std::initializer_list<int> bytes);
    Bytes& fill(size_t n, uint8_t b = 0);
    Bytes& pattern(size_t n, uint8_t first); // n bytes first, first+1, ...
    Bytes& add(const Bytes& other);
    Bytes& run(const Bytes& body);   // a counted run: 32-bit length, then the body
    Bytes& name(std::string_view s); // a length byte, then the characters

    size_t size() const { return v.size(); }
    bool operator==(const Bytes& o) const { return v == o.v; }
};

uint32_t code(std::string_view four);

struct Entry {
    std::string_view type;
    std::string_view id;
    Bytes data;                     // the entry's data, prefix included
    std::array<uint8_t, 16> tail{}; // the 16 bytes that follow offset and length
    std::optional<uint32_t> offset; // where the data goes; default: laid out in order
    std::optional<uint32_t> length; // default: the data's size
};

struct Project {
    std::array<uint8_t, 4> magic{'M', 'A', 'C', '1'};
    std::array<uint8_t, 8> header{1, 2, 3, 4, 5, 6, 7, 8};
    uint32_t dir_word = 0x00010002;
    std::vector<Entry> entries;
    std::optional<int32_t> entry_count; // written in place of the real count
    std::vector<size_t> data_order;     // order of the entry data in the file (default: directory)
    size_t gap = 0;                     // bytes between the directory and the first data

    Entry& add(std::string_view type, std::string_view id, Bytes data);
    std::vector<uint8_t> build() const;
};

// The SGI file the container rules make of `in` when entry i converts to
// converted[i]: magic "UxVd", the same header bytes, dir_word, count and entries,
// offsets and lengths describing the converted data laid out back to back in
// directory order from the input offset of entry 0.
std::vector<uint8_t> sgi_container(const Project& in, const std::vector<Bytes>& converted);

} // namespace kit
