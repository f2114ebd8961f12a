#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest: wine-run.sh ARCH PROGRAM [ARGS...].
# The prefix lives in the build tree (LUMAWIPE_WINEPREFIX overrides it); the session is
# started by the wine-session fixture so Wine's services do not hold ctest's pipes.
set -eu
arch=$1; shift
prog=$1; shift
build=$(cd "$(dirname "$prog")" && pwd)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
export WINEPREFIX=${LUMAWIPE_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ "$arch" = x86_64 ]; then loader=/usr/lib/wine/wine64; else loader=/usr/lib/wine/wine; fi
[ -x "$loader" ] || loader=wine
exec "$loader" "$prog" "$@"
