#!/usr/bin/env bash
# Installs what is missing, builds the program, puts it into its program folder and starts it there.
# The settings files "KVZ.dll" and "yedeklemeayar.txt" live beside the executable in that folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program_dir=${KVZ_PROGRAM_DIR:-$HOME/zanto-yedek}

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/build/release" --target kvz
cmake --install "$root/build/release" --prefix "$program_dir" >/dev/null
echo "Program folder: $program_dir"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "There is no display: the program starts under a virtual X server (Xvfb), where its backups run as usual."
  # On the X server, whatever platform the caller set for windowless runs (offscreen).
  QT_QPA_PLATFORM=xcb exec xvfb-run -a -s "-screen 0 1024x768x24" "$program_dir/kvz"
fi
exec "$program_dir/kvz"
