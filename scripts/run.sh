#!/usr/bin/env bash
# Builds Corvane (the program alone, not its tests) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target corvane
exec build/src/app/corvane "$@"
