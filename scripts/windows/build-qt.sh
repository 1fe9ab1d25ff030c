#!/usr/bin/env bash
# Builds Qt for Windows once, from Debian's own qt6-base source package, with MinGW-w64 (posix threads) and
# Debian's Qt as the host Qt, into a cache folder outside the checkout; a second call finds it and does
# nothing. Usage: build-qt.sh [cache folder]   (default: $KVZ_WINDOWS_CACHE or ~/.cache/zanto-yedek-windows)
# Takes about 50 minutes at two cores; it runs under nice, so other work goes on beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${1:-${KVZ_WINDOWS_CACHE:-$HOME/.cache/zanto-yedek-windows}}
prefix=$cache/qt6-mingw
if [[ -f $prefix/lib/cmake/Qt6/Qt6Config.cmake ]]; then
  echo "Windows Qt is already in $prefix"
  exit 0
fi

"$root/scripts/windows/install-deps.sh"

work=$cache/source
mkdir -p "$work" "$prefix"
cd "$work"

# Debian's source lines are not always configured; the source packages are what Debian ships.
if ! apt-get source --download-only qt6-base >/dev/null 2>&1; then
  as_root=()
  [[ $(id -u) -ne 0 ]] && as_root=(sudo)
  # The same keyring as Debian's own entry: apt refuses one source named with two.
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' \
    /usr/share/keyrings/debian-archive-keyring.gpg |
    "${as_root[@]}" tee /etc/apt/sources.list.d/zanto-yedek-src.sources >/dev/null
  "${as_root[@]}" apt-get update -qq
fi
[[ -d qt6-base-src ]] || { apt-get source qt6-base >/dev/null && mv "$(ls -d qt6-base-*/ | head -1)" qt6-base-src; }
[[ -d sqlite3-src ]] || { apt-get source sqlite3 >/dev/null && mv "$(ls -d sqlite3-*/ | head -1)" sqlite3-src; }

# The +dfsg source lacks Qt's copy of SQLite: its amalgamation is made from Debian's own sqlite3 source.
sqlite_dir=qt6-base-src/src/3rdparty/sqlite
if [[ ! -f $sqlite_dir/sqlite3.c ]]; then
  (cd sqlite3-src && ./configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
  mkdir -p "$sqlite_dir"
  cp sqlite3-src/sqlite3.c sqlite3-src/sqlite3.h "$sqlite_dir/"
fi

# Qt's own toolchain file loads this one by absolute path: it lives inside the prefix, so the cache can be
# moved as a whole only together with its path.
toolchain=$prefix/mingw-w64-posix.cmake
cp "$root/scripts/windows/mingw-w64-posix.cmake" "$toolchain"

rm -rf build && mkdir build && cd build
../qt6-base-src/configure -prefix "$prefix" -release -shared -xplatform win32-g++ -qt-host-path /usr \
  -nomake examples -nomake tests -no-opengl -no-dbus -no-icu -no-openssl -qt-zlib -qt-pcre -qt-libpng \
  -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-doubleconversion -sql-sqlite -qt-sqlite -no-sql-odbc \
  -no-sql-psql -no-sql-mysql -no-feature-tabletevent -no-feature-printsupport -no-feature-xml \
  -no-feature-vulkan -- -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >../configure.log 2>&1 ||
  { tail -40 ../configure.log; exit 1; }
nice -n 19 cmake --build . --parallel "$(nproc)" >../build.log 2>&1 || { tail -40 ../build.log; exit 1; }
cmake --install . >../install.log 2>&1
cd "$work" && rm -rf build
echo "Windows Qt installed in $prefix ($(du -sh "$prefix" | cut -f1))"
