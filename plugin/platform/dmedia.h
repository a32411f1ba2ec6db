// Media clock: UST, the nanosecond count of the system's monotonic clock that
// stamps every serial byte and every video-clock sample in this system.
#ifndef TW_PLATFORM_DMEDIA_H
#define TW_PLATFORM_DMEDIA_H

// A UST value: signed so that differences and offsets can be computed directly.
typedef long long stamp_t;

#ifdef __cplusplus
extern "C" {
#endif

// Stores the current UST (CLOCK_MONOTONIC in nanoseconds) in *ust; returns 0,
// or -1 when ust is null.
int dmGetUST(unsigned long long* ust);

#ifdef __cplusplus
}
#endif

#endif
