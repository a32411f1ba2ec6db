#include "server.h"
#include "house_sync.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace deckemu {

namespace {

void drain_wake(const Deck& deck) {
    uint64_t count;
    while (read(deck.wakeFd, &count, sizeof count) > 0) {
    }
}

void log_bytes(FILE* out, int rate, int64_t ust, const char* arrow, const Bytes& bytes,
               const char* note = "") {
    if (!out) return;
    std::fprintf(out, "%10lld.%06lld field %lld %s", (long long)(ust / 1'000'000'000),
                 (long long)(ust % 1'000'000'000 / 1000), (long long)field_at_ust(rate, ust),
                 arrow);
    for (uint8_t b : bytes) std::fprintf(out, " %02X", b);
    std::fprintf(out, "%s\n", note);
    std::fflush(out);
}

// Waits until `ust`, or returns false early when the deck is told to stop.
bool wait_until(Deck& deck, int64_t ust) {
    for (;;) {
        if (deck.stopRequested) return false;
        int64_t left = ust - now_ust();
        if (left <= 0) return true;
        if (left > 2'000'000) {
            pollfd p{deck.wakeFd, POLLIN, 0};
            if (poll(&p, 1, int(left / 1'000'000) - 1) > 0) drain_wake(deck);
            continue;
        }
        timespec ts{time_t(ust / 1'000'000'000), long(ust % 1'000'000'000)};
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
    }
}

bool write_all(int fd, const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            if (poll(&p, 1, 100) == 0) return false; // nobody drains the line
        } else {
            return false;
        }
    }
    return true;
}

// Clients of a pseudo-terminal, counted from its open and close events.
struct Clients {
    int watchFd = -1;
    int heldFd = -1;
    FrameReader* reader = nullptr;
    int open = 0;

    bool known() const { return watchFd >= 0; }
    // Takes in the events so far; when the last client has gone, drops what it
    // left unread and any command it left half sent.
    void update() {
        if (!known()) return;
        alignas(inotify_event) char buf[4096];
        ssize_t n;
        while ((n = read(watchFd, buf, sizeof buf)) > 0) {
            for (ssize_t at = 0; at + ssize_t(sizeof(inotify_event)) <= n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buf + at);
                if (e->mask & IN_OPEN) ++open;
                if ((e->mask & IN_CLOSE) && open > 0 && --open == 0) {
                    tcflush(heldFd, TCIFLUSH);
                    reader->reset();
                }
                at += ssize_t(sizeof(inotify_event) + e->len);
            }
        }
    }
};

// Sends what `reply` becomes once the faults set for it are applied.
void send_reply(Deck& deck, int fd, Clients& clients, size_t logIndex, Bytes reply, int64_t arrival,
                const ServeOptions& options) {
    Bytes garbage;
    bool lose, badChecksum;
    int64_t delay;
    int rate;
    {
        std::lock_guard lock(deck.mu);
        DeckFaults& f = deck.faults;
        lose = f.mute || f.loseNext;
        badChecksum = f.badChecksumNext;
        garbage.swap(f.garbageBeforeNext);
        delay = deck.cfg.replyLatencyNs + f.lateNextNs;
        f.loseNext = f.badChecksumNext = false;
        f.lateNextNs = 0;
        rate = deck.cfg.rate;
    }
    if (lose) {
        log_bytes(options.verbose, rate, now_ust(), "->", {}, " (reply lost)");
        return;
    }
    if (delay > 0 && !wait_until(deck, arrival + delay)) return;
    clients.update();
    if (clients.known() && clients.open == 0) {
        log_bytes(options.verbose, rate, now_ust(), "->", {}, " (no client: reply dropped)");
        return;
    }
    if (badChecksum) reply.back() = uint8_t(reply.back() + 1);
    Bytes out = garbage;
    out.insert(out.end(), reply.begin(), reply.end());
    // Logged before the write, so whoever has read the reply finds it in the log.
    int64_t sent = now_ust();
    {
        std::lock_guard lock(deck.mu);
        if (logIndex < deck.log.size()) {
            deck.log[logIndex].reply = out;
            deck.log[logIndex].replyUst = sent;
        }
    }
    bool ok = write_all(fd, out);
    log_bytes(options.verbose, rate, sent, "->", out, ok ? "" : " (write failed)");
}

void answer(Deck& deck, int fd, Clients& clients, const ReceivedFrame& frame,
            const ServeOptions& options) {
    size_t index;
    int rate;
    {
        std::lock_guard lock(deck.mu);
        index = deck.log.size();
        deck.log.push_back(LogEntry{frame, {}, 0});
        rate = deck.cfg.rate;
    }
    log_bytes(options.verbose, rate, frame.lastUst, "<-", frame.raw);
    send_reply(deck, fd, clients, index, deck_answer(deck, frame), frame.lastUst, options);
}

void answer_timeout(Deck& deck, int fd, Clients& clients, FrameReader& reader,
                    const ServeOptions& options) {
    ReceivedFrame partial;
    partial.raw = reader.pending;
    partial.firstUst = reader.firstUst;
    partial.lastUst = reader.lastUst;
    partial.checksumOk = false;
    if (partial.raw.size() > 0) partial.cmd1 = partial.raw[0];
    if (partial.raw.size() > 1) partial.cmd2 = partial.raw[1];
    reader.reset();
    size_t index;
    int rate;
    {
        std::lock_guard lock(deck.mu);
        index = deck.log.size();
        deck.log.push_back(LogEntry{partial, {}, 0});
        rate = deck.cfg.rate;
    }
    log_bytes(options.verbose, rate, now_ust(), "<-", partial.raw, " (incomplete: time-out)");
    send_reply(deck, fd, clients, index, nack_frame(kNackTimeout), now_ust(), options);
}

} // namespace

ServeEnd serve_deck(Deck& deck, int fd, const ServeOptions& options, std::string* error) {
    FrameReader reader;
    uint8_t buf[256];
    Clients clients{options.clientWatchFd, options.heldClientFd, &reader};
    for (;;) {
        if (deck.stopRequested) return ServeEnd::Stopped;
        {
            std::lock_guard lock(deck.mu);
            if (deck.faults.closeLine) {
                deck.faults.closeLine = false;
                return ServeEnd::LineClosed;
            }
        }
        int timeout = -1;
        if (!reader.idle()) {
            int64_t left = reader.lastUst + kInterByteTimeoutNs - now_ust();
            timeout = left <= 0 ? 0 : int(left / 1'000'000) + 1;
        }
        pollfd p[3] = {{fd, POLLIN, 0}, {deck.wakeFd, POLLIN, 0}, {clients.watchFd, POLLIN, 0}};
        int ready = poll(p, clients.known() ? 3 : 2, timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            if (error) *error = std::string("poll: ") + std::strerror(errno);
            return ServeEnd::Error;
        }
        if (p[1].revents & POLLIN) drain_wake(deck);
        if (p[2].revents & POLLIN) clients.update();
        // Bytes waiting are read before a time-out is declared, so that a late
        // wake-up of this thread is not taken for a gap on the line.
        if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = read(fd, buf, sizeof buf);
            int64_t ust = now_ust();
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (n < 0 && errno == EIO && (p[0].revents & POLLHUP)) {
                // A pseudo-terminal with no client: wait for the next one.
                pollfd w{deck.wakeFd, POLLIN, 0};
                if (poll(&w, 1, 20) > 0) drain_wake(deck);
                continue;
            }
            if (n <= 0) {
                if (error)
                    *error = n == 0 ? std::string("end of input")
                                    : std::string("read: ") + std::strerror(errno);
                return ServeEnd::Error;
            }
            if (reader.timed_out(ust)) answer_timeout(deck, fd, clients, reader, options);
            for (ssize_t i = 0; i < n; ++i)
                if (auto frame = reader.feed(buf[i], ust))
                    answer(deck, fd, clients, *frame, options);
        } else if (reader.timed_out(now_ust())) {
            answer_timeout(deck, fd, clients, reader, options);
        }
    }
}

} // namespace deckemu
