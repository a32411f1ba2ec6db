#!/usr/bin/env bash
# Installs what is missing, builds, and converts the sample Mac project.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
install_packages "${BUILD_PACKAGES[@]}" "${FULL_PACKAGES[@]}"

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release -j"$(nproc)" --target projconv

in=examples/sample-mac.prj
out=examples/sample-sgi.prj
build/release/projconv/projconv -o "$out" "$in"
entries=$(od -An -tu4 --endian=big -j16 -N4 "$in" | tr -d ' ')
echo "converted $in -> $out: $entries entries, $(stat -c %s "$in") bytes in, $(stat -c %s "$out") bytes out"
