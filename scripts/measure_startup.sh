#!/usr/bin/env bash
# Measures the game from outside, in a real X window under Xvfb, as a person would see it:
#   launch       exec of the program -> the title window shows its title picture
#   new game     click on the lit NEW GAME -> the table window shows its card places
#   peak RSS     VmHWM of the program once the table is up
#
# usage: scripts/measure_startup.sh [BUILD_DIR] [LAUNCHES] [NEW_GAMES]
#        (defaults: build, 11, 5). Builds what is missing in BUILD_DIR.
#
# How: x11_probe (tools) starts the program itself, watches the screen for the window to
# be mapped, then reads a few of its pixels every half millisecond until they show what
# the finished frame shows (learnt in a first, untimed run). So a figure is the time until
# the pixels are on the X server: it includes the program's start, its file reads, Qt's
# start and the first paint, and nothing is asked of the program. The first launch warms
# the file cache and is left out of the launch figures. For New Game the probe itself
# clicks (XTEST) and takes the time from just before the click.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$root/build}")
launches=${2:-11}
new_games=${3:-5}
game=$build/game/chinese_poker
probe=$build/tools/x11_probe

for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "measure: $tool is missing (scripts/setup.sh)" >&2; exit 1; }
done
if [[ ! -x $game || ! -x $probe || ! -f $build/game/data.dat || ! -d $build/game/resources ]]; then
  echo "measure: building $build"
  cmake --build "$build" >/dev/null
fi

scratch=$(mktemp -d /tmp/cp_measure.XXXXXX)
xvfb_pid=""
game_pid=""
stop_game() {
  if [[ -n $game_pid ]]; then
    kill "$game_pid" 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.02; done
    game_pid=""
  fi
}
cleanup() {
  stop_game
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A scratch copy of the game's folder with an empty high-score table.
cp "$game" "$build/game/data.dat" "$scratch/"
cp -r "$build/game/resources" "$scratch/"
head -c 40 /dev/zero >"$scratch/score.dat"
exe=$scratch/chinese_poker

Xvfb -displayfd 5 -screen 0 1280x1024x24 -br -nolisten tcp 5>"$scratch/display" \
  2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s $scratch/display ]] && break; sleep 0.05; done
[[ -s $scratch/display ]] || { echo "measure: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$scratch/display")
unset QT_QPA_PLATFORM
xdotool mousemove 1 1

field() { sed -n "s/.* $1=\\([^ ]*\\).*/\\1/p" <<<" $2"; }
pixels_of() { grep -o 'pixel=[^ ]*' <<<"$1" | sed 's/pixel=/--expect /' | tr '\n' ' '; }
stats() {  # label, numbers...: min, median, max
  local label=$1
  shift
  sort -n <<<"$(printf '%s\n' "$@")" | awk -v label="$label" '
    { v[NR] = $1 }
    END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
          printf "%-36s min %7.1f  median %7.1f  max %7.1f  (%d runs)\n", label, v[1], m, v[NR], NR }'
}

# Points of the title picture away from the buttons and the bar.
title_points=(--sample 100,100 --sample 700,100 --sample 400,560 --sample 40,300 --sample 760,500)
launch() {  # extra probe arguments...; sets game_pid, title, report
  report=$("$probe" watch --class chinese_poker "$@" --timeout 20000 -- "$exe" \
    2>>"$scratch/game.log")
  game_pid=$(field pid "$report")
  title=$(field window "$report")
}

# Calibration: the finished title frame, with the pointer away from the window.
launch "${title_points[@]}"
sleep 1
title_expect=$("$probe" pixels "$title" 100,100 700,100 400,560 40,300 760,500)
stop_game

launch_paint=()
launch_frame=()
for run in $(seq "$launches"); do
  launch $(pixels_of "$title_expect")
  if ((run > 1)); then
    launch_paint+=("$(field paint_ms "$report")")
    launch_frame+=("$(field frame_ms "$report")")
  fi
  stop_game
done

# New Game: light the button as a person does, then let the probe click and time the table.
light_new_game() {
  local before lit
  before=$("$probe" pixels "$title" 280,250 330,256 400,262)
  xdotool mousemove --window "$title" 150 150
  sleep 0.1
  xdotool mousemove --window "$title" 300 250
  xdotool mousemove --window "$title" 310 256
  for _ in $(seq 100); do
    lit=$("$probe" pixels "$title" 280,250 330,256 400,262)
    [[ $lit != "$before" ]] && return 0
    sleep 0.02
  done
  echo "measure: NEW GAME did not light" >&2
  exit 1
}
peak_kb() { sed -n 's/^VmHWM:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$game_pid/status"; }

# Calibration of the table: its felt and the first draw-row place (at 8,536 of the client
# area, below the menu bar) as they stand once the 60 ms redraw has drawn the places.
launch $(pixels_of "$title_expect")
light_new_game
report=$("$probe" watch --click --name "Chinese Poker (Merrowin)" --sample 5,300 --timeout 20000)
table=$(field window "$report")
eval "$(xdotool getwindowgeometry --shell "$table")"
menu=$((HEIGHT - 623))
table_points=("5,$((menu + 300))" "30,$((menu + 575))" "60,$((menu + 600))")
sleep 1
table_expect=$("$probe" pixels "$table" "${table_points[@]}")
stop_game

table_paint=()
table_frame=()
peaks=()
for _ in $(seq "$new_games"); do
  launch $(pixels_of "$title_expect")
  light_new_game
  report=$("$probe" watch --click --name "Chinese Poker (Merrowin)" \
    $(pixels_of "$table_expect") --timeout 20000)
  table_paint+=("$(field paint_ms "$report")")
  table_frame+=("$(field frame_ms "$report")")
  sleep 1
  peaks+=("$(peak_kb)")
  stop_game
done

echo "Chinese Poker start-up, measured under Xvfb ($(nproc) cores), times in ms:"
stats "launch -> title first painted" "${launch_paint[@]}"
stats "launch -> title picture complete" "${launch_frame[@]}"
stats "New Game click -> table painted" "${table_paint[@]}"
stats "New Game click -> card places drawn" "${table_frame[@]}"
max_kb=0
for kb in "${peaks[@]}"; do ((kb > max_kb)) && max_kb=$kb; done
printf '%-36s %.1f MB (VmHWM, highest of %d runs)\n' "peak RSS with the table open" \
  "$(awk -v kb="$max_kb" 'BEGIN { print kb / 1024 }')" "${#peaks[@]}"
echo "targets: launch <= 100 ms, New Game <= 50 ms, peak RSS <= 40 MB"
