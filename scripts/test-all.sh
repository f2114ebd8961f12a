#!/usr/bin/env bash
# Runs every test: native (plain, AddressSanitizer + UndefinedBehaviorSanitizer,
# ThreadSanitizer for the threaded tests), the WebAssembly build's page in headless
# Chromium, and Windows i686 and x86_64 under Wine,
# the Windows session under one virtual display. The native runs include the installed
# CMake package (examples/render built against it) and the frame table of the renderer,
# which the Windows runs check too. The Windows runs include the control's deployment
# (registration-free, per user, the installer) in a Wine prefix of their own, made anew
# for each run.
#
# Both Windows architectures are always built; their tests run where this machine runs
# the architecture's programs (found out by running its Wine loader). One it cannot run
# is reported in a line of its own here and in the summary; LUMAWIPE_REQUIRE_I686=1 turns
# a missing i686 into a failure, LUMAWIPE_NO_I686=1 acts as on a machine without 32-bit
# execution.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
. cmake/wine-arch.sh
wine_probe
if [ -n "$LUMAWIPE_WINE_SKIPPED" ]; then
  printf 'test-all: %s\n' "$LUMAWIPE_WINE_SKIPPED"
  if [ "${LUMAWIPE_REQUIRE_I686:-0}" = 1 ] && ! wine_runs i686; then
    echo "test-all: LUMAWIPE_REQUIRE_I686=1 and the i686 tests cannot run on this machine" >&2
    exit 1
  fi
fi

jobs=$(nproc)
# Both Windows configurations share one Wine prefix (about 1.3 GB); they never run at once.
export LUMAWIPE_WINEPREFIX=$PWD/build/wineprefix
for preset in native native-asan native-tsan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

# The playground page in headless Chromium: the renderer's frame table and the native
# renderer's frames rendered in the page, and the page driven as a person drives it
# (screenshots in build/wasm/web/screenshots).
echo "== wasm"
(cd web && npm ci --no-audit --no-fund --loglevel=error)
cmake --preset wasm >/dev/null
cmake --build --preset wasm -j "$jobs"
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
SITE=$PWD/build/wasm/web/site CLI=$PWD/build/native/cli/lumawipe node --test tests/web/playground.test.mjs

# Every fuzz target for a minute (clang + libFuzzer, ASan + UBSan); a finding fails.
echo "== fuzz"
fuzz/run.sh 60

for preset in mingw-i686 mingw-x86_64; do
  echo "== $preset (build)"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

# One display and one Wine session at a time; the ctest fixture starts and stops it.
for arch in i686 x86_64; do
  wine_runs "$arch" || continue
  echo "== mingw-$arch (tests under Wine)"
  xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset "mingw-$arch"
done

echo "== summary"
echo "passed: native, native-asan, native-tsan, wasm, fuzz; built: mingw-i686, mingw-x86_64; under Wine: ${LUMAWIPE_WINE_ARCHS:-none}"
[ -z "$LUMAWIPE_WINE_SKIPPED" ] || printf 'skipped: %s\n' "$LUMAWIPE_WINE_SKIPPED"
echo "All tests that this machine can run passed."
