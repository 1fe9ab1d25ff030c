#!/usr/bin/env bash
# Fuzzes the settings files' reader and writer for the given seconds (60 by default), starting from a copy
# of tests/program/fuzz/corpus; fails when an input breaks a property of
# tests/program/fuzz/fuzz_profile.cpp, and shows it.
# KVZ_FUZZ_BUILD names the build folder (build/fuzz by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
if [[ ! "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds]  (a whole number above 0)" >&2
  exit 2
fi
build=${KVZ_FUZZ_BUILD:-$root/build/fuzz}

"$root/scripts/install-deps.sh" --with-clang
cmake -S "$root/tests/program/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKVZ_WERROR=ON >/dev/null
cmake --build "$build"

# libFuzzer adds what it learns to the corpus folder it is given: the seeds in the tree stay as they are.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/tests/program/fuzz/corpus" "$work/corpus"
artifacts="$build/artifacts"
rm -rf "$artifacts"
mkdir -p "$artifacts"

echo "== Fuzzing the settings format for $seconds s =="
# -max_len bounds the content so that each input's checks stay quick; -timeout turns a hang into a failure.
if "$build/fuzz_profile" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$work/corpus" >"$work/log" 2>&1; then
  grep -E '^(Done|stat::number_of_executed_units)' "$work/log" || true
  exit 0
fi
grep -v '^#[0-9]' "$work/log" | tail -n 30
for input in "$artifacts"/*; do
  [[ -e "$input" ]] || continue
  # A few seconds of libFuzzer's own shrinking make the input readable.
  "$build/fuzz_profile" -minimize_crash=1 -max_total_time=10 -exact_artifact_path="$input.min" "$input" \
    >/dev/null 2>&1 || true
  [[ -s "$input.min" ]] && input="$input.min"
  echo "== failing input $input (lengths of section, key, value; then the three; then the file) =="
  od -A d -c "$input"
done
exit 1
