#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build (unit, window
# and end-to-end tests), the fuzz targets for a bounded time, then the whole suite again
# in the address and undefined-behaviour sanitizer build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
jobs=$(nproc)

echo "== build and test (RelWithDebInfo)"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== fuzz the file readers (seconds each: ${CP_FUZZ_SECONDS:-60})"
scripts/fuzz.sh "${CP_FUZZ_SECONDS:-60}"

echo "== build and test with address and undefined-behaviour sanitizers"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCP_SANITIZE=ON -DCP_WITH_BENCH=OFF
UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
