#!/usr/bin/env bash
# flikka-sim with two humans: player 1 and player 2 each from his own key script, against each
# other (--human both) and together (--human home2); whole matches, reproducible, and player 2's
# script really plays.
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
: >"$tmp/none"

for side in both home2; do
  "$sim" --human "$side" --keys "$tmp/k1" --keys2 "$tmp/k2" --json --quiet >"$tmp/$side.a" 2>"$tmp/err" \
    || fail "--human $side did not finish: $(cat "$tmp/err")"
  "$sim" --human "$side" --keys "$tmp/k1" --keys2 "$tmp/k2" --json --quiet >"$tmp/$side.b" 2>&1
  cmp -s "$tmp/$side.a" "$tmp/$side.b" || fail "--human $side: two runs differ"
  grep -q '"steps":' "$tmp/$side.a" || fail "--human $side: no match line: $(head -c 200 "$tmp/$side.a")"
done

# Player 2's script moves the away side: without it the match comes out differently.
"$sim" --human both --keys "$tmp/k1" --keys2 "$tmp/none" --json --quiet --hash >"$tmp/idle" 2>&1
"$sim" --human both --keys "$tmp/k1" --keys2 "$tmp/k2" --json --quiet --hash >"$tmp/play" 2>&1
[ "$(tail -1 "$tmp/idle")" != "$(tail -1 "$tmp/play")" ] || fail "player 2's key script changed nothing"

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
