#!/usr/bin/env bash
# Builds the fuzz targets (score file, pattern file, pictures) with clang and runs them.
#
#   scripts/fuzz.sh check     what CI runs, the same on every run of one commit: every input
#                             in fuzz/corpus once, then each target for a fixed number of runs
#                             from a fixed seed
#   scripts/fuzz.sh SECONDS   by hand: each target for that long from a random seed
#
# The inputs in a target's folder under fuzz/corpus are replayed and seed the fuzzing; those
# in its costly/ folder, files that once took long, are only replayed: as seeds they would
# spend the fixed runs on large pictures. New interesting inputs go to a scratch folder. A
# failure prints the whole report (the check that failed, the stack) and the path of the
# input that caused it: copy that input into the target's folder (a slow one into costly/),
# so that every later check replays it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mode=${1:-60}
targets=(fuzz_pattern_table fuzz_score_file fuzz_load_image)
declare -A corpus=([fuzz_pattern_table]=pattern_table [fuzz_score_file]=score_file
                   [fuzz_load_image]=load_image)
# Runs for the check: each target gets roughly half a minute on the development machine.
declare -A check_runs=([fuzz_pattern_table]=20000 [fuzz_score_file]=200000
                       [fuzz_load_image]=8000)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCP_WITH_FUZZ=ON -DCP_WITH_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "${targets[@]}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
artifacts=$root/build-fuzz/artifacts
mkdir -p "$artifacts"

# Runs one target's command, keeping its output; on failure shows all of it.
run() {
  local t=$1 what=$2; shift 2
  local log=$scratch/$t.log
  if (cd "$scratch" && ASAN_OPTIONS=detect_leaks=0 "$@") >"$log" 2>&1; then
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::slowest_unit_time_sec|Slowest unit' "$log" || true
    return 0
  fi
  echo "== $t FAILED ($what); its whole report:"
  grep -v '^Executed ' "$log"
  local input
  input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
  local into=fuzz/corpus/${corpus[$t]}/
  [[ $input == */$t-timeout-* || $input == */$t-slow-unit-* ]] && into+=costly/
  [[ -n $input ]] && echo "== the input: $input (copy it into $into)"
  return 1
}

status=0
for t in "${targets[@]}"; do
  bin=$root/build-fuzz/fuzz/$t
  dir=$root/fuzz/corpus/${corpus[$t]}
  mkdir -p "$scratch/$t"
  common=(-timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts/$t-")
  # The seeds, named and sorted: the order in which a folder lists its files differs from
  # one file system to another.
  find "$dir" -maxdepth 1 -type f | LC_ALL=C sort | paste -sd, >"$scratch/$t.seeds"
  if [[ $mode == check ]]; then
    echo "== $t: replay fuzz/corpus/${corpus[$t]}"
    mapfile -t inputs < <(find "$dir" -type f | LC_ALL=C sort)
    run "$t" replay "$bin" "${common[@]}" "${inputs[@]}" || { status=1; continue; }
    echo "${#inputs[@]} inputs, none failed"
    echo "== $t: ${check_runs[$t]} runs from seed 1"
    # Nothing that differs between runs, folders or machines may steer the mutations: no
    # corpus reload on a timer, no hash seed, no process id (the targets use none), no order
    # of listing, no environment, and no values the code compares (-use_cmp=0): those
    # include addresses, which move with the environment and the length of a path even where
    # the address layout is fixed.
    run "$t" "seed 1" setarch -R env -i QT_HASH_SEED=0 ASAN_OPTIONS=detect_leaks=0 \
      "$bin" "${common[@]}" -seed=1 -reload=0 -use_cmp=0 -runs="${check_runs[$t]}" \
      -seed_inputs=@"$scratch/$t.seeds" -print_final_stats=1 "$scratch/$t" || status=1
  else
    echo "== $t for ${mode}s"
    run "$t" "${mode}s" "$bin" "${common[@]}" -max_total_time="$mode" -print_final_stats=1 \
      -seed_inputs=@"$scratch/$t.seeds" "$scratch/$t" || status=1
  fi
done
exit "$status"
