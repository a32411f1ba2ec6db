#include "output.h"

#include <cstdint>
#include <sys/mman.h>

uint8_t* out_reserve(DriverState& st, size_t n) {
    if (!input_ok(st)) return nullptr;
    OutputWindow& w = *st.out;
    const size_t at = st.out_pos - w.start;
    if (st.out_pos < w.start || at > w.size || n > w.size - at) {
        if (!w.cover(w, st.out_pos, st.out_pos + n)) {
            fail_input(st, st.in_pos,
                       "the output cannot grow to " + std::to_string(st.out_pos + n) + " bytes");
            return nullptr;
        }
    }
    return w.base + (st.out_pos - w.start);
}

void out_finish(DriverState& st) {
    if (!input_ok(st)) return;
    if (!st.out->finish(*st.out, st.out_pos, st.head.data(), st.head.size()))
        fail_input(st, st.in_pos, "the output cannot be finished");
}

bool grow_anonymous_window(OutputWindow& w, size_t need) {
    if (need <= w.size) return true;
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

void release_anonymous_window(OutputWindow& w) {
    if (w.base) munmap(w.base, w.size);
    w.base = nullptr;
    w.size = 0;
}

static bool memory_cover(OutputWindow& w, size_t, size_t end) {
    return grow_anonymous_window(w, end);
}

static bool memory_finish(OutputWindow& w, size_t end, const uint8_t* head, size_t head_len) {
    if (!grow_anonymous_window(w, end > head_len ? end : head_len)) return false;
    std::memcpy(w.base, head, head_len);
    return true;
}

MemoryOutput::MemoryOutput() {
    window.cover = memory_cover;
    window.finish = memory_finish;
}

MemoryOutput::~MemoryOutput() {
    release_anonymous_window(window);
}
