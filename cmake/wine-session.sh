#!/usr/bin/env bash
# start|fresh|stop the Wine session of a build tree's tests: start creates the prefix once,
# turns off the crash dialog, keeps the server up and detaches its services from the
# caller's output; fresh does the same in a new prefix, removing the one an earlier run
# left. The prefix is made and set up by the 64-bit loader, so one prefix serves both
# architectures, also on a machine that cannot execute 32-bit programs.
set -u
action=$1
build=$2
. "$(cd "$(dirname "$0")" && pwd)/wine-arch.sh"
wine=$(wine_loader x86_64)
export WINEPREFIX=${LUMAWIPE_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
case "$action" in
  start)
    wineserver -k >/dev/null 2>&1 9>&- || true
    wineserver -w >/dev/null 2>&1 9>&- || true
    fresh=0; [ -d "$WINEPREFIX" ] || fresh=1
    wineserver -p >/dev/null 2>&1 9>&- </dev/null
    "$wine" cmd /c exit >/dev/null 2>&1 9>&- </dev/null
    # No window manager runs under Xvfb: unmanaged windows spare the 2 s wait for one
    # whenever a top-level window is hidden.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 9>&- </dev/null
    if [ $fresh = 1 ]; then
      "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 9>&- </dev/null
    fi
    exit 0 ;;
  fresh)
    wineserver -k >/dev/null 2>&1 9>&- || true
    wineserver -w >/dev/null 2>&1 9>&- || true
    if [ -d "$WINEPREFIX" ]; then
      # Only ever a Wine prefix is removed.
      if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-session: $WINEPREFIX is no Wine prefix; not removed" >&2
        exit 1
      fi
      rm -rf "$WINEPREFIX"
    fi
    exec "$0" start "$build" ;;
  stop)
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    exit 0 ;;
esac
echo "usage: wine-session.sh start|fresh|stop BUILD_DIR" >&2
exit 2
