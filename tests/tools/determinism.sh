#!/usr/bin/env bash
# flikka-sim twice with the same arguments prints the same text, referee lines included;
# a scripted human side replays the same way.
set -u
sim="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$sim" --matches 2 >"$tmp/a" 2>&1 || fail "first run failed"
"$sim" --matches 2 >"$tmp/b" 2>&1 || fail "second run failed"
cmp -s "$tmp/a" "$tmp/b" || fail "two plain runs differ: $(diff "$tmp/a" "$tmp/b" | head -5)"
[ "$(grep -c '^goals scored' "$tmp/a")" -eq 2 ] || fail "want two statistics tables"
grep -Eq '^possesion +[0-9]+:[0-5][0-9] \([0-9]+\.[0-9]%\) +[0-9]+:[0-5][0-9] \([0-9]+\.[0-9]%\)$' "$tmp/a" \
  || fail "possession row not in M:SS (P.P%) form"

# The human runs about and taps pass every second (a restart waits for his kick);
# now and then he switches footballer.
{
  echo "# step slot action"
  for ((t = 100; t < 90000; t += 200)); do
    echo "$t 5 down"
    echo "$((t + 10)) 5 up"
  done
  for ((t = 150; t < 90000; t += 1600)); do
    echo "$t $(( (t / 1600) % 4 )) down"
    echo "$((t + 700)) $(( (t / 1600) % 4 )) up"
  done
  echo "2000 9 down"
  echo "2010 9 up"
} >"$tmp/keys"
"$sim" --human home --keys "$tmp/keys" --json >"$tmp/c" 2>&1 || fail "scripted run failed"
"$sim" --human home --keys "$tmp/keys" --json >"$tmp/d" 2>&1 || fail "scripted rerun failed"
cmp -s "$tmp/c" "$tmp/d" || fail "two scripted runs differ"

[ "$failures" -eq 0 ] && echo "determinism: all passed"
exit $((failures > 0))
