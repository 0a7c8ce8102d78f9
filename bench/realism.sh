#!/usr/bin/env bash
# Realism benchmark: plays CPU matches under classic and full rules with flikka-sim --summary and
# prints the football figures side by side. It reports; it never fails on a figure.
#
#   bench/realism.sh [--sim PATH] [--scale N]
#
# --sim    the flikka-sim to run (default: build/flikka-sim beside this script's project)
# --scale  divides every match count by N for a quick look (default 1: the full benchmark,
#          about 20 minutes on one core)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sim="$here/build/flikka-sim"
scale=1
while [ $# -gt 0 ]; do
  case "$1" in
    --sim) sim="$2"; shift 2 ;;
    --scale) scale="$2"; shift 2 ;;
    *) echo "usage: $0 [--sim PATH] [--scale N]" >&2; exit 2 ;;
  esac
done
[ -x "$sim" ] || { echo "realism: no flikka-sim at $sim (build it first)" >&2; exit 1; }

count() { local n=$(( $1 / scale )); [ "$n" -lt 1 ] && n=1; echo "$n"; }

# summary RULES ARGS...: the figures of one run, one "label<TAB>value" line each.
summary() {
  local rules="$1"; shift
  "$sim" --rules "$rules" --summary "$@" | awk '{ print substr($0, 1, 36) "\t" substr($0, 37) }' |
    sed -e 's/ *\t/\t/'
}

# side_by_side ARGS...: classic and full for the same matches.
side_by_side() {
  local c f
  c="$(summary classic "$@")"
  f="$(summary full "$@")"
  printf '%-36s %-22s %s\n' "" "classic" "full"
  paste <(printf '%s\n' "$c") <(printf '%s\n' "$f" | cut -f2) |
    awk -F'\t' '{ printf "%-36s %-22s %s\n", $1, $2, $3 }'
}

n100=$(count 100)
echo "== $n100 matches at the default length (300 s), 4-4-2 against 4-4-2"
side_by_side --matches "$n100"
cat <<'EOF'
   targets under full rules: goals 2-4 a match, at most 12 % goalless; shots on target 35-55 %;
   top-corner goals at most 40 %; goals within 15 s of own kick-off at most 3 %; pass completion
   75-88 %; no spell over 10 game minutes in 95 % of matches; stoppages at least 12; fouls 2-6,
   penalties 0.1-0.4, offsides 0.5-2 a match; carries under 50 m in 99 % of possessions
EOF
echo

n10=$(count 10)
echo "== $n10 matches with a bot as the home side (--human home --bot)"
side_by_side --matches "$n10" --human home --bot | grep -E '^ |goals|scored|shots'
echo "   targets under full rules: the bot (home) scores in at least 3 of 10; the CPU (away) at most 5 a match"
echo

n40=$(count 40)
echo "== $n40 matches at 1200 s (no targets)"
side_by_side --matches "$n40" --length 1200
echo

# Points a game of a shape against 4-4-2: half the matches at home, half away.
n200=$(count 200)
half=$(( n200 / 2 )); [ "$half" -lt 1 ] && half=1
echo "== points a game against 4-4-2, $((2 * half)) matches per shape (no targets)"
printf '%-36s %-22s %s\n' "" "classic" "full"
for shape in "4-3-3:3,0,3,0,4" "3-5-2:2,0,5,0,3" "5-3-2:2,0,3,0,5" "4-5-1:1,0,5,0,4" "4-4-2:2,0,4,0,4"; do
  name="${shape%%:*}"; counts="${shape#*:}"
  row=""
  for rules in classic full; do
    h="$("$sim" --rules "$rules" --summary --matches "$half" --home "$counts" | awk -F'  +' '/^points per game/ { split($2, p, " / "); print p[1] }')"
    a="$("$sim" --rules "$rules" --summary --matches "$half" --away "$counts" | awk -F'  +' '/^points per game/ { split($2, p, " / "); print p[2] }')"
    row="$row $(awk -v h="$h" -v a="$a" 'BEGIN { printf "%.2f", (h + a) / 2 }')"
  done
  set -- $row
  printf '%-36s %-22s %s\n' "$name" "$1" "$2"
done
