#!/usr/bin/env bash
# Runs a command on an X server of its own: a fresh Xvfb (the display number chosen by the
# server itself), optionally with the openbox window manager, and Qt's xcb platform.
#
# usage: run_xvfb.sh [--wm openbox] --probe X11_PROBE -- COMMAND ARGS...
# Exits with the command's status, or 77 (skipped) with a message when Xvfb or the window
# manager is not installed.
set -euo pipefail

wm=""
probe=""
while [[ $# -gt 0 ]]; do
  case $1 in
    --wm) wm=$2; shift 2 ;;
    --probe) probe=$2; shift 2 ;;
    --) shift; break ;;
    *) echo "run_xvfb: unknown argument $1" >&2; exit 2 ;;
  esac
done
[[ $# -gt 0 && -n $probe ]] || { echo "usage: run_xvfb.sh [--wm openbox] --probe X11_PROBE -- COMMAND..." >&2; exit 2; }

command -v Xvfb >/dev/null || { echo "run_xvfb: Xvfb is not installed: skipped (needs an X server)"; exit 77; }
if [[ -n $wm ]]; then
  command -v "$wm" >/dev/null || { echo "run_xvfb: $wm is not installed: skipped (needs a window manager)"; exit 77; }
fi

scratch=$(mktemp -d /tmp/cp_xvfb.XXXXXX)
xvfb_pid=""
wm_pid=""
cleanup() {
  [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
  [[ -n $wm_pid ]] && wait "$wm_pid" 2>/dev/null || true
  [[ -n $xvfb_pid ]] && wait "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do [[ -s $scratch/display ]] && break; sleep 0.05; done
[[ -s $scratch/display ]] || { echo "run_xvfb: Xvfb did not start: $(cat "$scratch/xvfb.log")" >&2; exit 1; }
export DISPLAY=:$(cat "$scratch/display")
export QT_QPA_PLATFORM=xcb
# Nobody's own settings: the window manager reads its packaged defaults.
export XDG_CONFIG_HOME=$scratch/config XDG_CACHE_HOME=$scratch/cache XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
echo "run_xvfb: display $DISPLAY"

if [[ -n $wm ]]; then
  "$wm" >"$scratch/wm.log" 2>&1 &
  wm_pid=$!
  "$probe" wm --timeout 15000 || { echo "run_xvfb: $wm did not start:" >&2; cat "$scratch/wm.log" >&2; exit 1; }
fi

status=0
"$@" || status=$?
exit "$status"
