#include "house_sync.h"

#include <ctime>

namespace deckemu {

int64_t now_ust() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

int64_t fields_num(int rate) {
    return rate == 25 ? 50 : 60000;
}
int64_t fields_den(int rate) {
    return rate == 25 ? 1 : 1001;
}

// field = ust * num / (den * 1e9); 128-bit so that days of uptime do not overflow.
int64_t field_at_ust(int rate, int64_t ust) {
    __int128 num = __int128(ust) * fields_num(rate);
    __int128 den = __int128(fields_den(rate)) * 1'000'000'000;
    __int128 q = num / den;
    if (num % den != 0 && num < 0) --q;
    return int64_t(q);
}

int64_t field_start_ust(int rate, int64_t field) {
    __int128 num = __int128(field) * fields_den(rate) * 1'000'000'000;
    __int128 den = fields_num(rate);
    __int128 q = num / den;
    if (num % den != 0 && num > 0) ++q;
    return int64_t(q);
}

} // namespace deckemu
