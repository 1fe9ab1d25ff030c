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
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1
finish() {
  stop_started
  wineserver -k >/dev/null 2>&1 || true
  if [[ ${keep:-0} == 0 ]]; then rm -rf "$work"; else echo "kept for a look: $work"; fi
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
backup_made() { compgen -G "$backups/*-STOK.bak" >/dev/null; }
wait_for 120 backup_made || fail "no backup file appeared in $backups"
history_row() {
  python3 - "$folder/yedekleme-gecmisi.db" <<'PY'
import sqlite3, sys
rows = sqlite3.connect(sys.argv[1]).execute("select count(*) from runs where finished = 1 and ok = 1").fetchone()
sys.exit(0 if rows[0] >= 1 else 1)
PY
}
wait_for 30 history_row || fail "the history holds no finished run"

step "the session ends: the program ends cleanly"
"$wine" wineboot --end-session >"$work/endsession.log" 2>&1 || true
wait_for 30 bash -c "! kill -0 $program" || fail "the program did not end with the session"
grep -q "ending" "$work/program.log" || fail "the program's log does not say it ended on the session's end"

step "silent uninstall keeps settings, history and backups, and removes the start-up entries"
"$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v kvz /d 'C:\ZantoYedek\kvz.exe' /f \
  >"$work/reg.log" 2>&1
"$wine" 'C:\ZantoYedek\Kaldir.exe' /S '_?=C:\ZantoYedek' >"$work/uninstall.log" 2>&1 || fail "the uninstaller failed"
[[ ! -f $folder/kvz.exe && ! -f $folder/Qt6Core.dll ]] || fail "the uninstaller left the program"
for file in KVZ.dll yedeklemeayar.txt yedekleme-gecmisi.db; do
  [[ -f $folder/$file ]] || fail "the uninstaller removed $file"
done
backup_made || fail "the uninstaller removed the backups"
if "$wine" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v kvz >>"$work/reg.log" 2>&1; then
  fail "the start-up entry outlived the uninstall"
fi
echo "Windows end to end: passed"
