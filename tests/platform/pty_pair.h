// A pseudo-terminal pair for serial-line tests: the test holds the master end, the
// library under test opens the slave by its path.
#ifndef TESTS_PLATFORM_PTY_PAIR_H
#define TESTS_PLATFORM_PTY_PAIR_H

#include <string>
#include <vector>

#include "tserialio.h"

struct PtyPair {
    int master = -1;
    std::string slavePath;

    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    void closeMaster();
    void write(const std::vector<unsigned char>& bytes) const;
};

struct Arrival {
    unsigned char byte;
    stamp_t ust; // taken right after the read that returned the byte
};

stamp_t now_ust();

// Reads from fd until n bytes came or timeoutMs passed; returns what came.
std::vector<Arrival> read_arrivals(int fd, std::size_t n, int timeoutMs);

// Opens a port on path as the plug-in does (0x330, 38400) with the given queue size.
TSstatus open_port(const std::string& path, int direction, TSport* port, int queueSize = 100);

// Polls tsGetFilledBytes until it reaches n or timeoutMs passed; returns the last count.
int wait_filled(TSport port, int n, int timeoutMs = 2000);

// select() on the port's descriptor: 1 readable, 0 not within timeoutMs.
int select_readable(TSport port, int timeoutMs);

std::vector<unsigned char> all_byte_values();

#endif
