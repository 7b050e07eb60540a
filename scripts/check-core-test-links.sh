#!/usr/bin/env bash
# Fails when one of the given programs loads Qt's widgets or its embedded browser.
set -euo pipefail
status=0
for program in "$@"; do
  if ldd "$program" | grep -E 'libQt6(Widgets|WebEngine)'; then
    echo "$program loads widgets or the embedded browser"
    status=1
  fi
done
[ $status -eq 0 ] && echo "$# test programs of the logic: no widgets, no embedded browser"
exit $status
