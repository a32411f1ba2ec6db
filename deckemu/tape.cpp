#include "tape.h"

#include <algorithm>
#include <cmath>

namespace deckemu {

Segment make_segment(int64_t field, double pos, Motion motion, double speed, bool reverse,
                     int64_t limit) {
    Segment s;
    s.startField = field;
    s.startPos = pos;
    s.motion = motion;
    s.speed = speed;
    s.reverse = reverse;
    s.limit = limit;
    double distance = std::fabs(double(limit) - pos);
    bool moving = motion != Motion::Stop && motion != Motion::Still;
    if (moving && (distance < 1e-9 || speed > 0)) {
        // Half a frame per field at play speed.
        double fields = distance < 1e-9 ? 0 : std::ceil(distance * 2 / speed - 1e-9);
        s.endField = field + int64_t(fields);
    }
    return s;
}

double segment_position(const Segment& s, int64_t field) {
    if (field <= s.startField) return s.startPos;
    if (field >= s.endField) return double(s.limit);
    if (s.motion == Motion::Stop || s.motion == Motion::Still) return s.startPos;
    double moved = s.speed * double(field - s.startField) / 2;
    double pos = s.reverse ? s.startPos - moved : s.startPos + moved;
    // Never past the limit, whatever the rounding.
    return s.reverse ? std::max(pos, double(s.limit)) : std::min(pos, double(s.limit));
}

TapeState segment_state(const Segment& s, int64_t field) {
    TapeState t;
    t.motion = s.motion;
    t.reverse = s.reverse;
    t.speed = s.speed;
    t.sinceField = s.startField;
    double pos = segment_position(s, field);
    t.position = int64_t(std::floor(pos + 1e-6));
    if (s.motion == Motion::Cue) {
        t.cueing = field < s.endField;
        t.cueComplete = !t.cueing;
        if (t.cueComplete) {
            t.motion = Motion::Still;
            t.speed = 0;
            t.sinceField = s.endField;
        }
    } else if (field >= s.endField) {
        t.motion = Motion::Stop; // ran into the end of the tape
        t.speed = 0;
        t.sinceField = s.endField;
    }
    return t;
}

const Segment& segment_at(const std::vector<Segment>& history, int64_t field) {
    auto it = std::upper_bound(history.begin(), history.end(), field,
                               [](int64_t f, const Segment& s) { return f < s.startField; });
    if (it == history.begin()) return history.front();
    return *(it - 1);
}

double speed_from_data(uint8_t n, uint8_t fraction) {
    if (n == 0) return 0;
    double lo = std::pow(10.0, double(n) / 32 - 2);
    if (fraction == 0) return lo;
    double hi = std::pow(10.0, double(n + 1) / 32 - 2);
    return lo + (hi - lo) * fraction / 256;
}

} // namespace deckemu
