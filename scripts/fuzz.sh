#!/usr/bin/env bash
# Runs the fuzz targets for a long time: scripts/fuzz.sh SECONDS [TARGET...]
# Each target (all of them when none is named; names as in fuzz/CMakeLists.txt, e.g.
# fuzz_macro_reply) runs SECONDS seconds, one after the other, starting from the committed seeds
# and from what earlier long runs found (kept in build-fuzz/fuzz/long/, not committed). An input
# that breaks a target is saved as build-fuzz/fuzz/crash-<target>-* and ends the script.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 1 ] || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh SECONDS [TARGET...]" >&2
  exit 2
fi
SECONDS_EACH=$1; shift
scripts/setup-deps.sh

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCORVANE_FUZZ=ON -DCORVANE_CORE_ONLY=ON \
  -DCORVANE_BUILD_TESTS=OFF -DCORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)"

declare -A CORPUS=(
  [fuzz_settings_file]=settings [fuzz_profile_file]=profile [fuzz_macro_library_file]=macro_library
  [fuzz_macro_key_file]=macro_key [fuzz_macro_reply]=macro_reply [fuzz_report_descriptor]=report_descriptor
)
declare -A MAX_LEN=(
  [fuzz_settings_file]=1024 [fuzz_profile_file]=2048 [fuzz_macro_library_file]=8192
  [fuzz_macro_key_file]=4096 [fuzz_macro_reply]=256 [fuzz_report_descriptor]=4096
)
TARGETS=("$@")
if ((${#TARGETS[@]} == 0)); then
  TARGETS=(fuzz_settings_file fuzz_profile_file fuzz_macro_library_file fuzz_macro_key_file
           fuzz_macro_reply fuzz_report_descriptor)
fi

for target in "${TARGETS[@]}"; do
  corpus=${CORPUS[$target]:?unknown target $target}
  long=build-fuzz/fuzz/long/${corpus}
  mkdir -p "${long}"
  echo "=== ${target}: ${SECONDS_EACH} s ==="
  build-fuzz/fuzz/"${target}" -max_total_time="${SECONDS_EACH}" -max_len="${MAX_LEN[$target]}" \
    -print_final_stats=1 -artifact_prefix="build-fuzz/fuzz/crash-${target}-" \
    "${long}" "fuzz/corpus/${corpus}"
done
