#!/usr/bin/env bash
# flikka-sim --rules: classic is the default and changes nothing; full adds its statistics;
# --summary prints the football figures of a run.
set -u
sim="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$sim" --json >"$tmp/plain" 2>&1 || fail "plain run failed"
"$sim" --json --rules classic >"$tmp/classic" 2>&1 || fail "classic run failed"
cmp -s "$tmp/plain" "$tmp/classic" || fail "--rules classic changed the output"
grep -q '"fouls"' "$tmp/classic" && fail "classic JSON has full-rules fields"

"$sim" --json --quiet --rules full --matches 2 >"$tmp/full" 2>"$tmp/err" || fail "full run failed: $(cat "$tmp/err")"
for side in home_stats away_stats; do
  grep -Eq "\"$side\":\{[^}]*,\"fouls\":[0-9]+,\"offsides\":[0-9]+,\"freeKicks\":[0-9]+,\"penalties\":[0-9]+\}" "$tmp/full" ||
    fail "full JSON lacks the four counters in $side: $(head -1 "$tmp/full")"
done
[ "$(wc -l <"$tmp/full")" -eq 2 ] || fail "want one line per match"
"$sim" --rules fancy >/dev/null 2>"$tmp/bad"; rc=$?
[ "$rc" -eq 2 ] && grep -q -- '--rules must be classic or full' "$tmp/bad" || fail "bad --rules value accepted (rc $rc)"
"$sim" --bot >/dev/null 2>&1 && fail "--bot without a human side accepted"

"$sim" --summary --rules full --matches 2 >"$tmp/sum" 2>&1 || fail "summary run failed"
for f in "goals per match" "shots on target" "pass completion" "stoppages per match" "fouls per match" \
         "penalties per match" "offsides per match" "carries under 50 m" "goals within 15 s of own kick-off"; do
  grep -q "^$f " "$tmp/sum" || fail "summary lacks \"$f\""
done
grep -q '^matches  *2$' "$tmp/sum" || fail "summary counts $(grep '^matches' "$tmp/sum")"

[ "$failures" -eq 0 ] && echo "rules_option: all passed"
exit $((failures > 0))
