#!/usr/bin/env bash
# Each folder is one layer and may include only its own headers and those of the layers below it:
#   settings <- backup <- schedule <- ui/styled, ui/browse, ui/settings <- app
# Prints every include that runs the other way and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [settings]="settings"
  [backup]="settings backup"
  [schedule]="settings backup schedule"
  [ui/styled]="ui/styled"
  [ui/browse]="ui/styled ui/browse"
  [ui/settings]="settings backup schedule ui/styled ui/settings"
  [app]="settings backup schedule ui/styled ui/browse ui/settings app"
  [tdsserver]=""
)

status=0
for folder in "${!allowed[@]}"; do
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
  done < <(git grep -n -E '^#include "' -- "$folder/*.h" "$folder/*.cpp" || true)
done
exit $status
