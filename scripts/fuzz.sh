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

corpus=build-fuzz/fuzz-corpus
mkdir -p "$corpus"
find tests/data -name '*.txt' -exec cp {} "$corpus/" \;
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  build-fuzz/files/fuzz/fuzz_files -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 "$corpus"
