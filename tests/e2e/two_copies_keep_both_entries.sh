#!/usr/bin/env bash
# Two copies of the game side by side lose no high score: both open the table, the first is
# closed and a name typed, then the second; score.dat holds both entries. Then the same with the
# second closed while the first one's name box is open: the second waits for the first to write,
# then asks for its name. Arguments: GAME_EXECUTABLE X11_PROBE.
source "$(dirname "$0")/lib.sh"

# Both leave with the starting score of 100. The first beats Bob's 40 and takes entry 1; the
# second, reading the file afresh, does not beat First's equal 100 but beats Bob's 40 and takes
# entry 2. Writing back the table it read at start would lose First's entry.
for overlap in no yes; do
  scores Ann 300 Bob 40 '' 0 Zed 7 >"$scratch/score.dat"
  start_game
  open_table
  first_pid=$game_pid first_table=$table
  start_game
  open_table
  second_pid=$game_pid
  step "both copies show the table (overlapping exits: $overlap)"
  close_for_name "$first_table"
  if [[ $overlap == yes ]]; then
    # The second copy leaves while the first one's name box is open: the kernel lists it as
    # waiting for the lock, so no second name box comes, and the file is still the one both
    # read.
    "$probe" close "$table"
    waits_for_lock "$second_pid" || fail "the second copy did not wait for the first to write"
    boxes=$(xdotool search --onlyvisible --name "^New High Score$" 2>/dev/null | wc -l)
    ((boxes == 1)) || fail "the second copy showed a name box while the first one's was open"
    expect_scores "what both read" Ann 300 Bob 40 '' 0 Zed 7
    # The first name is typed by the watcher once it is looking, so the second copy's box
    # cannot come before it does.
    report=$("$probe" watch --name "New High Score" --sample 10,10 --timeout 20000 -- \
      bash -c 'type_name "$@"' type_name "$box" First) ||
      fail "no name box from the second copy once the first had written"
    wait_gone "$first_pid" "the first copy did not end after its name was entered"
    box=$(window_of "$report")
  else
    enter_name "$box" First "$first_pid"
    expect_scores "the first copy's entry" Ann 300 First 100 Bob 40 Zed 7
    close_for_name "$table"
  fi
  enter_name "$box" Second "$second_pid"
  expect_scores "both entries" Ann 300 First 100 Second 100 Zed 7
done
echo "e2e: PASS"
