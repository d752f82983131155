#!/usr/bin/env bash
# Installs, from Debian's packages, whatever Navora needs to build, run and be
# tested that this machine does not have yet. Safe to run again.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-serialport-dev libgl-dev
  libproj-dev proj-data
  clang-14 libclang-rt-14-dev clang-format
  xvfb xauth fonts-dejavu-core
  # another host for the simulated receiver, run by the interoperability test
  gpsbabel
  # validating the desktop entry and metainfo, building and checking the package
  desktop-file-utils appstream groff-base dpkg-dev file
  # checking that GPX files Navora writes are well-formed XML
  libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
