// 'PREF' entries: one preferences record per id. A positive prefix says the record
// is there; the output prefix is the size of the SGI record.

#include "layout.h"
#include "output.h"
#include "realigners.h"

namespace {

// clang-format off
constexpr Row kCompressionRows[] = {
    {0x00,  0x00, 12,    Kind::Bytes},
    {0x0C,  0x0C, 2,     Kind::Field16},
    {0x0E,  0x0E, 8,     Kind::Bytes},
    {0x16,  0x16, 2 * 2, Kind::Field16},
    {0x1A,  0x1A, 3,     Kind::Bytes},
    {0x1D,  0x1D, 2,     Kind::Field16}, // at an odd offset in both layouts
    {0x1F,  0x1F, 2,     Kind::Bytes},
    {0x21,  0x21, 1,     Kind::Skipped},
    {0x22,  0x22, 2,     Kind::Field16},
    {0x24,  0x24, 3,     Kind::Bytes},
    {0x27,  0x27, 1,     Kind::Skipped},
    {0x28,  0x28, 2,     Kind::Field16},
    {0x2A,  0x2A, 8,     Kind::Bytes},
    {kNone, 0x32, 2,     Kind::Zero},
    {0x32,  0x34, 3 * 2, Kind::Field16},
    {0x38,  0x3A, 4,     Kind::Bytes},
    {kNone, 0x3E, 2,     Kind::Zero},
    {0x3C,  0x40, 4,     Kind::CompressorCode},
    {0x40,  0x44, 2,     Kind::Field16},
    {0x42,  0x46, 2,     Kind::Bytes},
    {0x44,  0x48, 5 * 2, Kind::Field16},
    {kNone, 0x52, 2,     Kind::Zero},
    {0x4E,  0x54, 4,     Kind::Field32},
    {0x52,  0x58, 2,     Kind::Field16},
    {kNone, 0x5A, 2,     Kind::Zero},
    {0x54,  0x5C, 2 * 4, Kind::Field32},
    {0x5C,  0x64, 5 * 2, Kind::Field16},
    {0x66,  0x6E, 20,    Kind::Bytes},
    {0x7A,  0x82, 3 * 2, Kind::Field16},
    {0x80,  0x88, 4,     Kind::Field32},
    {0x84,  0x8C, 2,     Kind::Field16},
    {kNone, 0x8E, 2,     Kind::Zero},
};
// clang-format on
constexpr Layout kCompression{134, 144, kCompressionRows};

// clang-format off
constexpr Row kCompressionQualityRows[] = {
    {0x00,  0x00, 2 * 4, Kind::Field32},
    {0x08,  0x08, 2,     Kind::Field16},
    {kNone, 0x0A, 2,     Kind::Zero},
    {0x0A,  0x0C, 4,     Kind::Field32},
    {0x0E,  0x10, 64,    Kind::Bytes},
    {0x4E,  0x50, 4 * 4, Kind::Field32},
    {0x5E,  0x60, 2,     Kind::Field16},
    {kNone, 0x62, 2,     Kind::Zero},
    {0x60,  0x64, 2 * 4, Kind::Field32},
};
// clang-format on
constexpr Layout kCompressionQuality{104, 108, kCompressionQualityRows};

// clang-format off
constexpr Row kProjectPrefsRows[] = {
    {0x00,  0x00, 3 * 2, Kind::Field16},
    {0x06,  0x06, 4,     Kind::Bytes},
    {kNone, 0x0A, 2,     Kind::Zero},
    {0x0A,  0x0C, 4,     Kind::CompressorCode},
    {0x0E,  0x10, 2,     Kind::Field16},
    {0x10,  0x12, 2,     Kind::Bytes},
    {0x12,  0x14, 5 * 2, Kind::Field16},
    {kNone, 0x1E, 2,     Kind::Zero},
    {0x1C,  0x20, 4,     Kind::Field32},
    {0x20,  0x24, 2,     Kind::Field16},
    {kNone, 0x26, 2,     Kind::Zero},
};
// clang-format on
constexpr Layout kProjectPrefs{34, 40, kProjectPrefsRows};

static_assert(layout_is_sound(kCompression));
static_assert(layout_is_sound(kCompressionQuality));
static_assert(layout_is_sound(kProjectPrefs));

constexpr size_t kLargestPrefs = 144;
static_assert(kCompression.sgi_size <= kLargestPrefs &&
              kCompressionQuality.sgi_size <= kLargestPrefs &&
              kProjectPrefs.sgi_size <= kLargestPrefs);

const Layout* prefs_layout(uint32_t id) {
    switch (id) {
    case fourcc("COMP"): return &kCompression;
    case fourcc("COMQ"): return &kCompressionQuality;
    case fourcc("PROJ"): return &kProjectPrefs;
    default: return nullptr;
    }
}

RecordReader prefs_reader;

} // namespace

// The record is read at its fixed Mac size whatever positive value the prefix holds.
void realign_pref_items(CurrentItem& item, DriverState& state) {
    if (item.prefix32 <= 0) {
        out_be32(state, uint32_t(item.prefix32));
        return;
    }
    reader_reset(prefs_reader, state, item);
    const Layout* layout = prefs_layout(item.id);
    if (!layout) return;
    uint8_t record[kLargestPrefs];
    if (!convert_record(prefs_reader, *layout, record)) return;
    item.prefix32 = layout->sgi_size;
    out_be32(state, uint32_t(item.prefix32));
    out_put(state, record, layout->sgi_size);
}
