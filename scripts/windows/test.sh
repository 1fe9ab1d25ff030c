#!/usr/bin/env bash
# Runs the test programs cross-built by build.sh under Wine, one at a time, each with a time limit, and
# prints one line per program and a summary; fails when any program fails or does not end.
# Usage: test.sh [build folder] [name pattern]   (default: build/win, every tst_*.exe)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-$root/build/win}")
pattern=${2:-tst_*}
limit=${KVZ_WINE_TIMEOUT:-300}
wine=${WINE:-/usr/lib/wine/wine64}
[[ -x $wine ]] || wine=$(command -v wine64 || command -v wine)

# A prefix of its own, made once and kept under the build folder: wineboot takes longer than most tests.
export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  "$wine" wineboot --init >/dev/null 2>&1
  "${wine%64}server" -w 2>/dev/null || wineserver -w
fi
# Wine hands a Windows program only the variables prefixed WINE; CTest's environment does not reach it.
export WINEQT_QPA_PLATFORM=offscreen WINEQT_LOGGING_RULES='*.debug=false' WINEQT_FORCE_STDERR_LOGGING=1

logs=$build/wine-logs
mkdir -p "$logs"
passed=() failed=()
while read -r test; do
  name=$(basename "$test" .exe)
  start=$SECONDS
  (cd "$(dirname "$test")" && timeout -k 10 "$limit" "$wine" "$test" -o -,txt) >"$logs/$name.log" 2>&1
  status=$?
  seconds=$((SECONDS - start))
  totals=$(grep -E '^Totals:' "$logs/$name.log" | tail -1)
  if ((status == 0)); then
    passed+=("$name")
    echo "PASS $name (${seconds} s) $totals"
  else
    failed+=("$name")
    why="exit $status"
    ((status == 124 || status == 137)) && why="no end after $limit s"
    echo "FAIL $name (${seconds} s, $why) $totals"
    grep -E '^(FAIL!|SKIP)' "$logs/$name.log" | head -5 | sed 's/^/    /'
  fi
done < <(find "$build/tests" -name "$pattern.exe" -not -path '*/CMakeFiles/*' | sort)

echo "${#passed[@]} passed, ${#failed[@]} failed under Wine (logs in $logs)"
((${#failed[@]} == 0))
