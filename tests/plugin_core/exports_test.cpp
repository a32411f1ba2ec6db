// The core linked into a shared module the way the plug-in links it: every
// name the host or a tool may look up is there, unmangled.
#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

TEST(Exports, NamesResolveInASharedModule) {
    void* lib = dlopen(PLUGIN_CORE_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    const char* names[] = {
        "FramesToSmpteTime",
        "SmpteTimeToFrames",
        "SonySmpteIsDrop",
        "FRAMESTOSMPTETIME",
        "SMPTETIMETOFRAMES",
        "SmpteTimeToStr",
        "StrToSmpteTime",
        "SmpteToSmpteTime",
        "BuildCmdString",
        "BuildSonyTimeCodeCmd",
        "BuildSonyShuttleCmd",
        "BuildSonyEditEnableCmd",
        "FillinCmdChecksum",
        "localdata",
        "ld",
        "getustfrommscandpair",
        "getmscfrommscandpair",
        "vl_timing_to_video_field_rate",
        "CalculateNextMSC",
        "fields_per_sec",
        "video_ust_per_msc",
        "LastKnownGoodPair",
        "NowMSC",
        "NextMSC",
        "LastMSC",
        "TimeToLong",
        "LongToTime",
        "IsDropFrame",
        "FrmPerSec",
    };
    for (const char* name : names) EXPECT_NE(dlsym(lib, name), nullptr) << name;

    // And it works from there: 1800 drop-frame frames is 00:01:00;02.
    using Fn = void (*)(int32_t, int16_t, int16_t, int16_t*);
    auto frames = reinterpret_cast<Fn>(dlsym(lib, "FramesToSmpteTime"));
    ASSERT_NE(frames, nullptr);
    int16_t tc[4] = {};
    frames(1800, 30, 1, tc);
    EXPECT_EQ(tc[1], 1);
    EXPECT_EQ(tc[3], 2);
    dlclose(lib);
}

} // namespace
