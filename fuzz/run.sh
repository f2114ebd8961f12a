#!/usr/bin/env bash
# Builds the libFuzzer targets (preset fuzz) and runs each for SECONDS (default 60), one
# after another on one core, from the committed seed corpus of the target. Findings land
# in build/fuzz/findings/TARGET/ and fail the run; executions per second go to
# build/fuzz/report.txt. fuzz/run.sh SECONDS [TARGET...]  (targets: pictures formdata engine)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pictures formdata engine)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 --target $(printf 'fuzz_%s ' "${targets[@]}")

out=build/fuzz
mkdir -p "$out"
status=0
for t in "${targets[@]}"; do
  corpus=$out/corpus/$t findings=$out/findings/$t log=$out/$t.log
  mkdir -p "$corpus" "$findings"
  # A slow input is a finding: 60 s of wall time for one input (at most 24 commands of the
  # engine, each a few frames of at most 2560 x 2560 under the sanitizers: about a second
  # alone, far longer on a machine whose cores others are using);
  # pictures stay within the bitmap limit (1 GiB), inside the memory limit.
  if ASAN_OPTIONS=detect_leaks=1 "$out/fuzz/fuzz_$t" "$corpus" "fuzz/corpus/$t" \
      -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -malloc_limit_mb=2048 \
      -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1; then
    result=ok
  else
    result=FINDING
    status=1
  fi
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  line="$(date -u +%FT%TZ) $t ${seconds}s runs=${execs:-?} exec/s=${rate:-?} $result"
  echo "$line" | tee -a "$out/report.txt"
  [ $result = ok ] || tail -40 "$log" >&2
done
exit $status
