# Sourced by the scripts that run Windows programs: which architectures this machine runs
# under Wine, found out by running each Wine loader once (a kernel without 32-bit support
# refuses the 32-bit loader with "Exec format error" even though it is installed).
#
#   wine_loader ARCH      prints the loader of ARCH (i686 or x86_64); Debian's wine wrapper
#                         is never used, since it picks the 32-bit loader whenever it exists
#   wine_probe            sets and exports LUMAWIPE_WINE_ARCHS (the architectures that run,
#                         in order i686 x86_64) and LUMAWIPE_WINE_SKIPPED (one line per
#                         architecture that does not, saying why); a second call, or a
#                         child of a caller that probed, reuses the result
#   wine_runs ARCH        true when ARCH is among them
#
# LUMAWIPE_NO_I686=1 acts as on a machine that cannot execute 32-bit programs.

wine_loader() {
  case "$1" in
    i686) echo /usr/lib/wine/wine ;;
    x86_64) echo /usr/lib/wine/wine64 ;;
    *) echo "wine-arch: unknown architecture '$1'" >&2; return 2 ;;
  esac
}

wine_probe() {
  [ -n "${LUMAWIPE_WINE_PROBED:-}" ] && return 0
  LUMAWIPE_WINE_ARCHS=""
  LUMAWIPE_WINE_SKIPPED=""
  local arch loader out
  for arch in i686 x86_64; do
    loader=$(wine_loader "$arch")
    if [ "$arch" = i686 ] && [ "${LUMAWIPE_NO_I686:-0}" = 1 ]; then
      LUMAWIPE_WINE_SKIPPED+="i686: not run, LUMAWIPE_NO_I686=1 makes this machine count as one without 32-bit execution"$'\n'
      continue
    fi
    if out=$("$loader" --version 2>&1); then
      LUMAWIPE_WINE_ARCHS+="${LUMAWIPE_WINE_ARCHS:+ }$arch"
    else
      out=$(printf "%s" "$out" | tail -n 1); out=${out##*: }
      LUMAWIPE_WINE_SKIPPED+="$arch: not run, this machine cannot execute its Wine loader $loader (${out:-no output})"$'\n'
    fi
  done
  LUMAWIPE_WINE_SKIPPED=${LUMAWIPE_WINE_SKIPPED%$'\n'}
  LUMAWIPE_WINE_PROBED=1
  export LUMAWIPE_WINE_ARCHS LUMAWIPE_WINE_SKIPPED LUMAWIPE_WINE_PROBED
}

wine_runs() {
  wine_probe
  case " $LUMAWIPE_WINE_ARCHS " in *" $1 "*) return 0 ;; esac
  return 1
}
