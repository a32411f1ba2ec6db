// Opening and closing ports, and the calls common to both directions.
#include <cstdint>
#include <new>
#include <sys/eventfd.h>
#include <system_error>
#include <time.h>
#include <unistd.h>

#include "tserialio_internal.h"

namespace {

long long char_duration_ns(const TSconfigRec& config) {
    int dataBits = 5 + static_cast<int>((config.cflag & CSIZE) >> 4);
    int bits = 1 + dataBits + ((config.cflag & PARENB) ? 1 : 0) + ((config.cflag & CSTOPB) ? 2 : 1);
    return 1000000000LL * bits / static_cast<long long>(config.baud);
}

void free_port(TSportRec* port) {
    if (port->signalFd >= 0) close(port->signalFd);
    if (port->stopFd >= 0) close(port->stopFd);
    if (port->line) ts_line_release(port->line);
    delete port;
}

const char* direction_name(int direction) {
    return direction == TS_DIRECTION_RECEIVE ? "receive" : "transmit";
}

} // namespace

stamp_t ts_now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<stamp_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

void ts_update_signal(TSportRec* port) {
    bool want = port->direction == TS_DIRECTION_RECEIVE
                    ? port->rxCount >= static_cast<std::size_t>(port->fillPoint)
                    : port->txPending.size() < static_cast<std::size_t>(port->fillPoint);
    if (want == port->signalled) return;
    uint64_t value = 1;
    ssize_t n = want ? write(port->signalFd, &value, sizeof value)
                     : read(port->signalFd, &value, sizeof value);
    if (n == static_cast<ssize_t>(sizeof value)) port->signalled = want;
}

extern "C" TSstatus tsOpenPort(TSconfig config, TSport* out) {
    if (!config || !out || config->name.empty() || config->direction == 0)
        return TS_ERROR_BAD_ARGUMENT;

    TSportRec* port = new (std::nothrow) TSportRec;
    if (!port) return TS_ERROR_NO_MEMORY;
    port->direction = config->direction;
    port->debug = config->debug;
    port->queueSize = config->queueSize;
    port->fillPoint = config->direction == TS_DIRECTION_RECEIVE ? 1 : config->queueSize;
    try {
        port->name = config->name;
        if (port->direction == TS_DIRECTION_RECEIVE) {
            port->rxBytes.resize(port->queueSize);
            port->rxStamps.resize(port->queueSize);
        } else {
            port->departureLate.resize(kDepartureLogSize);
        }
    } catch (const std::bad_alloc&) {
        delete port;
        return TS_ERROR_NO_MEMORY;
    }

    port->signalFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    port->stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (port->signalFd < 0 || port->stopFd < 0) {
        free_port(port);
        return TS_ERROR_NO_MEMORY;
    }

    bool isPty = false;
    TSstatus status = ts_line_acquire(*config, &port->line, &port->fd, &isPty);
    if (status != TS_SUCCESS) {
        ts_trace(port->debug, "%s: %s port not opened (%d)", port->name.c_str(),
                 direction_name(port->direction), status);
        free_port(port);
        return status;
    }
    // A pty delivers a whole write at once; a real line spaces characters out.
    port->charNs = isPty ? 0 : char_duration_ns(*config);
    {
        std::lock_guard<std::mutex> lock(port->mu);
        ts_update_signal(port);
    }

    try {
        port->thread = std::thread(
            port->direction == TS_DIRECTION_RECEIVE ? ts_receive_loop : ts_transmit_loop, port);
    } catch (const std::system_error&) {
        free_port(port);
        return TS_ERROR_NO_MEMORY;
    }
    ts_trace(port->debug, "%s: %s port open", port->name.c_str(), direction_name(port->direction));
    *out = port;
    return TS_SUCCESS;
}

extern "C" TSstatus tsClosePort(TSport port) {
    if (!port) return TS_ERROR_BAD_ARGUMENT;
    {
        std::lock_guard<std::mutex> lock(port->mu);
        port->stopping = true;
    }
    port->cv.notify_all();
    uint64_t one = 1;
    (void)!write(port->stopFd, &one, sizeof one);
    if (port->thread.joinable()) port->thread.join();
    if (port->rxDropped)
        ts_trace(port->debug, "%s: %llu received bytes dropped on a full queue", port->name.c_str(),
                 port->rxDropped);
    ts_trace(port->debug, "%s: %s port closed", port->name.c_str(),
             direction_name(port->direction));
    free_port(port);
    return TS_SUCCESS;
}

extern "C" int tsGetFilledBytes(TSport port) {
    if (!port) return -1;
    std::lock_guard<std::mutex> lock(port->mu);
    return static_cast<int>(port->direction == TS_DIRECTION_RECEIVE ? port->rxCount
                                                                    : port->txPending.size());
}

extern "C" int tsGetFD(TSport port) {
    return port ? port->signalFd : -1;
}

extern "C" TSstatus tsSetFillPointBytes(TSport port, int bytes) {
    if (!port || bytes < 1 || bytes > port->queueSize) return TS_ERROR_BAD_ARGUMENT;
    std::lock_guard<std::mutex> lock(port->mu);
    port->fillPoint = bytes;
    ts_update_signal(port);
    return TS_SUCCESS;
}
