#!/usr/bin/env bash
# The game played as a person would: the pointer onto NEW GAME (it lights), a click, the table
# opens alone, Deal, the close box, a name typed into "New High Score"; the program ends and
# score.dat holds the new entry. Arguments: GAME_EXECUTABLE X11_PROBE.
source "$(dirname "$0")/lib.sh"

scores Ann 300 Bob 40 '' 0 Zed 7 >"$scratch/score.dat"
start_game
eval "$(xdotool getwindowgeometry --shell "$title")"
[[ $WIDTH == 800 && $HEIGHT == 600 ]] || fail "the title window is ${WIDTH}x$HEIGHT, not 800x600"
open_table
for _ in $(seq 400); do
  visible=$(xdotool search --onlyvisible --class chinese_poker 2>/dev/null | sort -u || true)
  [[ $(wc -w <<<"$visible") == 1 ]] && break
  sleep 0.05
done
[[ $visible == "$(printf '%d' "$table")" ]] || fail "the table is not the only window: $visible"
deal
# One deal at the default wager of 50 leaves a score of 50: above Bob's 40, so the name takes
# entry 1 and Bob moves down to entry 2, each with its own Extra bytes.
close_for_name "$table"
enter_name "$box" Tester "$game_pid"
expect_scores "the new entry" Ann 300 Tester 50 Bob 40 Zed 7
echo "e2e: PASS"
