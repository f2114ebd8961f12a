#!/usr/bin/env bash
# Installs a build tree into a prefix of its own, builds examples/render against the
# installed package as a separate CMake project (with the build's compiler flags, so that
# sanitizer builds link), and checks that the example's frames and lines equal those of
# the installed lumawipe command.
#   check-package.sh SOURCE_DIR BUILD_DIR BUILD_TYPE CXX_FLAGS LINKER_FLAGS
set -euo pipefail
src=$1 build=$2 type=$3 cxxflags=$4 ldflags=$5
work=$build/package-test
prefix=$work/prefix
rm -rf "$work"
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/lumawipe share/man/man1/lumawipe.1 include/Lumawipe/engine/Wipekit.h; do
  [ -f "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
cmake -S "$src/examples/render" -B "$work/example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_BUILD_TYPE="$type" \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build "$work/example" >/dev/null

pictures=$src/tests/cli/frames
"$work/example/lumawipe-render-example" "$pictures/from.bmp" "$pictures/to.bmp" toSwarm "$work/example-frames" \
  >"$work/example.out"
"$prefix/bin/lumawipe" render --from "$pictures/from.bmp" --to "$pictures/to.bmp" --operation toSwarm --play \
  --out "$work/command-frames" >"$work/command.out"
diff "$work/command.out" "$work/example.out"
diff -r "$work/command-frames" "$work/example-frames"
frames=$(ls "$work/example-frames" | wc -l)
[ "$frames" -gt 2 ] || { echo "the example played only $frames frames" >&2; exit 1; }
echo "the example built against the installed package played $frames frames, equal to the command's"
