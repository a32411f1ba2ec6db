#!/usr/bin/env bash
# Installs what is missing, builds a release tree and a sanitizer tree, and runs
# every test in both. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_packages "${BUILD_PACKAGES[@]}" "${FULL_PACKAGES[@]}"

jobs=$(nproc)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_BENCH=ON >/dev/null
cmake --build build/release -j"$jobs"
cmake -S . -B build/asan -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_BENCH=OFF >/dev/null
cmake --build build/asan -j"$jobs"

# Dialog tests need an X display: start a virtual one when none is set.
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        break
    done
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] && break; sleep 0.1; done
    [ -e "/tmp/.X11-unix/X${DISPLAY#:}" ] || sleep 1
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for tree in build/release build/asan; do
    echo "== tests in $tree"
    ctest --test-dir "$tree" --output-on-failure -j"$jobs" || status=1
done

# A short fuzzing run when a fuzz target has been built.
if [ -x fuzz/run.sh ]; then
    echo "== fuzzing"
    fuzz/run.sh 60 || status=1
fi
exit $status
