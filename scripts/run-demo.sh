#!/usr/bin/env bash
# The main job: builds the project, renders the demo transition between the two built-in
# pictures to out/transition.gif, and starts Demo.exe under Wine. With a display the demo
# opens on it and the script returns when it is closed; without one the demo runs for a
# few seconds under a virtual display, a transition is started, and a screenshot is saved
# to out/demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
mkdir -p out
build/native/lumawipe render --operation toMonoSlider --steps 10 --delta 1 --play --out out/transition.gif >/dev/null
echo "Rendered the demo transition (mono slider, 446 x 75) to $(pwd)/out/transition.gif"

cmake --preset mingw-i686 >/dev/null
cmake --build --preset mingw-i686 -j "$jobs" --target Demo
demo=$(pwd)/build/mingw-i686/demo/Demo.exe
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ]; then
  # A prefix of its own, with the desktop's window manager in charge of the window.
  export WINEPREFIX=$(pwd)/build/demo-wineprefix
  echo "Starting Demo.exe under Wine on $DISPLAY (close its window to finish)"
  exec /usr/lib/wine/wine "$demo"
fi

command -v xdotool >/dev/null || { echo "run-demo: xdotool is missing" >&2; exit 1; }
# No display: a virtual one, the test session's prefix, Play pressed, a screenshot.
export LUMAWIPE_WINEPREFIX=$(pwd)/build/wineprefix
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -eu
  cmake/wine-session.sh start build/mingw-i686
  export WINEPREFIX=$LUMAWIPE_WINEPREFIX
  /usr/lib/wine/wine "$1" &
  for i in $(seq 1 60); do
    wid=$(xdotool search --name "Lumawipe ActiveX Control 3.0 Demonstration" 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.5
  done
  [ -n "$wid" ] || { echo "run-demo: the demo window did not appear" >&2; cmake/wine-session.sh stop build/mingw-i686; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  # The Play button: client (424, 220) of the 488 x 376 client area, which sits at the
  # bottom right of the window inside a 3-pixel frame.
  xdotool mousemove $((X + WIDTH - 491 + 424)) $((Y + HEIGHT - 379 + 220)) click 1
  sleep 0.6
  import -window root out/demo.png
  sleep 2
  cmake/wine-session.sh stop build/mingw-i686
' run-demo "$demo"
echo "Demo.exe ran under a virtual display; screenshot of a playing transition: $(pwd)/out/demo.png"
