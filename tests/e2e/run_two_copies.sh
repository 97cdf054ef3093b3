#!/usr/bin/env bash
# Two copies of the game side by side, in real X windows under Xvfb, lose no high score:
#   both copies open the table -> the first is closed and a name typed -> the second is closed
#   and a name typed -> score.dat holds both entries.
# Then the same with the second copy closed while the first one's name box is still open: the
# second waits for the first to write, then asks for its name.
#
# usage: run_two_copies.sh GAME_EXECUTABLE X11_PROBE
set -euo pipefail

game=$(readlink -f "$1")
probe=$(readlink -f "$2")
source "$(dirname "$0")/lib.sh"

# Ann 300, Bob 40, an empty entry, Zed 7 (never shown); the Extra bytes mark the places.
start_table() {
  record Ann '\x2c\x01' e0
  record Bob '\x28\x00' e1
  record '' '\x00\x00' e2
  record Zed '\x07\x00' e3
}
# Both copies leave with the starting score of 100. The first beats Bob's 40 and takes entry
# 1; the second, reading the file afresh, does not beat First's equal 100 but beats Bob's 40
# and takes entry 2. A second copy that wrote back the table it read at start would hold
# Ann, Second, Bob: First's entry lost.
{
  record Ann '\x2c\x01' e0
  record First '\x64\x00' e1
  record Bob '\x28\x00' e2
  record Zed '\x07\x00' e3
} >"$scratch/after_first.dat"
{
  record Ann '\x2c\x01' e0
  record First '\x64\x00' e1
  record Second '\x64\x00' e2
  record Zed '\x07\x00' e3
} >"$scratch/after_both.dat"

start_xvfb

# Starts a copy and opens its table; sets `pid` and `table`.
open_copy() {
  xdotool mousemove 5 5
  start_game
  pid=$game_pid
  light_new_game
  open_table
}

name_boxes() { xdotool search --onlyvisible --name "^New High Score$" 2>/dev/null | wc -l; }

for overlap in no yes; do
  start_table >"$scratch/score.dat"
  open_copy
  first_pid=$pid first_table=$table
  open_copy
  second_pid=$pid second_table=$table
  step "both copies show the table (overlapping exits: $overlap)"

  report=$("$probe" watch --name "New High Score" --sample 10,10 --timeout 20000 -- \
    "$probe" close "$first_table") || fail "no name box after closing the first copy"
  first_box=$(window_of "$report")
  if [[ $overlap == yes ]]; then
    # The second copy leaves while the first one's name box is open: it waits for the lock,
    # so no second name box comes, and the file is still the one both read.
    "$probe" close "$second_table"
    sleep 1
    [[ $(name_boxes) == 1 ]] || fail "the second copy did not wait for the first to write"
    cmp -s "$scratch/score.dat" <(start_table) || fail "score.dat changed before a name"
    "$probe" watch --name "New High Score" --sample 10,10 --timeout 20000 \
      >"$scratch/second_box" &
    watcher=$!
    sleep 0.3  # the watcher must be looking before the first copy lets go
    type_name "$first_box" First
    wait_gone "$first_pid" "the first copy did not end after its name was entered"
    wait "$watcher" || fail "no name box from the second copy once the first had written"
    second_box=$(window_of "$(cat "$scratch/second_box")")
  else
    type_name "$first_box" First
    wait_gone "$first_pid" "the first copy did not end after its name was entered"
    expect_score_file "$scratch/after_first.dat" "the first copy's entry"
    step "the first copy wrote First 100"
    report=$("$probe" watch --name "New High Score" --sample 10,10 --timeout 20000 -- \
      "$probe" close "$second_table") || fail "no name box after closing the second copy"
    second_box=$(window_of "$report")
  fi
  type_name "$second_box" Second
  wait_gone "$second_pid" "the second copy did not end after its name was entered"
  expect_score_file "$scratch/after_both.dat" "both entries"
  step "score.dat holds First and Second (overlapping exits: $overlap)"
done
echo "e2e: PASS"
