#!/usr/bin/env bash
# Runs a Windows program under Wine for CTest: wine-run.sh ARCH PROGRAM [ARGS...], with the
# loader of ARCH. The prefix lives in the build tree (LUMAWIPE_WINEPREFIX overrides it); the
# session is started by the wine-session fixture so Wine's services do not hold ctest's pipes.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-arch.sh"
arch=$1; shift
prog=$1; shift
if ! wine_runs "$arch"; then
  printf '%s\n' "$LUMAWIPE_WINE_SKIPPED" | grep "^$arch:" >&2 || echo "wine-run: $arch programs do not run here" >&2
  exit 1
fi
build=$(cd "$(dirname "$prog")" && pwd)
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
export WINEPREFIX=${LUMAWIPE_WINEPREFIX:-$build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec "$(wine_loader "$arch")" "$prog" "$@"
