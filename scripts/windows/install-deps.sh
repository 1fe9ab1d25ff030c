#!/usr/bin/env bash
# Installs the Debian 12 packages the Windows build, its tests under Wine and its installer need.
set -euo pipefail
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine nsis
  dpkg-dev ninja-build cmake qt6-base-dev qt6-base-dev-tools)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
((${#missing[@]} == 0)) && exit 0
as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
