// A throwaway plug-in-like module: it leaves the VDX_ functions undefined, so that
// loading it succeeds only if the host exports them by name.
#include <cstring>

#include "probe_result.h"

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

// Walks the calls a plug-in makes when it records its settings, then brackets a
// dialog and checks for an abort.
PROBE_EXPORT void probe_run(DeviceRecord* rec, ProbeResult* out) {
    std::memset(out, 0, sizeof *out);
    out->stateBefore = VDX_GetState(rec);
    out->init = VDX_InitData(rec, VDX_PRIVATE_TYPE, VDX_PRIVATE_VERSION, 0, 0);
    out->stateAfter = VDX_GetState(rec);
    out->setPort = VDX_SetData(rec, 1, VDX_KIND_INTEGER, 0, 7);
    char path[] = "/dev/ttyUSB0";
    out->setPath = VDX_SetData(rec, 2, VDX_KIND_TEXT, 0, reinterpret_cast<intptr_t>(path));
    std::memset(path, 'x', sizeof path - 1); // the host must hold its own copy
    out->getPort = VDX_GetData(rec, 1, 0, 0, &out->port);
    intptr_t text = 0;
    out->getPath = VDX_GetData(rec, 2, 0, 0, &text);
    if (out->getPath == 0)
        std::strncpy(out->path, reinterpret_cast<const char*>(text), sizeof out->path - 1);
    VDX_DevSuspend(rec);
    VDX_DevResume(rec);
    out->abortCheck = VDX_DevCheckAbort(rec);
    out->dialogParent = VDX_GetDialogParent();
}

// The address this module bound for a host function, to compare with the host's own.
PROBE_EXPORT void* probe_bound_get_state() {
    return reinterpret_cast<void*>(&VDX_GetState);
}

PROBE_EXPORT void* probe_bound_dispatch_event() {
    return reinterpret_cast<void*>(&VDX_DispatchEvent);
}
