# shellcheck shell=bash
# Sourced by the benchmark scripts.

# Waits up to $1 seconds for the command that follows to succeed.
wait_for() {
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 10; i++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}

tray_host_up_or_refused() { xdotool search --name '^panel$' || grep -q 'cannot open display' "$1"; }

# A real X server with a tray host, as tests/e2e/tray_e2e.sh starts them.
# start_x_session <work folder> sets DISPLAY and appends the processes' ids to the array `pids`.
start_x_session() {
  local work=$1
  # Xvfb picks a free display itself, so a benchmark never collides with a test run on the machine.
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for 20 test -s "$work/display" || { echo "no X server" >&2; return 1; }
  DISPLAY=:$(head -1 "$work/display")
  export DISPLAY
  wait_for 10 xwininfo -root || { echo "the X server does not answer" >&2; return 1; }
  # On this machine trayer's first try on a fresh Xvfb fails about every other time with "cannot open
  # display" although the server answers; the next try gets through.
  for _ in 1 2 3; do
    trayer --edge top --align right --widthtype request --height 40 --SetDockType true \
      --transparent false --tint 0x404040 >"$work/trayer.log" 2>&1 &
    pids+=($!)
    wait_for 20 tray_host_up_or_refused "$work/trayer.log"
    if xdotool search --name '^panel$' >/dev/null 2>&1; then return 0; fi
  done
  echo "the tray host did not start: $(cat "$work/trayer.log")" >&2
  return 1
}

# make_program_folder <folder> <backup folder> <server port> <kvz>: the real program with settings files
# pointing at the loopback server. The daily hour lies twelve hours away: no scheduled run falls into a
# measurement.
make_program_folder() {
  local program=$1 backups=$2 port=$3 kvz=$4
  mkdir -p "$program" "$backups"
  cp "$kvz" "$program/kvz"
  printf '[ayar]\nsqladi=127.0.0.1\nport=%s\nsqlkullanici=sa\nsqlsifre=pw\nsqldata=STOK\n' "$port" >"$program/KVZ.dll"
  printf '[ayar]\nsaklanacak-yer=%s/\nkopyalama-zamani=%02d\nkopyalama-araligi=Günlük yedekleme saatinde kopyala\n' \
    "$backups" $(((10#$(date +%H) + 12) % 24)) >"$program/yedeklemeayar.txt"
}
