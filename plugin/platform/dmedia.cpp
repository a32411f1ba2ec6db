// The media clock read by the plug-in, the serial library, the host and the deck
// emulator: one clock for all of them, so their stamps can be compared.
#include "dmedia.h"

#include <time.h>

extern "C" int dmGetUST(unsigned long long* ust) {
    if (!ust) return -1;
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    *ust = static_cast<unsigned long long>(ts.tv_sec) * 1000000000ULL +
           static_cast<unsigned long long>(ts.tv_nsec);
    return 0;
}
