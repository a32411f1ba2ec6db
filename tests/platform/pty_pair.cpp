#include "pty_pair.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/select.h>
#include <thread>
#include <unistd.h>

PtyPair::PtyPair() {
    master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (ptsname_r(master, name, sizeof name) != 0) throw std::runtime_error("no slave name");
    slavePath = name;
}

PtyPair::~PtyPair() {
    closeMaster();
}

void PtyPair::closeMaster() {
    if (master >= 0) close(master);
    master = -1;
}

void PtyPair::write(const std::vector<unsigned char>& bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("write to pty master failed");
        done += static_cast<std::size_t>(n);
    }
}

stamp_t now_ust() {
    unsigned long long ust = 0;
    dmGetUST(&ust);
    return static_cast<stamp_t>(ust);
}

std::vector<Arrival> read_arrivals(int fd, std::size_t n, int timeoutMs) {
    std::vector<Arrival> got;
    stamp_t deadline = now_ust() + static_cast<stamp_t>(timeoutMs) * 1000000;
    while (got.size() < n) {
        stamp_t left = deadline - now_ust();
        if (left <= 0) break;
        pollfd p{fd, POLLIN, 0};
        int r = poll(&p, 1, static_cast<int>(left / 1000000) + 1);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        unsigned char buf[512];
        ssize_t k = read(fd, buf, sizeof buf);
        stamp_t at = now_ust();
        if (k <= 0) break;
        for (ssize_t i = 0; i < k; ++i) got.push_back({buf[i], at});
    }
    return got;
}

TSstatus open_port(const std::string& path, int direction, TSport* port, int queueSize) {
    TSconfig config = tsNewConfig();
    if (!config) return TS_ERROR_NO_MEMORY;
    tsSetPortName(config, path.c_str());
    tsSetQueueSize(config, queueSize);
    tsSetCflag(config, 0x330);
    tsSetOspeed(config, 38400);
    tsSetDirection(config, direction);
    TSstatus status = tsOpenPort(config, port);
    tsFreeConfig(config);
    return status;
}

int wait_filled(TSport port, int n, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int filled = tsGetFilledBytes(port);
    while (filled < n && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        filled = tsGetFilledBytes(port);
    }
    return filled;
}

int select_readable(TSport port, int timeoutMs) {
    int fd = tsGetFD(port);
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    int r = select(fd + 1, &set, nullptr, nullptr, &tv);
    return r > 0 && FD_ISSET(fd, &set) ? 1 : r;
}

std::vector<unsigned char> all_byte_values() {
    std::vector<unsigned char> v(256);
    for (int i = 0; i < 256; ++i) v[i] = static_cast<unsigned char>(i);
    return v;
}
