#!/usr/bin/env bash
# Sets up, builds and starts the game from the build folder (where gfx/ and config/ live).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc 2>/dev/null || echo 2)"
cd build
exec ./flikka "$@"
