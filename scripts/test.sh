#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, runs every test and checks the names with
# clang-tidy; then the same tests built with the address and undefined-behaviour sanitizers
# (KVZ_SANITIZE_TESTS=0 skips that pass), and the settings format under libFuzzer. Each suite's tests run
# beside the next step: they mostly wait, the step uses the cores. Last, where the Windows Qt is in its
# cache, the Windows build under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh"

build_suite() {
  local build=$1
  shift
  cmake -S "$root" -B "$build" -G Ninja -DKVZ_WERROR=ON "$@" >/dev/null
  cmake --build "$build" -j"$jobs"
}

# A suite's tests in the background, their output kept in a file and shown when they end. The tests mostly
# wait (on sockets, timers, child processes and time-outs).
start_tests() {
  ctest --test-dir "$1" --output-on-failure -j"$jobs" >"$1/ctest.log" 2>&1 &
  tests_pid=$!
}
finish_tests() {
  local status=0
  wait "$tests_pid" || status=$?
  echo "== Tests of $1 =="
  cat "$1/ctest.log"
  return $status
}

clang_tidy() {
  # .clang-tidy's checks (the naming rules, a few likely bugs) over the program's own sources; the tests
  # and the fuzz target are not held to them. A finding fails the script.
  command -v clang-tidy >/dev/null || return 0
  echo "== clang-tidy =="
  local sources="^$root/(app|backup|history|platform|schedule|settings|tdsserver|ui)/.*\.cpp\$"
  if command -v run-clang-tidy >/dev/null; then
    # run-clang-tidy prints each command it runs, and clang a count of the warnings it kept out of our
    # files: only the findings are worth reading.
    run-clang-tidy -quiet -j "$jobs" -p "$root/build/test" "$sources" 2>&1 |
      sed -E '/^clang-tidy[-0-9]* |^[0-9]+ warnings? generated\.$/d'
  else
    find "$root"/{app,backup,history,platform,schedule,settings,tdsserver,ui} -name '*.cpp' -print0 |
      xargs -0 -P "$jobs" -n 4 clang-tidy -quiet -p "$root/build/test"
  fi
}

build_suite "$root/build/test" -DCMAKE_BUILD_TYPE=Debug
start_tests "$root/build/test"
tidy=0
clang_tidy || tidy=$?
finish_tests "$root/build/test"
((tidy == 0)) || { echo "clang-tidy found the above"; exit "$tidy"; }

if [[ "${KVZ_SANITIZE_TESTS:-1}" == 1 ]]; then
  echo "== The same tests with the address and undefined-behaviour sanitizers =="
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # Each library compiled as one unit, which takes a minute less; clang-tidy reads the first build's
  # compile commands, which name every source.
  build_suite "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DKVZ_SANITIZE=ON -DCMAKE_UNITY_BUILD=ON
  start_tests "$root/build/sanitize"
fi

# The settings files' reader and writer under libFuzzer (KVZ_FUZZ_SECONDS=0 skips it), beside the
# sanitizers' tests.
fuzz=0
if [[ "${KVZ_FUZZ_SECONDS:-60}" != 0 ]]; then
  "$root/scripts/fuzz.sh" "${KVZ_FUZZ_SECONDS:-60}" || fuzz=$?
fi
if [[ "${KVZ_SANITIZE_TESTS:-1}" == 1 ]]; then
  finish_tests "$root/build/sanitize"
fi

# The Windows program, its tests under Wine and its installer end to end, where the Windows Qt is in its
# cache: that Qt takes most of an hour to build, so scripts/windows/build-qt.sh makes it once per machine.
windows=0
windows_cache=${KVZ_WINDOWS_CACHE:-$HOME/.cache/zanto-yedek-windows}
if [[ -f $windows_cache/qt6-mingw/lib/cmake/Qt6/Qt6Config.cmake ]]; then
  echo "== The Windows build under Wine =="
  if "$root/scripts/windows/build.sh" >"$root/build/windows-build.log" 2>&1; then
    "$root/scripts/windows/test.sh" && "$root/scripts/windows/e2e.sh" || windows=$?
  else
    windows=$?
    tail -30 "$root/build/windows-build.log"
  fi
else
  echo "Windows build under Wine skipped: no Windows Qt in $windows_cache; scripts/windows/build-qt.sh builds it once (35 to 50 minutes)"
fi
((fuzz == 0)) || exit "$fuzz"
exit "$windows"
