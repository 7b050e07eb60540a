#!/usr/bin/env bash
# Installs what is missing, builds and starts Peldora (under Xvfb when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting under Xvfb."
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$BUILD_DIR/src/peldora" "$@"
fi
exec "$BUILD_DIR/src/peldora" "$@"
