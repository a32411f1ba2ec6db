// Receive port: a thread waits for bytes on the line, stamps each with the UST of
// its arrival and queues it; tsRead hands them out oldest first.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include "tserialio_internal.h"

namespace {

// Queues the bytes of one read. When several bytes come in one read on a real
// line, the earlier ones arrived a character time apart before it returned.
// Bytes beyond the queue size are dropped: a late stamp would be worse than none.
void queue_bytes(TSportRec* port, const unsigned char* data, std::size_t n, stamp_t now) {
    std::lock_guard<std::mutex> lock(port->mu);
    std::size_t size = port->rxBytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        stamp_t stamp = now - static_cast<stamp_t>(n - 1 - i) * port->charNs;
        stamp = std::max(stamp, port->rxLastStamp);
        port->rxLastStamp = stamp;
        if (port->rxCount == size) {
            port->rxDropped++;
            continue;
        }
        std::size_t slot = (port->rxHead + port->rxCount) % size;
        port->rxBytes[slot] = data[i];
        port->rxStamps[slot] = stamp;
        port->rxCount++;
    }
    ts_update_signal(port);
    port->cv.notify_all();
}

void end_line(TSportRec* port, const char* why) {
    ts_trace(port->debug, "%s: line ended: %s", port->name.c_str(), why);
    std::lock_guard<std::mutex> lock(port->mu);
    port->lineEnded = true;
    port->cv.notify_all();
}

} // namespace

void ts_receive_loop(TSportRec* port) {
    prctl(PR_SET_TIMERSLACK, 1UL);
    pollfd fds[2] = {{port->fd, POLLIN, 0}, {port->stopFd, POLLIN, 0}};
    unsigned char buf[256];
    for (;;) {
        int r = poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR) continue;
            end_line(port, strerror(errno));
            return;
        }
        if (fds[1].revents) return;
        if (!fds[0].revents) continue;
        ssize_t n = read(port->fd, buf, sizeof buf);
        stamp_t now = ts_now();
        if (n > 0) {
            queue_bytes(port, buf, static_cast<std::size_t>(n), now);
        } else if (n == 0) {
            end_line(port, "closed by the other end");
            return;
        } else if (errno != EAGAIN && errno != EINTR) {
            end_line(port, strerror(errno));
            return;
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            end_line(port, "hung up");
            return;
        }
    }
}

extern "C" TSstatus tsRead(TSport port, unsigned char* data, stamp_t* stamps, int nbytes) {
    if (!port || !data || nbytes < 1) return TS_ERROR_BAD_ARGUMENT;
    if (port->direction != TS_DIRECTION_RECEIVE) return TS_ERROR_WRONG_DIRECTION;
    if (nbytes > port->queueSize) return TS_ERROR_BAD_ARGUMENT;
    std::unique_lock<std::mutex> lock(port->mu);
    auto want = static_cast<std::size_t>(nbytes);
    port->cv.wait(lock, [&] { return port->rxCount >= want || port->lineEnded || port->stopping; });
    if (port->rxCount < want) return TS_ERROR_LINE_CLOSED;
    std::size_t size = port->rxBytes.size();
    for (std::size_t i = 0; i < want; ++i) {
        data[i] = port->rxBytes[port->rxHead];
        if (stamps) stamps[i] = port->rxStamps[port->rxHead];
        port->rxHead = (port->rxHead + 1) % size;
    }
    port->rxCount -= want;
    ts_update_signal(port);
    return TS_SUCCESS;
}
