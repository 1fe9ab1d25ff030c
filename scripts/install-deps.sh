#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing the program need.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config clang-tidy
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6sql6-sqlite
  unixodbc-dev tdsodbc freetds-bin libssl-dev
  fonts-liberation fonts-dejavu-core
  xvfb xauth x11-utils trayer xdotool imagemagick
  faketime dpkg-dev file
)
if [[ "${1:-}" == "--with-clang" ]]; then
  packages+=(clang libclang-rt-14-dev)
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

as_root=()
if [[ $(id -u) -ne 0 ]]; then
  as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
