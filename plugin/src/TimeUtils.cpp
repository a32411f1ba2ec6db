// Packed BCD location word to timecode.
#include "TimeUtils.h"

namespace {

// Units in the low nibble; only the tens bits a valid value needs are read, so
// the flag bits that share a byte (drop-frame, colour-frame) fall away.
int16_t BcdField(uint32_t word, int shift, uint32_t tensMask) {
    uint32_t byte = (word >> shift) & 0xFF;
    return static_cast<int16_t>((byte & 0x0F) + 10 * ((byte & tensMask) >> 4));
}

} // namespace

extern "C" void SmpteToSmpteTime(uint32_t word, SmpteTime* out) {
    out->hours = BcdField(word, 24, 0x30);
    out->minutes = BcdField(word, 16, 0x70);
    out->seconds = BcdField(word, 8, 0x70);
    out->frames = BcdField(word, 0, 0x30);
}
