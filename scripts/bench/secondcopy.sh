#!/usr/bin/env bash
# The second copy against the shell's tools, side by side on the same disks: copying and checking a backup
# (the program's CopyAndCheck: write under a temporary name, SHA-256 on the way, fsync, read back from the
# disk, rename) against `cp` followed by `sha256sum` of both files, and against the same with a `sync`
# before the sums, which is what makes the pair's check read the disk's copy at all.
# Usage: scripts/bench/secondcopy.sh [build folder] [work folder]   (BENCH_RUNS=3, BENCH_MIB=1024)
# The build folder must be configured with -DBUILD_TESTING=ON -DKVZ_BENCH=ON; the work folder needs twice
# BENCH_MIB of free room, on the disk to be measured.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../../build/bench}
work=${2:-$(mktemp -d /var/tmp/kvz-secondcopy.XXXXXX)}
runs=${BENCH_RUNS:-3}
mib=${BENCH_MIB:-1024}
cmake --build "$build" --target kvz_bench_secondcopy >/dev/null
bench="$build/scripts/bench/kvz_bench_secondcopy"
trap 'rm -rf "$work/from" "$work/to"' EXIT
mkdir -p "$work/from" "$work/to"
source_file="$work/from/20261207030000-STOK.bak"
head -c "$((mib * 1024 * 1024))" /dev/urandom >"$source_file"
sync

seconds() { local start=$1 end; end=$(date +%s.%N); echo "$end - $start" | bc; }

echo "CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cores"
echo "file: $mib MiB of random bytes; disk: $(df --output=source,fstype "$work" | tail -1 | tr -s ' ')"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-4s %14s %10s %14s %18s %8s %8s\n' run copy+check gap_ms cp+sha256sum cp+sync+sha256sum ratio ratio_s
for run in $(seq 1 "$runs"); do
  rm -f "$work"/to/*
  read -r _ ours gap < <("$bench" "$source_file" "$work/to")
  rm -f "$work"/to/*
  start=$(date +%s.%N)
  cp "$source_file" "$work/to/"
  sha256sum "$source_file" "$work/to/$(basename "$source_file")" >/dev/null
  pair=$(seconds "$start")
  rm -f "$work"/to/*
  start=$(date +%s.%N)
  cp "$source_file" "$work/to/"
  sync
  sha256sum "$source_file" "$work/to/$(basename "$source_file")" >/dev/null
  synced=$(seconds "$start")
  printf '%-4s %14.3f %10.3f %14.3f %18.3f %8.2f %8.2f\n' "$run" "$ours" "$gap" "$pair" "$synced" \
    "$(echo "$ours / $pair" | bc -l)" "$(echo "$ours / $synced" | bc -l)"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
