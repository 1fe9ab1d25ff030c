#!/usr/bin/env bash
# A simulated week (or the given number of days) of one backup a minute against the loopback test server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
days=${1:-7}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/soak" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build/soak" --target kvz_soak tdstestserver-cli
/usr/bin/time -f "wall time: %e s, peak resident memory: %M KiB" "$root/build/soak/scripts/soak/kvz_soak" "$days"
