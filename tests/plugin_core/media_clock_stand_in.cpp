// The media clock for builds without the platform library: UST is
// CLOCK_MONOTONIC in nanoseconds, as it is everywhere in this system.
#include <time.h>

extern "C" int dmGetUST(unsigned long long* ust) {
    if (!ust) return -1;
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    *ust = static_cast<unsigned long long>(ts.tv_sec) * 1000000000ULL +
           static_cast<unsigned long long>(ts.tv_nsec);
    return 0;
}
