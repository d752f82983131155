#!/usr/bin/env bash
# Builds Navora and the simulated receiver, starts the receiver with sample
# data on a pseudo-terminal and Navora beside it, ready to connect. Navora
# keeps its settings for this trial in build/demo, so the user's own settings
# stay untouched; the receiver's memory lives there too. NAVORA_BUILD_DIR
# names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${NAVORA_BUILD_DIR:-build}"

bash scripts/install-deps.sh

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target navora navora-gpssim

demo="$PWD/$build/demo"
mkdir -p "$demo/config/Navora"
[ -f "$demo/receiver.txt" ] || cp tools/sample-memory.txt "$demo/receiver.txt"

# The receiver's device changes with every start; the link keeps one name.
device="$demo/gps"
"$build/tools/navora-gpssim" --memory "$demo/receiver.txt" --link "$device" >"$demo/gpssim.out" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -s "$demo/gpssim.out" ] && break
  sleep 0.1
done
if [ ! -s "$demo/gpssim.out" ]; then
  echo "The simulated receiver did not start." >&2
  exit 1
fi
echo "Simulated receiver on $(head -n 1 "$demo/gpssim.out") ($device)"

settings="$demo/config/Navora/Navora.conf"
if [ -f "$settings" ] && grep -q '^CommPort=' "$settings"; then
  sed -i "s|^CommPort=.*|CommPort=$device|" "$settings"
else
  printf '[Properties]\nCommPort=%s\nSettings="4800,n,8,1"\n' "$device" >>"$settings"
fi

echo "Choose GPS, Connect to GPS to talk to it."
XDG_CONFIG_HOME="$demo/config" "$build/app/main/navora" "$@"
