#!/usr/bin/env bash
# Builds the Debian package of Corvane from a release build of what it installs (no tests) and
# prints its path: build-package/corvane_<version>_<architecture>.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-package -j "$(nproc)" --target corvane corvanectl corvanectl_manpage corvane_icons
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/corvane_*.deb
