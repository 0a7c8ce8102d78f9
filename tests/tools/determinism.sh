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

# The human runs right and up, holds pass, and releases it; then switches twice.
cat >"$tmp/keys" <<'K'
# step slot action
400 1 down
400 2 down
900 5 down
1300 5 up
1300 1 up
1300 2 up
2000 9 down
2010 9 up
2500 9 down
2510 9 up
K
"$sim" --human home --keys "$tmp/keys" --json >"$tmp/c" 2>&1 || fail "scripted run failed"
"$sim" --human home --keys "$tmp/keys" --json >"$tmp/d" 2>&1 || fail "scripted rerun failed"
cmp -s "$tmp/c" "$tmp/d" || fail "two scripted runs differ"

[ "$failures" -eq 0 ] && echo "determinism: all passed"
exit $((failures > 0))
