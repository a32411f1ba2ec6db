// The plug-in's host side: the video clock, the timecode captured from the
// deck's replies and the frame-count arithmetic of that capture.
#pragma once

#include <cstdint>

#include "TimeUtils.h"

extern "C" {

// ---- Timecode capture ---------------------------------------------------------
TW_EXPORT extern int16_t IsDropFrame; // 1 when the last captured timecode is drop-frame
TW_EXPORT extern int16_t FrmPerSec;   // 30 until a device-type reply says otherwise

// Frame count of a timecode. With dropFlag set the rate is ignored (30 labels a
// second); a label the drop-frame count skips maps to the first frame of its minute.
TW_EXPORT void TimeToLong(int32_t* out, int16_t hours, int16_t minutes, int16_t seconds,
                          int16_t frames, int16_t rate, int16_t dropFlag);
// Timecode of a frame count; a negative count is taken modulo 24 hours. With
// dropFlag 0 and a rate that is not positive nothing is written.
TW_EXPORT void LongToTime(int32_t count, int16_t* hoursOut, int16_t* minutesOut,
                          int16_t* secondsOut, int16_t* framesOut, int16_t rate, int16_t dropFlag);

// ---- Video clock ----------------------------------------------------------------
// One sample of the host's video clock: a UST (nanoseconds) and the video field
// current at it.
struct UstMscPair {
    int64_t ust;
    int64_t msc;
};

TW_EXPORT extern double fields_per_sec;        // 50 or 60000/1001
TW_EXPORT extern double video_ust_per_msc;     // nanoseconds per field; 0: no clock yet
TW_EXPORT extern UstMscPair LastKnownGoodPair; // (0, 0): none
TW_EXPORT extern int64_t NowMSC;               // field current at the last computation
TW_EXPORT extern int64_t NextMSC;              // first even field after NowMSC
TW_EXPORT extern int64_t LastMSC;              // last field a request was placed on

TW_EXPORT int64_t getustfrommscandpair(int64_t msc, int64_t refUst, int64_t refMsc,
                                       double nsPerField);
// 0 when nsPerField is 0.
TW_EXPORT int64_t getmscfrommscandpair(int64_t ust, int64_t refUst, int64_t refMsc,
                                       double nsPerField);
// Departure UST of the next command frame, on the next even field; writes
// nothing while there is no clock.
TW_EXPORT void CalculateNextMSC(int64_t* whenOut);
// Field rate for a frame rate of 25 or 30; other rates are reported and change nothing.
TW_EXPORT void vl_timing_to_video_field_rate(int rate, int* fieldsOut, double* fieldsPerSecOut);

// The media clock (UST, nanoseconds); returns 0.
int dmGetUST(unsigned long long* ust);

} // extern "C"
