// Record layouts as data. Each Mac -> SGI record is a constexpr table of rows in Mac
// order, written as its layout table reads: Mac offset, SGI offset, size, kind. One
// interpreter runs any table.
#pragma once

#include "record_reader.h"

#include <span>

enum class Kind : uint8_t {
    Field16,        // n 16-bit fields, copied as they stand (size 2n)
    Field32,        // n 32-bit fields, copied as they stand (size 4n)
    Bytes,          // single bytes or byte arrays, copied unchanged
    Zero,           // SGI bytes no Mac byte fills: 0
    Skipped,        // a Mac byte passed over; nothing copied
    Dropped,        // Mac bytes read whose value never reaches the output (SGI holds 0)
    Widened16,      // n signed 16-bit values, each stored sign-extended as 32 bits
    Masked16,       // bytes copied, then every 16-bit value in them ANDed with 0xFF00
    CompressorCode, // a 32-bit compressor code, kept when known, else 'raw '
};

constexpr uint16_t kNone = 0xFFFF; // the Mac or SGI offset of a row that has none

struct Row {
    uint16_t mac;
    uint16_t sgi;
    uint16_t size; // bytes read from the Mac record (bytes written for Zero rows)
    Kind kind;
};

struct Layout {
    uint16_t mac_size;
    uint16_t sgi_size;
    std::span<const Row> rows;
};

constexpr bool reads_mac(Kind k) {
    return k != Kind::Zero;
}
constexpr bool writes_sgi(Kind k) {
    return k != Kind::Zero && k != Kind::Skipped && k != Kind::Dropped;
}
constexpr uint16_t sgi_width(const Row& r) {
    return r.kind == Kind::Widened16 ? r.size * 2 : r.size;
}

// A table is sound when its Mac rows tile the Mac record in order without gaps and
// every SGI row lies inside the SGI record. Checked at compile time for every table.
constexpr bool layout_is_sound(const Layout& l) {
    uint32_t mac = 0;
    for (const Row& r : l.rows) {
        if (reads_mac(r.kind)) {
            if (r.mac != mac) return false;
            mac += r.size;
        } else if (r.mac != kNone) {
            return false;
        }
        if (r.kind == Kind::Widened16 && r.size % 2) return false;
        if (r.kind == Kind::Field16 && r.size % 2) return false;
        if (r.kind == Kind::Field32 && r.size % 4) return false;
        if (r.kind != Kind::Skipped && r.kind != Kind::Dropped && r.sgi + sgi_width(r) > l.sgi_size)
            return false;
    }
    return mac == l.mac_size;
}

// Reads one Mac record through the reader and writes its SGI form into sgi, which
// holds layout.sgi_size bytes. False (and nothing read) when the input ends first.
bool convert_record(RecordReader& rd, const Layout& layout, uint8_t* sgi);

// Converts one record and appends it at the output position.
void append_record(RecordReader& rd, const Layout& layout);

// The shape of most entries: the 16-bit prefix is the record count n, written
// unchanged; then n records of one layout (none when n <= 0).
void convert_counted_list(CurrentItem& item, DriverState& state, RecordReader& rd,
                          const Layout& layout);
