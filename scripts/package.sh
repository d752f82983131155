#!/usr/bin/env bash
# Builds Navora's Debian package with CPack from a Release build of the programs
# alone (build-package, kept between runs), then checks the package as a user
# would get it: the files it holds, the dependencies dpkg-shlibdeps found, the
# desktop entry and metainfo, the manual pages, and the programs run from the
# unpacked package. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-package

# The installed programs; each has a manual page and is run from the package.
programs=(navora navora-cli navora-gpssim)
app_id=io.github.navora.Navora

bash scripts/install-deps.sh

echo "== build the package"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNAVORA_TESTS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"
rm -f "$build"/navora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/navora_*.deb)
if ((${#debs[@]} != 1)); then
  echo "CPack made ${#debs[@]} packages, not one: ${debs[*]}" >&2
  exit 1
fi
deb=${debs[0]}

fail() {
  echo "package check: $*" >&2
  exit 1
}

echo "== check $deb"
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
[ -n "$depends" ] || fail "the package has no dependencies"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libproj; do
  grep -q "$library" <<<"$depends" || fail "Depends does not name $library"
done

contents=$(dpkg --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|')
expected=(
  /usr/share/applications/$app_id.desktop
  /usr/share/metainfo/$app_id.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/$app_id.svg
  /usr/share/doc/navora/LICENSE
  /usr/share/doc/navora/README.md
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png")
done
for program in "${programs[@]}"; do
  expected+=("/usr/bin/$program" "/usr/share/man/man1/$program.1.gz")
done
for file in "${expected[@]}"; do
  grep -qxF "$file" <<<"$contents" || fail "$file is missing"
done
# Nothing but the programs goes into bin: no tests, benchmarks or libraries.
installed_programs=$(grep '^/usr/bin/.' <<<"$contents" | sort)
[ "$installed_programs" = "$(printf '/usr/bin/%s\n' "${programs[@]}" | sort)" ] ||
  fail "unexpected programs in /usr/bin: $installed_programs"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg --extract "$deb" "$root"

desktop-file-validate "$root/usr/share/applications/$app_id.desktop"
# Also finds the desktop entry the metainfo names as its launchable.
appstreamcli validate-tree --no-net --no-color "$root" >/dev/null

for program in "${programs[@]}"; do
  warnings=$(zcat "$root/usr/share/man/man1/$program.1.gz" | LC_ALL=C.UTF-8 groff -man -ww -z 2>&1)
  [ -z "$warnings" ] || fail "the manual page of $program has faults: $warnings"
done

# Every switch navora-gpssim offers is described in its manual page.
help=$("$root/usr/bin/navora-gpssim" --help) || fail "navora-gpssim --help failed"
page=$(zcat "$root/usr/share/man/man1/navora-gpssim.1.gz" | sed 's/\\-/-/g')
for switch in $(grep -oE -- '--[a-z][a-z-]+' <<<"$help" | sort -u); do
  grep -qE -- "$switch([^a-z-]|\$)" <<<"$page" || fail "the manual page of navora-gpssim does not describe $switch"
done

# Every option navora-cli offers is described in its manual page.
help=$("$root/usr/bin/navora-cli" --help) || fail "navora-cli --help failed"
page=$(zcat "$root/usr/share/man/man1/navora-cli.1.gz" | sed 's/\\-/-/g')
for option in $(grep -oE -- '--[a-z][a-z-]+' <<<"$help" | sort -u); do
  grep -qE -- "$option([^a-z-]|\$)" <<<"$page" || fail "the manual page of navora-cli does not describe $option"
done

# navora-cli is the core alone: no Qt Gui or Qt Widgets, no display.
needed=$(readelf -d "$root/usr/bin/navora-cli" | grep NEEDED)
if grep -qE 'libQt6(Gui|Widgets)' <<<"$needed"; then
  fail "navora-cli links Qt Gui or Qt Widgets"
fi

# The packaged navora-cli tells its version, and reads the packaged
# simulator's model over its pseudo-terminal, with settings of its own.
version=$("$root/usr/bin/navora-cli" --version) || fail "navora-cli --version failed"
grep -qF "$(dpkg-deb --field "$deb" Version)" <<<"$version" ||
  fail "navora-cli --version says '$version'"
"$root/usr/bin/navora-gpssim" --link "$root/gps" >/dev/null &
sim=$!
for _ in $(seq 50); do
  [ -e "$root/gps" ] && break
  sleep 0.1
done
info=$(XDG_CONFIG_HOME="$root/config" "$root/usr/bin/navora-cli" --port "$root/gps" --timeout 1 info) ||
  { kill "$sim"; fail "navora-cli info against the simulator failed"; }
kill "$sim"
wait "$sim" || true
[ "$info" = $'Model code: 025\nModel name: MAP 410\nVersion: 4.02' ] ||
  fail "navora-cli info printed '$info'"

# The desktop entry's command starts the packaged program, which is still
# running a moment later (a missing library or plugin ends it at once).
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/$app_id.desktop")
[ "$exec_line" = navora ] || fail "the desktop entry runs '$exec_line', not navora"
mkdir -m 700 "$root/runtime"
PATH="$root/usr/bin:$PATH" XDG_CONFIG_HOME="$root/config" XDG_RUNTIME_DIR="$root/runtime" xvfb-run -a -s "-screen 0 1280x1024x24" \
  bash -c '"$1" & app=$!
    sleep 3
    if ! kill -0 "$app" 2>/dev/null; then
      wait "$app"
      echo "package check: navora ended at start with status $?" >&2
      exit 1
    fi
    kill "$app"
    wait "$app" || true' _ "$exec_line"

echo "Package checked: $deb"
