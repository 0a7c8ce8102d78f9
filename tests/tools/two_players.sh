#!/usr/bin/env bash
# flikka-sim with two humans: player 1 and player 2 each from his own key script, against each
# other (--human both) and together (--human home2); a two-player replay plays back as played,
# and a replay file of format version 1 still plays.
set -u
sim="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A human who taps pass (a restart waits for his kick), runs about and switches now and then;
# the offset keeps the two players' rhythms apart.
script() {
  local off="$1"
  for ((t = 100 + off; t < 90000; t += 230)); do
    echo "$t 5 down"
    echo "$((t + 12)) 5 up"
  done
  for ((t = 150 + off; t < 90000; t += 1300)); do
    echo "$t $(( (t / 1300) % 4 )) down"
    echo "$((t + 600)) $(( (t / 1300) % 4 )) up"
  done
  for ((t = 400 + off; t < 90000; t += 2100)); do
    echo "$t 9 down"
    echo "$((t + 5)) 9 up"
  done
}
script 0 >"$tmp/k1"
script 517 >"$tmp/k2"

# Together at home; against each other below, recorded. (Whole matches of both kinds, and what
# player 2's keys change, are checked in the core tests; here the options and the files.)
"$sim" --human home2 --keys "$tmp/k1" --keys2 "$tmp/k2" --json --quiet >"$tmp/home2" 2>"$tmp/err" \
  || fail "--human home2 did not finish: $(cat "$tmp/err")"
grep -q '"steps":' "$tmp/home2" || fail "--human home2: no match line: $(head -c 200 "$tmp/home2")"

# A replay of both players' keys plays back as played; a file of format version 1 (one human,
# recorded before player 2 existed) still plays, and as it was recorded.
"$sim" --human both --keys "$tmp/k1" --keys2 "$tmp/k2" --hash --record "$tmp/two.flr" >"$tmp/two.played" 2>&1 \
  || fail "recording two humans failed: $(tail -2 "$tmp/two.played")"
"$sim" --replay "$tmp/two.flr" >"$tmp/two.back" 2>&1 || fail "replay of two humans failed: $(tail -2 "$tmp/two.back")"
cmp -s "$tmp/two.played" "$tmp/two.back" || fail "two humans replay differently: $(diff "$tmp/two.played" "$tmp/two.back" | head -5)"
[ "$(od -An -tu1 -j4 -N1 "$tmp/two.flr" | tr -d ' ')" = 2 ] || fail "the recorded file is not format version 2"
old="$2/tests/replay/data/version1-human-away.flr"
[ "$(od -An -tu1 -j4 -N1 "$old" | tr -d ' ')" = 1 ] || fail "the old file is not format version 1"
"$sim" --replay "$old" --quiet >"$tmp/old" 2>&1 || fail "the version 1 file did not play: $(tail -2 "$tmp/old")"
grep -q '^trajectory hash 67a33fdb2725e65c$' "$tmp/old" || fail "the version 1 file played differently: $(tail -1 "$tmp/old")"

[ "$failures" -eq 0 ] && echo "two_players: all passed"
exit $((failures > 0))
