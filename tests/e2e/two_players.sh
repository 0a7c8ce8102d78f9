# Two players on one keyboard: "home: player 1, away: player 2" from the new-game page; both
# selections show with their own marker colour and number, both radar dots show, player 1's
# arrows and player 2's J L keys move their own footballers at the same time, the head-up
# display names who plays which side, and player 2's keys are written to config/flikka.xml.
source "$(dirname "$0")/common.bash"

RADAR_W=84
RADAR_H=126

# Mean radar x of the dot of one colour ("r g b"), or "none".
dot_x() {
  local file=$1 want=$2
  "$CONVERT" "$WORK/$file.png" -crop "${RADAR_W}x${RADAR_H}+$((WIN_X + RADAR_X))+$((WIN_Y + RADAR_Y))" +repage -depth 8 txt:- |
    awk -v FS='[(),:]+' -v want="$want" 'BEGIN { split(want, c, " ") }
      NR > 1 { split($1, xy, ","); if ($4 + 0 == c[1] && $5 + 0 == c[2] && $6 + 0 == c[3]) { s += xy[1]; n++ } }
      END { if (n >= 12) printf "%.1f\n", s / n; else print "none" }'
}
gold="255 215 0"
cyan="0 229 255"

make_workdir
classic_rules
start_game
find_window
RADAR_X=$((WIN_W - RADAR_W - 20))
RADAR_Y=$((WIN_H - RADAR_H - 20))
wait_for_splash 30
press Return
wait_for_menu 15

# New game: the control item three choices on, then through both formation pages.
press Return
press Down
press Right
press Right
press Right
sleep 0.4
shot sides
press Down
press Down
press Return
press Up
press Return
sleep 0.4
shot away_page
press Up
press Return
sleep 3

# The home side kicks off with player 1's pass key.
press s
sleep 1
shot match
[ "$(dot_x match "$gold")" != none ] || fail "no gold radar dot for player 1"
[ "$(dot_x match "$cyan")" != none ] || fail "no cyan radar dot for player 2"
# Markers and numbers on the pitch (outside the radars): gold for 1, cyan for 2.
n=$(count_pixels match 0 100 "$WIN_W" 330 'r == 0 && g == 229 && b == 255')
[ "$n" -ge 30 ] || fail "player 2's cyan marker and number are not on the pitch ($n pixels)"
n=$(count_pixels match 0 100 "$WIN_W" 330 'r == 255 && g == 215 && b == 0')
[ "$n" -ge 10 ] || fail "player 1's gold number is not on the pitch ($n pixels)"
# Beside the score panel: who plays which side.
n=$(count_pixels match 240 36 110 40 'r > 200 && g > 150 && b < 80')
[ "$n" -ge 10 ] || fail "the head-up display does not name player 1's side"
n=$(count_pixels match 240 36 110 40 'r < 80 && g > 150 && b > 180')
[ "$n" -ge 10 ] || fail "the head-up display does not name player 2's side"

# Both at once: player 1 runs with an arrow, player 2 with J or L, each towards the wider side of
# the radar from where his footballer stands. The selections can change hands at any moment, so
# a few tries are allowed: two must move both.
moved=0
for try in 1 2 3 4 5 6; do
  shot before
  g0=$(dot_x before "$gold")
  c0=$(dot_x before "$cyan")
  if [ "$g0" = none ] || [ "$c0" = none ]; then sleep 0.5; continue; fi
  if awk -v x="$g0" -v w="$RADAR_W" 'BEGIN { exit !(x < w / 2) }'; then k1=Right; s1=1; else k1=Left; s1=-1; fi
  if awk -v x="$c0" -v w="$RADAR_W" 'BEGIN { exit !(x < w / 2) }'; then k2=l; s2=1; else k2=j; s2=-1; fi
  xdotool keydown "$k1" keydown "$k2"
  sleep 1.2
  shot held
  xdotool keyup "$k1" keyup "$k2"
  g1=$(dot_x held "$gold")
  c1=$(dot_x held "$cyan")
  echo "try $try: $k1 gold $g0 -> $g1, $k2 cyan $c0 -> $c1"
  if [ "$g1" != none ] && [ "$c1" != none ] &&
     awk -v a="$g1" -v b="$g0" -v s="$s1" -v c="$c1" -v d="$c0" -v t="$s2" \
       'BEGIN { exit !((a - b) * s >= 3 && (c - d) * t >= 3) }'; then
    moved=$((moved + 1))
    [ "$moved" -eq 1 ] && cp "$WORK/held.png" "$WORK/both_moving.png"
  fi
  [ "$moved" -lt 2 ] || break
  sleep 0.3
done
[ "$moved" -ge 2 ] || fail "the two players' keys did not both move their footballers"

# The statistics page names both sides' players under HOME and AWAY.
press Escape
sleep 0.5
press Down
press Down
press Down
press Return
sleep 0.5
shot statistics
BIG_TOP=$(((WIN_H - $(image_height "$GFX/menubgl.png")) / 2))
n=$(count_pixels statistics 0 $((BIG_TOP + 120)) "$WIN_W" 20 'r > 200 && g > 200 && b > 200')
[ "$n" -ge 40 ] || fail "the statistics page does not name the players ($n pixels)"
press Return

# Quit from the main menu (statistics, about, watch replay, quit): player 2's keys are in
# flikka.xml, player 1's file is untouched.
press Down
press Down
press Down
press Return
wait_exit 15
grep -q '<parameter name="p2_key_left" value="74"/>' "$WORK/config/flikka.xml" ||
  fail "player 2's keys are not in config/flikka.xml: $(cat "$WORK/config/flikka.xml")"
expect_default_settings_file
echo "two_players: all passed"
