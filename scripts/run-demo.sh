#!/usr/bin/env bash
# The main job: builds the project, renders the demo transition between the two built-in
# pictures to out/transition.gif, and starts Demo.exe under Wine. With a display the demo
# opens on it and the script returns when it is closed; without one the demo runs for a
# few seconds under a virtual display, a transition is started, and a screenshot is saved
# to out/demo.png. The demo is the i686 build where this machine runs 32-bit programs,
# else the x86_64 one (LUMAWIPE_NO_I686=1 chooses the latter anyway).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. cmake/wine-arch.sh
wine_probe
jobs=$(nproc)

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
mkdir -p out
build/native/cli/lumawipe render --operation toMonoSlider --steps 10 --delta 1 --play --out out/transition.gif >/dev/null
echo "Rendered the demo transition (mono slider, 446 x 75) to $(pwd)/out/transition.gif"

arch=${LUMAWIPE_WINE_ARCHS%% *}
if [ -z "$arch" ]; then
  printf 'run-demo: %s\n' "$LUMAWIPE_WINE_SKIPPED" >&2
  echo "run-demo: this machine runs no Windows programs under Wine; Demo.exe cannot start" >&2
  exit 1
fi
[ -z "$LUMAWIPE_WINE_SKIPPED" ] || printf 'run-demo: %s\n' "$LUMAWIPE_WINE_SKIPPED"
cmake --preset "mingw-$arch" >/dev/null
cmake --build --preset "mingw-$arch" -j "$jobs" --target Demo
demo=$(pwd)/build/mingw-$arch/demo/Demo.exe
loader=$(wine_loader "$arch")
echo "Demo.exe: the $arch build, $demo"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [ -n "${DISPLAY:-}" ]; then
  # A prefix of its own, with the desktop's window manager in charge of the window.
  export WINEPREFIX=$(pwd)/build/demo-wineprefix
  echo "Starting Demo.exe ($arch) under Wine on $DISPLAY (close its window to finish)"
  "$(wine_loader x86_64)" cmd /c exit >/dev/null 2>&1 </dev/null  # makes the prefix with both architectures
  exec "$loader" "$demo"
fi

command -v xdotool >/dev/null || { echo "run-demo: xdotool is missing" >&2; exit 1; }
# No display: a virtual one, the test session's prefix, Play pressed, a screenshot.
export LUMAWIPE_WINEPREFIX=$(pwd)/build/wineprefix
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  set -eu
  cmake/wine-session.sh start "$3"
  export WINEPREFIX=$LUMAWIPE_WINEPREFIX
  "$2" "$1" &
  for i in $(seq 1 60); do
    wid=$(xdotool search --name "Lumawipe ActiveX Control 3.0 Demonstration" 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.5
  done
  [ -n "$wid" ] || { echo "run-demo: the demo window did not appear" >&2; cmake/wine-session.sh stop "$3"; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  # The Play button: client (424, 220) of the 488 x 376 client area, which sits at the
  # bottom right of the window inside a 3-pixel frame.
  xdotool mousemove $((X + WIDTH - 491 + 424)) $((Y + HEIGHT - 379 + 220)) click 1
  sleep 0.6
  import -window root out/demo.png
  sleep 2
  cmake/wine-session.sh stop "$3"
' run-demo "$demo" "$loader" "build/mingw-$arch"
echo "Demo.exe ($arch) ran under a virtual display; screenshot of a playing transition: $(pwd)/out/demo.png"
