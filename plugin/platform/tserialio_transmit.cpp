// Transmit port: tsWrite queues bytes in departure order; a thread sleeps until
// the earliest stamp and writes every byte whose time has come in one go.
#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <iterator>
#include <new>
#include <poll.h>
#include <sys/prctl.h>
#include <time.h>
#include <unistd.h>

#include "tserialio_diag.h"
#include "tserialio_internal.h"

namespace {

// Long waits are spent on the condition variable, so that an earlier byte or a
// close wakes the thread; the last stretch is an absolute sleep for precision.
constexpr stamp_t kFinalSleepNs = 2000000;

std::chrono::steady_clock::time_point steady_at(stamp_t ust) {
    return std::chrono::steady_clock::time_point(std::chrono::nanoseconds(ust));
}

void sleep_until(stamp_t ust) {
    timespec ts{static_cast<time_t>(ust / 1000000000LL), static_cast<long>(ust % 1000000000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

// Writes everything unless the line fails. When the line is full it waits for
// room, or gives up at once when the port is stopping.
bool write_all(TSportRec* port, const unsigned char* data, std::size_t n) {
    while (n > 0) {
        ssize_t w = write(port->fd, data, n);
        if (w > 0) {
            data += w;
            n -= static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN) return false;
        pollfd fds[2] = {{port->fd, POLLOUT, 0}, {port->stopFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) return false;
        if (fds[1].revents) return true; // closing: what did not fit is dropped
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
    }
    return true;
}

void log_departures(TSportRec* port, const std::vector<TsPending>& batch, stamp_t written) {
    for (const TsPending& p : batch) {
        port->departureLate[port->departureNext] = written - p.stamp;
        port->departureNext = (port->departureNext + 1) % port->departureLate.size();
        if (port->departureCount < port->departureLate.size()) port->departureCount++;
    }
}

} // namespace

void ts_transmit_loop(TSportRec* port) {
    prctl(PR_SET_TIMERSLACK, 1UL);
    std::vector<TsPending> batch;
    std::vector<unsigned char> bytes;
    std::unique_lock<std::mutex> lock(port->mu);
    for (;;) {
        stamp_t now = ts_now();
        if (!port->stopping) {
            if (port->txPending.empty()) {
                port->cv.wait(lock);
                continue;
            }
            stamp_t due = port->txPending.front().stamp;
            if (due - now > kFinalSleepNs) {
                port->cv.wait_until(lock, steady_at(due - kFinalSleepNs));
                continue;
            }
            if (due > now) {
                lock.unlock();
                sleep_until(due);
                lock.lock();
                continue;
            }
        }
        // Every byte due by now leaves back to back, in departure order.
        batch.clear();
        bytes.clear();
        while (!port->txPending.empty() && port->txPending.front().stamp <= now) {
            batch.push_back(port->txPending.front());
            bytes.push_back(port->txPending.front().byte);
            port->txPending.pop_front();
        }
        bool stopping = port->stopping;
        if (stopping) port->txPending.clear(); // bytes for later are not sent
        ts_update_signal(port);
        port->cv.notify_all();
        if (!bytes.empty()) {
            lock.unlock();
            stamp_t written = ts_now();
            bool ok = write_all(port, bytes.data(), bytes.size());
            int err = errno;
            lock.lock();
            log_departures(port, batch, written);
            if (!ok) {
                ts_trace(port->debug, "%s: write failed: %s", port->name.c_str(), strerror(err));
                port->lineEnded = true;
                port->txPending.clear();
                ts_update_signal(port);
                port->cv.notify_all();
                return;
            }
        }
        if (stopping) return;
    }
}

extern "C" TSstatus tsWrite(TSport port, const unsigned char* data, const stamp_t* stamps,
                            int nbytes) {
    if (!port || !data || !stamps || nbytes < 1) return TS_ERROR_BAD_ARGUMENT;
    if (port->direction != TS_DIRECTION_TRANSMIT) return TS_ERROR_WRONG_DIRECTION;
    std::unique_lock<std::mutex> lock(port->mu);
    auto size = static_cast<std::size_t>(port->queueSize);
    for (int i = 0; i < nbytes; ++i) {
        port->cv.wait(lock, [&] {
            return port->txPending.size() < size || port->lineEnded || port->stopping;
        });
        if (port->lineEnded || port->stopping) return TS_ERROR_LINE_CLOSED;
        // After every byte stamped no later, so equal stamps keep the caller's order.
        auto& q = port->txPending;
        auto at = q.end();
        while (at != q.begin() && std::prev(at)->stamp > stamps[i]) --at;
        bool first = at == q.begin();
        try {
            q.insert(at, TsPending{stamps[i], data[i]});
        } catch (const std::bad_alloc&) {
            return TS_ERROR_NO_MEMORY;
        }
        if (first) port->cv.notify_all(); // the writer may be waiting for a later byte
    }
    ts_update_signal(port);
    return TS_SUCCESS;
}

extern "C" int tsDiagDepartures(TSport port, long long* lateNs, int max) {
    if (!port || !lateNs || max < 0 || port->direction != TS_DIRECTION_TRANSMIT) return -1;
    std::lock_guard<std::mutex> lock(port->mu);
    std::size_t n = std::min(static_cast<std::size_t>(max), port->departureCount);
    std::size_t size = port->departureLate.size();
    std::size_t start = (port->departureNext + size - port->departureCount) % size;
    for (std::size_t i = 0; i < n; ++i) lateNs[i] = port->departureLate[(start + i) % size];
    port->departureCount -= n;
    return static_cast<int>(n);
}
