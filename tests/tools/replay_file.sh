#!/usr/bin/env bash
# flikka-sim --record then --replay: the replay prints what the match printed (referee lines,
# statistics, hash), twice alike; a damaged file is refused with its name and the fault.
set -u
sim="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The human taps pass every second and runs about (a restart waits for his kick).
{
  for ((t = 100; t < 70000; t += 200)); do echo "$t 5 down"; echo "$((t + 10)) 5 up"; done
  for ((t = 150; t < 70000; t += 1600)); do
    echo "$t $(( (t / 1600) % 4 )) down"; echo "$((t + 700)) $(( (t / 1600) % 4 )) up"
  done
} >"$tmp/keys"

"$sim" --length 300 --human away --keys "$tmp/keys" --hash --record "$tmp/m.flr" >"$tmp/played" 2>&1 \
  || fail "recording run failed: $(tail -2 "$tmp/played")"
"$sim" --replay "$tmp/m.flr" >"$tmp/a" 2>&1 || fail "replay failed: $(tail -2 "$tmp/a")"
"$sim" --replay "$tmp/m.flr" >"$tmp/b" 2>&1 || fail "second replay failed"
cmp -s "$tmp/played" "$tmp/a" || fail "replay differs from the match: $(diff "$tmp/played" "$tmp/a" | head -5)"
cmp -s "$tmp/a" "$tmp/b" || fail "two replays differ"
grep -q '^trajectory hash [0-9a-f]\{16\}$' "$tmp/a" || fail "no trajectory hash line"
grep -Eq '^(left out|right out|upper corner|lower corner)$' "$tmp/a" || fail "no referee lines in the replay output"

# The third match of a run on one match object.
"$sim" --length 300 --matches 3 --hash --quiet --record "$tmp/third.flr" >"$tmp/three" 2>&1 || fail "three matches failed"
"$sim" --replay "$tmp/third.flr" --quiet >"$tmp/c" 2>&1 || fail "replay of the third match failed: $(tail -2 "$tmp/c")"
tail -n "$(wc -l <"$tmp/c")" "$tmp/three" | cmp -s - "$tmp/c" || fail "third match replays differently"

head -c 100 "$tmp/m.flr" >"$tmp/cut.flr"
"$sim" --replay "$tmp/cut.flr" >"$tmp/out" 2>"$tmp/err"; rc=$?
[ "$rc" -eq 1 ] || fail "a cut file exited $rc, want 1"
grep -q "$tmp/cut.flr: truncated" "$tmp/err" || fail "cut file message: $(cat "$tmp/err")"
[ ! -s "$tmp/out" ] || fail "a refused file printed on stdout"

"$sim" --replay "$tmp/m.flr" --length 600 >/dev/null 2>"$tmp/err"; rc=$?
[ "$rc" -eq 2 ] && grep -q 'cannot be combined with --length' "$tmp/err" || fail "--replay with --length: $rc $(cat "$tmp/err")"

[ "$failures" -eq 0 ] && echo "replay_file: all passed"
exit $((failures > 0))
