#!/usr/bin/env bash
# The X server goes away under the open table, after a deal: the program must end with an exit
# status, not die of a signal, and leave score.dat as it was.
#
# usage: lose_display.sh GAME_EXECUTABLE X11_PROBE
set -euo pipefail

game=$(readlink -f "$1")
probe=$(readlink -f "$2")
source "$(dirname "$0")/lib.sh"

{
  record Ann '\x2c\x01' e0
  record '' '\x00\x00' e1
  record '' '\x00\x00' e2
  record '' '\x00\x00' e3
} >"$scratch/score.dat"
cp "$scratch/score.dat" "$scratch/before.dat"

start_xvfb
xdotool mousemove 5 5
# A shell between the probe and the game notes how the game ended (128 + N: signal N).
start_game bash -c '"$0"; echo $? >"$1"' "$exe" "$scratch/status"
light_new_game
open_table
deal

step "killing the X server"
kill -KILL "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""
wait_gone "$game_pid" "the program kept running without its display"
[[ -s $scratch/status ]] || fail "no exit status recorded"
status=$(cat "$scratch/status")
step "the program ended with status $status"
((status < 128)) || fail "the program died of signal $((status - 128))"
cmp -s "$scratch/score.dat" "$scratch/before.dat" || fail "score.dat changed"
echo "e2e: PASS"
