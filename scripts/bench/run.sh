#!/usr/bin/env bash
# Builds the program and the benchmark programs (Release, in build/bench), measures responsiveness during
# a backup, idle cost, start-up time and per-run overhead side by side, and prints the table.
# --compare <build folder>: the idle cost of that folder's app/kvz too (another commit, built the same way),
# measured in turns with this one's, and its per-run overhead where it has the benchmark programs.
# Not part of CI. Runs of each measurement can be set with BENCH_RUNS_RESPONSIVENESS (3),
# BENCH_RUNS_IDLE (3), BENCH_IDLE_SECONDS (60), BENCH_RUNS_STARTUP (10), BENCH_RUNS_OVERHEAD (20) and
# BENCH_RUNS_RUNCOST (20).
set -euo pipefail
compare_build=
if [[ ${1:-} == --compare ]]; then
  compare_build=$(cd "${2:?--compare needs a build folder}" && pwd)
  [[ -x $compare_build/app/kvz ]] || { echo "no app/kvz in $compare_build" >&2; exit 1; }
fi
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$root/build/bench
runs_responsiveness=${BENCH_RUNS_RESPONSIVENESS:-3}
runs_idle=${BENCH_RUNS_IDLE:-3}
idle_seconds=${BENCH_IDLE_SECONDS:-60}
runs_startup=${BENCH_RUNS_STARTUP:-10}
runs_overhead=${BENCH_RUNS_OVERHEAD:-20}
runs_runcost=${BENCH_RUNS_RUNCOST:-20}
# shellcheck source=scripts/bench/common.sh
source "$here/common.sh"
# The program logs each run; the tables need only the samples.
export QT_LOGGING_RULES="kvz.*=false"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DKVZ_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target kvz tdstestserver-cli kvz_bench_responsiveness kvz_bench_overhead \
  kvz_bench_startup kvz_bench_cputime kvz_bench_qtclock kvz_bench_runcost >/dev/null
kvz=$build/app/kvz
benches=$build/scripts/bench

work=$(mktemp -d)
trap 'stop_started; rm -rf "$work"' EXIT
samples=$work/samples
log() { echo "[$(date +%T)] $*" >&2; }

source_of() { sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$1/CMakeCache.txt"; }

machine() {
  local cpu memory
  cpu=$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)
  memory=$(awk '/^MemTotal:/ {printf "%.1f GiB", $2 / 1024 / 1024}' /proc/meminfo)
  echo "CPU: $cpu, $(nproc) cores; RAM: $memory"
  echo "Debian $(cat /etc/debian_version), kernel $(uname -r)"
  echo "Qt $(dpkg-query -W -f='${Version}' libqt6core6), FreeTDS $(dpkg-query -W -f='${Version}' tdsodbc)," \
    "unixODBC $(dpkg-query -W -f='${Version}' libodbc2)"
  echo "commit $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)"
  if [[ -n $compare_build ]]; then
    echo "compared with commit $(git -C "$(source_of "$compare_build")" rev-parse --short HEAD 2>/dev/null ||
      echo unknown) ($compare_build)"
  fi
}

start_x_session "$work"
"$build/tdsserver/tdstestserver" --port 0 --login sa:pw --database STOK >"$work/server.out" 2>/dev/null &
pids+=($!)
wait_for 10 grep -q listening "$work/server.out" || { echo "the test server did not start" >&2; exit 1; }
port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.out")

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
log "1. responsiveness: $runs_responsiveness runs of 10 s on the worker, as many on the UI thread"
"$benches/kvz_bench_responsiveness" "$runs_responsiveness" | tee -a "$samples" >&2
log "2. idle cost: $runs_idle copies${compare_build:+ of each build}, ${idle_seconds} s shown and" \
  "${idle_seconds} s hidden each"
"$here/idle.sh" "$benches/kvz_bench_cputime" "$kvz" "$port" "$work" "$runs_idle" "$idle_seconds" \
  ${compare_build:+"$compare_build/app/kvz"} | tee -a "$samples" >&2
log "3. start-up: $runs_startup starts"
make_program_folder "$work/startup-program" "$work/startup-backups" "$port" "$kvz"
XDG_CONFIG_HOME=$work/startup-config "$benches/kvz_bench_startup" "$work/startup-program/kvz" \
  "$work/startup-backups" "$runs_startup" "$work/startup-kvz.log" | tee -a "$samples" >&2
log "4. per-run overhead: $runs_overhead runs from the window, as many by tsql, 1 s backups"
"$benches/kvz_bench_overhead" "$runs_overhead" 1000 | tee -a "$samples" >&2
compare_overhead=${compare_build:+$compare_build/scripts/bench/kvz_bench_overhead}
if [[ -x $compare_overhead ]]; then
  log "4. the same for the compared build"
  "$compare_overhead" "$runs_overhead" 1000 | sed 's/^sample /sample compare./' | tee -a "$samples" >&2
fi
log "5. cost of the history and the progress messages: $runs_runcost runs of each"
"$benches/kvz_bench_runcost" "$runs_runcost" | tee -a "$samples" >&2
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

cp "$samples" "$build/samples.txt"
echo
machine
echo "load average (1, 5, 15 min) before: $load_before; after: $load_after"
echo
"$here/table.sh" "$samples"
