// 'LOCK', 'TMAP' and 'LINK' entries (byte runs copied unchanged) and 'WIND'
// entries (one window record).

#include "layout.h"
#include "output.h"
#include "realigners.h"

namespace {

// clang-format off
constexpr Row kWindowRows[] = {
    {0x00, 0x00, 4 * 2, Kind::Field16},
    {0x08, 0x08, 2,     Kind::Bytes},
};
// clang-format on
constexpr Layout kWindow{10, 10, kWindowRows};
static_assert(layout_is_sound(kWindow));

RecordReader lock_reader, tmap_reader, link_reader, window_reader;

} // namespace

void realign_lock_items(CurrentItem& item, DriverState& state) {
    out_be16(state, uint16_t(item.prefix16));
    if (item.prefix16 <= 0) return;
    reader_reset(lock_reader, state, item);
    reader_to_output(lock_reader, size_t(item.prefix16));
}

void realign_tmap_items(CurrentItem& item, DriverState& state) {
    out_be16(state, uint16_t(item.prefix16));
    if (item.prefix16 <= 0) return;
    reader_reset(tmap_reader, state, item);
    reader_to_output(tmap_reader, 2 * size_t(item.prefix16));
}

void realign_link_items(CurrentItem& item, DriverState& state) {
    out_be32(state, uint32_t(item.prefix32));
    if (item.prefix32 <= 0) return; // -1 means no link data
    reader_reset(link_reader, state, item);
    reader_to_output(link_reader, size_t(item.prefix32));
}

// A window entry has no prefix of its own, so its one record is converted whenever
// the entry is present.
void realign_wind_items(CurrentItem& item, DriverState& state) {
    reader_reset(window_reader, state, item);
    append_record(window_reader, kWindow);
}
