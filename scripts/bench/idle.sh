#!/usr/bin/env bash
# Idle cost of the real program: CPU time and resident memory over a while with the window shown, then
# hidden with GİZLE. One fresh copy per run. Needs DISPLAY with a tray host.
# With a second kvz, each run measures both builds one after the other, so that they share the machine's
# load of the moment; the first of the two alternates from run to run. The second build's samples are
# named compare.idle.*.
# Each run also measures the floor beneath the shown cost, kvz_bench_qtclock (next to kvz_bench_cputime): a
# plain Qt window whose label is set each second (samples qtclock.idle.label.*), and the same window only woken
# each second (qtclock.idle.timer.*).
# Usage: idle.sh <kvz_bench_cputime> <kvz> <server port> <work folder> <runs> <seconds> [<kvz to compare>]
set -euo pipefail
cputime=$1
kvz=$2
port=$3
work=$4
runs=$5
seconds=$6
compare=${7:-}
title='ZANTO POS SQL YEDEKLEME MODÜLÜ'
# shellcheck source=scripts/bench/common.sh
source "$(dirname "$0")/common.sh"

# Each build has its own program, backup and settings folders: nothing one copy leaves behind is read by
# the other build.
builds=(this)
make_program_folder "$work/idle-this/program" "$work/idle-this/backups" "$port" "$kvz"
if [[ -n $compare ]]; then
  builds+=(compare)
  make_program_folder "$work/idle-compare/program" "$work/idle-compare/backups" "$port" "$compare"
fi

builds+=(qtclock-label qtclock-timer)
qtclock=$(dirname "$cputime")/kvz_bench_qtclock

kvz_pid=
cleanup() {
  if [[ -n $kvz_pid ]]; then
    kill "$kvz_pid" 2>/dev/null || true
    wait "$kvz_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

backup_count() { find "$1" -name '*.bak' | wc -l; }
more_backups_than() { [[ $(backup_count "$1") -gt $2 ]]; }
main_window() { xdotool search --onlyvisible --name "^$title\$" | head -1; }
shown() { [[ -n $(main_window) ]]; }
hidden() { ! shown; }
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$kvz_pid/status"; }

# Prints the samples of one phase: CPU as a percentage of one core, and the highest resident set seen.
measure() {
  local prefix=$1 phase=$2 start_cpu end_cpu start_ns end_ns peak=0 rss
  start_ns=$(date +%s%N)
  start_cpu=$("$cputime" "$kvz_pid")
  for ((second = 0; second < seconds; second++)); do
    sleep 1
    rss=$(rss_kib)
    ((rss > peak)) && peak=$rss
  done
  end_cpu=$("$cputime" "$kvz_pid")
  end_ns=$(date +%s%N)
  awk -v p="$prefix" -v f="$phase" -v cpu=$((end_cpu - start_cpu)) -v ns=$((end_ns - start_ns)) -v kib="$peak" \
    'BEGIN {
      printf "sample %sidle.%s.cpu_percent_of_core %.4f\n", p, f, 100 * cpu / ns
      printf "sample %sidle.%s.rss_mib %.3f\n", p, f, kib / 1024 }'
}

# measure_copy <this|compare>: one fresh copy of that build, shown then hidden.
measure_copy() {
  local build=$1 folder=$work/idle-$1 prefix before
  [[ $build == this ]] && prefix= || prefix=compare.
  mkdir -p "$folder/config"
  before=$(backup_count "$folder/backups")
  (cd "$folder/program" && XDG_CONFIG_HOME=$folder/config exec ./kvz >>"$folder/kvz.log" 2>&1) &
  kvz_pid=$!
  wait_for 20 shown || { echo "idle.sh: $build build: the main window was not shown" >&2; exit 1; }
  wait_for 30 more_backups_than "$folder/backups" "$before" ||
    { echo "idle.sh: $build build: no start-up backup" >&2; exit 1; }
  sleep 2 # the run's worker and the window settle
  measure "$prefix" shown
  xdotool mousemove --window "$(main_window)" 128 168 click 1 # GİZLE
  wait_for 5 hidden || { echo "idle.sh: $build build: GİZLE did not hide the window" >&2; exit 1; }
  sleep 2
  measure "$prefix" hidden
  kill "$kvz_pid"
  wait "$kvz_pid" 2>/dev/null || true
  kvz_pid=
}

# measure_qtclock <label|timer>: one fresh copy of the floor program, shown.
measure_qtclock() {
  "$qtclock" "$1" >/dev/null 2>&1 &
  kvz_pid=$!
  wait_for 20 xdotool search --onlyvisible --name '^kvz_bench_qtclock$' ||
    { echo "idle.sh: kvz_bench_qtclock $1: no window" >&2; exit 1; }
  sleep 2
  measure qtclock. "$1"
  kill "$kvz_pid"
  wait "$kvz_pid" 2>/dev/null || true
  kvz_pid=
}

for ((run = 0; run < runs; run++)); do
  if ((run % 2 == 0)); then
    order=("${builds[@]}")
  else
    order=()
    for ((i = ${#builds[@]} - 1; i >= 0; i--)); do order+=("${builds[i]}"); done
  fi
  for build in "${order[@]}"; do
    case $build in
    qtclock-*) measure_qtclock "${build#qtclock-}" ;;
    *) measure_copy "$build" ;;
    esac
  done
done
