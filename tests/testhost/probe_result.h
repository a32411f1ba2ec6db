// What the probe module saw of the host, filled in by probe_run.
#ifndef TESTS_TESTHOST_PROBE_RESULT_H
#define TESTS_TESTHOST_PROBE_RESULT_H

#include "VendaloXAPI.h"

struct ProbeResult {
    int32_t stateBefore;
    int32_t init;
    int32_t stateAfter;
    int32_t setPort;
    int32_t setPath;
    int32_t getPort;
    intptr_t port;
    int32_t getPath;
    char path[64];
    int32_t abortCheck;
    Widget dialogParent;
};

#endif
