// The tape model: motion as a list of segments, each starting on a field of
// house sync. The position is a pure function of the field, so the deck can say
// where the tape was or will be at any UST.
#pragma once
#include <cstdint>
#include <limits>
#include <vector>

namespace deckemu {

enum class Motion { Stop, Still, Play, Record, FastFwd, Rewind, Shuttle, Jog, Var, Cue };

struct Segment {
    int64_t startField = 0;
    double startPos = 0; // frames, fractional while moving slower or faster than play
    Motion motion = Motion::Stop;
    double speed = 0; // times play speed, never negative
    bool reverse = false;
    int64_t limit = 0; // where the motion ends: the cue target, or the tape end ahead
    int64_t endField = std::numeric_limits<int64_t>::max(); // first field at `limit`
};

// What the transport is doing at one field.
struct TapeState {
    Motion motion = Motion::Stop; // after a cue arrives: Still; after a tape end: Stop
    bool reverse = false;
    double speed = 0;
    bool cueing = false;      // a cue is under way
    bool cueComplete = false; // a cue has arrived and holds
    int64_t position = 0;     // frame count under the head
    int64_t sinceField = 0;   // field at which this motion started
};

// A segment that starts at `field` from `pos` and runs toward `limit` (the cue
// target, or the tape end in its direction) at `speed` times play speed.
Segment make_segment(int64_t field, double pos, Motion motion, double speed, bool reverse,
                     int64_t limit);

double segment_position(const Segment& s, int64_t field);
TapeState segment_state(const Segment& s, int64_t field);

// The segment in force at `field` (the first one for earlier fields).
const Segment& segment_at(const std::vector<Segment>& history, int64_t field);

// Speed byte of shuttle, jog and variable: 10^(N/32 - 2) times play speed, N = 0
// still; a second byte interpolates toward N + 1 in 256ths.
double speed_from_data(uint8_t n, uint8_t fraction = 0);

} // namespace deckemu
