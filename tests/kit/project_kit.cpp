#include "project_kit.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <stdexcept>

namespace kit {

Bytes& Bytes::u8(unsigned b) {
    v.push_back(uint8_t(b));
    return *this;
}
Bytes& Bytes::be16(int64_t x) {
    return u8(unsigned(x >> 8)).u8(unsigned(x));
}
Bytes& Bytes::be32(int64_t x) {
    return be16(x >> 16).be16(x);
}
Bytes& Bytes::code(std::string_view four) {
    if (four.size() > 4) throw std::invalid_argument("a code has at most four characters");
    return text(four).fill(4 - four.size(), ' ');
}
Bytes& Bytes::text(std::string_view s) {
    v.insert(v.end(), s.begin(), s.end());
    return *this;
}
Bytes& Bytes::raw(std::initializer_list<int> bytes) {
    for (int b : bytes) u8(unsigned(b));
    return *this;
}
Bytes& Bytes::fill(size_t n, uint8_t b) {
    v.insert(v.end(), n, b);
    return *this;
}
Bytes& Bytes::pattern(size_t n, uint8_t first) {
    for (size_t i = 0; i < n; ++i) u8(unsigned(first + i));
    return *this;
}
Bytes& Bytes::add(const Bytes& other) {
    v.insert(v.end(), other.v.begin(), other.v.end());
    return *this;
}
Bytes& Bytes::run(const Bytes& body) {
    return be32(int64_t(body.size())).add(body);
}
Bytes& Bytes::name(std::string_view s) {
    return u8(unsigned(s.size())).text(s);
}

uint32_t code(std::string_view four) {
    Bytes b;
    b.code(four);
    return uint32_t(b.v[0]) << 24 | uint32_t(b.v[1]) << 16 | uint32_t(b.v[2]) << 8 | b.v[3];
}

static void put32(std::vector<uint8_t>& out, size_t at, uint32_t x) {
    out[at] = uint8_t(x >> 24);
    out[at + 1] = uint8_t(x >> 16);
    out[at + 2] = uint8_t(x >> 8);
    out[at + 3] = uint8_t(x);
}

static std::vector<uint8_t> header_and_directory(const std::array<uint8_t, 4>& magic,
                                                 const Project& p) {
    Bytes b;
    b.raw({magic[0], magic[1], magic[2], magic[3]});
    for (uint8_t x : p.header) b.u8(x);
    b.be32(p.dir_word).be32(p.entry_count.value_or(int32_t(p.entries.size())));
    for (const Entry& e : p.entries) {
        b.code(e.type).code(e.id).be32(0).be32(0);
        for (uint8_t x : e.tail) b.u8(x);
    }
    return b.v;
}

Entry& Project::add(std::string_view type, std::string_view id, Bytes data) {
    Entry e;
    e.type = type;
    e.id = id;
    e.data = std::move(data);
    entries.push_back(std::move(e));
    return entries.back();
}

std::vector<uint8_t> Project::build() const {
    std::vector<uint8_t> out = header_and_directory(magic, *this);
    out.resize(out.size() + gap, 0);
    std::vector<size_t> order = data_order;
    if (order.empty()) {
        order.resize(entries.size());
        std::iota(order.begin(), order.end(), 0);
    }
    for (size_t i : order) {
        const Entry& e = entries.at(i);
        size_t at = e.offset.value_or(out.size());
        if (out.size() < at + e.data.size()) out.resize(at + e.data.size(), 0);
        std::copy(e.data.v.begin(), e.data.v.end(), out.begin() + long(at));
        put32(out, 0x14 + 32 * i + 8, uint32_t(at));
        put32(out, 0x14 + 32 * i + 12, e.length.value_or(uint32_t(e.data.size())));
    }
    return out;
}

std::vector<uint8_t> sgi_container(const Project& in, const std::vector<Bytes>& converted) {
    const std::array<uint8_t, 4> magic{'U', 'x', 'V', 'd'};
    std::vector<uint8_t> out = header_and_directory(magic, in);
    if (in.entries.empty()) return out;
    const std::vector<uint8_t> mac = in.build();
    size_t at = size_t(mac[0x14 + 8]) << 24 | size_t(mac[0x14 + 9]) << 16 |
                size_t(mac[0x14 + 10]) << 8 | mac[0x14 + 11];
    out.resize(at, 0);
    for (size_t i = 0; i < in.entries.size(); ++i) {
        put32(out, 0x14 + 32 * i + 8, uint32_t(out.size()));
        put32(out, 0x14 + 32 * i + 12, uint32_t(converted.at(i).size()));
        out.insert(out.end(), converted[i].v.begin(), converted[i].v.end());
    }
    return out;
}

} // namespace kit
