#!/usr/bin/env bash
# Checks that every include of the project's own headers goes to the including file's layer or a
# layer below it. Lowest first:
#   base <- platform <- log <- package <- script <- install, system <- shell
# install and system stand side by side and do not include each other; tools/omnipack stands on
# everything up to script.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

rank() {
  case "$1" in
    base) echo 0 ;; platform) echo 1 ;; log) echo 2 ;; package) echo 3 ;; script) echo 4 ;;
    install | system) echo 5 ;; omnipack) echo 5 ;; shell) echo 6 ;; *) echo "" ;;
  esac
}

violations=0
while IFS= read -r file; do
  case "$file" in
    src/*) layer=${file#src/}; layer=${layer%%/*} ;;
    tools/omnipack/*) layer=omnipack ;;
  esac
  own=$(rank "$layer")
  while IFS=: read -r line target; do
    used=${target%%/*}
    used_rank=$(rank "$used")
    [ -n "$used_rank" ] || continue  # a header of the file's own folder, or not one of ours
    if [ "$used_rank" -gt "$own" ] || { [ "$used_rank" -eq "$own" ] && [ "$used" != "$layer" ]; }; then
      echo "$file:$line: includes $target from a layer above $layer" >&2
      violations=$((violations + 1))
    fi
  done < <(grep -n '^#include "' "$file" | sed -E 's/^([0-9]+):#include "([^"]+)".*/\1:\2/')
done < <(git ls-files -co --exclude-standard -- src tools/omnipack | grep -E '\.(cpp|h)$')

if [ "$violations" -gt 0 ]; then
  echo "check-layers: $violations include(s) against the layer order" >&2
  exit 1
fi
echo "check-layers: every include follows the layer order"
