#include "layout.h"

#include "output.h"

#include <cstring>

static bool known_compressor(uint32_t code) {
    switch (code) {
    case 0:
    case fourcc("raw "):
    case fourcc("IV32"):
    case fourcc("jpeg"):
    case fourcc("mjpa"):
    case fourcc("rpza"):
    case fourcc("rle "):
    case fourcc("cvid"): return true;
    default: return false;
    }
}

bool convert_record(RecordReader& rd, const Layout& layout, uint8_t* sgi) {
    const uint8_t* mac = reader_take(rd, layout.mac_size);
    if (!mac) return false;
    std::memset(sgi, 0, layout.sgi_size);
    for (const Row& r : layout.rows) {
        switch (r.kind) {
        case Kind::Field16:
        case Kind::Field32:
        case Kind::Bytes: std::memcpy(sgi + r.sgi, mac + r.mac, r.size); break;
        case Kind::Zero:
        case Kind::Skipped:
        case Kind::Dropped: break;
        case Kind::Widened16:
            for (uint16_t i = 0; i < r.size; i += 2) {
                int32_t v = int16_t(load_be16(mac + r.mac + i));
                store_be32(sgi + r.sgi + 2 * i, uint32_t(v));
            }
            break;
        case Kind::Masked16:
            std::memcpy(sgi + r.sgi, mac + r.mac, r.size);
            for (uint16_t i = 1; i < r.size; i += 2) sgi[r.sgi + i] = 0;
            break;
        case Kind::CompressorCode: {
            uint32_t code = load_be32(mac + r.mac);
            store_be32(sgi + r.sgi, known_compressor(code) ? code : fourcc("raw "));
            break;
        }
        }
    }
    return true;
}

void append_record(RecordReader& rd, const Layout& layout) {
    DriverState& st = *rd.st;
    uint8_t* dst = out_reserve(st, layout.sgi_size);
    if (!dst || !convert_record(rd, layout, dst)) return;
    st.out_pos += layout.sgi_size;
}

void convert_counted_list(CurrentItem& item, DriverState& state, RecordReader& rd,
                          const Layout& layout) {
    out_be16(state, uint16_t(item.prefix16));
    if (item.prefix16 <= 0) return;
    reader_reset(rd, state, item);
    for (int i = 0; i < item.prefix16 && input_ok(state); ++i) append_record(rd, layout);
}
