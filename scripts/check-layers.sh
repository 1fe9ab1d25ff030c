#!/usr/bin/env bash
# Each folder is one layer and may include only its own headers and those of the layers below it:
#   platform <- settings <- backup <- history <- schedule <- ui/styled, ui/browse, ui/settings, ui/history <- app
# platform/ stands for the operating system: every layer may use it, and it uses none.
# Prints every include that runs the other way and fails when there is one. Reads the files on disk, so
# that a new file counts before it is committed and a copy without git can run it (a CTest test does).
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [platform]="platform"
  [settings]="platform settings"
  [backup]="platform settings backup"
  [history]="platform settings backup history"
  [schedule]="platform settings backup history schedule"
  [ui/styled]="platform ui/styled"
  [ui/browse]="platform ui/styled ui/browse"
  [ui/settings]="platform settings backup schedule ui/styled ui/settings"
  [ui/history]="platform settings backup history schedule ui/styled ui/history"
  [app]="platform settings backup history schedule ui/styled ui/browse ui/settings ui/history app"
  [tdsserver]="platform"
)

status=0
for folder in "${!allowed[@]}"; do
  # A folder renamed or gone would otherwise pass with nothing to check.
  if [[ ! -d $folder ]]; then
    echo "$folder: no such folder"
    status=1
    continue
  fi
  while IFS=: read -r file line include; do
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$include")
    [[ $target == */* ]] || continue
    ok=0
    for layer in ${allowed[$folder]}; do
      [[ $target == "$layer/"* && $target != "$layer/"*/* ]] && ok=1
    done
    if ((!ok)); then
      echo "$file:$line: $folder may not include $target"
      status=1
    fi
  done < <(grep -rn -E '^#include "' --include='*.h' --include='*.cpp' "$folder" || true)
done
exit $status
