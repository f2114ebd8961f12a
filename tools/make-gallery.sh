#!/usr/bin/env bash
# Regenerates docs/gallery/: one small animated GIF per operation, rendered by the
# command-line renderer from half-size copies of the demo's built-in pictures, and
# docs/transition.gif, the demo's own transition at full size.
# Usage: tools/make-gallery.sh [path/to/lumawipe]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/native/cli/lumawipe}
out=$root/docs/gallery
frames_wanted=24
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert "$root/settings/res/From.bmp" -resize 224x38! -type TrueColor BMP3:"$tmp/from.bmp"
convert "$root/settings/res/To.bmp" -resize 224x38! -type TrueColor BMP3:"$tmp/to.bmp"
mkdir -p "$out"

# The first word of each line of "lumawipe list" names an operation, in ordinal order.
list=$("$cli" list)
mapfile -t operations < <(cut -d' ' -f1 <<<"$list")

for op in "${operations[@]}"; do
  args=(--from "$tmp/from.bmp" --to "$tmp/to.bmp" --operation "$op" --delta 8 --modifier left)
  # Length of the run at one step a frame, then the step that gives about frames_wanted.
  length=$("$cli" render "${args[@]}" --steps 1 --play --out "$tmp/count.gif" | wc -l)
  steps=$(( (length + frames_wanted - 1) / frames_wanted ))
  "$cli" render "${args[@]}" --steps "$steps" --play --out "$out/$op.gif" >/dev/null
  echo "$op: $length frames at step 1, rendered with --steps $steps"
done

"$cli" render --operation toMonoSlider --delta 1 --steps 10 --play --out "$root/docs/transition.gif" >/dev/null
echo "docs/transition.gif: the demo transition"
