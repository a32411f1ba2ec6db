// The host's effect list in its Mac spelling and its SGI spelling, row-parallel.
// Row 0 and the last row are markers; rows 1 to 132 are the effects, and an effect's
// row is its effect position, which the effect-settings conversion is keyed by.
#pragma once

#include <cstddef>

inline constexpr int kEffectNameRows = 134;
inline constexpr int kFirstEffectRow = 1;
inline constexpr int kLastEffectRow = 132;

// Row 0 "NOT FOUND", rows 1..132 in ascending byte order, row 133 "SENTINEL".
extern const char* const mac_effect_names[kEffectNameRows];
// Row 0 "NOT_FOUND", row p the SGI name of Mac row p, row 133 "SENTINEL".
extern const char* const sgi_effect_names[kEffectNameRows];

// The row (1..132) of mac_effect_names whose bytes equal the len bytes at name,
// compared case-sensitively and in full (a zero byte inside name is just another
// byte, so it never matches a shorter row); -1 when no effect row matches.
int find_effect_position_of_name(const char* name, std::size_t len);
