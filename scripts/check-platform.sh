#!/usr/bin/env bash
# What differs between operating systems lives in platform/, one seam per service, the system's own file
# chosen by CMake. Prints every line of the other product folders that asks which system it is built for,
# or includes a header only one system has, and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

folders=(settings backup history schedule ui app)
system_macro='(Q_OS_|_WIN32|_WIN64|WIN32|__linux|__unix|__APPLE__|_MSC_VER|__MINGW|__CYGWIN|CLOCK_)'
conditional="^[[:space:]]*#[[:space:]]*(if|ifdef|ifndef|elif|elifdef|elifndef)\\b.*${system_macro}"
system_header='^[[:space:]]*#[[:space:]]*include[[:space:]]*<(unistd|windows|winbase|shlobj|signal|csignal|pwd|grp|fcntl|dirent|sys/[a-z_/]+)(\.h)?>'

status=0
for pattern in "$conditional" "$system_header"; do
  if grep -rnE --include='*.h' --include='*.cpp' "$pattern" "${folders[@]}"; then
    status=1
  fi
done
if ((status)); then
  echo "the lines above belong behind a seam in platform/"
fi
exit $status
