#!/usr/bin/env bash
# Runs every test: native (plain, AddressSanitizer + UndefinedBehaviorSanitizer,
# ThreadSanitizer for the threaded tests) and Windows i686 and x86_64 under Wine,
# the Windows session under one virtual display. The native runs include the installed
# CMake package (examples/render built against it) and the frame table of the renderer,
# which the Windows runs check too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
# Both Windows configurations share one Wine prefix (about 1.3 GB); they never run at once.
export LUMAWIPE_WINEPREFIX=$PWD/build/wineprefix
for preset in native native-asan native-tsan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

# Every fuzz target for a minute (clang + libFuzzer, ASan + UBSan); a finding fails.
echo "== fuzz"
fuzz/run.sh 60

for preset in mingw-i686 mingw-x86_64; do
  echo "== $preset (build)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# One display and one Wine session at a time; the ctest fixture starts and stops it.
for preset in mingw-i686 mingw-x86_64; do
  echo "== $preset (tests under Wine)"
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "$preset"
done
echo "All tests passed."
