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

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/try" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON >/dev/null
cmake --build "$root/build/try" --target kvz tdstestserver-cli

mkdir -p "$program" "$backups"
cp "$root/build/try/app/kvz" "$program/kvz"

server_log=$home/tdstestserver.log
"$root/build/try/tdsserver/tdstestserver" --port 0 --login sa:deneme --database STOK \
  --backup-seconds 2 >"$home/tdstestserver.out" 2>"$server_log" &
server=$!
trap 'kill $server 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  grep -q listening "$home/tdstestserver.out" 2>/dev/null && break
  sleep 0.1
done
port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$home/tdstestserver.out")
[[ -n $port ]] || { echo "the test server did not start; see $server_log" >&2; exit 1; }

printf '[ayar]\nsqladi=127.0.0.1\nport=%s\nsqlkullanici=sa\nsqlsifre=deneme\nsqldata=STOK\n' "$port" >"$program/KVZ.dll"
chmod 600 "$program/KVZ.dll"
printf '[ayar]\nsaklanacak-yer=%s/\nkopyalama-zamani=03\nkopyalama-araligi=Dakikada bir yedekle\n' \
  "$backups" >"$program/yedeklemeayar.txt"

cat <<MSG
Test server:     127.0.0.1:$port (login sa / deneme, database STOK), its log in $server_log
Program folder:  $program
Backups:         $backups (one at the start, then one a minute)
The test server stops when the program ends ("Kapat" in the tray menu).
MSG
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "There is no display: the program starts under a virtual X server (Xvfb)."
  xvfb-run -a -s "-screen 0 1024x768x24" "$program/kvz"
else
  "$program/kvz"
fi
