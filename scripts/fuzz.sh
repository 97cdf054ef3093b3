#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a bounded time (seconds, default 60)
# on its corpus in fuzz/corpus. New interesting inputs go to a scratch folder; copy the
# ones worth keeping into the corpus by hand. Any crash, hang or sanitizer report fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-60}
targets=(fuzz_pattern_table fuzz_score_file fuzz_load_image)
declare -A corpus=([fuzz_pattern_table]=pattern_table [fuzz_score_file]=score_file
                   [fuzz_load_image]=load_image)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCP_WITH_FUZZ=ON -DCP_WITH_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "${targets[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for t in "${targets[@]}"; do
  echo "== $t for ${seconds}s"
  mkdir -p "$scratch/$t"
  (cd "$scratch" && ASAN_OPTIONS=detect_leaks=0 "$root/build-fuzz/fuzz/$t" \
     -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$root/build-fuzz/$t-" \
     "$scratch/$t" "$root/fuzz/corpus/${corpus[$t]}" 2>&1 | tail -n 12)
done
