#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and the address and
# undefined-behaviour sanitizers, and runs each for a while (FUZZ_SECONDS, 60
# by default): the file format target from the data files of the tests, the
# received-line target from the simulated receiver's sample memory.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}

echo "== fuzz the file reader and the position text forms (${seconds} s)"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNAVORA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_files fuzz_receiver -j "$(nproc)"

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

echo "== fuzz the received lines and the downloads' line handling (${seconds} s)"
# The first byte says what the rest is (see fuzz_receiver.cpp): 4, 5 and 6
# are the waypoint, route and track downloads of lines that get their
# checksums appended, as the memory file's lines carry none.
corpus=build-fuzz/fuzz-corpus-receiver
mkdir -p "$corpus"
selector=4
for address in WPL RTE TRK; do
  { printf "\\$(printf '%03o' "$selector")"; grep "^\\\$PMGN$address" tools/sample-memory.txt
    echo '$PMGNCMD,END'; } >"$corpus/$address.txt"
  selector=$((selector + 1))
done
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  build-fuzz/gpslink/fuzz/fuzz_receiver -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 "$corpus"
