#!/usr/bin/env bash
# flikka-sim --events: JSON lines among the referee's lines that change nothing else, with one
# goal event for every goal on the scoreboard.
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
python3 - "$tmp/events" <<'PY' || fail "goal events do not match the scores"
import json, re, sys
goals, scores = [], []
for line in open(sys.argv[1]).read().splitlines():
    if line.startswith('{"step":'):
        e = json.loads(line)
        if e["kind"] == "goal": goals.append(e["side"])
    elif re.match(r"^Supermen Utd \d+ - \d+ Lilac City$", line):
        h, a = map(int, re.findall(r"\d+", line))
        assert (goals.count("home"), goals.count("away")) == (h, a), (goals, h, a)
        scores.append((h, a)); goals = []
assert len(scores) == 2 and sum(h + a for h, a in scores) > 0, scores
PY
"$sim" --events --quiet >"$tmp/quiet" 2>&1 || fail "quiet run failed"
grep -Eq '^(left|right) out$|corner$|goal$' "$tmp/quiet" && fail "--quiet printed referee lines"
grep -q '^{"step":1,"minute":1,"kind":"whistle"' "$tmp/quiet" || fail "--quiet hid the events"

[ "$failures" -eq 0 ] || exit 1
echo "events output ok"
