#!/usr/bin/env bash
# Takes the README's screenshots from the real program on the built-in
# simulated drives, under a virtual X server of its own:
#   docs/screenshots/home.png               the home panel
#   docs/screenshots/drive-health.png       drive health with the first drive clicked
#   docs/screenshots/restore.png            the restore panel with a destination chosen
#   docs/screenshots/clone-in-progress.png  a whole clone of the demo hard disk running
# It drives the program as an operator would, with the X test extension
# (mouse clicks and keys at fixed places of the 600 x 370 window). The demo
# drives, the lock and the logs live in a temporary folder, so nothing of a
# real installation or of the user's own demo drives is touched.
#
# Needs a build (tools/build.sh; ORVEL_BUILD_DIR as there) and the Debian
# packages xvfb, imagemagick, x11-utils and libxtst6, with python3.
set -euo pipefail
cd "$(dirname "$0")/.."

program="${ORVEL_BUILD_DIR:-build}/orvel-disk-image"
output=docs/screenshots
if [ ! -x "$program" ]; then
  echo "No program at $program: build it first (tools/build.sh)." >&2
  exit 1
fi
for tool in Xvfb import xwininfo python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "$tool is missing: apt-get install xvfb imagemagick x11-utils libxtst6 python3" >&2
    exit 1
  fi
done

work=$(mktemp -d)
xvfb_pid=""
program_pid=""
finish() {
  local status=$?
  if [ -n "$program_pid" ]; then kill "$program_pid" 2>/dev/null || true; wait "$program_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
  exit "$status"
}
trap finish EXIT

# Clicks, pointer moves and key presses through the X test extension:
#   input click X Y | move X Y | key KEYSYM ...
cat >"$work/input.py" <<'EOF'
import ctypes, sys, time
x11 = ctypes.CDLL("libX11.so.6")
xtest = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xtest.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
xtest.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
xtest.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the X display")

def step(action, pause):
    action()
    x11.XSync(display, 0)
    time.sleep(pause)

steps = sys.argv[1:]
while steps:
    verb = steps.pop(0)
    if verb in ("click", "move"):
        x, y = int(steps.pop(0)), int(steps.pop(0))
        step(lambda: xtest.XTestFakeMotionEvent(display, -1, x, y, 0), 0.15)
        if verb == "click":
            step(lambda: xtest.XTestFakeButtonEvent(display, 1, 1, 0), 0.05)
            step(lambda: xtest.XTestFakeButtonEvent(display, 1, 0, 0), 0.3)
    elif verb == "key":
        code = x11.XKeysymToKeycode(display, x11.XStringToKeysym(steps.pop(0).encode()))
        step(lambda: xtest.XTestFakeKeyEvent(display, code, 1, 0), 0.05)
        step(lambda: xtest.XTestFakeKeyEvent(display, code, 0, 0), 0.2)
    else:
        sys.exit("unknown step " + verb)
EOF

# Xvfb picks a free display and writes its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

mkdir -m 700 "$work/runtime"
env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime" XDG_CACHE_HOME="$work/cache" \
  XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" \
  "$program" --demo --log-dir "$work/logs" >"$work/program.log" 2>&1 &
program_pid=$!

# Waits for a window with this title; prints its left, top, width and height.
window_place() {
  local info=""
  for _ in $(seq 100); do
    if info=$(xwininfo -name "$1" 2>/dev/null); then
      awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
           /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}' <<<"$info"
      return 0
    fi
    sleep 0.1
  done
  echo "no window \"$1\" appeared: $(cat "$work/program.log")" >&2
  return 1
}

read -r left top width height < <(window_place "Orvel Disk Image")
# A click at (x, y) of the window's client area.
click() { python3 "$work/input.py" click $((left + $1)) $((top + $2)); }
keys() { for key in "$@"; do python3 "$work/input.py" key "$key"; done; }
# The pointer off the window, so that no button shows its hover colour.
shoot() {
  python3 "$work/input.py" move $((left + width + 50)) $((top + height + 50))
  sleep 0.5
  import -window root -crop "${width}x${height}+${left}+${top}" +repage "$output/$1"
  echo "wrote $output/$1"
}

mkdir -p "$output"
sleep 1
shoot home.png

# The home panel's four buttons, 130 wide and 16 apart, at y = 260 of the
# host, which lies 30 pixels down, below the help strip.
home_button() { click $((16 + $1 * 146 + 65)) 315; }

home_button 3    # "Drive Health"
sleep 3    # the inventory thread fills the drive list
click 60 56    # the first drive's row
shoot drive-health.png
click 515 352    # Back

home_button 2    # "Restore"
sleep 3
click 375 240
keys Down    # destination: the first entry
shoot restore.png
click 515 352    # Back

# Home panel "Cloning": the demo hard disk onto the USB stick, the whole area.
home_button 1
sleep 3
click 375 110
keys Down    # source: the first entry
click 375 140
keys Down Down Down    # destination: the third entry
click 57 174    # "Clone entire area"
click 570 352    # Next
read -r box_left box_top _ _ < <(window_place "Confirm")
python3 "$work/input.py" move $((box_left + 20)) $((box_top + 20)) key Return    # Yes
sleep 2    # a few seconds into the copy of 1 GiB
shoot clone-in-progress.png
