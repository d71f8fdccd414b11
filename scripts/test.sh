#!/usr/bin/env bash
# Builds Corvane and runs every test: a plain build, an AddressSanitizer+UBSan build of
# everything, a ThreadSanitizer build of the Qt-free core and device link, and, with clang, the
# fuzz targets for a fixed number of runs over their seed corpus. Headless.
#
# The builds are independent, so each build's tests run while the next one compiles: most tests
# wait on timers, the simulated keyboard's pauses and the X server rather than on the CPU. Their
# output is shown in build order once they are done; the script fails if any of them failed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

# The tree keeps one format (.clang-format): a file that drifted fails here, before any build.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "=== format ==="
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
JOBS=$(nproc)
# Test failures, sanitizer reports and backtraces need only file and line: line tables instead
# of full debugging information take a quarter off every build's compile time. (A build for a
# debugger is best configured in a folder of its own.)
LINES_ONLY=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG")

SUITES=()
TEST_PIDS=()
build_suite() {
  local dir=$1; shift
  echo "=== ${dir}: build ==="
  cmake -S . -B "${dir}" -G Ninja "$@" >/dev/null
  cmake --build "${dir}" -j "${JOBS}"
}
# Starts a built suite's tests in the background.
start_tests() {
  local dir=$1
  echo "=== ${dir}: tests started ==="
  ctest --test-dir "${dir}" --output-on-failure -j "${JOBS}" >"${dir}/test-output.log" 2>&1 &
  SUITES+=("${dir}")
  TEST_PIDS+=($!)
}
# Waits for every started suite and shows its output; fails if any failed.
finish_tests() {
  local failed=0 i
  for i in "${!SUITES[@]}"; do
    if wait "${TEST_PIDS[$i]}"; then
      echo "=== ${SUITES[$i]}: tests passed ==="
      grep -E "^[0-9]+% tests passed" "${SUITES[$i]}/test-output.log" || true
      tail -n 3 "${SUITES[$i]}/test-output.log"
    else
      echo "=== ${SUITES[$i]}: tests FAILED ==="
      cat "${SUITES[$i]}/test-output.log"
      failed=1
    fi
  done
  return "${failed}"
}
# A build that fails ends the script; the tests still running go with it.
stop_tests() { for pid in "${TEST_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done; }
trap stop_tests EXIT

build_suite build "${LINES_ONLY[@]}"
start_tests build
build_suite build-asan -DCORVANE_SANITIZE=address -DCORVANE_BUILD_BENCH=OFF "${LINES_ONLY[@]}"
start_tests build-asan
if command -v clang++ >/dev/null; then
  build_suite build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON -DCORVANE_CORE_ONLY=ON \
    -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF "${LINES_ONLY[@]}"
  start_tests build-fuzz
else
  echo "=== build-fuzz: skipped (no clang++) ==="
fi
# Last, so that no compile runs beside its tests: the thread sanitizer slows the device link's
# threads several times over, and its hot-plug storm waits for them with a deadline.
build_suite build-tsan -DCORVANE_SANITIZE=thread -DCORVANE_CORE_ONLY=ON -DCORVANE_BUILD_BENCH=OFF "${LINES_ONLY[@]}"
start_tests build-tsan
finish_tests
