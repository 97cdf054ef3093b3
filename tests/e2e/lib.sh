# Shared steps of the end-to-end scripts, sourced with their arguments GAME_EXECUTABLE X11_PROBE:
# a private X display, a scratch copy of the game's folder (`scratch`, the program `exe`) so
# that the build's score.dat is never touched, and the game driven as a player does it.
set -euo pipefail
game=$(readlink -f "$1")
probe=$(readlink -f "$2")

fail() {
  echo "e2e: FAIL: $*" >&2
  [[ -s ${scratch:-}/game.log ]] && { echo "--- game output"; cat "$scratch/game.log"; } >&2
  exit 1
}
step() { echo "e2e: $*"; }

command -v Xvfb >/dev/null && command -v xdotool >/dev/null ||
  { echo "e2e: Xvfb or xdotool is missing: skipped"; exit 77; }
game_dir=$(dirname "$game")
[[ -f $game_dir/data.dat && -d $game_dir/resources ]] || fail "no data.dat, resources/ by $game"

scratch=$(mktemp -d /tmp/cp_e2e.XXXXXX)
xvfb_pid="" game_pids=()
cleanup() {
  for pid in "${game_pids[@]}" $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap cleanup EXIT
cp -r "$game" "$game_dir/data.dat" "$game_dir/resources" "$scratch/"
exe=$scratch/$(basename "$game")

# A display of our own: Xvfb picks a free number and tells it through a file descriptor.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -br -nolisten tcp 5>"$scratch/display" \
  2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.05; done
[[ -s $scratch/display ]] || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
export DISPLAY=:$(cat "$scratch/display")
unset QT_QPA_PLATFORM

# The bytes of score.dat for four entries given as name and score: NAME SCORE x 4. Each
# record's six Extra bytes mark its place (e0 .. e3), so a record moved whole shows.
scores() {
  local i
  for i in 0 1 2 3; do
    printf "$(printf '\\x%02x\\x00%%s\\x%02x\\x%02x' ${#1} $(($2 & 255)) $(($2 >> 8 & 255)))" "$1"
    printf "\\xe$i%.0s" 1 2 3 4 5 6
    shift 2
  done
}
# Fails, showing both, unless score.dat holds the entries given (as for `scores`).
expect_scores() {  # what it should hold, NAME SCORE x 4
  scores "${@:2}" >"$scratch/expected.dat"
  cmp -s "$scratch/score.dat" "$scratch/expected.dat" && return
  echo "expected: $(od -An -tx1 "$scratch/expected.dat")" >&2
  echo "written: $(od -An -tx1 "$scratch/score.dat")" >&2
  fail "score.dat does not hold $1"
}

window_of() { sed -n 's/.*window=\(0x[0-9a-f]*\).*/\1/p' <<<"$1"; }

# Starts the game (or the command given, which starts it) with the pointer away from where
# the title comes, so that it crosses the bare picture like a person's; waits for the title
# window, and sets `game_pid` (the process started) and `title`.
start_game() {
  local report
  (($#)) || set -- "$exe"
  xdotool mousemove 5 5
  report=$(cd "$scratch" && "$probe" watch --class chinese_poker --sample 400,300 \
    --sample 100,100 --timeout 20000 -- "$@" 2>>"$scratch/game.log") ||
    fail "the title window did not appear"
  game_pid=$(sed -n 's/.*pid=\([0-9]*\).*/\1/p' <<<"$report")
  title=$(window_of "$report")
  game_pids+=("$game_pid")
  step "title window $title ($report)"
}

# Moves the pointer across the bare title picture onto NEW GAME (190 x 32 at 264,240), waits
# for its pixels to change as it lights, clicks it and waits for the table; sets `table` and
# `menu` (the menu bar's height: the client area lies below it).
open_table() {
  local i unlit report pixels=(280,250 330,256 360,256 400,262 440,266)
  unlit=$("$probe" pixels "$title" "${pixels[@]}")
  xdotool mousemove --window "$title" 150 150 sleep 0.2 mousemove --window "$title" 300 250 \
    sleep 0.1 mousemove --window "$title" 310 256
  for i in $(seq 401); do
    ((i <= 400)) || fail "NEW GAME did not light under the pointer within 20 s"
    [[ $("$probe" pixels "$title" "${pixels[@]}") != "$unlit" ]] && break
    sleep 0.05
  done
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
  xdotool mousemove --window "$table" 368 $((menu + 280)) sleep 0.1 click 1 sleep 0.5
}

# Closes a table with its close box (a window manager would send WM_DELETE_WINDOW; there is
# none here, so the probe sends it) and waits for its "New High Score" box; sets `box`.
close_for_name() {
  local report
  report=$("$probe" watch --name "New High Score" --sample 10,10 --timeout 20000 -- \
    "$probe" close "$1") || fail "no \"New High Score\" box after closing $1"
  box=$(window_of "$report")
}

# Types a name into a name box and confirms it with Return: a command of its own, so that
# `x11_probe watch` can run it once it is looking.
type_name() {  # box, name
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" $((WIDTH / 2)) $((HEIGHT / 2)) windowfocus --sync "$1" \
    sleep 0.2 type --delay 30 "$2"
  xdotool key Return
}
export -f type_name

# Types a name into a name box and waits up to 10 s for the copy whose process is given to end.
enter_name() {  # box, name, process
  type_name "$1" "$2"
  wait_gone "$3" "the program did not end after the name $2 was entered"
}

# Waits up to 10 s until the kernel lists the process as waiting for a file lock.
waits_for_lock() {  # process
  for _ in $(seq 200); do grep -q -- "-> FLOCK .* $1 " /proc/locks && return 0; sleep 0.05; done
  return 1
}

wait_gone() {  # process, the failure if it does not end within 10 s
  for _ in $(seq 200); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
  fail "$2"
}
