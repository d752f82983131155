#!/usr/bin/env bash
# Builds the file format fuzz target with clang, libFuzzer and the address and
# undefined-behaviour sanitizers, and runs it for a while (FUZZ_SECONDS, 60 by
# default) starting from the data files of the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}

echo "== fuzz the file reader and the position text forms (${seconds} s)"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNAVORA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_files -j "$(nproc)"

# The first byte of an input says what the rest is (see fuzz_files.cpp): the
# example files start as a file of their own kind.
corpus=build-fuzz/fuzz-corpus
mkdir -p "$corpus"
selector=0
for kind in waypoints routes track; do
  { printf "\\$(printf '%03o' "$selector")"; cat "tests/data/files/$kind.txt"; } >"$corpus/$kind.txt"
  selector=$((selector + 1))
done
printf '\003 51.30500' >"$corpus/degrees-minutes.txt"
printf '\0035159.9996' >"$corpus/list-position.txt"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  build-fuzz/files/fuzz/fuzz_files -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 "$corpus"
