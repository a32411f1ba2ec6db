// The record reader: walks one entry's Mac bytes in order. Every read is checked
// against the end of the input; a read that would pass it records a fault, and from
// then on every read fails and yields zeros, so loops driven by counts end quickly.
#pragma once

#include "container.h"

struct RecordReader {
    DriverState* st = nullptr;
    size_t data = 0; // input offset of the entry's first item
    size_t pos = 0;  // next unread byte, counted from data
};

inline void reader_reset(RecordReader& rd, DriverState& st, const CurrentItem& item) {
    rd.st = &st;
    rd.data = item.data;
    rd.pos = 0;
}

inline size_t reader_offset(const RecordReader& rd) {
    return rd.data + rd.pos;
}

// The n bytes at the reader's position, or null (and a fault) when the input ends
// first. The position advances past them either way only on success.
const uint8_t* reader_take(RecordReader& rd, size_t n);

inline bool reader_copy(RecordReader& rd, void* dst, size_t n) {
    const uint8_t* p = reader_take(rd, n);
    if (!p) return false;
    __builtin_memcpy(dst, p, n);
    return true;
}
inline bool reader_skip(RecordReader& rd, size_t n) {
    return reader_take(rd, n) != nullptr;
}

inline int16_t reader_be16(RecordReader& rd) {
    const uint8_t* p = reader_take(rd, 2);
    return p ? int16_t(load_be16(p)) : 0;
}
inline int32_t reader_be32(RecordReader& rd) {
    const uint8_t* p = reader_take(rd, 4);
    return p ? int32_t(load_be32(p)) : 0;
}

// Copies n bytes from the reader straight to the output.
void reader_to_output(RecordReader& rd, size_t n);

// A counted byte run: a signed 32-bit length L, then L bytes when L > 0.
void copy_counted_run(RecordReader& rd);

// The n bytes at the reader's position without moving it; null (and a fault) when
// the input ends first.
const uint8_t* reader_peek(RecordReader& rd, size_t n);
