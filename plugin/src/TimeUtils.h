// Timecode values and the conversions between frame counts, timecodes, packed
// BCD location words and the 11-character text form.
#pragma once

#include <cstdint>

// Everything the plug-in offers by name is marked; the rest stays hidden.
#ifndef TW_EXPORT
#define TW_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Plain integers, not BCD. Nothing is range-checked: hours run past 24 and a
// negative frame count gives negative fields.
struct SmpteTime {
    int16_t hours;
    int16_t minutes;
    int16_t seconds;
    int16_t frames;
};

// Frame count (taken as unsigned) to timecode. With dropFlag 0 and rate 0 the
// destination is left unchanged.
TW_EXPORT void FRAMESTOSMPTETIME(uint32_t count, int16_t rate, int16_t dropFlag, SmpteTime* out);

// Timecode to frame count; minutes are split with unsigned division.
TW_EXPORT uint32_t SMPTETIMETOFRAMES(const SmpteTime* time, int16_t rate, int16_t dropFlag);

// Writes two digits for each field at positions 0-1, 3-4, 6-7 and 9-10; the
// separators at 2, 5 and 8 and anything past 10 are left as they are.
TW_EXPORT void SmpteTimeToStr(const SmpteTime* time, char* text);

// Reads the same eleven positions back; the separators may be anything.
TW_EXPORT void StrToSmpteTime(const char* text, SmpteTime* out);

// Packed BCD location word (hours in the top byte, frames in the bottom one;
// flag bits ignored) to timecode.
TW_EXPORT void SmpteToSmpteTime(uint32_t word, SmpteTime* out);

} // extern "C"
