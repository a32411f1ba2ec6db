#!/usr/bin/env bash
# bench/convert/run.sh [RUNS] [MEGABYTES]: converter throughput against cp.
# Builds projconv and the generator (release tree, or $BUILD_DIR), generates a large
# Mac project (default 64 MB of tracks with effect lists, clips and file data), then
# in one run converts it with projconv and copies it with cp RUNS times each
# (default 7, interleaved) and prints the median times, their ratio, and projconv's
# peak resident memory against input + output size. Aim: ratio <= 2, memory <= 1.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-7}
megabytes=${2:-64}
build=${BUILD_DIR:-build/release}

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target projconv convert_bench_project >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/convert-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
in=$work/in.prj
"$build/bench/convert/convert_bench_project" "$in" "$megabytes"
projconv=$build/projconv/projconv

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One untimed round of each warms the page cache.
"$projconv" -o "$work/out.prj" "$in"
cp "$in" "$work/copy.prj"
conv_times=() copy_times=()
for _ in $(seq "$runs"); do
    rm -f "$work/out.prj" "$work/copy.prj"
    t0=$(now)
    "$projconv" -o "$work/out.prj" "$in"
    t1=$(now)
    cp "$in" "$work/copy.prj"
    t2=$(now)
    conv_times+=($(((t1 - t0) / 1000)))
    copy_times+=($(((t2 - t1) / 1000)))
done
conv=$(printf '%s\n' "${conv_times[@]}" | median)
copy=$(printf '%s\n' "${copy_times[@]}" | median)
in_bytes=$(stat -c %s "$in")
out_bytes=$(stat -c %s "$work/out.prj")
echo "input $in_bytes bytes, output $out_bytes bytes, $runs runs each"
awk -v c="$conv" -v p="$copy" -v b="$in_bytes" 'BEGIN {
    printf "projconv median %.1f ms (%.0f MB/s), cp median %.1f ms\n", c / 1000, b / c, p / 1000
    printf "time ratio projconv/cp: %.2f (aim <= 2)\n", c / p }'

if [ -x /usr/bin/time ]; then
    rm -f "$work/out.prj"
    rss_kb=$(/usr/bin/time -f %M "$projconv" -o "$work/out.prj" "$in" 2>&1 >/dev/null | tail -n 1)
    awk -v r="$rss_kb" -v i="$in_bytes" -v o="$out_bytes" 'BEGIN {
        printf "projconv peak RSS %.1f MB, input + output %.1f MB, ratio %.3f (aim <= 1)\n",
            r / 1024, (i + o) / 1048576, r * 1024 / (i + o) }'
else
    echo "projconv peak RSS: not measured (GNU time is not installed)"
fi
