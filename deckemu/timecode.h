// The deck's own timecode arithmetic: labels HH:MM:SS:FF and frame counts at
// 25 or 30 labels a second, 30 optionally drop-frame, and their BCD form on the wire.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace deckemu {

struct TcLabel {
    int hours = 0, minutes = 0, seconds = 0, frames = 0;
    bool operator==(const TcLabel&) const = default;
};

// Frames in 24 hours of tape: 2160000 at 25, 2592000 at 30, 2589408 drop-frame.
int64_t frames_per_day(int rate, bool drop);

// True when the label names a frame that exists (drop-frame skips ;00 and ;01
// at the start of every minute not divisible by ten).
bool label_valid(const TcLabel& tc, int rate, bool drop);

// Frame count of a valid label.
int64_t label_to_frames(const TcLabel& tc, int rate, bool drop);

// Label of a frame count; counts outside one day wrap around it.
TcLabel frames_to_label(int64_t count, int rate, bool drop);

// "HH:MM:SS:FF" (';' or '.' also accepted before the frames); nullopt when malformed.
std::optional<TcLabel> parse_label(const std::string& text);

// "HH:MM:SS:FF", with ';' before the frames when drop-frame.
std::string format_label(const TcLabel& tc, bool drop);

uint8_t to_bcd(int value);
// Value of a BCD byte, nullopt when a nibble is above 9.
std::optional<int> from_bcd(uint8_t byte);

} // namespace deckemu
