#!/usr/bin/env bash
# The game played as a person would, in a real X window under Xvfb:
#   title window -> pointer onto NEW GAME (it lights) -> click -> the table opens ->
#   Deal -> close the window with its close box -> type a name into "New High Score" ->
#   the program ends, and score.dat holds the new entry.
#
# usage: run_e2e.sh GAME_EXECUTABLE X11_PROBE [SCREENSHOT_DIR]
# The game's folder must hold data.dat and resources/ (the build lays them there). The run
# uses a scratch copy of that folder, so the build's own score.dat is never touched.
# Screenshots (title with NEW GAME lit, table after the deal) go to SCREENSHOT_DIR (default
# /tmp) when ImageMagick's `import` is there.
set -euo pipefail

game=$(readlink -f "$1")
probe=$(readlink -f "$2")
shots=${3:-/tmp}
source "$(dirname "$0")/lib.sh"

# score.dat: Ann 300, Bob 40, an empty entry, Zed 7 (never shown); each record's six Extra
# bytes mark its place (e0, e1, e2, e3).
{
  record Ann '\x2c\x01' e0
  record Bob '\x28\x00' e1
  record '' '\x00\x00' e2
  record Zed '\x07\x00' e3
} >"$scratch/score.dat"
# After one deal at the default wager of 50 the score is 50: above Bob's 40, so the typed
# name takes entry 1 and Bob moves down to entry 2; the Extra bytes keep their places.
{
  record Ann '\x2c\x01' e0
  record Tester '\x32\x00' e1
  record Bob '\x28\x00' e2
  record Zed '\x07\x00' e3
} >"$scratch/expected.dat"

start_xvfb
# Move the pointer away first, so that it crosses the bare title picture like a person's.
xdotool mousemove 5 5
step "starting the game"
start_game
eval "$(xdotool getwindowgeometry --shell "$title")"
[[ $WIDTH == 800 && $HEIGHT == 600 ]] || fail "the title window is ${WIDTH}x$HEIGHT, not 800x600"

light_new_game
step "NEW GAME lit"
screenshot "$shots/cp_e2e_title.png"

step "New Game"
open_table
for _ in $(seq 40); do
  visible=$(xdotool search --onlyvisible --class chinese_poker 2>/dev/null | sort -u || true)
  [[ $(wc -w <<<"$visible") == 1 ]] && break
  sleep 0.05
done
[[ $visible == "$(printf '%d' "$table")" ]] || fail "the table is not the only window: $visible"

deal
screenshot "$shots/cp_e2e_table.png"

# The close box: a window manager sends WM_DELETE_WINDOW; there is none here, so the probe
# sends it. The score of 50 beats Bob's 40, so the name box follows.
step "closing the table"
report=$("$probe" watch --name "New High Score" --sample 10,10 --timeout 20000 -- \
  "$probe" close "$table") || fail "no \"New High Score\" box after closing the table"
dialog=$(window_of "$report")
step "name box $dialog"
type_name "$dialog" Tester

wait_gone "$game_pid" "the program did not end after the name was entered"
step "the program ended"

expect_score_file "$scratch/expected.dat" "the new entry"
step "score.dat holds Tester 50 at entry 1"
echo "e2e: PASS"
