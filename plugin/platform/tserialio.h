// Timestamped serial I/O: a serial line (a real serial device or a pseudo-terminal)
// opened as a receive port that stamps every byte with the UST of its arrival, and
// a transmit port that sends every byte at the UST it was given.
//
// Usage: build a configuration (device, queue size, line format, speed, direction),
// open a port from it, free the configuration. A process may open one receive and
// one transmit port on the same device; they share one open descriptor and hold an
// exclusive lock on it, so another process cannot open the device meanwhile.
//
// All calls may be made from any thread, except that a port must not be closed
// while another thread is still inside a call on it. Each port runs one thread of
// its own, which tsClosePort stops and joins.
#ifndef TW_PLATFORM_TSERIALIO_H
#define TW_PLATFORM_TSERIALIO_H

#include <termios.h>

#include "dmedia.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TSconfigRec* TSconfig;
typedef struct TSportRec* TSport;

// 0 on success, otherwise one of the TS_ERROR_ codes.
typedef int TSstatus;

enum {
    TS_SUCCESS = 0,
    TS_ERROR_BAD_ARGUMENT = 1,    // null handle, value out of range, unset port name
    TS_ERROR_NO_MEMORY = 2,       // allocation or thread creation failed
    TS_ERROR_OPEN_FAILED = 3,     // the device is missing or cannot be opened
    TS_ERROR_IN_USE = 4,          // another process holds the device
    TS_ERROR_LINE_SETUP = 5,      // not a terminal, or the line format was refused
    TS_ERROR_WRONG_DIRECTION = 6, // tsRead on a transmit port, tsWrite on a receive port
    TS_ERROR_LINE_CLOSED = 7      // the line ended or failed; no more bytes will come
};

enum { TS_DIRECTION_RECEIVE = 2, TS_DIRECTION_TRANSMIT = 3 };

// Configuration. Defaults: no device, queue 1024 bytes, CS8, 9600 baud, no tracing,
// no direction (one must be set before opening).
TSconfig tsNewConfig(void); // null when out of memory
TSstatus tsFreeConfig(TSconfig config);
TSstatus tsSetPortName(TSconfig config, const char* name);
TSstatus tsSetQueueSize(TSconfig config, int bytes); // 1 to 1048576
// Line format as termios control flags; CSIZE, CSTOPB, PARENB, PARODD and CRTSCTS
// are honoured (0x330 = CS8 | PARENB | PARODD: 8 data bits, odd parity, 1 stop).
TSstatus tsSetCflag(TSconfig config, tcflag_t cflag);
TSstatus tsSetOspeed(TSconfig config, speed_t baud); // in bits per second, e.g. 38400
TSstatus tsSetDebug(TSconfig config, int level);     // > 0 traces to standard error
TSstatus tsSetDirection(TSconfig config, int direction);

// Opens a port as configured; *port is set only on success.
TSstatus tsOpenPort(TSconfig config, TSport* port);
// Stops the port's thread and releases it. Bytes of a transmit port whose time has
// come are still written; bytes stamped later are discarded.
TSstatus tsClosePort(TSport port);

// Receive port: bytes received and not yet read. Transmit port: bytes not yet sent.
// -1 for a null port.
int tsGetFilledBytes(TSport port);
// A descriptor for select/poll. Receive port: readable while at least the fill
// point's number of bytes is queued. Transmit port: readable while fewer bytes
// than the fill point are queued (there is room). -1 for a null port.
int tsGetFD(TSport port);
// Fill point in bytes, 1 to the queue size. Default: 1 on a receive port, the
// queue size on a transmit port.
TSstatus tsSetFillPointBytes(TSport port, int bytes);

// Receive port: takes the nbytes oldest bytes and the UST of each one's arrival
// (stamps may be null). Waits until nbytes are queued; if the line ends first it
// returns TS_ERROR_LINE_CLOSED and takes nothing.
TSstatus tsRead(TSport port, unsigned char* data, stamp_t* stamps, int nbytes);
// Transmit port: queues nbytes bytes, each to leave the line at its UST. Bytes leave
// in the order of their stamps; bytes with equal stamps leave back to back in the
// order given; a stamp in the past leaves at once. Waits while the queue is full.
TSstatus tsWrite(TSport port, const unsigned char* data, const stamp_t* stamps, int nbytes);

#ifdef __cplusplus
}
#endif

#endif
