#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer and the address and
# undefined-behaviour sanitizers, and runs each for a while (FUZZ_SECONDS, 60
# by default): the text file format and the GPX targets from the data files of
# the tests, the received-line target from the simulated receiver's sample
# memory.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNAVORA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_files fuzz_gpx fuzz_receiver -j "$(nproc)"

# run TARGET CORPUS MAX_LEN
run() {
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    "$1" -max_total_time="$seconds" -max_len="$3" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$2"
}

# The first byte of an input says what the rest is (see fuzz_files.cpp,
# fuzz_gpx.cpp and fuzz_receiver.cpp): the example files start as files of
# their own kind.
echo "== fuzz the file reader and the position text forms (${seconds} s)"
corpus=build-fuzz/fuzz-corpus
mkdir -p "$corpus"
selector=0
for kind in waypoints routes track; do
  { printf "\\$(printf '%03o' "$selector")"; cat "tests/data/files/$kind.txt"; } >"$corpus/$kind.txt"
  selector=$((selector + 1))
done
printf '\003 51.30500' >"$corpus/degrees-minutes.txt"
printf '\0035159.9996' >"$corpus/list-position.txt"
run build-fuzz/files/fuzz/fuzz_files "$corpus" 8192

echo "== fuzz the GPX reader and writer (${seconds} s)"
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
run build-fuzz/files/fuzz/fuzz_gpx "$corpus" 8192

echo "== fuzz the received lines and the downloads' line handling (${seconds} s)"
# 4, 5 and 6 are the waypoint, route and track downloads of lines that get
# their checksums appended, as the memory file's lines carry none.
corpus=build-fuzz/fuzz-corpus-receiver
mkdir -p "$corpus"
selector=4
for address in WPL RTE TRK; do
  { printf "\\$(printf '%03o' "$selector")"; grep "^\\\$PMGN$address" tools/sample-memory.txt
    echo '$PMGNCMD,END'; } >"$corpus/$address.txt"
  selector=$((selector + 1))
done
run build-fuzz/gpslink/fuzz/fuzz_receiver "$corpus" 4096
