#!/usr/bin/env bash
# See the program work without a SQL Server: starts the loopback test server with a database "STOK" and a
# login "sa" / "deneme", prepares a program folder whose two settings files point at it, and starts the
# program there. Backups land in the folder given as the first argument.
# Usage: scripts/try-it.sh [backup folder]   (default ~/zanto-deneme/yedekler)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
home=${KVZ_TRY_HOME:-$HOME/zanto-deneme}
backups=$(realpath -m "${1:-$home/yedekler}")
program=$home/program
# shellcheck source=scripts/lib/x11.sh
source "$root/scripts/lib/x11.sh"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/try" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build/try" --target kvz tdstestserver-cli

trap stop_started EXIT
server_log=$home/tdstestserver.log
mkdir -p "$home"
"$root/build/try/tdsserver/tdstestserver" --port 0 --login sa:deneme --database STOK \
  --backup-seconds 2 >"$home/tdstestserver.out" 2>"$server_log" &
pids+=($!)
wait_for 5 grep -q listening "$home/tdstestserver.out" || { echo "the test server did not start; see $server_log" >&2; exit 1; }
port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$home/tdstestserver.out")

write_program_settings "$program" "$port" deneme "$backups" 03 'Dakikada bir yedekle'
cp "$root/build/try/app/kvz" "$program/kvz"

cat <<MSG
Test server:     127.0.0.1:$port (login sa / deneme, database STOK), its log in $server_log
Program folder:  $program
Backups:         $backups (one at the start, then one a minute)
The test server stops when the program ends ("Kapat" in the tray menu).
MSG
if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  # A platform the caller chose for windowless runs would leave the program without its window and tray.
  if [[ ${QT_QPA_PLATFORM:-} == offscreen ]]; then unset QT_QPA_PLATFORM; fi
else
  echo "There is no display: the program starts under a virtual X server (Xvfb) with a tray host."
  start_x_session "$home"
fi
"$program/kvz"
