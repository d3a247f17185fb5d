#!/usr/bin/env bash
# Configures and builds into build/ (or $PANELCRAFT_BUILD_DIR). Extra CMake
# options may follow, e.g. -DPANELCRAFT_SANITIZE=ON.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PANELCRAFT_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
