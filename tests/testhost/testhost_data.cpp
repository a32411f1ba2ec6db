// The test host's private data per record, its counters, injected failures and
// abort requests.
#include <map>

#include "testhost.h"

#define VDX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Setting {
    int32_t kind = 0;
    intptr_t integer = 0;
    std::string text;
};

struct PrivateData {
    std::map<int32_t, Setting> settings;
};

struct HostState {
    std::map<const DeviceRecord*, PrivateData> records;
    int32_t failInit = 0;
    int32_t failSet = 0;
    int32_t failGet = 0;
    bool abortRequested = false;
    int abortAfter = 0;
    int abortChecks = 0;
    int suspends = 0;
    int resumes = 0;
};

HostState& host() {
    static HostState state;
    return state;
}

bool valid_key(int32_t key) {
    return key >= 1 && key <= 3;
}

const Setting* find_setting(const DeviceRecord* rec, int32_t key) {
    auto r = host().records.find(rec);
    if (r == host().records.end()) return nullptr;
    auto s = r->second.settings.find(key);
    return s == r->second.settings.end() ? nullptr : &s->second;
}

} // namespace

namespace testhost {

void reset_display_counters(); // testhost_display.cpp

void reset() {
    host() = HostState{};
    reset_display_counters();
}

void fail(Call call, int32_t code) {
    switch (call) {
    case Call::InitData: host().failInit = code; break;
    case Call::SetData: host().failSet = code; break;
    case Call::GetData: host().failGet = code; break;
    }
}

void request_abort(int checksFirst) {
    host().abortRequested = true;
    host().abortAfter = host().abortChecks + checksFirst;
}

void cancel_abort() {
    host().abortRequested = false;
}
int abort_checks() {
    return host().abortChecks;
}
int suspend_count() {
    return host().suspends;
}
int resume_count() {
    return host().resumes;
}

bool stored_integer(const DeviceRecord* rec, int32_t key, intptr_t* value) {
    const Setting* s = find_setting(rec, key);
    if (!s || s->kind != VDX_KIND_INTEGER) return false;
    *value = s->integer;
    return true;
}

bool stored_text(const DeviceRecord* rec, int32_t key, std::string* text) {
    const Setting* s = find_setting(rec, key);
    if (!s || s->kind != VDX_KIND_TEXT) return false;
    *text = s->text;
    return true;
}

} // namespace testhost

VDX_EXPORT int32_t VDX_GetState(DeviceRecord* rec) {
    return host().records.count(rec) ? 1 : 0;
}

VDX_EXPORT int32_t VDX_InitData(DeviceRecord* rec, uint32_t type, uint32_t version, int32_t,
                                int32_t) {
    if (host().failInit) return host().failInit;
    if (type != VDX_PRIVATE_TYPE || version != VDX_PRIVATE_VERSION) return testhost::kBadType;
    if (host().records.count(rec)) return testhost::kAlreadyCreated;
    host().records[rec];
    return 0;
}

VDX_EXPORT int32_t VDX_SetData(DeviceRecord* rec, int32_t key, int32_t kind, int32_t,
                               intptr_t value) {
    if (host().failSet) return host().failSet;
    auto r = host().records.find(rec);
    if (r == host().records.end()) return testhost::kNoPrivateData;
    if (!valid_key(key)) return testhost::kBadKey;
    Setting setting;
    setting.kind = kind;
    if (kind == VDX_KIND_INTEGER) {
        setting.integer = value;
    } else if (kind == VDX_KIND_TEXT && value != 0) {
        setting.text = reinterpret_cast<const char*>(value); // a copy: the caller reuses its buffer
    } else {
        return testhost::kBadKind;
    }
    r->second.settings[key] = std::move(setting);
    return 0;
}

VDX_EXPORT int32_t VDX_GetData(DeviceRecord* rec, int32_t key, int32_t, int32_t, intptr_t* out) {
    if (host().failGet) return host().failGet;
    auto r = host().records.find(rec);
    if (r == host().records.end()) return testhost::kNoPrivateData;
    if (!valid_key(key)) return testhost::kBadKey;
    auto s = r->second.settings.find(key);
    if (s == r->second.settings.end()) return testhost::kNotSet;
    if (!out) return testhost::kBadKind;
    *out = s->second.kind == VDX_KIND_INTEGER ? s->second.integer
                                              : reinterpret_cast<intptr_t>(s->second.text.c_str());
    return 0;
}

VDX_EXPORT void VDX_DevSuspend(DeviceRecord*) {
    host().suspends++;
}

VDX_EXPORT void VDX_DevResume(DeviceRecord*) {
    host().resumes++;
}

VDX_EXPORT int32_t VDX_DevCheckAbort(DeviceRecord*) {
    int call = host().abortChecks++;
    return host().abortRequested && call >= host().abortAfter ? 1 : 0;
}
