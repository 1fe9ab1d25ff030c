#!/usr/bin/env bash
# The installed Windows program end to end under Wine: a silent install into C:\ZantoYedek, one backup through
# Wine's ODBC (which hands the connection to the host's unixODBC and FreeTDS) against the loopback test server,
# its history row, a clean end when the session ends, and a silent uninstall that leaves the settings files,
# the history and the backups, and takes the start-up entries with it.
# Usage: scripts/windows/e2e.sh [build folder]   (after scripts/windows/build.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/win}
# shellcheck source=scripts/lib/x11.sh
source "$root/scripts/lib/x11.sh"
wine=/usr/lib/wine/wine64

work=$(mktemp -d /tmp/kvz-wine-e2e.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEQT_FORCE_STDERR_LOGGING=1
finish() {
  stop_started
  wineserver -k >/dev/null 2>&1 || true
  if [[ ${keep:-${KVZ_KEEP_WORK:-0}} == 0 ]]; then rm -rf "$work"; else echo "kept for a look: $work"; fi
}
trap finish EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.log; do echo "--- $log"; tail -20 "$log"; done >&2
  keep=1
  exit 1
}
step() { echo "== $*"; }

installer=$(ls -t "$build"/ZantoYedekKurulum-*.exe 2>/dev/null | head -1)
[[ -n $installer ]] || fail "no installer in $build: run scripts/windows/build.sh first"
# The installed program has only the Windows platform plugin, as in a shop: Wine draws its windows and its
# tray icon on an X server.
start_x_session "$work"
"$wine" wineboot -i >"$work/wineboot.log" 2>&1

step "silent install of $(basename "$installer")"
"$wine" "$installer" /S >"$work/install.log" 2>&1 || fail "the installer ended with $?"
folder=$WINEPREFIX/drive_c/ZantoYedek
for file in kvz.exe Kaldir.exe Qt6Core.dll platforms/qwindows.dll sqldrivers/qsqlite.dll libstdc++-6.dll; do
  [[ -f $folder/$file ]] || fail "the installer left no $file in C:\\ZantoYedek"
done

step "one backup through Wine's ODBC against the loopback test server"
"$wine" "$build/tdsserver/tdstestserver.exe" --port 0 --login sa:deneme --database STOK \
  >"$work/server.out" 2>"$work/server.log" &
pids+=($!)
wait_for 60 grep -q listening "$work/server.out" || fail "the test server did not start"
port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.out")
backups=$work/yedek
mkdir -p "$backups"
# The program and the test server both run under Wine, where the host's / is drive Z:.
printf '[ayar]\r\nsqladi=127.0.0.1\r\nport=%s\r\nsqlkullanici=sa\r\nsqlsifre=deneme\r\nsqldata=STOK\r\n' "$port" \
  >"$folder/KVZ.dll"
printf '[ayar]\r\nsaklanacak-yer=Z:%s\\\r\n' "${backups//\//\\}" >"$folder/yedeklemeayar.txt"
"$wine" 'C:\ZantoYedek\kvz.exe' >"$work/program.out" 2>"$work/program.log" &
program=$!
pids+=("$program")
disown "$program" # its end is waited for below, not reported as a job's
backup_made() { compgen -G "$backups/*-STOK.bak" >/dev/null; }
wait_for 120 backup_made || fail "no backup file appeared in $backups"
# history_count <condition>: the number of the history's runs that meet it.
history_count() {
  python3 - "$folder/yedekleme-gecmisi.db" "$1" <<'PY'
import sqlite3, sys
print(sqlite3.connect(sys.argv[1]).execute("select count(*) from runs where " + sys.argv[2]).fetchone()[0])
PY
}
history_row() { (($(history_count 'finished = 1 and ok = 1') >= 1)); }
wait_for 30 history_row || fail "the history holds no finished run"

step "start at login lands in the registry, moves to Run- and back"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
entry_in() { "$wine" reg query "$1" /v kvz 2>/dev/null | tr -d '\r' | grep -q 'C:\\ZantoYedek\\kvz.exe'; }
main=$(wait_for_window 30 '^ZANTO POS SQL YEDEKLEME MODÜLÜ$') || fail "the main window did not show"
xdotool mousemove --window "$main" 316 188 click 1 # AYARLAR
settings=$(wait_for_window 20 '^YEDEKLEME PROGRAMI') || fail "AYARLAR did not open the settings window"
xdotool mousemove --window "$settings" 320 192 click 1 # AÇILIŞTA ÇALIŞSIN
wait_for 20 entry_in "$run_key" || fail "AÇILIŞTA ÇALIŞSIN wrote no entry under $run_key"
xdotool mousemove --window "$settings" 508 192 click 1 # AÇILIŞTA ÇALIŞMASIN
wait_for 20 entry_in "$run_key-" || fail "AÇILIŞTA ÇALIŞMASIN did not move the entry to $run_key-"
! entry_in "$run_key" || fail "AÇILIŞTA ÇALIŞMASIN left the entry under $run_key"
xdotool mousemove --window "$settings" 320 192 click 1 # AÇILIŞTA ÇALIŞSIN
wait_for 20 entry_in "$run_key" || fail "AÇILIŞTA ÇALIŞSIN did not move the entry back"
! entry_in "$run_key-" || fail "AÇILIŞTA ÇALIŞSIN left the entry under $run_key-"

step "the session ends: the program ends cleanly"
# A session that ends and does not start again: a restart would start the program anew from the Run key.
"$wine" wineboot --end-session --shutdown >"$work/endsession.log" 2>&1 || true
# Wine's shutdown kills what is left of a process once its session-end answer is given, as Windows may: what
# counts is what the program finished before answering.
wait_for 30 bash -c "! kill -0 $program" || fail "the program did not end with the session"
grep -q "ending" "$work/program.log" || fail "the program's log does not say it ended on the session's end"
(($(history_count 'finished = 0') == 0)) || fail "the session's end left a run in the history unfinished"

step "silent uninstall keeps settings, history and backups, and removes the start-up entries"
"$wine" 'C:\ZantoYedek\Kaldir.exe' /S '_?=C:\ZantoYedek' >"$work/uninstall.log" 2>&1 || fail "the uninstaller failed"
[[ ! -f $folder/kvz.exe && ! -f $folder/Qt6Core.dll ]] || fail "the uninstaller left the program"
for file in KVZ.dll yedeklemeayar.txt yedekleme-gecmisi.db; do
  [[ -f $folder/$file ]] || fail "the uninstaller removed $file"
done
backup_made || fail "the uninstaller removed the backups"
! entry_in "$run_key" || fail "the start-up entry outlived the uninstall"
echo "Windows end to end: passed"
