// The serial device behind the ports: opened once per process and shared by its
// receive and transmit port, locked against other processes, set to raw mode.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "tserialio_internal.h"

struct TsLine {
    dev_t dev;
    ino_t ino;
    pid_t owner; // a forked child must not share its parent's descriptor
    int fd;
    int users;
    bool isPty;
};

namespace {

std::mutex gLinesMu;
std::vector<TsLine*> gLines;

struct BaudRate {
    speed_t baud;
    speed_t constant;
};

constexpr BaudRate kRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000},
};

bool baud_constant(speed_t baud, speed_t* constant) {
    for (const BaudRate& r : kRates) {
        if (r.baud == baud) {
            *constant = r.constant;
            return true;
        }
    }
    return false;
}

// Pseudo-terminals refuse some line settings (parity) that a real line keeps.
bool is_pty(dev_t rdev) {
    unsigned m = major(rdev);
    return (m >= 136 && m <= 143) || (m >= 128 && m <= 135) || m == 2 || m == 3 ||
           (m == 5 && minor(rdev) == 2);
}

constexpr tcflag_t kFormatFlags = CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS;

TSstatus set_line(int fd, const TSconfigRec& config, bool isPty) {
    speed_t speed;
    if (!baud_constant(config.baud, &speed)) {
        ts_trace(config.debug, "%s: unsupported speed %u", config.name.c_str(), config.baud);
        return TS_ERROR_LINE_SETUP;
    }
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        ts_trace(config.debug, "%s: not a terminal: %s", config.name.c_str(), strerror(errno));
        return TS_ERROR_LINE_SETUP;
    }
    // Raw: no byte may be translated or swallowed (0x0D, 0x11 and 0x13 are data).
    cfmakeraw(&t);
    t.c_cflag = (t.c_cflag & ~kFormatFlags) | (config.cflag & kFormatFlags) | CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    if (tcsetattr(fd, TCSANOW, &t) != 0) {
        // A pty has no parity to set and may say so; the line itself works.
        if (errno == EINVAL && isPty) return TS_SUCCESS;
        ts_trace(config.debug, "%s: line settings refused: %s", config.name.c_str(),
                 strerror(errno));
        return TS_ERROR_LINE_SETUP;
    }
    return TS_SUCCESS;
}

TsLine* find_line(const struct stat& st) {
    pid_t self = getpid();
    for (TsLine* line : gLines)
        if (line->dev == st.st_dev && line->ino == st.st_ino && line->owner == self) return line;
    return nullptr;
}

} // namespace

bool ts_baud_supported(speed_t baud) {
    speed_t constant;
    return baud_constant(baud, &constant);
}

TSstatus ts_line_acquire(const TSconfigRec& config, TsLine** out, int* fd, bool* isPty) {
    std::lock_guard<std::mutex> lock(gLinesMu);
    const char* path = config.name.c_str();
    struct stat st {};
    if (stat(path, &st) != 0) {
        ts_trace(config.debug, "%s: %s", path, strerror(errno));
        return TS_ERROR_OPEN_FAILED;
    }
    if (TsLine* line = find_line(st)) {
        TSstatus status = set_line(line->fd, config, line->isPty);
        if (status != TS_SUCCESS) return status;
        line->users++;
        *out = line;
        *fd = line->fd;
        *isPty = line->isPty;
        return TS_SUCCESS;
    }

    // Non-blocking so that the open itself never waits for a modem line and the
    // port threads can always be woken; they wait in poll, not in read or write.
    int f = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (f < 0) {
        ts_trace(config.debug, "%s: %s", path, strerror(errno));
        return TS_ERROR_OPEN_FAILED;
    }
    if (!isatty(f)) {
        close(f);
        ts_trace(config.debug, "%s: not a terminal", path);
        return TS_ERROR_LINE_SETUP;
    }
    // flock holds against every other open of the device, root's included.
    if (flock(f, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        close(f);
        ts_trace(config.debug, "%s: %s", path,
                 err == EWOULDBLOCK ? "in use by another process" : strerror(err));
        return err == EWOULDBLOCK ? TS_ERROR_IN_USE : TS_ERROR_OPEN_FAILED;
    }
    struct stat fst {};
    fstat(f, &fst);
    bool pty = is_pty(fst.st_rdev);
    TSstatus status = set_line(f, config, pty);
    if (status != TS_SUCCESS) {
        close(f);
        return status;
    }
    // Bytes that came before the open have no meaningful arrival time.
    tcflush(f, TCIFLUSH);

    TsLine* line = new (std::nothrow) TsLine{fst.st_dev, fst.st_ino, getpid(), f, 1, pty};
    if (!line) {
        close(f);
        return TS_ERROR_NO_MEMORY;
    }
    try {
        gLines.push_back(line);
    } catch (const std::bad_alloc&) {
        delete line;
        close(f);
        return TS_ERROR_NO_MEMORY;
    }
    *out = line;
    *fd = f;
    *isPty = pty;
    return TS_SUCCESS;
}

void ts_line_release(TsLine* line) {
    std::lock_guard<std::mutex> lock(gLinesMu);
    if (--line->users > 0) return;
    for (auto it = gLines.begin(); it != gLines.end(); ++it) {
        if (*it == line) {
            gLines.erase(it);
            break;
        }
    }
    close(line->fd); // also drops the lock
    delete line;
}
