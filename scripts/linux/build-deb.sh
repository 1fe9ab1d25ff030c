#!/usr/bin/env bash
# Builds the Debian package: the program under /usr/lib/zanto-yedek, the launcher "zanto-yedek" that runs
# each user's own copy in ~/zanto-yedek, and a menu entry. Prints the package's path last.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/deb}

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKVZ_DEB=ON ${CMAKE_CXX_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_CXX_COMPILER_LAUNCHER} >/dev/null
nice cmake --build "$build" --target kvz
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { tail -20 "$build/cpack.log"; exit 1; }
ls "$build"/zanto-yedek_*.deb
