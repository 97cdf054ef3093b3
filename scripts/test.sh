#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build (unit, window
# and end-to-end tests), a Release build (so that its warnings are seen too), the fuzz
# targets on their corpus and for a fixed number of runs from a fixed seed, then the whole
# suite again in the address and undefined-behaviour sanitizer build. Every build treats a
# compiler warning as an error. One commit gives one outcome: nothing here depends on chance.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh
jobs=$(nproc)

echo "== build and test (RelWithDebInfo)"
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCP_WERROR=ON
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== build (Release, with the benchmarks)"
scripts/build.sh build-rel -DCMAKE_BUILD_TYPE=Release -DCP_WERROR=ON

echo "== fuzz the file readers: the corpus, then a fixed number of runs from a fixed seed"
scripts/fuzz.sh check

echo "== build and test with address and undefined-behaviour sanitizers"
scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCP_SANITIZE=ON -DCP_WITH_BENCH=OFF \
  -DCP_WERROR=ON
UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
