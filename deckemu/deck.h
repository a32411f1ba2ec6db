// The deck: its conditions, its transport and tape, the faults a test has asked
// for, and the log of what it received. One mutex guards it all, so a test can
// read the truth while a server thread answers the line.
#pragma once
#include "frame.h"
#include "tape.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

namespace deckemu {

struct DeckConfig {
    int rate = 30;          // 30: 525 lines, 59.94 fields a second; 25: 625 lines, 50
    bool drop = false;      // drop-frame labels (30 only)
    int64_t startFrame = 0; // tape position when the deck starts
    bool local = false;     // remote control refused: commands are acknowledged, not obeyed
    bool noCassette = false;
    bool recordInhibit = false;
    int64_t replyLatencyNs = 0; // added before every reply
    int statusLagFrames = 0;    // play and record bits rise this many frames after motion starts
    double windSpeed = 40;      // fast forward and rewind, times play speed
    double cueSpeed = 50;       // cue-up, times play speed ...
    double cueMaxSeconds = 3;   // ... or faster, so that no cue takes longer than this
    int prerollSeconds = 5;     // preroll distance before the in-point
};

// One-shot faults apply to the next reply only; `mute` holds until cleared.
struct DeckFaults {
    Bytes garbageBeforeNext;
    bool badChecksumNext = false;
    bool loseNext = false;
    int64_t lateNextNs = 0;
    bool mute = false;
    bool closeLine = false;
};

// A frame received and what went back for it.
struct LogEntry {
    ReceivedFrame frame;
    Bytes reply;          // as written, faults included; empty when nothing was sent
    int64_t replyUst = 0; // when the reply went to the line; 0 until then
};

using StatusBytes = std::array<uint8_t, 16>;

struct Deck {
    explicit Deck(const DeckConfig& config);
    ~Deck();
    Deck(const Deck&) = delete;
    Deck& operator=(const Deck&) = delete;

    mutable std::mutex mu;
    DeckConfig cfg;
    DeckFaults faults;
    std::vector<Segment> tape; // motion history, oldest first
    bool threaded = true;      // standby: the tape is wrapped round the drum
    std::vector<LogEntry> log;
    // Edit presets, acknowledged and remembered; only the in-point is acted on (preroll).
    std::optional<int64_t> inPoint, outPoint;
    uint8_t editPreset = 0;
    bool autoMode = false, editOn = false;

    int wakeFd = -1; // eventfd: tells the server to look at stop and faults
    std::atomic<bool> stopRequested{false};
};

// Executes a complete command received on the line and returns the reply it earns
// (faults are applied by the server). The command acts in the field in which it arrived.
Bytes deck_answer(Deck& deck, const ReceivedFrame& frame);

// Truth for tests and the log.
int64_t deck_position(const Deck& deck, int64_t ust);
TapeState deck_state(const Deck& deck, int64_t ust);
StatusBytes deck_status(const Deck& deck, int64_t ust);
std::vector<LogEntry> deck_log(const Deck& deck);
void deck_clear_log(Deck& deck);

// Conditions that may change while the deck runs.
void deck_set_local(Deck& deck, bool on);
void deck_set_cassette(Deck& deck, bool present);
void deck_set_record_inhibit(Deck& deck, bool on);
void deck_set_reply_latency(Deck& deck, int64_t ns);
void deck_set_status_lag(Deck& deck, int frames);

// Faults, as seen on the line by whoever talks to the deck.
void deck_inject_garbage(Deck& deck, const Bytes& bytes);
void deck_inject_bad_checksum(Deck& deck);
void deck_inject_lost_reply(Deck& deck);
void deck_inject_late_reply(Deck& deck, int64_t ms);
void deck_set_mute(Deck& deck, bool on);
void deck_close_line(Deck& deck);

// Asks a server serving this deck to return.
void deck_request_stop(Deck& deck);

// Wakes the server so that it looks at the deck again.
void deck_wake(Deck& deck);

} // namespace deckemu
