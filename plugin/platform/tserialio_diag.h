// Measurement hook of the serial library, for benchmarks: how late the transmit
// port wrote its bytes. Not part of the library's regular interface.
#ifndef TW_PLATFORM_TSERIALIO_DIAG_H
#define TW_PLATFORM_TSERIALIO_DIAG_H

#include "tserialio.h"

#ifdef __cplusplus
extern "C" {
#endif

// Takes up to max of the oldest recorded departures of a transmit port (the last
// 4096 are kept): for each byte, the UST just before its write minus its stamp,
// in nanoseconds. Returns how many were stored, or -1 for a bad argument.
int tsDiagDepartures(TSport port, long long* lateNs, int max);

#ifdef __cplusplus
}
#endif

#endif
