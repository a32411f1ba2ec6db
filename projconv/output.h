// Appending converted bytes at the driver's output position.
#pragma once

#include "container.h"

#include <cstring>

// Room for n bytes at out_pos, sliding or growing the window when needed; null
// when the window cannot cover them (recorded as a fault).
uint8_t* out_reserve(DriverState& st, size_t n);

// Ends the output at out_pos, with the header and directory in place.
void out_finish(DriverState& st);

inline void out_put(DriverState& st, const void* src, size_t n) {
    if (uint8_t* p = out_reserve(st, n)) {
        std::memcpy(p, src, n);
        st.out_pos += n;
    }
}
inline void out_zero(DriverState& st, size_t n) {
    if (uint8_t* p = out_reserve(st, n)) {
        std::memset(p, 0, n);
        st.out_pos += n;
    }
}
inline void out_be16(DriverState& st, uint16_t v) {
    uint8_t b[2];
    store_be16(b, v);
    out_put(st, b, 2);
}
inline void out_be32(DriverState& st, uint32_t v) {
    uint8_t b[4];
    store_be32(b, v);
    out_put(st, b, 4);
}

// An output window that keeps the whole project in anonymous memory: starts at
// 0x20000 bytes, doubles on demand without copying (mremap), and reads as zero
// where nothing was written.
struct MemoryOutput {
    OutputWindow window;
    MemoryOutput();
    ~MemoryOutput();
    MemoryOutput(const MemoryOutput&) = delete;
    MemoryOutput& operator=(const MemoryOutput&) = delete;
};
constexpr size_t kInitialOutputWindow = 0x20000;

// Sizes an anonymous window to cover at least `need` bytes from its start.
bool grow_anonymous_window(OutputWindow& w, size_t need);
void release_anonymous_window(OutputWindow& w);
