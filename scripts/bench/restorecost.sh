#!/usr/bin/env bash
# The restore test's own cost (kvz_bench_restorecost): builds it in the given build folder (build/bench,
# Release, unless named) and prints the median and the 90th percentile of each sample. Not part of CI.
# Usage: restorecost.sh [build folder] [tests, 20]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build/bench}
tests=${2:-20}
[[ -f $build/CMakeCache.txt ]] ||
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DKVZ_BENCH=ON >/dev/null
cmake "$build" -DKVZ_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target kvz_bench_restorecost >/dev/null
echo "build type: $(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt"), $tests tests"
QT_LOGGING_RULES="kvz.*=false" "$build/scripts/bench/kvz_bench_restorecost" "$tests" |
  awk '$1 == "sample" { values[$2] = values[$2] " " $3 }
       END { for (key in values) print key values[key] }' | sort |
  while read -r key samples; do
    sorted=$(tr ' ' '\n' <<<"$samples" | sort -g)
    count=$(wc -l <<<"$sorted")
    median=$(sed -n "$(((count + 1) / 2))p" <<<"$sorted")
    p90=$(sed -n "$(((count * 9 + 9) / 10))p" <<<"$sorted")
    printf '%-32s median %8.2f ms   p90 %8.2f ms\n' "$key" "$median" "$p90"
  done
