// House sync: the video reference the deck is locked to. Field n starts at
// UST n x nanoseconds-per-field, UST being CLOCK_MONOTONIC in nanoseconds.
#pragma once
#include <cstdint>

namespace deckemu {

// Current UST (CLOCK_MONOTONIC, nanoseconds).
int64_t now_ust();

// Fields per second as a fraction: 60000/1001 at 30 frames, 50/1 at 25.
int64_t fields_num(int rate);
int64_t fields_den(int rate);

// Field in which `ust` falls (floor of ust / ns-per-field).
int64_t field_at_ust(int rate, int64_t ust);

// First UST (whole nanoseconds) that belongs to field n.
int64_t field_start_ust(int rate, int64_t field);

} // namespace deckemu
