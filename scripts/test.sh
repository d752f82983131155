#!/usr/bin/env bash
# Builds Navora and runs every test. With --all (as CI runs it) it also checks
# the layout with clang-format, validates the desktop entry and the AppStream
# metainfo, runs the suite again in an address and undefined-behaviour
# sanitizer build, fuzzes, and builds and checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

all=0
[ "${1:-}" = "--all" ] && all=1

bash scripts/install-deps.sh

jobs=$(nproc)

if ((all)); then
  echo "== layout"
  git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

  echo "== desktop entry and metainfo"
  desktop-file-validate dist/io.github.navora.Navora.desktop
  appstreamcli validate --no-net --no-color dist/io.github.navora.Navora.metainfo.xml
fi

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# Root may open any device, so the suite cannot show it the hint for a port the
# user may not open; that one test runs again as an ordinary user and must pass,
# not skip.
denied=build/tests/gpslink/tst_QtSerialStream
if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null &&
  setpriv --reuid=nobody --regid=nogroup --clear-groups test -x "$denied"; then
  echo "== denied port, as an ordinary user"
  out=$(setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp TMPDIR=/tmp \
    "$denied" deniedPortSaysHowToGetIn)
  echo "$out"
  grep -q '^PASS   : tst_QtSerialStream::deniedPortSaysHowToGetIn()' <<<"$out"
fi

if ((all)); then
  echo "== sanitizer build and test"
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNAVORA_SANITIZE=ON >/dev/null
  cmake --build build-asan -j "$jobs"
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs"

  bash scripts/fuzz.sh

  bash scripts/package.sh
fi
