#!/usr/bin/env bash
# check.sh EXIT_CODE STDERR_REGEX EXPECTED_STDOUT_FILE COMMAND...: runs COMMAND and checks
# its exit code, its standard output (exactly; line ends CR LF count as LF) and its standard
# error (an extended regular expression, or "-" for none at all).
set -u
code=$1 errpattern=$2 expected=$3
shift 3
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
"$@" >"$out" 2>"$err"
rc=$?
sed -i 's/\r$//' "$out" "$err"
fail=0
if [ "$rc" != "$code" ]; then echo "exit code $rc, expected $code"; fail=1; fi
if ! diff -u --label expected --label output "$expected" "$out"; then fail=1; fi
if [ "$errpattern" = - ]; then
  if [ -s "$err" ]; then echo "standard error, expected none:"; cat "$err"; fail=1; fi
elif ! grep -Eq -- "$errpattern" "$err"; then
  echo "standard error does not match /$errpattern/:"; cat "$err"; fail=1
fi
exit $fail
