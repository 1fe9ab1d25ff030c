#!/usr/bin/env bash
# The program as a user meets it: a real X server with a tray host, driven by xdotool, backing up
# against the loopback test server. Usage: tray_e2e.sh <kvz> <tdstestserver> [screenshot folder]
set -euo pipefail
kvz=$1
tdsserver=$2
shots=${3:-}
title='ZANTO POS SQL YEDEKLEME MODÜLÜ'
# shellcheck source=scripts/lib/x11.sh
source "$(dirname "$0")/../../../scripts/lib/x11.sh"

work=$(mktemp -d)
trap 'stop_started; rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  [[ -f $work/kvz.log ]] && sed 's/^/  kvz: /' "$work/kvz.log" >&2
  exit 1
}

start_x_session "$work" || fail "no X session"

# Each backup takes 4 s, so that its progress can be watched.
mkdir -p "$work/data"
"$tdsserver" --port 0 --login sa:pw --database STOK --backup-seconds 4 --data-folder "$work/data" >"$work/server.out" 2>"$work/server.err" &
pids+=($!)
wait_for 10 grep -q listening "$work/server.out" || fail "the test server did not start"
port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/server.out")

program=$work/program
backups=$work/backups
write_program_settings "$program" "$port" pw "$backups" 03 'Günlük yedekleme saatinde kopyala'
mkdir -p "$work/config"
cp "$kvz" "$program/kvz"

visible() { xdotool search --onlyvisible --name "^$title\$" | grep -qx "$main"; }
hidden() { ! visible; }

(cd "$program" && XDG_CONFIG_HOME=$work/config QT_LOGGING_RULES='kvz.*=true' exec ./kvz >"$work/kvz.log" 2>&1) &
kvz_pid=$!
pids+=("$kvz_pid")

# The server creates the file as it starts; the program's log says when the run has ended.
runs_ended() { (($(grep -c 'backup written:' "$work/kvz.log") >= $1)); }
wait_for 20 runs_ended 1 || fail "the start-up backup was not written"
echo "ok - the start-up backup was written"

icon_in_tray() { xwininfo -id "$tray_panel" -tree | grep -q "(\"kvz\" \"kvz\")"; }
wait_for 20 icon_in_tray || { xwininfo -root -tree >&2; fail "the icon did not appear in the tray"; }
icon=$(xwininfo -id "$tray_panel" -tree | awk '/\("kvz" "kvz"\)/ {print $1; exit}')
eval "$(xdotool getwindowgeometry --shell "$icon")"
icon_x=$((X + WIDTH / 2))
icon_y=$((Y + HEIGHT / 2))
echo "ok - the icon is in the tray"

main=$(wait_for_window 5 "^$title\$") || fail "the main window is not shown"
[[ -n $shots ]] && import -window "$main" "$shots/main-window.png"

kvz_windows() { xdotool search --onlyvisible --class '^kvz$' 2>/dev/null | sort; }
menu_entry() { # right-clicks the icon and picks the menu entry at position $1 (1-based)
  local before
  before=$(kvz_windows)
  xdotool mousemove "$icon_x" "$icon_y" click 3
  menu_shown() { [[ -n $(comm -13 <(echo "$before") <(kvz_windows)) ]]; }
  wait_for 5 menu_shown || fail "the right button did not open the menu"
  sleep 0.2
  for ((entry = 0; entry < $1; entry++)); do xdotool key Down; done
  xdotool key Return
}

xdotool mousemove --window "$main" 128 168 click 1 # GİZLE
wait_for 5 hidden || fail "GİZLE did not hide the window"
menu_entry 1 # GÖSTER
wait_for 5 visible || fail "GÖSTER did not show the window"
echo "ok - the menu's GÖSTER shows the hidden window"

display -title cover -geometry 600x400+0+0 -size 600x400 xc:gray60 &
pids+=($!)
cover=$(wait_for_window 10 '^cover$') || fail "the covering window did not open"
on_top() { # the main window lies above the cover in the stacking order (xwininfo lists the top first)
  local order
  order=$(xwininfo -root -children | awk '/^ +0x/ {print $1}')
  local first
  first=$(grep -n -x -m1 -e "$(printf '0x%x' "$main")" -e "$(printf '0x%x' "$cover")" <<<"$order" | cut -d: -f2)
  [[ $first == "$(printf '0x%x' "$main")" ]]
}
covered() { ! on_top; }
wait_for 5 covered || fail "the cover did not cover the main window"
xdotool mousemove "$icon_x" "$icon_y" click --repeat 2 --delay 100 1
wait_for 5 on_top || fail "a double click did not bring the covered window to the front"
echo "ok - a double click brings the covered window to the front"

yedekle_button() { import -window "$main" -crop 361x41+8+104 png:- | md5sum; }
idle=$(yedekle_button)
sleep 1.2 # the next file name must not be the start-up one's second
menu_entry 4 # Yedekle
# The button's caption while the run is in flight: "YEDEKLENİYOR…", then each percent the server reports.
captions=$work/captions
: >"$captions"
until_idle=$((SECONDS + 20))
while ((SECONDS < until_idle)); do
  caption=$(yedekle_button)
  [[ $caption == "$idle" && -s $captions ]] && break
  [[ $caption == "$idle" ]] || echo "$caption" >>"$captions"
  if [[ -n $shots && $(sort -u "$captions" | wc -l) -eq 3 ]]; then
    import -window "$main" "$shots/main-window-progress.png"
  fi
done
wait_for 20 runs_ended 2 || fail "Yedekle from the menu did not back up"
echo "ok - Yedekle from the menu backs up"
(($(sort -u "$captions" | wc -l) >= 3)) ||
  fail "YEDEKLE showed $(sort -u "$captions" | wc -l) captions during the run, not the server's percents"
echo "ok - YEDEKLE shows the run's progress as the server reports it"

xdotool mousemove --window "$main" 312 168 click 1 # AYARLAR
settings=$(wait_for_window 5 '^YEDEKLEME PROGRAMI$') || fail "AYARLAR did not open the settings window"
xdotool mousemove --window "$settings" 248 120 click 1 # the hour field opens the hour panel
sleep 0.5
[[ -n $shots ]] && import -window "$settings" "$shots/settings-hour-panel.png"
echo "ok - the settings window opens with its hour panel"

xdotool mousemove --window "$settings" 640 92 click 1 # SEÇ
browser=$(wait_for_window 5 '^KLASÖR SEÇİN$') || fail "SEÇ did not open the folder browser"
sleep 0.3
[[ -n $shots ]] && import -window "$browser" "$shots/folder-browser.png"
xdotool mousemove --window "$browser" 230 333 click 1 # TAMAM hands back the open folder, the working one
browser_closed() { ! xdotool search --onlyvisible --name '^KLASÖR SEÇİN$'; }
wait_for 5 browser_closed || fail "TAMAM did not close the folder browser"
xdotool mousemove --window "$settings" 30 308 click 1 # YEDEĞİ DOĞRULA
xdotool mousemove --window "$settings" 440 308 click 1 key ctrl+a type 7 # ESKİ YEDEKLERİ SAKLA
mkdir "$work/usb"
xdotool mousemove --window "$settings" 300 340 click 1 type "$work/usb" # İKİNCİ KOPYA YERİ
xdotool mousemove --window "$settings" 412 256 click 1 # KAYDET
sleep 0.7
xdotool key Return # the message box's OK
settings_hidden() { ! xdotool search --onlyvisible --name '^YEDEKLEME PROGRAMI$'; }
wait_for 5 settings_hidden || fail "KAYDET did not close the settings window"
grep -qx "saklanacak-yer=$program/" "$program/yedeklemeayar.txt" ||
  fail "the chosen folder was not saved: $(cat "$program/yedeklemeayar.txt")"
grep -qx "dogrulama=1" "$program/yedeklemeayar.txt" && grep -qx "saklama-gunu=7" "$program/yedeklemeayar.txt" ||
  fail "the ticked verification and the days typed were not saved: $(cat "$program/yedeklemeayar.txt")"
echo "ok - KAYDET saves the folder chosen in the browser, the verification ticked and the days typed"
grep -qx "ikinci-kopya-yeri=$work/usb" "$program/yedeklemeayar.txt" ||
  fail "the second copy's folder typed was not saved: $(cat "$program/yedeklemeayar.txt")"

menu_entry 4 # Yedekle: into the folder chosen, then copied into the second one
wait_for 20 runs_ended 3 || fail "Yedekle after KAYDET did not back up"
copied() { compgen -G "$work/usb/*-STOK.bak" >/dev/null; }
wait_for 10 copied || fail "no second copy in $work/usb: $(ls -la "$work/usb")"
copy=$(compgen -G "$work/usb/*-STOK.bak")
cmp "$copy" "$program/$(basename "$copy")" || fail "the second copy differs from its backup"
grep -q "ikinci kopya: $copy" "$work/kvz.log" || fail "the log does not name the second copy"
echo "ok - a backup is copied into the second folder saved in the settings, byte for byte"

menu_entry 5 # Geçmiş
history=$(wait_for_window 5 '^YEDEKLEME GEÇMİŞİ$') || fail "Geçmiş did not open the history window"
sleep 0.7 # the runs arrive from a worker
[[ -n $shots ]] && import -window "$history" "$shots/history-window.png"
echo "ok - Geçmiş opens the history window"
xdotool mousemove --window "$history" 68 448 click 1 # KAPAT
history_closed() { ! xdotool search --onlyvisible --name '^YEDEKLEME GEÇMİŞİ$'; }
wait_for 5 history_closed || fail "KAPAT did not close the history window"
xdotool mousemove --window "$main" 264 36 click 1 # the last backup's time
wait_for_window 5 '^YEDEKLEME GEÇMİŞİ$' >/dev/null || fail "a click on the last backup's time did not open the history"
echo "ok - a click on the last backup's time opens the history window"
xdotool mousemove --window "$(xdotool search --onlyvisible --name '^YEDEKLEME GEÇMİŞİ$')" 68 448 click 1 # KAPAT
wait_for 5 history_closed || fail "KAPAT did not close the history window again"

menu_entry 6 # Geri yükleme denemesi yap
: >"$captions"
until_idle=$((SECONDS + 20))
while ((SECONDS < until_idle)); do
  caption=$(yedekle_button)
  [[ $caption == "$idle" && -s $captions ]] && break
  [[ $caption == "$idle" ]] || echo "$caption" >>"$captions"
done
grep -q 'GERİ YÜKLEME DENEMESİ BAŞARILI' "$work/kvz.log" || fail "the restore test from the menu did not end clean"
(($(sort -u "$captions" | wc -l) >= 3)) ||
  fail "YEDEKLE showed $(sort -u "$captions" | wc -l) captions during the restore test, not the server's percents"
[[ -z $(ls "$work/data") ]] || fail "the scratch database's files are left: $(ls "$work/data")"
echo "ok - Geri yükleme denemesi yap restores, checks and drops a copy, its progress shown"
menu_entry 5 # Geçmiş: the last restore test beside the room line
history=$(wait_for_window 5 '^YEDEKLEME GEÇMİŞİ$') || fail "Geçmiş did not open the history window again"
sleep 0.7 # the runs and the test arrive from workers
[[ -n $shots ]] && import -window "$history" "$shots/history-window.png"
xdotool mousemove --window "$history" 68 448 click 1 # KAPAT
wait_for 5 history_closed || fail "KAPAT did not close the history window"

menu_entry 7 # Kapat
wait_for 10 bash -c "! kill -0 $kvz_pid" || fail "Kapat did not end the program"
echo "ok - Kapat ends the program"
