// The deck's command table: which commands it knows, how many data bytes each
// takes, and what each does and answers.
#include "deck_internal.h"
#include "house_sync.h"
#include "timecode.h"

#include <algorithm>

namespace deckemu {

namespace {

struct Request {
    Deck& deck;
    const ReceivedFrame& frame;
    int64_t field; // the field in which the command arrived
};

using Handler = Bytes (*)(Request&);

struct Command {
    uint8_t group; // high nibble of CMD1
    uint8_t cmd2;
    uint8_t minData, maxData;
    bool transport; // refused (acknowledged, not obeyed) in local and without a cassette
    Handler handle;
};

// Remote transport commands thread the tape, like a deck leaving standby.
Bytes move(Request& r, Motion m, double speed = 0, bool reverse = false) {
    r.deck.threaded = true;
    start_motion(r.deck, r.field, m, speed, reverse);
    return ack_frame();
}

// Four BCD bytes, frames first, as a frame count; drop and colour flags masked.
std::optional<int64_t> time_data(const Deck& deck, const Bytes& d) {
    auto f = from_bcd(d[0] & 0x3F), s = from_bcd(d[1] & 0x7F), m = from_bcd(d[2] & 0x7F),
         h = from_bcd(d[3] & 0x3F);
    if (!f || !s || !m || !h) return std::nullopt;
    TcLabel tc{*h, *m, *s, *f};
    bool drop = deck.cfg.drop;
    // A label skipped by drop-frame means the first frame of its minute.
    if (drop && tc.seconds == 0 && tc.frames < 2 && tc.minutes % 10 != 0) tc.frames = 2;
    if (!label_valid(tc, deck.cfg.rate, drop)) return std::nullopt;
    return label_to_frames(tc, deck.cfg.rate, drop);
}

Bytes device_type(Request& r) {
    return make_frame(0x10, 0x11, {uint8_t(r.deck.cfg.rate == 25 ? 0x21 : 0x20), 0x25});
}

Bytes stop(Request& r) {
    return move(r, Motion::Stop);
}
Bytes play(Request& r) {
    return move(r, Motion::Play, 1);
}
Bytes record(Request& r) {
    if (r.deck.cfg.recordInhibit) return ack_frame(); // the cassette's tab wins
    return move(r, Motion::Record, 1);
}
Bytes fast_forward(Request& r) {
    return move(r, Motion::FastFwd, r.deck.cfg.windSpeed);
}
Bytes rewind(Request& r) {
    return move(r, Motion::Rewind, r.deck.cfg.windSpeed, true);
}

Bytes standby_off(Request& r) {
    start_motion(r.deck, r.field, Motion::Stop);
    r.deck.threaded = false;
    return ack_frame();
}

Bytes standby_on(Request& r) {
    r.deck.threaded = true;
    return ack_frame();
}

Bytes eject(Request& r) {
    start_motion(r.deck, r.field, Motion::Stop);
    r.deck.threaded = false;
    r.deck.cfg.noCassette = true;
    return ack_frame();
}

// Preroll: park the preroll time before the in-point; without an in-point there
// is nothing to go to.
Bytes preroll(Request& r) {
    if (r.deck.inPoint) {
        r.deck.threaded = true;
        int64_t start = *r.deck.inPoint - int64_t(r.deck.cfg.prerollSeconds) * r.deck.cfg.rate;
        start_cue(r.deck, r.field, std::max<int64_t>(start, 0));
    }
    return ack_frame();
}

Bytes edit_on(Request& r) {
    r.deck.editOn = true;
    return ack_frame();
}
Bytes edit_off(Request& r) {
    r.deck.editOn = false;
    return ack_frame();
}
Bytes auto_edit(Request&) {
    return ack_frame();
}

// Shuttle, jog and variable: CMD2 0x1x forward, 0x2x reverse; speed byte and an
// optional fraction byte.
Bytes variable(Request& r, Motion m) {
    const Bytes& d = r.frame.data;
    double speed = speed_from_data(d[0], d.size() > 1 ? d[1] : 0);
    if (speed == 0) return move(r, Motion::Still);
    return move(r, m, speed, (r.frame.cmd2 & 0xF0) == 0x20);
}
Bytes jog(Request& r) {
    return variable(r, Motion::Jog);
}
Bytes var(Request& r) {
    return variable(r, Motion::Var);
}
Bytes shuttle(Request& r) {
    return variable(r, Motion::Shuttle);
}

// Cue-up with data. A label the tape cannot carry is acknowledged and ignored:
// the deck stays where it is.
Bytes cue_up(Request& r) {
    if (auto target = time_data(r.deck, r.frame.data)) {
        r.deck.threaded = true;
        start_cue(r.deck, r.field, *target);
    }
    return ack_frame();
}

Bytes in_preset(Request& r) {
    if (auto t = time_data(r.deck, r.frame.data)) r.deck.inPoint = *t;
    return ack_frame();
}
Bytes out_preset(Request& r) {
    if (auto t = time_data(r.deck, r.frame.data)) r.deck.outPoint = *t;
    return ack_frame();
}
Bytes timecode_preset(Request&) {
    return ack_frame();
} // the generator is not modelled
Bytes edit_preset(Request& r) {
    r.deck.editPreset = r.frame.data[0];
    return ack_frame();
}
Bytes auto_on(Request& r) {
    r.deck.autoMode = true;
    return ack_frame();
}
Bytes auto_off(Request& r) {
    r.deck.autoMode = false;
    return ack_frame();
}

// 61 20 XY: Y status bytes from status byte X, in a 7Y 20 reply.
Bytes status_sense(Request& r) {
    uint8_t xy = r.frame.data[0];
    int start = xy >> 4, count = xy & 0x0F;
    StatusBytes all = status_at_field(r.deck, r.field);
    Bytes out;
    for (int i = 0; i < count; ++i) {
        int k = start + i;
        out.push_back(k < int(all.size()) ? all[size_t(k)] : 0);
    }
    return make_frame(0x70, 0x20, out);
}

// 61 0C: the time under the head in the field of the request, as four BCD bytes
// frames first, drop-frame flag in bit 6 of the frames byte.
Bytes time_sense(Request& r) {
    const Deck& d = r.deck;
    if (d.cfg.noCassette) return make_frame(0x70, 0x0D);
    TcLabel tc = frames_to_label(state_at_field(d, r.field).position, d.cfg.rate, d.cfg.drop);
    Bytes data{uint8_t(to_bcd(tc.frames) | (d.cfg.drop ? 0x40 : 0)), to_bcd(tc.seconds),
               to_bcd(tc.minutes), to_bcd(tc.hours)};
    uint8_t which = r.frame.data[0];
    if (which & 0x01 || which == 0) return make_frame(0x70, 0x04, data); // LTC, or the best
    if (which & 0x02) return make_frame(0x70, 0x06, data);               // VITC
    if (which & 0x04) return make_frame(0x70, 0x00, data);               // timer 1
    if (which & 0x10) return make_frame(0x70, 0x05, {0, 0, 0, 0});       // LTC user bits
    if (which & 0x20) return make_frame(0x70, 0x07, {0, 0, 0, 0});       // VITC user bits
    return make_frame(0x70, 0x0D);
}

constexpr Command kCommands[] = {
    {0x00, 0x11, 0, 0, false, device_type},
    {0x20, 0x00, 0, 0, true, stop},
    {0x20, 0x01, 0, 0, true, play},
    {0x20, 0x02, 0, 0, true, record},
    {0x20, 0x04, 0, 0, true, standby_off},
    {0x20, 0x05, 0, 0, true, standby_on},
    {0x20, 0x0F, 0, 0, true, eject},
    {0x20, 0x10, 0, 0, true, fast_forward},
    {0x20, 0x20, 0, 0, true, rewind},
    {0x20, 0x30, 0, 0, true, preroll},
    {0x20, 0x42, 0, 0, true, auto_edit},
    {0x20, 0x64, 0, 0, true, edit_off},
    {0x20, 0x65, 0, 0, true, edit_on},
    {0x20, 0x11, 1, 2, true, jog},
    {0x20, 0x21, 1, 2, true, jog},
    {0x20, 0x12, 1, 2, true, var},
    {0x20, 0x22, 1, 2, true, var},
    {0x20, 0x13, 1, 2, true, shuttle},
    {0x20, 0x23, 1, 2, true, shuttle},
    {0x20, 0x31, 4, 4, true, cue_up},
    {0x40, 0x04, 4, 4, false, timecode_preset},
    {0x40, 0x14, 4, 4, false, in_preset},
    {0x40, 0x15, 4, 4, false, out_preset},
    {0x40, 0x30, 1, 1, false, edit_preset},
    {0x40, 0x40, 0, 0, false, auto_off},
    {0x40, 0x41, 0, 0, false, auto_on},
    {0x60, 0x0C, 1, 1, false, time_sense},
    {0x60, 0x20, 1, 1, false, status_sense},
};

} // namespace

Bytes deck_answer(Deck& deck, const ReceivedFrame& frame) {
    if (!frame.checksumOk) return nack_frame(kNackChecksum);
    std::lock_guard lock(deck.mu);
    uint8_t group = frame.cmd1 & 0xF0;
    size_t count = frame.data.size();
    for (const Command& c : kCommands) {
        if (c.group != group || c.cmd2 != frame.cmd2) continue;
        if (count < c.minData || count > c.maxData) break;
        Request r{deck, frame, field_at_ust(deck.cfg.rate, frame.lastUst)};
        bool refused = deck.cfg.local || (deck.cfg.noCassette && c.handle != eject);
        if (c.transport && refused) return ack_frame();
        return c.handle(r);
    }
    return nack_frame(kNackUndefined);
}

} // namespace deckemu
