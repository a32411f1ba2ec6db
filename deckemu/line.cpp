#include "line.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace deckemu {

bool make_raw(int fd, bool serial, std::string& error) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) {
        error = std::string("tcgetattr: ") + std::strerror(errno);
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    if (serial) {
        t.c_cflag = (t.c_cflag & ~CSTOPB) | CS8 | PARENB | PARODD;
        cfsetispeed(&t, B38400);
        cfsetospeed(&t, B38400);
    }
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &t) == 0) return true;
    // A pseudo-terminal refuses parity and answers EINVAL when nothing else could
    // change; a line that is raw already is all that is needed there.
    if (errno == EINVAL) {
        termios now{};
        if (tcgetattr(fd, &now) == 0 && !(now.c_lflag & (ICANON | ECHO | ISIG)) &&
            !(now.c_iflag & (ICRNL | IXON)) && !(now.c_oflag & OPOST))
            return true;
        if (serial) return make_raw(fd, false, error);
    }
    error = std::string("tcsetattr: ") + std::strerror(errno);
    return false;
}

bool open_pty(Pty& pty, std::string& error) {
    pty.master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.master < 0) {
        error = std::string("posix_openpt: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (grantpt(pty.master) != 0 || unlockpt(pty.master) != 0 ||
        ptsname_r(pty.master, name, sizeof name) != 0) {
        error = std::string("pseudo-terminal: ") + std::strerror(errno);
        close_pty(pty);
        return false;
    }
    pty.path = name;
    pty.slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.slave < 0) {
        error = "cannot open " + pty.path + ": " + std::strerror(errno);
        close_pty(pty);
        return false;
    }
    if (!make_raw(pty.slave, false, error) || !make_raw(pty.master, false, error)) {
        close_pty(pty);
        return false;
    }
    fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK);
    // Watching starts before anyone knows the path, so every client is seen.
    pty.watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (pty.watch >= 0 && inotify_add_watch(pty.watch, name, IN_OPEN | IN_CLOSE) < 0) {
        close(pty.watch);
        pty.watch = -1;
    }
    return true;
}

void close_pty(Pty& pty) {
    if (pty.watch >= 0) close(pty.watch);
    if (pty.slave >= 0) close(pty.slave);
    if (pty.master >= 0) close(pty.master);
    pty.watch = pty.slave = pty.master = -1;
}

int open_serial(const std::string& path, std::string& error) {
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return -1;
    }
    if (isatty(fd) && !make_raw(fd, true, error)) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace deckemu
