#include "line_client.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace linetest {

int open_line(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return -1;
    termios t{};
    tcgetattr(fd, &t);
    cfmakeraw(&t);
    tcsetattr(fd, TCSANOW, &t); // a pty may refuse a no-op change; raw is what matters
    return fd;
}

Bytes framed(Bytes bytes) {
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    bytes.push_back(uint8_t(sum & 0xFF));
    return bytes;
}

void send_bytes(int fd, const Bytes& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

int64_t ust_now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

namespace {
// Reads what is there within `ms`; false on silence or a closed line.
bool read_some(int fd, Bytes& out, int ms, size_t most) {
    pollfd p{fd, POLLIN, 0};
    if (ms < 0) ms = 0;
    if (poll(&p, 1, ms) <= 0) return false;
    uint8_t buf[64];
    ssize_t n = read(fd, buf, most < sizeof buf ? most : sizeof buf);
    if (n <= 0) return false;
    out.insert(out.end(), buf, buf + n);
    return true;
}
} // namespace

Bytes read_frame(int fd, int ms) {
    Bytes out;
    int64_t deadline = ust_now() + int64_t(ms) * 1'000'000;
    size_t want = 3;
    while (out.size() < want) {
        int left = int((deadline - ust_now()) / 1'000'000);
        if (!read_some(fd, out, left, want - out.size())) break;
        if (!out.empty()) want = size_t(out[0] & 0x0F) + 3;
    }
    return out;
}

Bytes read_all(int fd, int ms, int quietMs) {
    Bytes out;
    int64_t deadline = ust_now() + int64_t(ms) * 1'000'000;
    for (;;) {
        int left = int((deadline - ust_now()) / 1'000'000);
        if (left <= 0) break;
        if (!read_some(fd, out, left < quietMs ? left : quietMs, 64)) break;
    }
    return out;
}

Bytes transact(int fd, const Bytes& command, int ms) {
    send_bytes(fd, framed(command));
    return read_frame(fd, ms);
}

int64_t field_of(int rate, int64_t ust) {
    __int128 num = __int128(ust) * (rate == 25 ? 50 : 60000);
    __int128 den = __int128(rate == 25 ? 1 : 1001) * 1'000'000'000;
    return int64_t(num / den);
}

int64_t field_start(int rate, int64_t field) {
    __int128 num = __int128(field) * (rate == 25 ? 1 : 1001) * 1'000'000'000;
    __int128 den = rate == 25 ? 50 : 60000;
    return int64_t((num + den - 1) / den);
}

void wait_into_next_field(int rate, int ms) {
    int64_t target = field_start(rate, field_of(rate, ust_now()) + 1) + int64_t(ms) * 1'000'000;
    timespec ts{time_t(target / 1'000'000'000), long(target % 1'000'000'000)};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
}

} // namespace linetest
