#!/usr/bin/env bash
# Per-frame cost of ffmpeg's xfade next to ours, on this machine, one thread each, rendering
# only: xfade renders into a null sink, ours through the component without writing files
# (lumawipe_tickbench). xfade's two sources are one still frame each, made inside the
# filter graph and repeated by the loop filter, and the result goes to the null muxer as it
# is (no per-frame generation, packet copy or conversion; a run of the sources alone costs
# about 0.5 ms a frame at 1920 x 1080). Its figure is its run minus a run of the two
# sources alone, over the frame count. Ours is the median whole tick over the same
# number of frames, the best of three runs. Both use 24-bit pixels (xfade in planar gbrp).
#
# The last column is xfade's time in copies of one frame (the hot row-by-row copy of our
# run, both buffers in the cache): a renderer that writes every pixel of every frame cannot
# be faster than one copy, so no speed-up above that figure is possible for it.
#
#   bench/xfade-compare.sh [WIDTHxHEIGHT] [FRAMES]     (default 1920x1080, 100 frames)
#
# ffmpeg is a benchmark-only dependency: installed here with apt-get when missing.
set -euo pipefail
size=${1:-1920x1080}
frames=${2:-100}
here=$(cd "$(dirname "$0")/.." && pwd)
bench=${LUMAWIPE_TICKBENCH:-$here/build/native/bench/lumawipe_tickbench}

if ! command -v ffmpeg >/dev/null; then
  sudo=; [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq && $sudo apt-get install -y -qq ffmpeg
fi
if [ ! -x "$bench" ]; then
  (cd "$here" && cmake --preset native >/dev/null && cmake --build --preset native -j2 --target lumawipe_tickbench)
fi

rate=25
seconds=$(awk -v f="$frames" -v r="$rate" 'BEGIN { printf "%.4f", f / r }')
# One still frame of a test source, repeated by the loop filter for the whole run.
still() { echo "$1=s=$size:r=$rate:d=$(awk -v r="$rate" 'BEGIN { print 1 / r }'),format=gbrp,loop=loop=$((frames - 1)):size=1"; }

# Best wall time in seconds of three runs of a filter graph that reads the two stills as
# [a] and [b] and writes [out] into the null muxer.
ffmpeg_seconds() {
  local best=
  for _ in 1 2 3; do
    local t
    t=$(ffmpeg -hide_banner -nostdin -benchmark -threads 1 -filter_threads 1 -filter_complex_threads 1 \
          -filter_complex "$(still testsrc2)[a];$(still rgbtestsrc)[b];$1" -map '[out]' -f null - 2>&1 |
        sed -n 's/.*rtime=\([0-9.]*\)s.*/\1/p' | tail -1)
    best=$(awk -v a="$best" -v b="$t" 'BEGIN { print (a == "" || b < a) ? b : a }')
  done
  echo "$best"
}

sources=$(ffmpeg_seconds "[a]null[out];[b]nullsink")
pairs="wipeleft:toMonoReveal slideleft:toPush fade:toBlend fadeblack:toFade pixelize:toMosaic
rectcrop:toIris circleopen:toIris zoomin:toZoom hlslice:toBlinds squeezeh:toSqueeze dissolve:toSwarm"

printf '%s, %s frames, one thread; sources alone: %.3f ms/frame (subtracted)\n' "$size" "$frames" \
  "$(awk -v s="$sources" -v f="$frames" 'BEGIN { print 1000 * s / f }')"
printf '%-12s %-14s %10s %10s %9s %12s\n' xfade ours "xfade ms" "ours ms" speed-up "xfade/copy"
for pair in $pairs; do
  theirs=${pair%%:*}
  ours=${pair##*:}
  total=$(ffmpeg_seconds "[a][b]xfade=transition=$theirs:duration=$seconds:offset=0[out]")
  xf=$(awk -v t="$total" -v s="$sources" -v f="$frames" 'BEGIN { print 1000 * (t - s) / f }')
  table=$("$bench" --sizes "$size" --ticks "$frames" --runs 3 --only "$ours")
  me=$(awk '$2 == "forward" { print $4 }' <<<"$table")
  copy=$(awk '$1 == "copy" && $2 == "(hot)" { print $5 }' <<<"$table")
  printf '%-12s %-14s %10.3f %10.4f %8.1fx %11.1fx\n' "$theirs" "$ours" "$xf" "$me" \
    "$(awk -v a="$xf" -v b="$me" 'BEGIN { print a / b }')" "$(awk -v a="$xf" -v b="$copy" 'BEGIN { print a / b }')"
done
