#!/usr/bin/env bash
# Runs the tests that involve a worker thread, a timer or a wait many times in a row while
# stress-ng keeps both cores busy, and prints runs and failures per test:
#   scripts/stress-threads.sh [REPEAT] [BUILD...]
# BUILD is a configured and built tree (default: build/native, build/native-tsan, and the
# build/mingw-* trees whose architecture this machine runs). Windows programs run under
# Wine in the tree's test session, with a virtual display. Exit 1 when any run failed.
set -euo pipefail
cd "$(dirname "$0")/.."
. cmake/wine-arch.sh
repeat=${1:-100}
shift || true
builds=("$@")
if [ ${#builds[@]} -eq 0 ]; then
  for b in build/native build/native-tsan; do [ -d "$b/tests" ] && builds+=("$b"); done
  for arch in i686 x86_64; do
    [ -d "build/mingw-$arch/tests" ] && wine_runs "$arch" && builds+=("build/mingw-$arch")
  done
fi
command -v stress-ng >/dev/null || { echo "stress-threads: stress-ng is missing (apt-get install stress-ng)" >&2; exit 1; }

# Program and gtest filter: every test of these programs waits on a thread, timer or message.
native_tests=("tests/driver_tests:*" "tests/toolkit_tests:VirtualTime.*" "tests/wipeax_tests:*")
windows_tests=("tests/driver_tests.exe:*" "tests/toolkit_tests.exe:VirtualTime.*" "tests/wipeax_tests.exe:*"
  "tests/win32/win32_form_tests.exe:*" "tests/activex/activex_transition_tests.exe:*"
  "tests/activex/activex_control_tests.exe:*" "tests/activex/activex_container_tests.exe:*")

stress-ng --cpu 2 --timeout 0 >/dev/null 2>&1 &
stress=$!
trap 'kill $stress 2>/dev/null || true' EXIT

failed=0
report() {  # build, program, filter, gtest output file
  local runs fails
  runs=$(tr -d '\r' <"$4" | grep -c '^\[==========\] .* ran\.' || true)
  fails=$(tr -d '\r' <"$4" | grep -E '^\[  FAILED  \] [^0-9]' | grep -v ', listed below' | sed 's/ ([0-9]* ms)$//' \
    | sort | uniq -c || true)
  printf '%-22s %-45s %4s runs' "$1" "${2##*/}" "$runs"
  if [ -n "$fails" ]; then
    failed=1
    printf ', failures:\n%s\n' "$fails"
  else
    printf ', no failure\n'
  fi
}

for b in "${builds[@]}"; do
  case "$b" in
    *mingw-i686*) arch=i686 ;;
    *mingw-x86_64*) arch=x86_64 ;;
    *) arch="" ;;
  esac
  if [ -z "$arch" ]; then
    for t in "${native_tests[@]}"; do
      prog=$b/${t%%:*}
      [ -x "$prog" ] || continue
      out=$(mktemp)
      "$prog" --gtest_filter="${t#*:}" --gtest_repeat="$repeat" >"$out" 2>&1 || true
      report "$b" "$prog" "${t#*:}" "$out"
      rm -f "$out"
    done
  else
    export LUMAWIPE_WINEPREFIX=$PWD/build/wineprefix
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
      cmake/wine-session.sh start "$1" >/dev/null
      # The container tests create the control by its ProgID: registered for the run.
      ocx=$1/activex/Lumawipe.ocx
      shift; arch=$1; shift; repeat=$1; shift
      cmake/wine-run.sh "$arch" regsvr32 /s "$ocx"
      for t in "$@"; do
        prog=${t%%:*}
        [ -f "$prog" ] || continue
        cmake/wine-run.sh "$arch" "$prog" --gtest_filter="${t#*:}" --gtest_repeat="$repeat" >"$prog.stress.log" 2>&1 || true
      done
      cmake/wine-run.sh "$arch" regsvr32 /u /s "$ocx"
    ' stress "$b" "$arch" "$repeat" "${windows_tests[@]/#/$b/}"
    cmake/wine-session.sh stop "$b"
    for t in "${windows_tests[@]}"; do
      prog=$b/${t%%:*}
      [ -f "$prog.stress.log" ] || continue
      report "$b" "$prog" "${t#*:}" "$prog.stress.log"
      rm -f "$prog.stress.log"
    done
  fi
done
exit $failed
