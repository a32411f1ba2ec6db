// 'CLIP', 'CLPT', 'CLPM' and 'CLPA' entries: counted lists of clip records, all read
// through one clip reader.

#include "layout.h"
#include "output.h"
#include "realigners.h"

namespace {

// clang-format off
constexpr Row kClipRows[] = {
    {0x00,  0x00, 2 * 2, Kind::Field16},
    {0x04,  0x04, 4,     Kind::Field32},
    {0x08,  0x08, 48,    Kind::Bytes},
    {0x38,  0x38, 4,     Kind::Field32},
    {0x3C,  0x3C, 3 * 2, Kind::Field16},
    {0x42,  0x42, 8,     Kind::Bytes},
    {0x4A,  0x4A, 2 * 2, Kind::Field16},
    {0x4E,  0x4E, 14,    Kind::Bytes},
    {0x5C,  0x5C, 2,     Kind::Field16},
    {kNone, 0x5E, 2,     Kind::Zero},
};
// clang-format on
constexpr Layout kClip{94, 96, kClipRows};

// clang-format off
constexpr Row kClipTextRows[] = {
    {0x00, 0x00, 2,  Kind::Field16},
    {0x02, 0x02, 32, Kind::Bytes},
};
// clang-format on
constexpr Layout kClipText{34, 34, kClipTextRows};

// The head of a 'CLPM' record; the byte run of length L follows it.
// clang-format off
constexpr Row kClipMediaHeadRows[] = {
    {0x00, 0x00, 2, Kind::Field16},
    {0x02, 0x02, 4, Kind::Field32}, // L
};
// clang-format on
constexpr Layout kClipMediaHead{6, 6, kClipMediaHeadRows};
constexpr size_t kClipMediaLength = 0x02;

// clang-format off
constexpr Row kClipAttributeRows[] = {
    {0x00, 0x00, 2, Kind::Field16},
    {0x02, 0x02, 4, Kind::Field32},
};
// clang-format on
constexpr Layout kClipAttribute{6, 6, kClipAttributeRows};

static_assert(layout_is_sound(kClip));
static_assert(layout_is_sound(kClipText));
static_assert(layout_is_sound(kClipMediaHead));
static_assert(layout_is_sound(kClipAttribute));

RecordReader clip_reader;

} // namespace

void realign_clip_items(CurrentItem& item, DriverState& state) {
    convert_counted_list(item, state, clip_reader, kClip);
}

void realign_clpt_items(CurrentItem& item, DriverState& state) {
    convert_counted_list(item, state, clip_reader, kClipText);
}

void realign_clpm_items(CurrentItem& item, DriverState& state) {
    out_be16(state, uint16_t(item.prefix16));
    if (item.prefix16 <= 0) return;
    reader_reset(clip_reader, state, item);
    for (int i = 0; i < item.prefix16 && input_ok(state); ++i) {
        uint8_t head[kClipMediaHead.sgi_size];
        if (!convert_record(clip_reader, kClipMediaHead, head)) return;
        out_put(state, head, sizeof head);
        const int32_t length = int32_t(load_be32(head + kClipMediaLength));
        if (length > 0) reader_to_output(clip_reader, size_t(length));
    }
}

void realign_clpa_items(CurrentItem& item, DriverState& state) {
    convert_counted_list(item, state, clip_reader, kClipAttribute);
}
