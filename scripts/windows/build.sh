#!/usr/bin/env bash
# Builds the program and its tests for Windows with the cached Windows Qt, and puts beside every executable
# the DLLs and plugins it loads, so that each runs as it is (under Wine too); then the installer
# ZantoYedekKurulum-<version>.exe, whose path it prints last.
# Usage: build.sh [build folder]   (default: build/win; the Qt cache as for build-qt.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-$root/build/win}")
cache=${KVZ_WINDOWS_CACHE:-$HOME/.cache/zanto-yedek-windows}
qt=$cache/qt6-mingw

"$root/scripts/windows/build-qt.sh" "$cache"

export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=1
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
"$qt/bin/qt-cmake" -S "$root" -B "$build" -G Ninja -DKVZ_WERROR=ON -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
  >"$build.configure.log" 2>&1 || { tail -30 "$build.configure.log"; exit 1; }
nice cmake --build "$build" -j2

# What every executable of the tree loads: Qt's DLLs and the plugins it picks at run time, and the MinGW
# runtime. Hard links where the cache shares the file system, copies where not.
runtime=("$qt"/bin/*.dll
  "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"/{libstdc++-6,libgcc_s_seh-1}.dll
  /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
plugins=(platforms/qwindows.dll platforms/qoffscreen.dll sqldrivers/qsqlite.dll)
place() { ln -f "$1" "$2" 2>/dev/null || cp -f "$1" "$2"; }
find "$build" -name '*.exe' -not -path '*/CMakeFiles/*' -printf '%h\n' | sort -u | while read -r folder; do
  for dll in "${runtime[@]}"; do place "$dll" "$folder/"; done
  for plugin in "${plugins[@]}"; do
    mkdir -p "$folder/$(dirname "$plugin")"
    place "$qt/plugins/$plugin" "$folder/$plugin"
  done
done

# The installer: the program with Qt's DLLs and plugins and the MinGW runtime, by the tree's install rules.
(cd "$build" && cpack -G NSIS >cpack.log 2>&1) || { tail -20 "$build/cpack.log"; exit 1; }
ls "$build"/ZantoYedekKurulum-*.exe
