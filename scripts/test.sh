#!/usr/bin/env bash
# Builds Corvane and runs every test: a plain build, an AddressSanitizer+UBSan build of
# everything, a ThreadSanitizer build of the Qt-free core and device link, and, with clang, the
# fuzz targets for a fixed number of runs over their seed corpus. Headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
JOBS=$(nproc)

run_suite() {
  local dir=$1; shift
  echo "=== ${dir} ==="
  cmake -S . -B "${dir}" -G Ninja "$@" >/dev/null
  cmake --build "${dir}" -j "${JOBS}"
  ctest --test-dir "${dir}" --output-on-failure -j "${JOBS}"
}

run_suite build
run_suite build-asan -DCORVANE_SANITIZE=address -DCORVANE_BUILD_BENCH=OFF
run_suite build-tsan -DCORVANE_SANITIZE=thread -DCORVANE_CORE_ONLY=ON -DCORVANE_BUILD_BENCH=OFF
if command -v clang++ >/dev/null; then
  run_suite build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON -DCORVANE_CORE_ONLY=ON \
    -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF
else
  echo "=== build-fuzz: skipped (no clang++) ==="
fi
