// The plug-in's program-wide state, in one place. Everything starts zeroed
// (or at its stated initial value) when the plug-in is loaded.
#include "Sony422.h"
#include "X-Tarnwick.h"

extern "C" {

// Deck context shared by the command side and the reply reader.
VtrContext localdata;
VtrContext* ld = &localdata;

// Timecode captured from the deck's time replies.
int16_t IsDropFrame = 0;
int16_t FrmPerSec = 30;

// Video clock.
double fields_per_sec = 0.0;
double video_ust_per_msc = 0.0;
UstMscPair LastKnownGoodPair = {0, 0};
int64_t NowMSC = 0;
int64_t NextMSC = 0;
int64_t LastMSC = 0;

} // extern "C"
