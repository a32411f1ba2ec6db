// The deck's end of the line: a new pseudo-terminal, or a serial device.
#pragma once
#include <string>

namespace deckemu {

struct Pty {
    int master = -1;
    int slave = -1; // held open so that clients may open and close the line at will
    int watch = -1; // inotify on the client side: tells when clients open and close it
    std::string path;
};

// Opens a pseudo-terminal in raw mode on both sides; false with `error` set on failure.
bool open_pty(Pty& pty, std::string& error);
void close_pty(Pty& pty);

// Opens a serial device raw at 38400 baud, 8 data bits, odd parity, 1 stop bit.
int open_serial(const std::string& path, std::string& error);

// Raw mode: no echo, no line editing, no translation of CR or flow-control bytes.
bool make_raw(int fd, bool serial, std::string& error);

} // namespace deckemu
