#!/usr/bin/env bash
# Measures what the running game costs while it sits idle on the table with its 60 ms tick
# running: CPU time of the game and of the X server over a period, read from
# /proc/PID/schedstat (nanoseconds on a CPU), in a real X window under Xvfb.
#
# usage: scripts/measure_idle.sh [BUILD_DIR] [SECONDS]   (defaults: build, 30)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$root/build}")
seconds=${2:-30}
game=$build/game/chinese_poker

scratch=$(mktemp -d /tmp/cp_idle.XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT

cp "$game" "$build/game/data.dat" "$scratch/"
cp -r "$build/game/resources" "$scratch/"
head -c 40 /dev/zero >"$scratch/score.dat"

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$scratch/display" 2>/dev/null &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.05; done
export DISPLAY=:$(cat "$scratch/display")
unset QT_QPA_PLATFORM

"$scratch/chinese_poker" &
pid=$!
pids+=("$pid")
win=$(xdotool search --sync --onlyvisible --class chinese_poker | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$win")"
# Onto the unlit NEW GAME (it lights), a little further on it, then click the lit one.
xdotool mousemove $((X + 300)) $((Y + 255)) sleep 0.2 mousemove $((X + 310)) $((Y + 256)) \
  sleep 0.2 click 1
xdotool search --sync --onlyvisible --name "^Chinese Poker .Merrowin.$" >/dev/null
xdotool mousemove 1 1
sleep 2

cpu_ns() { cut -d' ' -f1 "/proc/$1/schedstat"; }
g0=$(cpu_ns "$pid"); x0=$(cpu_ns "$xvfb"); t0=$(date +%s%N)
sleep "$seconds"
g1=$(cpu_ns "$pid"); x1=$(cpu_ns "$xvfb"); t1=$(date +%s%N)
awk -v g=$((g1 - g0)) -v x=$((x1 - x0)) -v t=$((t1 - t0)) -v s="$seconds" 'BEGIN {
  printf "idle on the table for %d s: game %.3f%% of one core, X server %.3f%% of one core\n",
         s, 100 * g / t, 100 * x / t }'
echo "peak resident size of the game: $(grep VmHWM /proc/$pid/status | awk '{print $2, $3}')"
