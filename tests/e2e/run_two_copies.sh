#!/usr/bin/env bash
# Two copies of the game side by side, in real X windows under Xvfb, lose no high score:
#   both copies open the table -> the first is closed and a name typed -> the second is closed
#   and a name typed -> score.dat holds both entries.
# Then the same with the second copy closed while the first one's name box is still open: the
# second waits for the first to write, then asks for its name.
#
# usage: run_two_copies.sh GAME_EXECUTABLE X11_PROBE
# The game's folder must hold data.dat and resources/. The runs use a scratch copy of it.
set -euo pipefail

game=$(readlink -f "$1")
probe=$(readlink -f "$2")
game_dir=$(dirname "$game")

pids=()
fail() {
  echo "two copies: FAIL: $*" >&2
  if [[ -s ${scratch:-}/game.log ]]; then
    echo "--- game output" >&2
    cat "$scratch/game.log" >&2
  fi
  exit 1
}
step() { echo "two copies: $*"; }

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "two copies: $tool is missing: skipped"; exit 77; }
done
[[ -f $game_dir/data.dat ]] || fail "no data.dat beside $game"
[[ -d $game_dir/resources ]] || fail "no resources/ beside $game"

scratch=$(mktemp -d /tmp/cp_two.XXXXXX)
xvfb_pid=""
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

cp "$game" "$game_dir/data.dat" "$scratch/"
cp -r "$game_dir/resources" "$scratch/"
exe=$scratch/$(basename "$game")

record() {  # name, score as two \x escapes, extra byte
  local name=$1 score=$2 extra=$3
  printf "\\x$(printf %02x ${#name})\\x00%s$score" "$name"
  for _ in 1 2 3 4 5 6; do printf "\\x$extra"; done
}
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

Xvfb -displayfd 5 -screen 0 1280x1024x24 -br -nolisten tcp 5>"$scratch/display" \
  2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.05; done
[[ -s $scratch/display ]] || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
export DISPLAY=:$(cat "$scratch/display")
unset QT_QPA_PLATFORM
step "display $DISPLAY"

window_of() { sed -n 's/.*window=\(0x[0-9a-f]*\).*/\1/p' <<<"$1"; }

# Starts a copy, lights NEW GAME, clicks it; sets `pid` and `table`.
open_table() {
  xdotool mousemove 5 5
  local report title unlit lit=""
  report=$(cd "$scratch" && "$probe" watch --class chinese_poker --sample 400,300 \
    --sample 100,100 --timeout 20000 -- "$exe" 2>>"$scratch/game.log") ||
    fail "the title window did not appear"
  pid=$(sed -n 's/.*pid=\([0-9]*\).*/\1/p' <<<"$report")
  pids+=("$pid")
  title=$(window_of "$report")
  button_pixels() { "$probe" pixels "$title" 280,250 330,256 360,256 400,262 440,266; }
  unlit=$(button_pixels)
  xdotool mousemove --window "$title" 150 150
  sleep 0.2
  xdotool mousemove --window "$title" 300 250
  sleep 0.1
  xdotool mousemove --window "$title" 310 256
  for _ in $(seq 40); do
    lit=$(button_pixels)
    [[ $lit != "$unlit" ]] && break
    sleep 0.05
  done
  [[ $lit != "$unlit" ]] || fail "NEW GAME did not light under the pointer"
  report=$("$probe" watch --click --name "Chinese Poker (Merrowin)" --sample 5,300 \
    --sample 400,500 --timeout 20000) || fail "the table window did not open"
  table=$(window_of "$report")
}

type_name() {  # dialog window, name
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" $((WIDTH / 2)) $((HEIGHT / 2))
  xdotool windowfocus --sync "$1"
  sleep 0.2
  xdotool type --delay 30 "$2"
  xdotool key Return
}

wait_end() {  # pid, what
  for _ in $(seq 200); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.05
  done
  fail "$2 did not end after its name was entered"
}

expect_file() {  # expected file, what
  if ! cmp -s "$scratch/score.dat" "$1"; then
    echo "expected:" >&2
    od -An -tx1 "$1" >&2
    echo "written:" >&2
    od -An -tx1 "$scratch/score.dat" >&2
    fail "score.dat does not hold $2"
  fi
}

name_boxes() { xdotool search --onlyvisible --name "^New High Score$" 2>/dev/null | wc -l; }

for overlap in no yes; do
  start_table >"$scratch/score.dat"
  open_table
  first_pid=$pid first_table=$table
  open_table
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
    wait_end "$first_pid" "the first copy"
    wait "$watcher" || fail "no name box from the second copy once the first had written"
    second_box=$(window_of "$(cat "$scratch/second_box")")
  else
    type_name "$first_box" First
    wait_end "$first_pid" "the first copy"
    expect_file "$scratch/after_first.dat" "the first copy's entry"
    step "the first copy wrote First 100"
    report=$("$probe" watch --name "New High Score" --sample 10,10 --timeout 20000 -- \
      "$probe" close "$second_table") || fail "no name box after closing the second copy"
    second_box=$(window_of "$report")
  fi
  type_name "$second_box" Second
  wait_end "$second_pid" "the second copy"
  expect_file "$scratch/after_both.dat" "both entries"
  step "score.dat holds First and Second (overlapping exits: $overlap)"
done
echo "two copies: PASS"
