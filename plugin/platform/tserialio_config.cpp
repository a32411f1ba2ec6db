// Port configuration: the settings a port is opened with.
#include <cstdarg>
#include <cstdio>
#include <new>

#include "tserialio_internal.h"

namespace {

constexpr int kMaxQueueSize = 1 << 20;

} // namespace

void ts_trace(int debug, const char* fmt, ...) {
    if (debug <= 0) return;
    char text[512];
    va_list args;
    va_start(args, fmt);
    vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    fprintf(stderr, "tserialio: %s\n", text);
}

extern "C" TSconfig tsNewConfig(void) {
    return new (std::nothrow) TSconfigRec;
}

extern "C" TSstatus tsFreeConfig(TSconfig config) {
    if (!config) return TS_ERROR_BAD_ARGUMENT;
    delete config;
    return TS_SUCCESS;
}

extern "C" TSstatus tsSetPortName(TSconfig config, const char* name) {
    if (!config || !name || !*name) return TS_ERROR_BAD_ARGUMENT;
    try {
        config->name = name;
    } catch (const std::bad_alloc&) {
        return TS_ERROR_NO_MEMORY;
    }
    return TS_SUCCESS;
}

extern "C" TSstatus tsSetQueueSize(TSconfig config, int bytes) {
    if (!config || bytes < 1 || bytes > kMaxQueueSize) return TS_ERROR_BAD_ARGUMENT;
    config->queueSize = bytes;
    return TS_SUCCESS;
}

extern "C" TSstatus tsSetCflag(TSconfig config, tcflag_t cflag) {
    if (!config) return TS_ERROR_BAD_ARGUMENT;
    config->cflag = cflag;
    return TS_SUCCESS;
}

extern "C" TSstatus tsSetOspeed(TSconfig config, speed_t baud) {
    if (!config || !ts_baud_supported(baud)) return TS_ERROR_BAD_ARGUMENT;
    config->baud = baud;
    return TS_SUCCESS;
}

extern "C" TSstatus tsSetDebug(TSconfig config, int level) {
    if (!config) return TS_ERROR_BAD_ARGUMENT;
    config->debug = level;
    return TS_SUCCESS;
}

extern "C" TSstatus tsSetDirection(TSconfig config, int direction) {
    if (!config) return TS_ERROR_BAD_ARGUMENT;
    if (direction != TS_DIRECTION_RECEIVE && direction != TS_DIRECTION_TRANSMIT)
        return TS_ERROR_BAD_ARGUMENT;
    config->direction = direction;
    return TS_SUCCESS;
}
