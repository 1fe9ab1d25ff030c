#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, runs every test and checks the names with
# clang-tidy; then the same tests built with the address and undefined-behaviour sanitizers
# (KVZ_SANITIZE_TESTS=0 skips that pass).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

"$root/scripts/install-deps.sh"

run_suite() {
  local build=$1
  shift
  cmake -S "$root" -B "$build" -G Ninja -DKVZ_WERROR=ON "$@" >/dev/null
  cmake --build "$build" -j"$jobs"
  ctest --test-dir "$build" --output-on-failure -j"$jobs"
}

run_suite "$root/build/test" -DCMAKE_BUILD_TYPE=Debug

# .clang-tidy's checks (the naming rules, a few likely bugs) over the program's own sources; the tests and
# the fuzz target are not held to them. A finding fails the script.
if command -v clang-tidy >/dev/null; then
  echo "== clang-tidy =="
  sources="^$root/(app|backup|history|schedule|settings|tdsserver|ui)/.*\.cpp\$"
  if command -v run-clang-tidy >/dev/null; then
    # run-clang-tidy prints each command it runs, and clang a count of the warnings it kept out of our
    # files: only the findings are worth reading.
    run-clang-tidy -quiet -j "$jobs" -p "$root/build/test" "$sources" 2>&1 |
      sed -E '/^clang-tidy[-0-9]* |^[0-9]+ warnings? generated\.$/d'
  else
    find "$root"/{app,backup,history,schedule,settings,tdsserver,ui} -name '*.cpp' -print0 |
      xargs -0 -P "$jobs" -n 4 clang-tidy -quiet -p "$root/build/test"
  fi
fi

if [[ "${KVZ_SANITIZE_TESTS:-1}" == 1 ]]; then
  echo "== The same tests with the address and undefined-behaviour sanitizers =="
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  run_suite "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DKVZ_SANITIZE=ON
fi

# The settings files' reader and writer under libFuzzer (KVZ_FUZZ_SECONDS=0 skips it).
if [[ "${KVZ_FUZZ_SECONDS:-60}" != 0 ]]; then
  "$root/scripts/fuzz.sh" "${KVZ_FUZZ_SECONDS:-60}"
fi
