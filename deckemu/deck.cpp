#include "deck_internal.h"
#include "house_sync.h"
#include "timecode.h"

#include <algorithm>
#include <cmath>
#include <sys/eventfd.h>
#include <unistd.h>

namespace deckemu {

Deck::Deck(const DeckConfig& config) : cfg(config) {
    if (cfg.rate != 25) cfg.rate = 30;
    if (cfg.rate == 25) cfg.drop = false;
    int64_t field = field_at_ust(cfg.rate, now_ust());
    int64_t start = std::clamp<int64_t>(cfg.startFrame, 0, tape_end(*this));
    tape.push_back(make_segment(field, double(start), Motion::Stop, 0, false, start));
    threaded = !cfg.noCassette;
    wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

Deck::~Deck() {
    if (wakeFd >= 0) close(wakeFd);
}

int64_t tape_end(const Deck& deck) {
    return frames_per_day(deck.cfg.rate, deck.cfg.drop) - 1;
}

TapeState state_at_field(const Deck& deck, int64_t field) {
    return segment_state(segment_at(deck.tape, field), field);
}

namespace {
// History stays in field order: a command never acts before the one before it,
// and of two commands in one field the later one wins.
void push_segment(Deck& deck, Segment s) {
    if (deck.tape.back().startField == s.startField) deck.tape.pop_back();
    deck.tape.push_back(s);
}
} // namespace

void start_motion(Deck& deck, int64_t field, Motion motion, double speed, bool reverse) {
    field = std::max(field, deck.tape.back().startField);
    TapeState now = state_at_field(deck, field);
    if (now.motion == motion && now.reverse == reverse && std::fabs(now.speed - speed) < 1e-12 &&
        !now.cueComplete)
        return;
    double pos = segment_position(segment_at(deck.tape, field), field);
    bool moving = motion != Motion::Stop && motion != Motion::Still;
    if (!moving) pos = std::floor(pos + 1e-6); // a stopped tape rests on a frame
    int64_t limit = reverse ? 0 : tape_end(deck);
    if (!moving) limit = int64_t(pos);
    push_segment(deck, make_segment(field, pos, motion, speed, reverse, limit));
}

void start_cue(Deck& deck, int64_t field, int64_t target) {
    target = std::clamp<int64_t>(target, 0, tape_end(deck));
    field = std::max(field, deck.tape.back().startField);
    double pos = segment_position(segment_at(deck.tape, field), field);
    double distance = std::fabs(double(target) - pos);
    double fps = deck.cfg.rate == 25 ? 25.0 : 30000.0 / 1001;
    double speed = std::max(deck.cfg.cueSpeed, distance / (deck.cfg.cueMaxSeconds * fps));
    push_segment(deck, make_segment(field, pos, Motion::Cue, speed, double(target) < pos, target));
}

// ---- truth ----

int64_t deck_position(const Deck& deck, int64_t ust) {
    std::lock_guard lock(deck.mu);
    return state_at_field(deck, field_at_ust(deck.cfg.rate, ust)).position;
}

TapeState deck_state(const Deck& deck, int64_t ust) {
    std::lock_guard lock(deck.mu);
    return state_at_field(deck, field_at_ust(deck.cfg.rate, ust));
}

StatusBytes deck_status(const Deck& deck, int64_t ust) {
    std::lock_guard lock(deck.mu);
    return status_at_field(deck, field_at_ust(deck.cfg.rate, ust));
}

std::vector<LogEntry> deck_log(const Deck& deck) {
    std::lock_guard lock(deck.mu);
    return deck.log;
}

void deck_clear_log(Deck& deck) {
    std::lock_guard lock(deck.mu);
    deck.log.clear();
}

// ---- conditions ----

void deck_set_local(Deck& deck, bool on) {
    std::lock_guard lock(deck.mu);
    deck.cfg.local = on;
}

void deck_set_cassette(Deck& deck, bool present) {
    std::lock_guard lock(deck.mu);
    if (present == !deck.cfg.noCassette) return;
    deck.cfg.noCassette = !present;
    // A cassette comes in unthreaded; one taken out stops everything.
    start_motion(deck, field_at_ust(deck.cfg.rate, now_ust()), Motion::Stop);
    deck.threaded = false;
}

void deck_set_record_inhibit(Deck& deck, bool on) {
    std::lock_guard lock(deck.mu);
    deck.cfg.recordInhibit = on;
}

void deck_set_reply_latency(Deck& deck, int64_t ns) {
    std::lock_guard lock(deck.mu);
    deck.cfg.replyLatencyNs = std::max<int64_t>(ns, 0);
}

void deck_set_status_lag(Deck& deck, int frames) {
    std::lock_guard lock(deck.mu);
    deck.cfg.statusLagFrames = std::max(frames, 0);
}

// ---- faults ----

void deck_inject_garbage(Deck& deck, const Bytes& bytes) {
    std::lock_guard lock(deck.mu);
    deck.faults.garbageBeforeNext = bytes;
}

void deck_inject_bad_checksum(Deck& deck) {
    std::lock_guard lock(deck.mu);
    deck.faults.badChecksumNext = true;
}

void deck_inject_lost_reply(Deck& deck) {
    std::lock_guard lock(deck.mu);
    deck.faults.loseNext = true;
}

void deck_inject_late_reply(Deck& deck, int64_t ms) {
    std::lock_guard lock(deck.mu);
    deck.faults.lateNextNs = std::max<int64_t>(ms, 0) * 1'000'000;
}

void deck_set_mute(Deck& deck, bool on) {
    std::lock_guard lock(deck.mu);
    deck.faults.mute = on;
}

void deck_close_line(Deck& deck) {
    {
        std::lock_guard lock(deck.mu);
        deck.faults.closeLine = true;
    }
    deck_wake(deck);
}

void deck_request_stop(Deck& deck) {
    deck.stopRequested = true;
    deck_wake(deck);
}

void deck_wake(Deck& deck) {
    uint64_t one = 1;
    if (deck.wakeFd >= 0) (void)!write(deck.wakeFd, &one, sizeof one);
}

} // namespace deckemu
