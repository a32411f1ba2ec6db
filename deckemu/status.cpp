// Status bytes as the deck reports them: bits true to the transport at one field.
// Bytes no controller here reads (3, 5, 6, 7 and the rest of 4) stay 0.
#include "deck_internal.h"

namespace deckemu {

namespace {
constexpr uint8_t bit(int n) {
    return uint8_t(1u << n);
}
} // namespace

StatusBytes status_at_field(const Deck& deck, int64_t field) {
    StatusBytes s{};
    const DeckConfig& c = deck.cfg;
    if (c.local) s[0] |= bit(0);
    if (c.noCassette) s[0] |= bit(5);
    if (c.recordInhibit) s[8] |= bit(0);
    if (c.noCassette) {
        s[1] |= bit(5); // stop
        return s;
    }
    if (deck.threaded) s[1] |= bit(7);

    TapeState t = state_at_field(deck, field);
    // Real decks raise play and record a few frames after the tape moves.
    bool lagged = field - t.sinceField < 2 * int64_t(c.statusLagFrames);
    switch (t.motion) {
    case Motion::Stop: s[1] |= bit(5); break;
    case Motion::Still: s[2] |= bit(1); break;
    case Motion::Play:
        if (!lagged) s[1] |= bit(0);
        break;
    case Motion::Record:
        if (!lagged) s[1] |= bit(0) | bit(1);
        break;
    case Motion::FastFwd: s[1] |= bit(2); break;
    case Motion::Rewind: s[1] |= bit(3); break;
    case Motion::Shuttle: s[2] |= bit(5); break;
    case Motion::Jog: s[2] |= bit(4); break;
    case Motion::Var: s[2] |= bit(3); break;
    case Motion::Cue: s[1] |= t.reverse ? bit(3) : bit(2); break; // winding to the target
    }
    bool variable =
        t.motion == Motion::Shuttle || t.motion == Motion::Jog || t.motion == Motion::Var;
    if (variable && t.reverse) s[2] |= bit(2);
    if (t.cueComplete) s[2] |= bit(0);
    if (t.cueing) s[4] |= bit(0);
    return s;
}

} // namespace deckemu
