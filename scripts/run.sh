#!/usr/bin/env bash
# Builds the program with the stand-in reader library and starts the window.
# Without a display it starts under Xvfb (xvfb-run).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run
cmake --workflow --preset app

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  exec build/app/bin/corvane
else
  echo "No display: starting the window under Xvfb."
  exec xvfb-run -a build/app/bin/corvane
fi
