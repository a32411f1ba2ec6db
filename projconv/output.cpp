#include "output.h"

#include <cstdint>
#include <sys/mman.h>

uint8_t* out_reserve(DriverState& st, size_t n) {
    if (!input_ok(st)) return nullptr;
    OutputWindow& w = *st.out;
    if (st.out_pos > w.size || n > w.size - st.out_pos) {
        if (!w.grow(w, st.out_pos + n)) {
            fail_input(st, st.in_pos,
                       "the output cannot grow to " + std::to_string(st.out_pos + n) + " bytes");
            return nullptr;
        }
    }
    return w.base + st.out_pos;
}

static bool grow_anonymous(OutputWindow& w, size_t need) {
    size_t size = w.size ? w.size : kInitialOutputWindow;
    while (size < need) {
        if (size > SIZE_MAX / 2) return false;
        size *= 2;
    }
    void* p = w.base
                  ? mremap(w.base, w.size, size, MREMAP_MAYMOVE)
                  : mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return false;
    w.base = static_cast<uint8_t*>(p);
    w.size = size;
    return true;
}

MemoryOutput::MemoryOutput() {
    window.grow = grow_anonymous;
}

MemoryOutput::~MemoryOutput() {
    if (window.base) munmap(window.base, window.size);
}
