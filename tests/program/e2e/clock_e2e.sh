#!/usr/bin/env bash
# The real program under a faked clock (libfaketime), backing up against the loopback test server: sleep over
# the daily hour, both daylight-saving changes, a clock set back, bad settings, signals, a second copy.
# Usage: clock_e2e.sh <kvz> <tdstestserver>    Exit 77 (skipped) when libfaketime is not installed.
set -euo pipefail
kvz=$1
tdsserver=$2
lib=${KVZ_FAKETIME_LIB:-/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1}
[[ -r $lib ]] || { echo "libfaketime is not installed ($lib): skipped"; exit 77; }
# A program built with the address sanitizer wants its runtime first among the preloaded libraries; and its
# allocator, when it times a return of memory to the system under its lock, would reach libfaketime, which
# reads the clock file with malloc: a deadlock, unless that return is left untimed.
asan=$(ldd "$kvz" | awk '/libasan/ {print $3}')
preload=${asan:+$asan:}$lib
[[ -n $asan ]] && export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}allocator_release_to_os_interval_ms=-1
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='kvz.*.info=true' TZ=Europe/Berlin
root=$(mktemp -d)
# Searched for at the end in everything the runs left but the password file.
password=Gizli-Parola-7319

kill_listed() { # every process a case started, by the ids it wrote down
  local pid
  for pid in $(cat "$@" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null || true; done
}
trap 'kill_listed "$root"/*/pids; wait 2>/dev/null || true; rm -rf "$root"' EXIT

wait_for() { # seconds, command: true once the command succeeds within that time
  local until=$((${EPOCHREALTIME/./} + $1 * 1000000))
  until "${@:2}" >/dev/null 2>&1; do
    ((${EPOCHREALTIME/./} < until)) || return 1
    sleep 0.1
  done
}
at() { date -d "$1" +%s; }
epoch_of() { at "${1:0:8} ${1:8:2}:${1:10:2}:${1:12:2}"; } # a backup's stamp, local time

# Everything below runs inside one case's subshell, on that case's folder $dir.
fail() {
  echo "FAIL ${dir##*/}: $*"
  for log in "$dir"/*.log; do sed "s/^/  ${log##*/}: /" "$log"; done
  exit 1
}
ok() { echo "ok - ${dir##*/}: $*"; }

# A test server of its own, never under the faked clock, and a program folder whose settings point at it.
setup() { # case name, server options...
  dir=$root/$1
  mkdir -p "$dir/program" "$dir/backups" "$dir/config"
  mkdir -m 700 "$dir/tmp"
  "$tdsserver" --port 0 --login "sa:$password" --database STOK "${@:2}" >"$dir/server.out" 2>"$dir/server.log" &
  echo $! >>"$dir/pids"
  wait_for 10 grep -q listening "$dir/server.out" || fail "the test server did not start"
  port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$dir/server.out")
  # A copy, not a link: the program finds its settings beside the resolved executable.
  cp "$kvz" "$dir/program/kvz"
  printf '[ayar]\nsqladi=127.0.0.1\nport=%s\nsqlkullanici=sa\nsqlsifre=%s\nsqldata=STOK\n' "$port" "$password" \
    >"$dir/program/KVZ.dll"
}
settings() { # daily hour, interval, [folder]
  printf '[ayar]\nsaklanacak-yer=%s\nkopyalama-zamani=%s\nkopyalama-araligi=%s\n' \
    "${3:-$dir/backups/}" "$1" "$2" >"$dir/program/yedeklemeayar.txt"
}
write_clock() { # the offset in seconds; a relative one, so the repeated autumn hour is never ambiguous
  printf '%+d\n' "$1" >"$dir/clock.new"
  mv "$dir/clock.new" "$dir/clock"
}
# The program wakes just past each whole second; the offset changes mid-second so that its next wake reads
# exactly the epoch given (the offset is whole seconds, so faked and real seconds turn together).
jump_to() {
  local ms=$((10#$(date +%N) / 1000000))
  sleep "$(printf '0.%03d' $(((1500 - ms) % 1000)))"
  write_clock $(($1 - $(date +%s) - 1))
}
start() { # name (the folder, its log), faked epoch or "", extra NAME=VALUE for the program's environment
  if [[ -n $2 ]]; then # started just past a whole second, so the start-up run is stamped with that epoch
    local ms=$((10#$(date +%N) / 1000000))
    sleep "$(printf '0.%03d' $(((1050 - ms) % 1000)))"
    write_clock $(($2 - $(date +%s)))
  fi
  [[ -e $dir/clock ]] || write_clock 0
  : >"$dir/$1.log" # emptied here, not in the background, so no wait below reads an earlier start's lines
  (cd "$dir/$1" && exec env LD_PRELOAD="$preload" FAKETIME_TIMESTAMP_FILE="$dir/clock" FAKETIME_NO_CACHE=1 \
    TMPDIR="$dir/tmp" XDG_RUNTIME_DIR="$dir/tmp" XDG_CONFIG_HOME="$dir/config" "${@:3}" \
    ./kvz >>"$dir/$1.log" 2>&1) &
  echo $! >"$dir/$1.pid"
  echo $! >>"$dir/pids"
}
# Starts the program 20 s before the epoch given and, after its start-up run, sets the clock to 2 s before
# it: a slow start (a sanitizer build) never swallows the hour.
start_before() { # epoch, extra NAME=VALUE
  start program $(($1 - 20)) "${@:2}"
  wait_for 20 has_written 1 || fail "no start-up backup"
  jump_to $(($1 - 2))
}
pid_of() { cat "$dir/${1:-program}.pid"; }
written() { grep -c 'backup written:' "$dir/${2:-program}.log" || true; }
has_written() { (($(written "$@") >= $1)); }
# The backups as their names' stamps in the order written: 20261025020000-STOK-2.bak reads 20261025020000-2.
stamps() { ls -tr "$dir/backups" | sed 's/-STOK\.bak$//; s/-STOK\(-[0-9]*\)\.bak$/\1/' | tr '\n' ' '; }
# The program folder's lock, named from its real path alone.
lock_of() { printf '/tmp/zanto-yedek-%s.lock' "$(printf %s "$(realpath "$1")" | sha256sum | cut -c1-16)"; }
running() { local state; state=$(ps -o stat= -p "$1") && [[ $state != Z* ]]; }
gone() { ! running "$1"; }
stop() { # ends a program with SIGTERM and hands back its exit status
  local pid status=0
  pid=$(pid_of "$@")
  kill -TERM "$pid"
  wait_for 10 gone "$pid" || fail "${1:-program} still running 10 s after SIGTERM"
  wait "$pid" || status=$?
  return $status
}

asleep_over_daily_hour() {
  setup asleep
  settings 02 'Günlük yedekleme saatinde kopyala'
  start program "$(at '2026-06-15 01:59:45 +0200')"
  wait_for 20 has_written 1 || fail "no start-up backup"
  # Faked monotonic time jumps with the wall clock: the machine slept.
  jump_to "$(at '2026-06-15 02:30:00 +0200')"
  wait_for 5 has_written 2 || fail "no daily backup after waking past the hour"
  jump_to "$(at '2026-06-15 02:45:00 +0200')"
  sleep 2
  [[ $(stamps) =~ ^2026061501(59[45][0-9])\ 20260615(022959|02300[0-3])\ $ ]] || fail "backups: $(stamps)"
  stop || fail "exit status $?"
  ok "waking at 02:30 past the daily hour 02 gives that day one backup ($(stamps))"
}

spring_forward() {
  setup spring
  settings 02 'Günlük yedekleme saatinde kopyala'
  start_before "$(at '2027-03-28 02:00:00 +0100')"
  wait_for 10 has_written 2 || fail "no backup after 01:59:59 CET became 03:00:00 CEST"
  sleep 1.5
  [[ $(stamps) =~ ^2027032801(59[45][0-9])\ 2027032803000[0-5]\ $ ]] || fail "backups: $(stamps)"
  stop || fail "exit status $?"
  ok "the skipped 02:00 still runs, at 03:00 summer time ($(stamps))"
}

fall_back() { # name, interval, the stamps after the start-up one
  setup "$1"
  settings 02 "$2"
  # The real hour between 02:00 summer and 02:00 winter time passes on the wall clock alone: the event loop's
  # clock keeps the next wake on its whole second, so the run is stamped exactly with the repeated 02:00:00.
  start_before "$(at '2026-10-25 02:00:00 +0200')" FAKETIME_DONT_FAKE_MONOTONIC=1
  wait_for 10 has_written 2 || fail "no daily backup at 02:00 summer time"
  jump_to "$(at '2026-10-25 02:00:00 +0100')"
  sleep 2.5
  [[ $(stamps) =~ ^2026102501(59[45][0-9])\ "$3"$ ]] || fail "backups: '$(stamps)', wanted 202610250159xx $3"
  local paths
  paths=$(sed -n 's/^backup written: //p' "$dir/server.log")
  [[ $(sort -u <<<"$paths" | wc -l) == $(wc -l <<<"$paths") ]] || fail "a file was written twice: $paths"
  stop || fail "exit status $?"
  ok "02:00 summer time then 02:00 winter time with '$2': $(stamps)"
}

set_back_an_hour() {
  setup set-back
  settings 23 'Dakikada bir yedekle'
  start program "$(at '2026-06-15 12:00:00 +0200')" FAKETIME_DONT_FAKE_MONOTONIC=1
  wait_for 20 has_written 1 || fail "no start-up backup"
  write_clock $(($(cat "$dir/clock") - 3600))
  # The next run a minute after the first by elapsed time (and the run's own length), not at 13:01.
  wait_for 70 has_written 2 || fail "no backup within 70 s of the clock set back: $(stamps)"
  local first second gap
  read -r first second <<<"$(stamps)"
  gap=$(($(epoch_of "$second") - $(epoch_of "$first") + 3600))
  ((gap >= 60 && gap <= 65)) || fail "the next run came $gap s after the first: $(stamps)"
  stop || fail "exit status $?"
  ok "set back an hour, the minute interval still runs $gap s later ($(stamps))"
}

hand_edited_schedule() {
  setup hand-edited
  settings 2 'dakikada bir yedekle'
  start_before "$(at '2026-06-15 02:00:00 +0200')"
  wait_for 70 has_written 3 || fail "no daily and minute runs: $(stamps)"
  local daily minute gap
  read -r _ daily minute <<<"$(stamps)"
  gap=$(($(epoch_of "$minute") - $(epoch_of "$daily")))
  [[ $daily =~ ^2026061502000[01]$ ]] && ((gap >= 60 && gap <= 65)) || fail "backups: $(stamps)"
  grep -q 'backup started: daily hour' "$dir/program.log" || fail "the 02:00 run was not the daily one"
  grep -q 'backup started: interval' "$dir/program.log" || fail "the 02:01 run was not the interval"
  stop || fail "exit status $?"
  ok "hour '2' and 'dakikada bir yedekle' both run ($(stamps))"
}

refused_folder() { # settings line or "", the Turkish reason
  rm -f "$dir/program/yedeklemeayar.txt"
  [[ -z $1 ]] || settings 03 'Günlük yedekleme saatinde kopyala' "$1"
  start program ""
  wait_for 10 grep -q 'backup failed:' "$dir/program.log" || fail "the start-up run did not fail"
  grep -q "backup failed: \"$2" "$dir/program.log" || fail "not refused with '$2'"
  stop || fail "exit status $?"
}
no_whole_folder() {
  setup folder
  refused_folder "" 'Yedek klasörü ayarlanmamış'
  refused_folder "/$(printf 'k%.0s' {1..299})" 'Yedek klasörünün yolu çok uzun'
  ! grep -E 'login|backup' "$dir/server.log" || fail "the server was asked anyway"
  ok "no folder, or one of 300 characters: refused in Turkish, the server never asked"
}

signals() {
  setup signals --backup-seconds 5
  settings 03 'Günlük yedekleme saatinde kopyala'
  start program ""
  wait_for 10 grep -q 'backup started: start' "$dir/program.log" || fail "no start-up run"
  sleep 1
  local status=0
  stop || status=$?
  ((status == 0)) || fail "exit status $status after SIGTERM"
  grep -q '^backup written:' "$dir/server.log" || fail "the server did not complete the backup"
  ! grep -q 'aborted' "$dir/server.log" || fail "the backup was aborted"
  grep -q 'SIGTERM received: ending when the backup in flight finishes' "$dir/program.log" ||
    fail "no SIGTERM line"
  grep -q 'the backup in flight has finished: ending' "$dir/program.log" || fail "did not end after the backup"
  [[ ! -e $(lock_of "$dir/program") ]] || fail "the lock was left behind"
  ok "SIGTERM during a backup: the backup completes, then exit 0, no lock left"

  cp -r "$dir/program" "$dir/idle"
  start idle ""
  wait_for 15 has_written 1 idle || fail "no start-up backup"
  kill -INT "$(pid_of idle)"
  wait_for 2 gone "$(pid_of idle)" || fail "still running 2 s after SIGINT"
  wait "$(pid_of idle)" || status=$?
  ((status == 0)) || fail "exit status $status after SIGINT"
  grep -q 'SIGINT received: ending, no backup in flight' "$dir/idle.log" || fail "no SIGINT line"
  ok "SIGINT with no run in flight: prompt exit"
}

second_copy() {
  setup second-copy
  settings 03 'Günlük yedekleme saatinde kopyala'
  cp -r "$dir/program" "$dir/other"
  start program ""
  wait_for 10 has_written 1 || fail "the first copy did not back up"
  [[ -e $(lock_of "$dir/program") ]] || fail "no lock at $(lock_of "$dir/program")"
  # The same folder, through a link, for another user name and temporary folder.
  ln -s program "$dir/again"
  mkdir -m 700 "$dir/tmp2"
  start again "" USER=kasa TMPDIR="$dir/tmp2" XDG_RUNTIME_DIR="$dir/tmp2"
  wait_for 5 gone "$(pid_of again)" || fail "the same folder started with another environment kept running"
  wait_for 3 grep -q 'started again: showing the window' "$dir/program.log" || fail "the first copy was not shown"
  ok "the same folder started with another USER and TMPDIR brings the first copy forward and ends"
  start other ""
  wait_for 10 grep -q 'another copy already backs up this database' "$dir/other.log" ||
    fail "the second copy did not step back"
  sleep 1.5
  running "$(pid_of other)" || fail "the second copy ended without its message"
  [[ $(ls "$dir/backups" | wc -l) == 1 ]] || fail "backups: $(stamps)"
  [[ $(grep -c '^login' "$dir/server.log") == 1 ]] || fail "the second copy logged in"
  stop || fail "exit status $?"
  ok "a second copy for the same database from another folder does not back up"
  # A logout or shutdown must not wait for someone to click the message away.
  kill -TERM "$(pid_of other)"
  wait_for 3 gone "$(pid_of other)" || fail "the second copy, showing its message, ignores SIGTERM"
  ok "the second copy ends on SIGTERM while it shows its message"
}

unreadable_connection() {
  setup unreadable
  settings 03 'Günlük yedekleme saatinde kopyala'
  rm "$dir/program/KVZ.dll"
  mkdir "$dir/program/KVZ.dll"
  start program ""
  wait_for 10 grep -q 'backup failed:' "$dir/program.log" || fail "the start-up run did not fail"
  grep -q "Ayar dosyası okunamadı: $dir/program/KVZ.dll" "$dir/program.log" || fail "the file is not named"
  ! grep -q 'Sql sunucusu ayarlanmamış' "$dir/program.log" || fail "told as a missing server"
  stop || fail "exit status $?"
  ok "an unreadable KVZ.dll is named as unreadable"
}

retried_after_failed_daily() {
  setup retry
  local server hour
  server=$(head -1 "$dir/pids")
  settings 02 'Günlük yedekleme saatinde kopyala'
  hour=$(at '2026-06-15 02:00:00 +0200')
  start program $((hour - 20))
  wait_for 20 has_written 1 || fail "no start-up backup"
  # The server goes down for its nightly update over the daily hour.
  kill -TERM "$server"
  wait_for 10 gone "$server" || fail "the test server did not stop"
  jump_to $((hour - 2))
  wait_for 10 grep -q 'backup failed:' "$dir/program.log" || fail "the daily run did not fail"
  grep -q 'backup started: daily hour' "$dir/program.log" || fail "the failed run was not the daily one"
  "$tdsserver" --port "$port" --login "sa:$password" --database STOK >"$dir/server-again.out" 2>>"$dir/server.log" &
  echo $! >>"$dir/pids"
  wait_for 10 grep -q listening "$dir/server-again.out" || fail "the test server did not start again"
  jump_to "$(at '2026-06-15 02:05:30 +0200')"
  wait_for 5 has_written 2 || fail "no backup 5 minutes after the failed daily run: $(stamps)"
  grep -q 'backup started: retry' "$dir/program.log" || fail "the backup at 02:05 was not a retry"
  [[ $(stamps) =~ ^2026061501(59[45][0-9])\ 202606150205(0[0-9]|[1-3][0-9])\ $ ]] || fail "backups: $(stamps)"
  stop || fail "exit status $?"
  ok "the daily run fails with the server down, the retry 5 minutes later backs up ($(stamps))"
}

empty_backup_keeps_old() {
  setup empty-file
  settings 03 'Günlük yedekleme saatinde kopyala'
  echo 'saklama-gunu=1' >>"$dir/program/yedeklemeayar.txt"
  local day earlier
  day=$(at '2026-06-10 12:00:00 +0200')
  for epoch in "$day" $((day + 3600)); do
    start program "$epoch"
    wait_for 20 has_written 1 || fail "no good backup to begin with"
    stop || fail "exit status $?"
  done
  earlier=$(ls "$dir/backups")
  [[ $(wc -w <<<"$earlier") == 2 ]] || fail "backups: $earlier"
  # A server that reports every backup written and leaves 0 bytes, five days on.
  "$tdsserver" --port 0 --login "sa:$password" --database STOK --empty-backups >"$dir/server.empty.out" \
    2>"$dir/server.empty.log" &
  echo $! >>"$dir/pids"
  wait_for 10 grep -q listening "$dir/server.empty.out" || fail "the empty-file server did not start"
  sed -i "s/^port=.*/port=$(sed -n 's/.*127\.0\.0\.1:\([0-9]*\).*/\1/p' "$dir/server.empty.out")/" \
    "$dir/program/KVZ.dll"
  start program $((day + 5 * 86400))
  wait_for 20 grep -q 'backup failed:' "$dir/program.log" || fail "the run against the empty file did not fail"
  grep -q 'backup failed: "YEDEK DOSYASI BOŞ YA DA EKSİK: yeni dosya 0 bayt, son yedeklerin en küçüğü' \
    "$dir/program.log" || fail "not failed as an empty file"
  for name in $earlier; do [[ -s $dir/backups/$name ]] || fail "$name was removed"; done
  stop || fail "exit status $?"
  ok "an empty file the server calls written fails the run; with 'saklama-gunu=1' both earlier backups stay"
}

clock_far_ahead() {
  setup far-ahead
  settings 03 'Günlük yedekleme saatinde kopyala'
  local right name hours
  right=$(at '2026-12-07 02:59:40 +0100')
  # Good backups of 12 h, 30 h and 3 days ago, written when their names say.
  for hours in 12 30 72; do
    name=$(date -d "@$((right - hours * 3600))" +%Y%m%d%H%M%S)-STOK.bak
    echo "$hours" >"$dir/backups/$name"
    touch -d "@$((right - hours * 3600))" "$dir/backups/$name"
  done
  start program "$right" FAKETIME_DONT_FAKE_MONOTONIC=1
  wait_for 20 has_written 1 || fail "no start-up backup"
  local before
  before=$(ls "$dir/backups")
  printf 'saklama-gunu=1\n' >>"$dir/program/yedeklemeayar.txt"
  # The machine's clock is set 400 days ahead while the program runs: elapsed time does not follow it.
  jump_to $((right + 400 * 86400 + 18))
  wait_for 10 has_written 2 || fail "no backup at the daily hour 400 days ahead: $(stamps)"
  sleep 1
  local missing=
  for name in $before; do [[ -e $dir/backups/$name ]] || missing+=" $name"; done
  [[ -z $missing ]] || fail "removed under a clock 400 days ahead:$missing"
  [[ $(stamps) =~ 20280111030000 ]] || fail "backups: $(stamps)"
  grep -q 'BİLGİSAYARIN SAATİ YANLIŞ OLABİLİR: saat 11.01.2028 03:00' "$dir/program.log" ||
    fail "no clock warning in the log"
  stop || fail "exit status $?"
  ok "a clock 400 days ahead with saklama-gunu=1 removes none of the $(wc -w <<<"$before") earlier backups"
}

restore_test_on_its_day() {
  setup restore --data-folder "$root/restore/data" --backup-seconds 1
  mkdir -p "$dir/data"
  settings 02 'Günlük yedekleme saatinde kopyala'
  echo 'geri-yukleme-denemesi=1' >>"$dir/program/yedeklemeayar.txt"
  tested() { (($(grep -c 'restore test ended: clean' "$dir/program.log") >= $1)); }
  start program "$(at '2026-06-15 01:59:30 +0200')"
  wait_for 20 has_written 1 || fail "no start-up backup"
  sleep 2
  ! grep -q 'restore test of' "$dir/program.log" || fail "a restore test before the daily hour"
  jump_to "$(at '2026-06-15 02:00:00 +0200')"
  wait_for 20 tested 1 || fail "no clean restore test after the daily backup"
  grep -qF "restore test of \"$dir/backups/20260615020000-STOK.bak\"" "$dir/program.log" ||
    fail "the test was not of the daily backup"
  jump_to "$(at '2026-06-16 02:00:00 +0200')"
  wait_for 20 has_written 3 || fail "no daily backup the next day"
  wait_for 20 tested 2 || fail "no restore test the next day"
  [[ -z $(ls "$dir/data") ]] || fail "the scratch database's files are left: $(ls "$dir/data")"
  (($(grep -c 'GERİ YÜKLEME DENEMESİ BAŞARILI' "$dir/program.log") == 1)) || fail "a clean test said twice a week"
  stop || fail "exit status $?"
  ok "geri-yukleme-denemesi=1 tests the daily backup after the hour, each day, drops the copy, says so once"
}

run() { # case number, function, its arguments; a case that ends unexpectedly counts as failed
  (set -euo pipefail; "${@:2}") >"$root/$1.out" 2>&1
  local status=$?
  ((status == 0)) || grep -q '^FAIL' "$root/$1.out" ||
    echo "FAIL $2: ended with status $status" >>"$root/$1.out"
}
set +e
started=$SECONDS
# The two cases that wait a real minute run beside the others.
run 4 set_back_an_hour &
run 6 hand_edited_schedule &
run 1 asleep_over_daily_hour
run 2 spring_forward
run 3a fall_back fall-back-minute 'Dakikada bir yedekle' '20261025020000 20261025020000-2 '
run 3b fall_back fall-back-daily 'Günlük yedekleme saatinde kopyala' '20261025020000 '
run 5 no_whole_folder
run 7 signals
run 8 second_copy
run 9 unreadable_connection
run 10 retried_after_failed_daily
run 11 empty_backup_keeps_old
run 12 clock_far_ahead
run 13 restore_test_on_its_day
wait
leaks=$(grep -rlF --exclude=KVZ.dll --exclude='server.*' -e "$password" "$root")
if [[ -z $leaks ]]; then
  echo "ok - the password is in no log, history or other file the runs left"
else
  echo "FAIL the password is in:" $leaks
fi >"$root/leaks.out"
cat "$root"/*.out
echo "$(cat "$root"/*.out | grep -c '^ok') passed, $(cat "$root"/*.out | grep -c '^FAIL') failed" \
  "in $((SECONDS - started)) s"
! grep -q '^FAIL' "$root"/*.out
