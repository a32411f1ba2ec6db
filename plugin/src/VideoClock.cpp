// Conversions between UST and video field numbers, the field rate that goes
// with the deck's frame rate, and the departure time of the next command frame.
#include "X-Tarnwick.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr int64_t kRetryDelayNs = 15'000'000; // when the next even field is already taken

// Truncate toward zero; values outside the 64-bit range saturate instead of
// being undefined.
int64_t TruncToInt64(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
    if (v <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(v);
}

// The 64-bit difference first, so that large counts keep their precision;
// wraps rather than overflows for absurd inputs.
double Difference(int64_t a, int64_t b) {
    return static_cast<double>(
        static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b)));
}

} // namespace

extern "C" {

int64_t getustfrommscandpair(int64_t msc, int64_t refUst, int64_t refMsc, double nsPerField) {
    return TruncToInt64(static_cast<double>(refUst) + Difference(msc, refMsc) * nsPerField);
}

int64_t getmscfrommscandpair(int64_t ust, int64_t refUst, int64_t refMsc, double nsPerField) {
    if (nsPerField == 0.0) return 0;
    return TruncToInt64(static_cast<double>(refMsc) + Difference(ust, refUst) / nsPerField);
}

void vl_timing_to_video_field_rate(int rate, int* fieldsOut, double* fieldsPerSecOut) {
    int fields;
    double perSec;
    switch (rate) {
    case 25:
        fields = 50;
        perSec = 50.0;
        break;
    case 30:
        fields = 60;
        perSec = 60000.0 / 1001.0;
        break;
    default: std::fprintf(stderr, "can't deal with VL timing %d\n", rate); return;
    }
    if (fieldsOut) *fieldsOut = fields;
    if (fieldsPerSecOut) *fieldsPerSecOut = perSec;
}

void CalculateNextMSC(int64_t* whenOut) {
    if (LastKnownGoodPair.ust == 0 || video_ust_per_msc == 0.0) return;
    unsigned long long ust = 0;
    dmGetUST(&ust);
    int64_t now = static_cast<int64_t>(ust);
    NowMSC =
        getmscfrommscandpair(now, LastKnownGoodPair.ust, LastKnownGoodPair.msc, video_ust_per_msc);
    NextMSC = (NowMSC + 2) & ~int64_t{1};
    if (NextMSC > LastMSC)
        *whenOut = getustfrommscandpair(NextMSC, LastKnownGoodPair.ust, LastKnownGoodPair.msc,
                                        video_ust_per_msc);
    else
        *whenOut = now + kRetryDelayNs;
}

} // extern "C"
