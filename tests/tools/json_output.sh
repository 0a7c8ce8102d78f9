#!/usr/bin/env bash
# flikka-sim --json: one parsable object per match with every field the statistics need.
set -u
sim="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$sim" --matches 2 --json --quiet --home 2,1,3,1,3 >"$tmp/out" 2>"$tmp/err"; rc=$?
[ "$rc" -eq 0 ] || fail "exit status $rc: $(cat "$tmp/err")"
lines=$(wc -l <"$tmp/out")
[ "$lines" -eq 2 ] || fail "$lines lines, want one per match (2)"

if command -v python3 >/dev/null 2>&1; then
  python3 - "$tmp/out" <<'PY' || fail "python3 check failed"
import json, sys
rows = [json.loads(l) for l in open(sys.argv[1])]
for r in rows:
    assert r["home"] == "Supermen Utd" and r["away"] == "Lilac City", r
    assert isinstance(r["homeScore"], int) and r["homeScore"] >= 0
    assert isinstance(r["awayScore"], int) and r["awayScore"] >= 0
    # 300 s of play at 5 ms a step, plus stoppages.
    assert r["steps"] >= 60000, r["steps"]
    for side in ("home_stats", "away_stats"):
        s = r[side]
        assert set(s) == {"shots", "shotsOnGoal", "passes", "successfulPasses", "possession", "corners", "throwIns"}, s
        assert 0 <= s["shotsOnGoal"] <= s["shots"], s
        assert 0 <= s["successfulPasses"] <= s["passes"], s
        assert 0 <= s["possession"] <= 320, s
PY
else
  re='^\{"home":"Supermen Utd","away":"Lilac City","homeScore":[0-9]+,"awayScore":[0-9]+,"steps":[0-9]+'
  st='\{"shots":[0-9]+,"shotsOnGoal":[0-9]+,"passes":[0-9]+,"successfulPasses":[0-9]+,"possession":[0-9.]+,"corners":[0-9]+,"throwIns":[0-9]+\}'
  while read -r l; do
    [[ "$l" =~ ${re},\"home_stats\":${st},\"away_stats\":${st}\}$ ]] || fail "line does not match the schema: $l"
  done <"$tmp/out"
fi

# Without --quiet the referee's lines come first; the JSON line is still whole.
"$sim" --json >"$tmp/loud" 2>&1 || fail "loud run failed"
grep -q '^{"home":' "$tmp/loud" || fail "no JSON line among the referee's lines"
grep -Eq '^(left out|right out|upper corner|lower corner|upper goal|lower goal)$' "$tmp/loud" || fail "no referee line"

# --profile adds the step times; the statistics stay those of the plain run.
"$sim" --json --quiet --profile >"$tmp/prof" 2>&1 || fail "profile run failed"
grep -Eq ',"stepMedianUs":[0-9]+\.[0-9]{2},"stepMaxUs":[0-9]+\.[0-9]{2}\}$' "$tmp/prof" || fail "no step times: $(cat "$tmp/prof")"
"$sim" --json --quiet >"$tmp/plain" 2>&1 || fail "plain run failed"
[ "$(sed 's/,"stepMedianUs".*$//' "$tmp/prof")" = "$(sed 's/}$//' "$tmp/plain")" ] || fail "profiling changed the match"

[ "$failures" -eq 0 ] && echo "json_output: all passed"
exit $((failures > 0))
