// Frame counts to timecode and back, drop-frame and non-drop, with our
// conversions and with FFmpeg's av_timecode_* side by side. Before timing, both
// must give the same timecode for every count that is timed; then the ratio of
// their times is printed.
#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/rational.h>
#include <libavutil/timecode.h>
}

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "Sony422.h"

namespace {

struct Mode {
    const char* name;
    int16_t drop;
    AVRational rate;
    int avFlags;
    int32_t perDay;
};

const Mode kModes[] = {
    {"non-drop 30", 0, {30, 1}, 0, 30 * 86400},
    {"drop-frame 29.97", 1, {30000, 1001}, AV_TIMECODE_FLAG_DROPFRAME, 2589408},
};

// Counts spread over one day, with the places drop-frame counting is tricky.
std::vector<int32_t> Counts(const Mode& mode) {
    std::vector<int32_t> counts = {0,     1,     1799,  1800,   1801,   3597,           3598,
                                   17981, 17982, 19782, 107891, 107892, mode.perDay - 1};
    uint32_t x = 12345;
    while (counts.size() < 8192) {
        x = x * 1664525u + 1013904223u;
        counts.push_back(static_cast<int32_t>(x % static_cast<uint32_t>(mode.perDay)));
    }
    return counts;
}

std::vector<SmpteTime> Labels(const Mode& mode, const std::vector<int32_t>& counts) {
    std::vector<SmpteTime> labels(counts.size());
    for (size_t i = 0; i < counts.size(); ++i)
        FramesToSmpteTime(counts[i], 30, mode.drop, &labels[i]);
    return labels;
}

AVTimecode AvTimecode(const Mode& mode) {
    AVTimecode tc;
    if (av_timecode_init(&tc, mode.rate, mode.avFlags, 0, nullptr) != 0) {
        std::fprintf(stderr, "av_timecode_init refused %s\n", mode.name);
        std::abort();
    }
    return tc;
}

// FFmpeg's SMPTE word: BCD frames in the top byte down to hours in the bottom
// one, drop-frame flag in bit 30.
SmpteTime FromAvSmpte(uint32_t w) {
    auto bcd = [](uint32_t byte) { return static_cast<int16_t>((byte >> 4) * 10 + (byte & 15)); };
    return SmpteTime{bcd(w & 0x3F), bcd((w >> 8) & 0x7F), bcd((w >> 16) & 0x7F),
                     bcd((w >> 24) & 0x3F)};
}

int32_t AvFrames(const Mode& mode, const SmpteTime& t) {
    AVTimecode tc;
    av_timecode_init_from_components(&tc, mode.rate, mode.avFlags, t.hours, t.minutes, t.seconds,
                                     t.frames, nullptr);
    return tc.start;
}

[[noreturn]] void Disagree(const Mode& mode, const char* what, int32_t count, const SmpteTime& a,
                           const SmpteTime& b) {
    std::fprintf(stderr,
                 "timecode_bench: ours and FFmpeg disagree (%s, %s) at count %d: "
                 "%02d:%02d:%02d:%02d against %02d:%02d:%02d:%02d\n",
                 mode.name, what, count, a.hours, a.minutes, a.seconds, a.frames, b.hours,
                 b.minutes, b.seconds, b.frames);
    std::abort();
}

void CheckAgreement() {
    for (const Mode& mode : kModes) {
        AVTimecode tc = AvTimecode(mode);
        std::vector<int32_t> counts = Counts(mode);
        for (int32_t count : counts) {
            SmpteTime ours;
            FramesToSmpteTime(count, 30, mode.drop, &ours);
            SmpteTime theirs = FromAvSmpte(av_timecode_get_smpte_from_framenum(&tc, count));
            if (ours.hours != theirs.hours || ours.minutes != theirs.minutes ||
                ours.seconds != theirs.seconds || ours.frames != theirs.frames)
                Disagree(mode, "count to timecode", count, ours, theirs);
            int32_t back = SmpteTimeToFrames(&ours, 30, mode.drop);
            int32_t avBack = AvFrames(mode, ours);
            if (back != count || avBack != count) {
                SmpteTime b{}, a{};
                FramesToSmpteTime(back, 30, mode.drop, &b);
                FramesToSmpteTime(avBack, 30, mode.drop, &a);
                Disagree(mode, "timecode to count", count, b, a);
            }
        }
    }
}

void OursToTimecode(benchmark::State& state, const Mode* mode) {
    std::vector<int32_t> counts = Counts(*mode);
    for (auto _ : state) {
        for (int32_t count : counts) {
            SmpteTime t;
            FramesToSmpteTime(count, 30, mode->drop, &t);
            benchmark::DoNotOptimize(t);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(counts.size()));
}

void FfmpegToTimecode(benchmark::State& state, const Mode* mode) {
    std::vector<int32_t> counts = Counts(*mode);
    AVTimecode tc = AvTimecode(*mode);
    for (auto _ : state) {
        for (int32_t count : counts) {
            uint32_t w = av_timecode_get_smpte_from_framenum(&tc, count);
            benchmark::DoNotOptimize(w);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(counts.size()));
}

void OursToCount(benchmark::State& state, const Mode* mode) {
    std::vector<SmpteTime> labels = Labels(*mode, Counts(*mode));
    for (auto _ : state) {
        for (const SmpteTime& t : labels) {
            int32_t n = SmpteTimeToFrames(&t, 30, mode->drop);
            benchmark::DoNotOptimize(n);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(labels.size()));
}

void FfmpegToCount(benchmark::State& state, const Mode* mode) {
    std::vector<SmpteTime> labels = Labels(*mode, Counts(*mode));
    for (auto _ : state) {
        for (const SmpteTime& t : labels) {
            int32_t n = AvFrames(*mode, t);
            benchmark::DoNotOptimize(n);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(labels.size()));
}

// Keeps every run's time per iteration so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        std::printf("\nFFmpeg CPU time / our CPU time (above 1: ours is faster)\n");
        for (const Mode& mode : kModes) {
            for (const char* dir : {"to timecode", "to count"}) {
                std::string suffix = std::string(dir) + "/" + mode.name;
                auto ours = times_.find("ours " + suffix);
                auto theirs = times_.find("ffmpeg " + suffix);
                if (ours == times_.end() || theirs == times_.end() || ours->second <= 0) continue;
                std::printf("  %-32s %6.2f\n", suffix.c_str(), theirs->second / ours->second);
            }
        }
    }

  private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    CheckAgreement();
    for (const Mode& mode : kModes) {
        std::string m = mode.name;
        benchmark::RegisterBenchmark(("ours to timecode/" + m).c_str(), OursToTimecode, &mode);
        benchmark::RegisterBenchmark(("ffmpeg to timecode/" + m).c_str(), FfmpegToTimecode, &mode);
        benchmark::RegisterBenchmark(("ours to count/" + m).c_str(), OursToCount, &mode);
        benchmark::RegisterBenchmark(("ffmpeg to count/" + m).c_str(), FfmpegToCount, &mode);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
