#!/usr/bin/env bash
# flikka-sim: --help, and every kind of bad argument refused with a message and status 2.
set -u
sim="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

out=$("$sim" --help 2>"$tmp/err"); rc=$?
[ "$rc" -eq 0 ] || fail "--help exited $rc"
grep -q -- "--length" <<<"$out" || fail "--help does not list --length"
grep -q -- "--keys FILE" <<<"$out" || fail "--help does not list --keys"
grep -q -- "0 to 5 a line, adding up to 10" <<<"$out" || fail "--help does not state the formation limits"

# Each case: expected text in the message, then the arguments.
expect_refused() {
  local want="$1"; shift
  "$sim" "$@" >"$tmp/out" 2>"$tmp/err"; local rc=$?
  [ "$rc" -eq 2 ] || fail "'$*' exited $rc, want 2"
  grep -q -- "$want" "$tmp/err" || fail "'$*' message lacks '$want': $(cat "$tmp/err")"
  grep -q -- "(see --help)\$" "$tmp/err" || fail "'$*' message does not end \"(see --help)\": $(cat "$tmp/err")"
  [ ! -s "$tmp/out" ] || fail "'$*' printed on stdout: $(head -c 200 "$tmp/out")"
}

printf '10 2 down\n20 2 sideways\n' >"$tmp/badkeys"
printf '10 16 down\n' >"$tmp/badslot"

expect_refused 'unknown argument "--fast"' --fast
expect_refused 'unknown argument "extra"' extra
expect_refused '--length must be' --length 450
expect_refused '--length must be' --length 3OO
expect_refused '--length needs a value' --length
expect_refused '--matches must be' --matches 0
expect_refused '--matches must be' --matches -3
expect_refused '--matches must be' --matches 2x
expect_refused 'add up to 10' --home 2,0,4,0,5
expect_refused 'add up to 10' --away 0,0,0,0,9
expect_refused 'five counts' --home 4,4,2
# Ten in all but more than a line holds: refused before any match is set up.
expect_refused 'at most 5 players fit in a line, got 10 in D' --home 0,0,0,0,10
expect_refused 'at most 5 players fit in a line, got 6 in ST' --away 6,0,0,0,4
expect_refused 'at most 5 players fit in a line, got 7 in M' --home 0,0,7,3,0
expect_refused 'at most 5 players fit in a line, got 10 in AM' --away 0,10,0,0,0
expect_refused 'add up to 10' --home 5,5,1,0,0
expect_refused 'bad count' --away 4,4,x,1,1
expect_refused '--human must be' --human twice
expect_refused '--keys2 needs' --human home --keys2 "$tmp/badkeys"
expect_refused 'cannot read the key script' --human home --keys "$tmp/missing"
expect_refused 'line 2' --human home --keys "$tmp/badkeys"
expect_refused 'line 1' --human home --keys "$tmp/badslot"

[ "$failures" -eq 0 ] && echo "cli_arguments: all passed"
exit $((failures > 0))
