#!/usr/bin/env bash
# The main job: builds the project and renders the default transition between the
# demo program's two built-in pictures to an animated GIF.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native
mkdir -p out
build/native/lumawipe render --operation toMonoSlider --steps 10 --delta 1 --play --out out/transition.gif >/dev/null
echo "Rendered the demo transition (mono slider, 446 x 75) to $(pwd)/out/transition.gif"
