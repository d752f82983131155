#!/usr/bin/env bash
# Builds the fuzz targets of the text file format and of GPX with clang,
# libFuzzer and the address and undefined-behaviour sanitizers, and runs them
# for a while (FUZZ_SECONDS together, 60 by default) starting from the data
# files of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
# The time is shared between the two targets.
half=$(((seconds + 1) / 2))

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNAVORA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_files fuzz_gpx -j "$(nproc)"

run() {
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    "$1" -max_total_time="$half" -max_len=8192 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$2"
}

# The first byte of an input says what the rest is (see fuzz_files.cpp and
# fuzz_gpx.cpp): the example files start as files of their own kind.
echo "== fuzz the file reader and the position text forms (${half} s)"
corpus=build-fuzz/fuzz-corpus
mkdir -p "$corpus"
selector=0
for kind in waypoints routes track; do
  { printf "\\$(printf '%03o' "$selector")"; cat "tests/data/files/$kind.txt"; } >"$corpus/$kind.txt"
  selector=$((selector + 1))
done
printf '\003 51.30500' >"$corpus/degrees-minutes.txt"
printf '\0035159.9996' >"$corpus/list-position.txt"
run build-fuzz/files/fuzz/fuzz_files "$corpus"

echo "== fuzz the GPX reader and writer (${half} s)"
corpus=build-fuzz/fuzz-corpus-gpx
mkdir -p "$corpus"
for file in tests/data/gpx/*.gpx; do
  { printf '\000'; cat "$file"; } >"$corpus/$(basename "$file")"
  { printf '\002'; cat "$file"; } >"$corpus/feet-$(basename "$file")"
done
selector=1
for kind in waypoints routes track; do
  { printf "\\$(printf '%03o' "$selector")"; cat "tests/data/files/$kind.txt"; } >"$corpus/$kind.txt"
  selector=$((selector + 2))
done
run build-fuzz/files/fuzz/fuzz_gpx "$corpus"
