// The controller's side of the line for deck tests: open the pseudo-terminal
// like a serial port, send frames, read what comes back within bounded waits.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace linetest {

using Bytes = std::vector<uint8_t>;

// Opens the line raw; -1 on failure.
int open_line(const std::string& path);

// CMD1 CMD2 data, followed by the low 8 bits of their sum.
Bytes framed(Bytes bytes);

void send_bytes(int fd, const Bytes& bytes);

// Reads one frame (length from CMD1) waiting at most `ms`; what arrived, maybe short.
Bytes read_frame(int fd, int ms = 500);

// Everything that arrives until the line has been quiet for `quietMs`, at most `ms`.
Bytes read_all(int fd, int ms, int quietMs = 30);

// Sends the command with its checksum and reads one reply frame.
Bytes transact(int fd, const Bytes& command, int ms = 500);

int64_t ust_now();

// House sync, worked out here independently: field n starts at n x 1001/60000 s
// (29.97 frames) or n x 1/50 s (25 frames).
int64_t field_of(int rate, int64_t ust);
int64_t field_start(int rate, int64_t field);

// Sleeps until `ms` milliseconds into the next field, as a controller times its polls.
void wait_into_next_field(int rate, int ms);

} // namespace linetest
