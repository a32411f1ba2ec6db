// Effect settings records: each effect applied on a track carries its settings in
// a layout of its own, chosen by the effect's position in the effect-name tables.
#pragma once

#include "layout.h"

#include <vector>

// The size word of a settings record: its length rounded up to a multiple of 8.
constexpr int64_t settings_size_word(int64_t length) {
    return length % 8 == 0 ? length : length - length % 8 + 8;
}

// The fixed layout of an effect position, or null for a position that is copied
// raw (every position without a layout, -1, and position 69, whose length varies).
const Layout* effect_layout(int32_t position);

// The position whose settings carry a header (a, b, c) and 16 * a * b data bytes.
constexpr int32_t kVariableEffectPosition = 69;

// Converts one settings record whose Mac size word `size` (> 0) has just been read:
// the effect of `file_id` chooses the layout. Appends the size word, the record and
// its zero padding to `buffer` at `offset` (growing it as needed), advances `offset`
// past them and sets `size` to the size word written. The Mac bytes come from `rd`,
// which ends up behind the bytes consumed.
void realign_effect_settings(int16_t file_id, int32_t& size, std::vector<uint8_t>& buffer,
                             int32_t& offset, RecordReader& rd, DriverState& state);
