// Helpers shared by the deck's sources; every one expects the deck's mutex held.
#pragma once
#include "deck.h"

namespace deckemu {

int64_t tape_end(const Deck& deck); // last frame of the tape
TapeState state_at_field(const Deck& deck, int64_t field);
StatusBytes status_at_field(const Deck& deck, int64_t field);

// Starts new motion at `field` from wherever the tape is then. Asking for the
// motion already running changes nothing, so its start (and status lag) stands.
void start_motion(Deck& deck, int64_t field, Motion motion, double speed = 0, bool reverse = false);
// Cue-up: winds to `target` and holds still there with cue-up complete.
void start_cue(Deck& deck, int64_t field, int64_t target);

} // namespace deckemu
