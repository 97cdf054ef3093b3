# Shared steps of the end-to-end scripts: a private X display, a scratch copy of the game's
# folder, and the game driven from its title window to the table as a player does it.
# Source it after setting `game` and `probe` (absolute paths); it sets `scratch`, `exe`,
# DISPLAY, `xvfb_pid`, and removes everything on exit.

fail() {
  echo "e2e: FAIL: $*" >&2
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
game_dir=$(dirname "$game")
[[ -f $game_dir/data.dat ]] || fail "no data.dat beside $game"
[[ -d $game_dir/resources ]] || fail "no resources/ beside $game"

scratch=$(mktemp -d /tmp/cp_e2e.XXXXXX)
xvfb_pid=""
game_pids=()
cleanup() {
  for pid in "${game_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# The game's folder, copied, so that the build's own score.dat is never touched.
cp "$game" "$game_dir/data.dat" "$scratch/"
cp -r "$game_dir/resources" "$scratch/"
exe=$scratch/$(basename "$game")

# One record of score.dat: name, score as two \x escapes, the byte that fills Extra.
record() {
  local name=$1 score=$2 extra=$3
  printf "\\x$(printf %02x ${#name})\\x00%s$score" "$name"
  for _ in 1 2 3 4 5 6; do printf "\\x$extra"; done
}

# A display of our own: Xvfb picks a free number and tells it through a file descriptor.
start_xvfb() {
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -br -nolisten tcp 5>"$scratch/display" \
    2>"$scratch/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.05; done
  [[ -s $scratch/display ]] || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
  export DISPLAY=:$(cat "$scratch/display")
  unset QT_QPA_PLATFORM
  step "display $DISPLAY"
}

window_of() { sed -n 's/.*window=\(0x[0-9a-f]*\).*/\1/p' <<<"$1"; }

# Starts the game (or the command given, which starts it) and waits for its title window;
# sets `game_pid` (the process started) and `title`.
start_game() {
  local report
  (($#)) || set -- "$exe"
  report=$(cd "$scratch" && "$probe" watch --class chinese_poker --sample 400,300 \
    --sample 100,100 --timeout 20000 -- "$@" 2>>"$scratch/game.log") ||
    fail "the title window did not appear"
  game_pid=$(sed -n 's/.*pid=\([0-9]*\).*/\1/p' <<<"$report")
  title=$(window_of "$report")
  game_pids+=("$game_pid")
  step "title window $title ($report)"
}

# The pixels of NEW GAME (190 x 32 at 264,240), which change when the pointer lights it.
new_game_pixels() { "$probe" pixels "$title" 280,250 330,256 360,256 400,262 440,266; }

# Moves the pointer across the bare title picture onto NEW GAME and waits for it to light.
light_new_game() {
  local unlit lit=""
  unlit=$(new_game_pixels)
  xdotool mousemove --window "$title" 150 150
  sleep 0.2
  xdotool mousemove --window "$title" 300 250
  sleep 0.1
  xdotool mousemove --window "$title" 310 256
  for _ in $(seq 40); do
    lit=$(new_game_pixels)
    [[ $lit != "$unlit" ]] && return 0
    sleep 0.05
  done
  fail "NEW GAME did not light under the pointer"
}

# Clicks the lit NEW GAME and waits for the table; sets `table` and `menu` (the menu bar's
# height: the client area lies below it).
open_table() {
  local report
  report=$("$probe" watch --click --name "Chinese Poker (Merrowin)" --sample 5,300 \
    --sample 400,500 --timeout 20000) || fail "the table window did not open"
  table=$(window_of "$report")
  step "table window $table ($report)"
  eval "$(xdotool getwindowgeometry --shell "$table")"
  menu=$((HEIGHT - 623))
  ((menu >= 0 && menu < 60)) || fail "unexpected table window height $HEIGHT"
}

# Presses Deal: 65 x 33 at 336,264 of the client area.
deal() {
  xdotool mousemove --window "$table" 368 $((menu + 280))
  sleep 0.1
  xdotool click 1
  sleep 0.5
  step "dealt"
}

# Types a name into an input box window and confirms it with Return.
type_name() {  # window, name
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" $((WIDTH / 2)) $((HEIGHT / 2))
  xdotool windowfocus --sync "$1"
  sleep 0.2
  xdotool type --delay 30 "$2"
  xdotool key Return
}

# Fails, showing both, unless score.dat holds exactly the bytes of the file given.
expect_score_file() {  # expected file, what it should hold
  if ! cmp -s "$scratch/score.dat" "$1"; then
    echo "expected:" >&2
    od -An -tx1 "$1" >&2
    echo "written:" >&2
    od -An -tx1 "$scratch/score.dat" >&2
    fail "score.dat does not hold $2"
  fi
}

# Waits up to 10 s for a process to end; fails if it does not.
wait_gone() {
  local pid=$1 what=$2
  for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.05
  done
  fail "$what"
}

screenshot() {
  if command -v import >/dev/null; then
    import -window root "$1" && step "screenshot $1"
  fi
}
