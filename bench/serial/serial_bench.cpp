// serial_bench [samples]: measures the serial library over a pseudo-terminal and
// prints medians and 99th percentiles in microseconds.
//
// Departure: single bytes stamped 2 ms ahead, 3 ms apart (the command layer's
// spacing). "write" is the UST just before the library's write minus the stamp;
// "far end" is when the pty master read the byte minus the stamp (adds the pty's
// own latency and the reader's wake-up).
// Arrival: the master writes one byte; the error is the library's arrival stamp
// minus the UST taken just before that write.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/select.h>
#include <thread>
#include <time.h>
#include <unistd.h>
#include <vector>

#include "tserialio.h"
#include "tserialio_diag.h"

namespace {

constexpr stamp_t kMs = 1000000;

stamp_t now() {
    unsigned long long ust = 0;
    dmGetUST(&ust);
    return static_cast<stamp_t>(ust);
}

void sleep_until(stamp_t ust) {
    timespec ts{static_cast<time_t>(ust / 1000000000), static_cast<long>(ust % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

TSport open_port(const std::string& path, int direction) {
    TSconfig config = tsNewConfig();
    tsSetPortName(config, path.c_str());
    tsSetQueueSize(config, 100);
    tsSetCflag(config, 0x330);
    tsSetOspeed(config, 38400);
    tsSetDirection(config, direction);
    TSport port = nullptr;
    TSstatus status = tsOpenPort(config, &port);
    tsFreeConfig(config);
    if (status != TS_SUCCESS) {
        fprintf(stderr, "serial_bench: cannot open %s (%d)\n", path.c_str(), status);
        exit(1);
    }
    return port;
}

void report(const char* what, std::vector<long long> ns) {
    if (ns.empty()) {
        printf("%-34s no samples\n", what);
        return;
    }
    std::sort(ns.begin(), ns.end());
    auto at = [&](double q) { return ns[static_cast<std::size_t>(q * (ns.size() - 1))] / 1000.0; };
    printf("%-34s median %8.1f us   p99 %8.1f us   max %8.1f us   (n=%zu)\n", what, at(0.5),
           at(0.99), ns.back() / 1000.0, ns.size());
}

void measure_departure(int master, TSport tx, int samples) {
    std::vector<stamp_t> stamps(samples);
    std::vector<stamp_t> arrived;
    arrived.reserve(samples);
    std::atomic<bool> done{false};
    std::thread reader([&] {
        unsigned char buf[64];
        while (!done && static_cast<int>(arrived.size()) < samples) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            ssize_t n = read(master, buf, sizeof buf);
            stamp_t t = now();
            for (ssize_t i = 0; i < n; ++i) arrived.push_back(t);
        }
    });
    stamp_t next = now() + 10 * kMs;
    for (int i = 0; i < samples; ++i) {
        sleep_until(next - 2 * kMs);
        stamps[i] = next;
        unsigned char byte = static_cast<unsigned char>(i);
        tsWrite(tx, &byte, &stamps[i], 1);
        next += 3 * kMs;
    }
    stamp_t deadline = now() + 2000 * kMs;
    while (static_cast<int>(arrived.size()) < samples && now() < deadline) sleep_until(now() + kMs);
    done = true;
    reader.join();

    std::vector<long long> late(samples);
    int got = tsDiagDepartures(tx, late.data(), samples);
    late.resize(got < 0 ? 0 : got);
    report("departure error (write - stamp)", late);
    std::vector<long long> far;
    for (std::size_t i = 0; i < arrived.size(); ++i) far.push_back(arrived[i] - stamps[i]);
    report("departure seen at far end", far);
}

void measure_arrival(int master, TSport rx, int samples) {
    std::vector<long long> error;
    int fd = tsGetFD(rx);
    for (int i = 0; i < samples; ++i) {
        unsigned char byte = static_cast<unsigned char>(i);
        stamp_t before = now();
        if (write(master, &byte, 1) != 1) break;
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        timeval tv{1, 0};
        if (select(fd + 1, &set, nullptr, nullptr, &tv) != 1) break;
        unsigned char got;
        stamp_t stamp;
        if (tsRead(rx, &got, &stamp, 1) != TS_SUCCESS || got != byte) break;
        error.push_back(stamp - before);
        sleep_until(now() + 3 * kMs);
    }
    report("arrival stamp error (stamp - write)", error);
}

} // namespace

int main(int argc, char** argv) {
    int samples = argc > 1 ? atoi(argv[1]) : 1000;
    if (samples < 1) samples = 1000;
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master < 0 || grantpt(master) || unlockpt(master) || ptsname_r(master, name, sizeof name)) {
        fprintf(stderr, "serial_bench: no pseudo-terminal\n");
        return 1;
    }
    // Both ports open, as the plug-in holds them.
    TSport rx = open_port(name, TS_DIRECTION_RECEIVE);
    TSport tx = open_port(name, TS_DIRECTION_TRANSMIT);
    printf("serial library over %s, %d samples each\n", name, samples);
    measure_departure(master, tx, samples);
    measure_arrival(master, rx, samples);
    tsClosePort(tx);
    tsClosePort(rx);
    close(master);
    return 0;
}
