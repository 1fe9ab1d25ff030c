#!/usr/bin/env bash
# Idle cost of the real program: CPU time and resident memory over a while with the window shown, then
# hidden with GİZLE, read from /proc. One fresh copy per run. Needs DISPLAY with a tray host.
# Usage: idle.sh <kvz> <server port> <work folder> <runs> <seconds>
set -euo pipefail
kvz=$1
port=$2
work=$3
runs=$4
seconds=$5
title='ZANTO POS SQL YEDEKLEME MODÜLÜ'
ticks_per_second=$(getconf CLK_TCK)
# shellcheck source=scripts/bench/common.sh
source "$(dirname "$0")/common.sh"

program=$work/idle-program
backups=$work/idle-backups
make_program_folder "$program" "$backups" "$port" "$kvz"
mkdir -p "$work/idle-config"

kvz_pid=
cleanup() {
  if [[ -n $kvz_pid ]]; then
    kill "$kvz_pid" 2>/dev/null || true
    wait "$kvz_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

backup_count() { find "$backups" -name '*.bak' | wc -l; }
more_backups_than() { [[ $(backup_count) -gt $1 ]]; }
main_window() { xdotool search --onlyvisible --name "^$title\$" | head -1; }
shown() { [[ -n $(main_window) ]]; }
hidden() { ! shown; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$kvz_pid/stat"; }
rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$kvz_pid/status"; }

# Prints the samples of one phase: CPU as a percentage of one core, and the highest resident set seen.
measure() {
  local phase=$1 start_ticks end_ticks start_ns end_ns peak=0 rss
  start_ticks=$(cpu_ticks)
  start_ns=$(date +%s%N)
  for ((second = 0; second < seconds; second++)); do
    sleep 1
    rss=$(rss_kib)
    ((rss > peak)) && peak=$rss
  done
  end_ticks=$(cpu_ticks)
  end_ns=$(date +%s%N)
  awk -v p="$phase" -v t=$((end_ticks - start_ticks)) -v hz="$ticks_per_second" -v ns=$((end_ns - start_ns)) \
    -v kib="$peak" 'BEGIN {
      printf "sample idle.%s.cpu_percent_of_core %.3f\n", p, 100 * (t / hz) / (ns / 1e9)
      printf "sample idle.%s.rss_mib %.3f\n", p, kib / 1024 }'
}

for ((run = 0; run < runs; run++)); do
  before=$(backup_count)
  (cd "$program" && XDG_CONFIG_HOME=$work/idle-config exec ./kvz >>"$work/idle-kvz.log" 2>&1) &
  kvz_pid=$!
  wait_for 20 shown || { echo "idle.sh: the main window was not shown" >&2; exit 1; }
  wait_for 30 more_backups_than "$before" || { echo "idle.sh: no start-up backup" >&2; exit 1; }
  sleep 2 # the run's worker and the window settle
  measure shown
  xdotool mousemove --window "$(main_window)" 128 168 click 1 # GİZLE
  wait_for 5 hidden || { echo "idle.sh: GİZLE did not hide the window" >&2; exit 1; }
  sleep 2
  measure hidden
  kill "$kvz_pid"
  wait "$kvz_pid" 2>/dev/null || true
  kvz_pid=
done
