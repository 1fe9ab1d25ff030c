# shellcheck shell=bash
# Sourced by the benchmark scripts.
# shellcheck source=scripts/lib/x11.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/x11.sh"

# make_program_folder <folder> <backup folder> <server port> <kvz>: the real program with settings files
# pointing at the loopback server. The daily hour lies twelve hours away: no scheduled run falls into a
# measurement.
make_program_folder() {
  write_program_settings "$1" "$3" pw "$2" "$(printf '%02d' $(((10#$(date +%H) + 12) % 24)))" \
    'Günlük yedekleme saatinde kopyala'
  cp "$4" "$1/kvz"
}
