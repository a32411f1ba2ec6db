// A host for plug-in tests: the executable that links this library defines and
// exports the VDX_ functions a plug-in binds by name (declared in VendaloXAPI.h).
// These calls let a test steer and inspect that host.
#ifndef TESTS_TESTHOST_TESTHOST_H
#define TESTS_TESTHOST_TESTHOST_H

#include <cstdint>
#include <string>

#include "VendaloXAPI.h"

namespace testhost {

// Error codes the host returns.
constexpr int32_t kNoPrivateData = 1201;  // VDX_InitData has not been called for the record
constexpr int32_t kAlreadyCreated = 1202; // VDX_InitData called twice for a record
constexpr int32_t kBadType = 1203;        // type or version other than the plug-in's
constexpr int32_t kBadKey = 1204;         // key outside 1 to 3
constexpr int32_t kBadKind = 1205;        // kind other than 2 or 4, or a null text
constexpr int32_t kNotSet = 1206;         // VDX_GetData of a setting never stored

enum class Call { InitData, SetData, GetData };

// Forgets every record's private data, the counters, injected failures and abort
// requests. The X connection and the dialog parent stay.
void reset();

// From now on, calls of this kind fail with code and change nothing (0: succeed again).
void fail(Call call, int32_t code);

// VDX_DevCheckAbort answers 0 for the next `checksFirst` calls, then non-zero on every
// call until reset() or cancel_abort().
void request_abort(int checksFirst = 0);
void cancel_abort();
int abort_checks(); // calls of VDX_DevCheckAbort so far

int suspend_count();
int resume_count();
int dispatched_events();

// What the host holds for a record; false when absent or of the other kind.
bool stored_integer(const DeviceRecord* rec, int32_t key, intptr_t* value);
bool stored_text(const DeviceRecord* rec, int32_t key, std::string* text);

// True when $DISPLAY is set and opens. Tests that need X skip without it.
bool has_display();
Display* display();         // null without a display
XtAppContext app_context(); // of the dialog parent; null without a display

} // namespace testhost

#endif
