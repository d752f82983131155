#!/usr/bin/env bash
# Takes the README's screenshot of the main window: the simulated receiver with
# its sample memory, Navora connected to it with the three lists downloaded,
# grabbed by the program itself under a virtual X server. Writes
# dist/screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${NAVORA_BUILD_DIR:-build}"

bash scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target navora-screenshot navora-gpssim

work=$(mktemp -d)
cp tools/sample-memory.txt "$work/receiver.txt"
"$build/tools/navora-gpssim" --memory "$work/receiver.txt" --link "$work/gps" >"$work/gpssim.out" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 50); do
  [ -s "$work/gpssim.out" ] && break
  sleep 0.1
done

xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/tools/navora-screenshot" --port "$work/gps" --out dist/screenshot.png
echo "Wrote dist/screenshot.png"
