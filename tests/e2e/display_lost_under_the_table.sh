#!/usr/bin/env bash
# The X server goes away under the open table, after a deal: the program must end with an exit
# status, not die of a signal, and leave score.dat as it was. Arguments: GAME_EXECUTABLE X11_PROBE.
source "$(dirname "$0")/lib.sh"

scores Ann 300 '' 0 '' 0 '' 0 >"$scratch/score.dat"
# A shell between the probe and the game notes how the game ended (128 + N: signal N).
start_game bash -c '"$0"; echo $? >"$1"' "$exe" "$scratch/status"
open_table
deal
step "killing the X server"
kill -KILL "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""
wait_gone "$game_pid" "the program kept running without its display"
[[ -s $scratch/status ]] || fail "no exit status recorded"
status=$(cat "$scratch/status")
((status < 128)) || fail "the program died of signal $((status - 128))"
expect_scores "what it held" Ann 300 '' 0 '' 0 '' 0
echo "e2e: PASS ($status)"
