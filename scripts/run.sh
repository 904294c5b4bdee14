#!/usr/bin/env bash
# Installs what is missing, builds Vexa and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

if [ ! -x build/vexa ]; then
  echo "Built the core libraries, tests and benchmarks; the window (build/vexa) is not there yet."
  exit 0
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: start Vexa from a desktop session, or under xvfb-run." >&2
  exit 1
fi
exec build/vexa
