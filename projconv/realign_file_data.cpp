// 'FDAT' entries: a counted list of file data records. The block after the first
// field keeps its 32-bit fields 4-aligned from the block's start, so they sit at
// offsets 4k + 2 of the record, and a zero pair opens at 0x18.

#include "layout.h"
#include "realigners.h"

namespace {

// clang-format off
constexpr Row kFileDataRows[] = {
    {0x00,  0x00, 2,     Kind::Field16},
    {0x02,  0x02, 8,     Kind::Bytes},
    {0x0A,  0x0A, 4,     Kind::Field32},
    {0x0E,  0x0E, 2 * 2, Kind::Field16},
    {0x12,  0x12, 4,     Kind::Field32},
    {0x16,  0x16, 2,     Kind::Field16},
    {kNone, 0x18, 2,     Kind::Zero},
    {0x18,  0x1A, 4,     Kind::Field32},
    {0x1C,  0x1E, 320,   Kind::Bytes}, // three arrays of 32, 32 and 256 bytes
};
// clang-format on
constexpr Layout kFileData{348, 350, kFileDataRows};
static_assert(layout_is_sound(kFileData));

RecordReader file_data_reader;

} // namespace

void realign_fdat_items(CurrentItem& item, DriverState& state) {
    convert_counted_list(item, state, file_data_reader, kFileData);
}
