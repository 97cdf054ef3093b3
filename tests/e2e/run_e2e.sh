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
game_dir=$(dirname "$game")

fail() {
  echo "e2e: FAIL: $*" >&2
  if [[ -n ${game_pid:-} ]] && ! kill -0 "$game_pid" 2>/dev/null; then echo "e2e: the program is no longer running" >&2; fi
  if [[ -s ${scratch:-}/game.log ]]; then
    echo "--- game output" >&2
    cat "$scratch/game.log" >&2
  fi
  exit 1
}
step() { echo "e2e: $*"; }

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "e2e: $tool is missing: skipped"; exit 77; }
done
[[ -f $game_dir/data.dat ]] || fail "no data.dat beside $game"
[[ -d $game_dir/resources ]] || fail "no resources/ beside $game"

scratch=$(mktemp -d /tmp/cp_e2e.XXXXXX)
xvfb_pid=""
game_pid=""
cleanup() {
  [[ -n $game_pid ]] && kill "$game_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

cp "$game" "$game_dir/data.dat" "$scratch/"
cp -r "$game_dir/resources" "$scratch/"
exe=$scratch/$(basename "$game")

# score.dat: Ann 300, Bob 40, an empty entry, Zed 7 (never shown); each record's six Extra
# bytes mark its place (e0, e1, e2, e3).
record() {  # name, score as two \x escapes, extra byte
  local name=$1 score=$2 extra=$3
  printf "\\x$(printf %02x ${#name})\\x00%s$score" "$name"
  for _ in 1 2 3 4 5 6; do printf "\\x$extra"; done
}
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

# A display of our own: Xvfb picks a free number and tells it through a file descriptor.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -br -nolisten tcp 5>"$scratch/display" \
  2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.05; done
[[ -s $scratch/display ]] || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
export DISPLAY=:$(cat "$scratch/display")
unset QT_QPA_PLATFORM
step "display $DISPLAY"

# Move the pointer away first, so that it crosses the bare title picture like a person's.
xdotool mousemove 5 5

step "starting the game"
report=$(cd "$scratch" && "$probe" watch --class chinese_poker --sample 400,300 \
  --sample 100,100 --timeout 20000 -- "$exe" 2>>"$scratch/game.log") ||
  fail "the title window did not appear"
game_pid=$(sed -n 's/.*pid=\([0-9]*\).*/\1/p' <<<"$report")
title=$(sed -n 's/.*window=\(0x[0-9a-f]*\).*/\1/p' <<<"$report")
step "title window $title ($report)"
eval "$(xdotool getwindowgeometry --shell "$title")"
[[ $WIDTH == 800 && $HEIGHT == 600 ]] || fail "the title window is ${WIDTH}x$HEIGHT, not 800x600"

# NEW GAME: 190 x 32 at 264,240. Its pixels change when the pointer lights it.
button_pixels() { "$probe" pixels "$title" 280,250 330,256 360,256 400,262 440,266; }
unlit=$(button_pixels)
xdotool mousemove --window "$title" 150 150
sleep 0.2
xdotool mousemove --window "$title" 300 250
sleep 0.1
xdotool mousemove --window "$title" 310 256
lit=""
for _ in $(seq 40); do
  lit=$(button_pixels)
  [[ $lit != "$unlit" ]] && break
  sleep 0.05
done
[[ $lit != "$unlit" ]] || fail "NEW GAME did not light under the pointer"
step "NEW GAME lit"
if command -v import >/dev/null; then
  import -window root "$shots/cp_e2e_title.png" && step "screenshot $shots/cp_e2e_title.png"
fi

step "New Game"
report=$("$probe" watch --click --name "Chinese Poker (Merrowin)" --sample 5,300 \
  --sample 400,500 --timeout 20000) || fail "the table window did not open"
table=$(sed -n 's/.*window=\(0x[0-9a-f]*\).*/\1/p' <<<"$report")
step "table window $table ($report)"
for _ in $(seq 40); do
  visible=$(xdotool search --onlyvisible --class chinese_poker 2>/dev/null | sort -u || true)
  [[ $(wc -w <<<"$visible") == 1 ]] && break
  sleep 0.05
done
[[ $visible == "$(printf '%d' "$table")" ]] || fail "the table is not the only window: $visible"

# Deal: 65 x 33 at 336,264 of the client area, which lies below the menu bar.
eval "$(xdotool getwindowgeometry --shell "$table")"
menu=$((HEIGHT - 623))
((menu >= 0 && menu < 60)) || fail "unexpected table window height $HEIGHT"
xdotool mousemove --window "$table" 368 $((menu + 280))
sleep 0.1
xdotool click 1
sleep 0.5
step "dealt"
if command -v import >/dev/null; then
  import -window root "$shots/cp_e2e_table.png" && step "screenshot $shots/cp_e2e_table.png"
fi

# The close box: a window manager sends WM_DELETE_WINDOW; there is none here, so the probe
# sends it. The score of 50 beats Bob's 40, so the name box follows.
step "closing the table"
report=$("$probe" watch --name "New High Score" --sample 10,10 --timeout 20000 -- \
  "$probe" close "$table") || fail "no \"New High Score\" box after closing the table"
dialog=$(sed -n 's/.*window=\(0x[0-9a-f]*\).*/\1/p' <<<"$report")
step "name box $dialog"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove --window "$dialog" $((WIDTH / 2)) $((HEIGHT / 2))
xdotool windowfocus --sync "$dialog"
sleep 0.2
xdotool type --delay 30 Tester
xdotool key Return

for _ in $(seq 200); do
  kill -0 "$game_pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$game_pid" 2>/dev/null && fail "the program did not end after the name was entered"
game_pid=""
step "the program ended"

if ! cmp -s "$scratch/score.dat" "$scratch/expected.dat"; then
  echo "expected:" >&2
  od -An -tx1 "$scratch/expected.dat" >&2
  echo "written:" >&2
  od -An -tx1 "$scratch/score.dat" >&2
  fail "score.dat does not hold the new entry"
fi
step "score.dat holds Tester 50 at entry 1"
echo "e2e: PASS"
