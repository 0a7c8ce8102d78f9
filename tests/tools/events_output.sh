#!/usr/bin/env bash
# flikka-sim --events: the match events as JSON lines among the referee's lines. Turning them on
# changes nothing else, and every goal on the scoreboard has exactly one goal event.
set -u
sim="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

args="--home 1,0,5,0,4 --away 2,0,3,0,5 --matches 2"
"$sim" $args >"$tmp/plain" 2>&1 || fail "plain run failed"
"$sim" $args --events >"$tmp/events" 2>&1 || fail "events run failed"
grep -v '^{"step":' "$tmp/events" | cmp -s - "$tmp/plain" || fail "--events changed the other output"
grep -q '^{"step":' "$tmp/events" || fail "no event lines"
"$sim" $args --events --quiet >"$tmp/quiet" 2>&1 || fail "quiet run failed"
if grep -Eq '^(left out|right out|upper corner|lower corner|upper goal|lower goal)$' "$tmp/quiet"; then
  fail "--quiet printed referee lines"
fi
grep -q '^{"step":' "$tmp/quiet" || fail "--quiet hid the events"

if command -v python3 >/dev/null 2>&1; then
  python3 - "$tmp/events" <<'PY' || fail "python3 check failed"
import json, re, sys
lines = open(sys.argv[1]).read().splitlines()
score = re.compile(r"^Supermen Utd (\d+) - (\d+) Lilac City$")
referee = {"upper goal", "lower goal", "left out", "right out", "upper corner", "lower corner"}
matches, current, last_referee = [], [], None
for line in lines:
    if line.startswith('{"step":'):
        e = json.loads(line)
        current.append(e)
        if e["kind"] == "goal":
            # The referee's line of the same step comes just before the goal's events.
            assert last_referee in ("upper goal", "lower goal"), (last_referee, e)
        if e["kind"] in ("goal", "out_of_play"):
            last_referee = None
    elif line in referee:
        last_referee = line
    elif score.match(line):
        h, a = map(int, score.match(line).groups())
        matches.append((current, h, a))
        current = []
assert len(matches) == 2, len(matches)
for events, h, a in matches:
    steps = [e["step"] for e in events]
    assert steps == sorted(steps), "events out of step order"
    goals = [e for e in events if e["kind"] == "goal"]
    assert sum(e["side"] == "home" for e in goals) == h, (goals, h)
    assert sum(e["side"] == "away" for e in goals) == a, (goals, a)
    for g in goals:
        # Where it crossed: between the posts and under the bar, widened by the ball's radius.
        assert 0 <= g["z"] <= 2.56 and abs(g["x"]) <= 3.78, g
    kinds = [e["kind"] for e in events]
    first_kick = kinds.index("kick")
    assert "whistle" in kinds[:first_kick] and events[kinds.index("whistle")]["restart"] == "kick_off"
    assert kinds.count("half_time") == 1 and kinds.count("full_time") == 1 and kinds[-1] == "full_time"
    for e in events:
        if e["kind"] == "kick":
            assert e["kick"] in ("pass", "shot", "cross", "clearance", "keeper_kick", "throw"), e
            assert e["strength"] > 0 and e["side"] in ("home", "away") and 0 <= e["player"] <= 10, e
PY
fi

[ "$failures" -eq 0 ] || exit 1
echo "events output ok"
