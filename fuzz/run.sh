#!/usr/bin/env bash
# fuzz/run.sh [SECONDS]: builds the converter's libFuzzer target with clang in
# build/fuzz and fuzzes the driver for about SECONDS (default 60), starting from a
# seed corpus the project kit writes. Exits non-zero on any crash, leak, timeout or
# sanitizer report; the input that caused it is kept under build/fuzz/artifacts/.
# Without clang and its libFuzzer runtime it says so and exits 0.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz: clang++ not found; not fuzzing"
    exit 0
fi
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_BENCH=OFF >"$build.configure.log" 2>&1 || {
    cat "$build.configure.log"
    echo "fuzz: configuring $build failed"
    exit 1
}
if ! grep -q '^HAVE_LIBFUZZER:INTERNAL=1' "$build/CMakeCache.txt"; then
    echo "fuzz: clang has no libFuzzer runtime (libclang-rt-dev); not fuzzing"
    exit 0
fi
cmake --build "$build" -j"$(nproc)" --target projconv_fuzz fuzz_seeds >"$build.build.log" 2>&1 || {
    tail -n 40 "$build.build.log"
    echo "fuzz: building the fuzz target failed"
    exit 1
}

seeds=$build/seeds corpus=$build/corpus artifacts=$build/artifacts
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$artifacts"
"$build/fuzz/fuzz_seeds" "$seeds" || exit 1

log=$build/fuzz.log
echo "fuzz: projconv_fuzz for ${seconds}s (log: $log)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/fuzz/projconv_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -detect_leaks=1 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    -dict=fuzz/projconv.dict "$corpus" "$seeds" >"$log" 2>&1
status=$?

if [ $status -ne 0 ] ||
    grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|libFuzzer)|runtime error:|SUMMARY: ' "$log"; then
    tail -n 60 "$log"
    echo "fuzz: FAILED (status $status); see $log and $artifacts/"
    exit 1
fi
grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" | tr '\n' ' '
echo
echo "fuzz: clean after ${seconds}s, corpus $(ls "$corpus" | wc -l) inputs"
