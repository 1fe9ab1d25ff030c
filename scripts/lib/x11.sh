# shellcheck shell=bash
# Sourced by the scripts that run the program on a real X server with a tray host: the end-to-end test,
# try-it.sh and the benchmarks. Each process started here is appended to the array `pids`, which
# stop_started ends.

pids=()

# wait_for <seconds> <command...>: true as soon as the command succeeds, false when the time is up.
wait_for() {
  local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
  shift
  until "$@" >/dev/null 2>&1; do
    ((${EPOCHREALTIME/./} < deadline)) || return 1
    sleep 0.1
  done
}

# wait_for_window <seconds> <title pattern>: prints the id of the first shown window with that title.
wait_for_window() {
  wait_for "$1" xdotool search --onlyvisible --name "$2" && xdotool search --onlyvisible --name "$2" | head -1
}

tray_host_up() { xdotool search --name '^panel$'; }
tray_host_up_or_gone() { tray_host_up || ! kill -0 "$1"; }

# start_x_session <work folder>: Xvfb on a free display, then the tray host trayer. Exports DISPLAY, and
# QT_QPA_PLATFORM=xcb, so that a platform the caller set for windowless tests (offscreen) never reaches a
# program that needs the tray. Sets `tray_panel` to the tray host's window.
start_x_session() {
  local work=$1
  # Xvfb picks a free display itself and tells its number, so parallel runs never collide.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for 20 test -s "$work/display" || { echo "no X server: $(cat "$work/xvfb.log")" >&2; return 1; }
  DISPLAY=:$(head -1 "$work/display")
  export DISPLAY QT_QPA_PLATFORM=xcb
  wait_for 10 xwininfo -root || { echo "the X server does not answer" >&2; return 1; }
  # On a fresh Xvfb, trayer's first try fails about every other time with "cannot open display" although
  # the server answers; the next try gets through.
  local try
  for try in 1 2 3; do
    trayer --edge top --align right --widthtype request --height 40 --SetDockType true \
      --transparent false --tint 0x404040 >"$work/trayer.log" 2>&1 &
    pids+=($!)
    wait_for 20 tray_host_up_or_gone "$!"
    if tray_panel=$(tray_host_up | head -1) && [[ -n $tray_panel ]]; then return 0; fi
  done
  echo "the tray host did not start after $try tries: $(cat "$work/trayer.log")" >&2
  return 1
}

stop_started() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}

# write_program_settings <program folder> <port> <password> <backup folder> [daily hour [interval]]: the
# two settings files, pointing at the loopback test server (login sa, database STOK) on that port.
write_program_settings() {
  local program=$1 port=$2 password=$3 backups=$4
  mkdir -p "$program" "$backups"
  printf '[ayar]\nsqladi=127.0.0.1\nport=%s\nsqlkullanici=sa\nsqlsifre=%s\nsqldata=STOK\n' "$port" "$password" \
    >"$program/KVZ.dll"
  # It holds the password: the program keeps it readable by its owner only, and so does this.
  chmod 600 "$program/KVZ.dll"
  {
    printf '[ayar]\nsaklanacak-yer=%s/\n' "${backups%/}"
    if [[ -n ${5:-} ]]; then printf 'kopyalama-zamani=%s\n' "$5"; fi
    if [[ -n ${6:-} ]]; then printf 'kopyalama-araligi=%s\n' "$6"; fi
  } >"$program/yedeklemeayar.txt"
}
