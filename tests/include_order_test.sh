#!/usr/bin/env bash
# Every folder includes only itself and the folders below it; base/ includes nothing else of ours.
# SPDX-License-Identifier: MIT
set -euo pipefail
cd "$1"
# The form model needs only the error numbers, so it sits right above errors/.
order=(base errors form settings environment ui_text app view_qt view_win32)
rank() { local i; for i in "${!order[@]}"; do [ "${order[$i]}" = "$1" ] && echo "$i" && return; done; echo -1; }
status=0
for folder in "${order[@]}"; do
  [ -d "$folder" ] || continue
  own=$(rank "$folder")
  while IFS= read -r line; do
    used=${line#*\#include \"}; used=${used%%/*}
    r=$(rank "$used")
    [ "$r" -lt 0 ] && continue  # generated headers
    if [ "$r" -gt "$own" ]; then
      echo "$line: $folder must not include $used" >&2; status=1
    fi
    if [[ "$folder" == view_* && "$used" == view_* && "$used" != "$folder" ]]; then
      echo "$line: the views are independent" >&2; status=1
    fi
  done < <(grep -Hn '^#include "[a-z_0-9]*/' "$folder"/*.cpp "$folder"/*.h 2>/dev/null || true)
done
exit $status
