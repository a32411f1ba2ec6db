// Records behind the configuration and port handles, shared by the files that
// implement the serial library.
#ifndef TW_PLATFORM_TSERIALIO_INTERNAL_H
#define TW_PLATFORM_TSERIALIO_INTERNAL_H

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tserialio.h"

struct TSconfigRec {
    std::string name;
    int queueSize = 1024;
    tcflag_t cflag = CS8;
    speed_t baud = 9600;
    int debug = 0;
    int direction = 0;
};

struct TsLine; // one open device, shared by the ports of this process (tserialio_line.cpp)

struct TsPending {
    stamp_t stamp;
    unsigned char byte;
};

// How late the most recent bytes left, kept for measurement (tserialio_diag.h).
constexpr std::size_t kDepartureLogSize = 4096;

struct TSportRec {
    int direction = 0;
    int debug = 0;
    int queueSize = 0;
    std::string name;
    TsLine* line = nullptr;
    int fd = -1;          // the shared device descriptor (owned by line)
    int signalFd = -1;    // eventfd handed out by tsGetFD
    int stopFd = -1;      // eventfd that wakes the port's thread to end it
    long long charNs = 0; // duration of one character on the wire; 0 on a pty

    std::mutex mu;
    std::condition_variable cv;
    bool stopping = false;
    bool lineEnded = false;
    bool signalled = false;
    int fillPoint = 1;

    // Receive: a ring of queueSize bytes and their arrival stamps.
    std::vector<unsigned char> rxBytes;
    std::vector<stamp_t> rxStamps;
    std::size_t rxHead = 0;
    std::size_t rxCount = 0;
    stamp_t rxLastStamp = 0;
    unsigned long long rxDropped = 0;

    // Transmit: bytes not yet sent, in departure order.
    std::deque<TsPending> txPending;
    std::vector<long long> departureLate; // ring of (write UST - stamp)
    std::size_t departureNext = 0;
    std::size_t departureCount = 0;

    std::thread thread;
};

stamp_t ts_now();

// Makes the tsGetFD descriptor agree with the fill level. Caller holds port->mu.
void ts_update_signal(TSportRec* port);

// Line sharing and set-up (tserialio_line.cpp).
bool ts_baud_supported(speed_t baud);
TSstatus ts_line_acquire(const TSconfigRec& config, TsLine** line, int* fd, bool* isPty);
void ts_line_release(TsLine* line);

// Port threads (tserialio_receive.cpp, tserialio_transmit.cpp).
void ts_receive_loop(TSportRec* port);
void ts_transmit_loop(TSportRec* port);

// One line on standard error prefixed "tserialio: ", when debug is above 0.
void ts_trace(int debug, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

#endif
