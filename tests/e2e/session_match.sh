# A whole session: new game with the default settings through both formation pages, the match
# runs with the head-up display and radar, an arrow key moves the selected footballer, Escape
# shows the menu over the frozen match, the statistics page lists its rows, "continue" resumes
# the same match and "quit" ends the game with the settings written.
source "$(dirname "$0")/common.bash"

# Radar (bottom right, 84 x 126, 20 pixels from the edges) and the large menu background.
RADAR_W=84
RADAR_H=126

# Mean radar x of the gold dot (the selected footballer), or "none".
gold_x() {
  "$CONVERT" "$WORK/$1.png" -crop "${RADAR_W}x${RADAR_H}+$((WIN_X + RADAR_X))+$((WIN_Y + RADAR_Y))" +repage -depth 8 txt:- |
    awk -v FS='[(),:]+' 'NR > 1 { split($1, xy, ","); r = $4 + 0; g = $5 + 0; b = $6 + 0
      if (r > 240 && g > 200 && g < 230 && b < 30) { s += xy[1]; n++ } }
      END { if (n >= 12) printf "%.1f\n", s / n; else print "none" }'
}

# Pixels that differ between two screenshots inside a window rectangle (x y w h).
differing() {
  "$CONVERT" "$WORK/$1.png" -crop "$5x$6+$((WIN_X + $3))+$((WIN_Y + $4))" +repage "$WORK/a.png"
  "$CONVERT" "$WORK/$2.png" -crop "$5x$6+$((WIN_X + $3))+$((WIN_Y + $4))" +repage "$WORK/b.png"
  # compare's status says whether the pictures differ; the count is what matters here.
  { compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 >/dev/null || true; } | awk '{ print int($1) }'
}

# Radar dot pixels (pure red, blue or gold) of a screenshot, one "x,y,colour" a line, sorted.
radar_dots() {
  "$CONVERT" "$WORK/$1.png" -crop "${RADAR_W}x${RADAR_H}+$((WIN_X + RADAR_X))+$((WIN_Y + RADAR_Y))" +repage -depth 8 txt:- |
    awk -v FS='[(),:]+' 'NR > 1 { r = $4 + 0; g = $5 + 0; b = $6 + 0
      if ((r == 255 && g == 0 && b == 0) || (r == 0 && g == 0 && b == 255) || (r == 255 && g == 215 && b == 0))
        print $1 "," r "," g "," b }' | sort
}

# Radar dot pixels found in only one of two screenshots: how far the footballers moved.
dots_moved() { comm -3 <(radar_dots "$1") <(radar_dots "$2") | awk 'END { print NR }'; }

# Pure white pixels (text cores) of a window rectangle, one "x,y" a line, sorted.
white_pixels() {
  "$CONVERT" "$WORK/$1.png" -crop "$4x$5+$((WIN_X + $2))+$((WIN_Y + $3))" +repage -depth 8 txt:- |
    awk -v FS='[(),:]+' 'NR > 1 && $4 + 0 >= 250 && $5 + 0 >= 250 && $6 + 0 >= 250 { print $1 }' | sort
}
# Whether two screenshots show the same clock text in the head-up display.
same_clock() {
  local box="$((WIN_W - 86)) 32 56 24"
  [ "$(comm -3 <(white_pixels "$1" $box) <(white_pixels "$2" $box) | awk 'END { print NR }')" -eq 0 ]
}

white='r > 200 && g > 200 && b > 200'
redtext='r > 180 && g < 90 && b < 90'

make_workdir
classic_rules
start_game
find_window
[ "$WIN_W" -eq 800 ] && [ "$WIN_H" -eq 600 ] || fail "window is ${WIN_W}x${WIN_H}, not 800x600"
RADAR_X=$((WIN_W - RADAR_W - 20))
RADAR_Y=$((WIN_H - RADAR_H - 20))
BIG_TOP=$(((WIN_H - $(image_height "$GFX/menubgl.png")) / 2))
BIG_W=$(image_width "$GFX/menubgl.png")
wait_for_splash 30
press Return
wait_for_menu 15

# New game with its defaults: "continue" (fourth item) leads to the home formation page.
press Return
press Down
press Down
press Down
press Return
sleep 0.4
shot home_page
x0=$((WIN_W / 2 - 40))
y0=$((BIG_TOP + 100))
n=$(count_pixels home_page "$x0" $((y0 + 70)) 290 120 'g > 200 && r < 60 && b < 60')
[ "$n" -ge 50 ] || fail "the home formation page shows no green verdict for 4-4-2 ($n)"
n=$(count_pixels home_page "$x0" "$y0" 300 22 "$white")
[ "$n" -ge 50 ] || fail "the home formation page has no header"

# Up from the first line wraps to the confirm item; Enter: the away page.
press Up
press Return
sleep 0.4
shot away_page
n=$(count_pixels away_page "$x0" $((y0 + 70)) 290 120 'g > 200 && r < 60 && b < 60')
[ "$n" -ge 50 ] || fail "the away formation page shows no green verdict for 4-4-2"
[ "$(differing home_page away_page "$x0" "$y0" 300 22)" -gt 20 ] ||
  fail "the away page's header reads like the home page's"

press Up
press Return
# The kick-off fades in; a loaded machine draws it slowly, so wait for the score panel's names.
sleep 4
for _ in $(seq 1 20); do
  shot match
  [ "$(count_pixels match 40 37 160 18 "$white")" -ge 40 ] && [ "$(count_pixels match 40 64 160 18 "$white")" -ge 40 ] && break
  sleep 1
done

# The pitch fills the window; the head-up display names both teams with their scores.
n=$(count_pixels match 0 100 "$WIN_W" 300 'g > r + 30 && g > b + 30')
[ "$n" -ge 150000 ] || fail "the pitch does not fill the window ($n green pixels)"
for y in 37 64; do
  n=$(count_pixels match 40 "$y" 160 18 "$white")
  [ "$n" -ge 40 ] || fail "no team name at y $y of the head-up display"
  n=$(count_pixels match 211 "$y" 20 18 "$white")
  [ "$n" -ge 8 ] || fail "no score at y $y of the head-up display"
done
n=$(count_pixels match $((WIN_W - 86)) 37 56 18 "$white")
[ "$n" -ge 15 ] || fail "no clock in the head-up display"
# The panel lets the grass through (drawn at 70 %): neither its own colour nor grass.
read -r r g b <<<"$(pixel match 100 32)"
[ "$g" -lt 150 ] || fail "the score panel is missing ($r $g $b)"

# The radar: white frame, eleven red and eleven blue dots, the ball in white.
[ "$(pixel match "$RADAR_X" $((RADAR_Y + 10)))" = "255 255 255" ] || fail "no radar frame at the bottom right"
[ "$(pixel match $((RADAR_X + 40)) $((RADAR_Y + RADAR_H / 2)))" = "255 255 255" ] || fail "no halfway line on the radar"
reds=$(count_pixels match $((RADAR_X + 1)) $((RADAR_Y + 1)) $((RADAR_W - 2)) $((RADAR_H - 2)) 'r == 255 && g == 0 && b == 0')
blues=$(count_pixels match $((RADAR_X + 1)) $((RADAR_Y + 1)) $((RADAR_W - 2)) $((RADAR_H - 2)) 'r == 0 && g == 0 && b == 255')
echo "radar: $reds red and $blues blue dot pixels"
[ "$reds" -ge 96 ] && [ "$reds" -le 176 ] || fail "the radar shows $reds red pixels, not eleven dots"
[ "$blues" -ge 112 ] && [ "$blues" -le 176 ] || fail "the radar shows $blues blue pixels, not eleven dots"
# The debug radar at the bottom left (debug information is on by default).
[ "$(pixel match 20 $((RADAR_Y + 10)))" = "255 255 255" ] || fail "no debug radar at the bottom left"

# The home side kicks off: only the pass key (S) is free until the ball moves.
press s
sleep 0.5

# The selected footballer (the gold radar dot) follows a held arrow key. The selection can
# pass to another footballer at any moment, so a few tries are allowed: two must move him.
deadline=$((SECONDS + 30))
until [ "$(shot gold; gold_x gold)" != none ]; do
  [ $SECONDS -lt "$deadline" ] || fail "nobody of the home team was selected within 30 s"
  sleep 0.5
done
moved=0
for try in 1 2 3 4 5; do
  shot before
  xb=$(gold_x before)
  [ "$xb" != none ] || { sleep 0.5; continue; }
  if awk -v x="$xb" -v w="$RADAR_W" 'BEGIN { exit !(x < w / 2) }'; then key=Right; sign=1; else key=Left; sign=-1; fi
  xdotool keydown "$key"
  sleep 1.2
  shot held
  xdotool keyup "$key"
  xa=$(gold_x held)
  echo "try $try: $key, gold dot x $xb -> $xa"
  [ "$xa" != none ] || continue
  if awk -v a="$xa" -v b="$xb" -v s="$sign" 'BEGIN { exit !((a - b) * s >= 4) }'; then moved=$((moved + 1)); fi
  [ "$moved" -lt 2 ] || break
  sleep 0.3
done
[ "$moved" -ge 2 ] || fail "the selected footballer did not follow the arrow keys"

# Play on until the clock has left "1 min" (it stood there before the kick-off), so that a
# new match could not be taken for this one.
deadline=$((SECONDS + 30))
while shot clock && same_clock match clock; do
  [ $SECONDS -lt "$deadline" ] || fail "the clock does not run"
  sleep 1
done

# Escape: the menu over the frozen match with "continue" (red) and "statistics".
press Escape
sleep 0.5
shot paused
sleep 1
shot paused2
n=$(count_pixels paused $((WIN_W / 2 - 120)) "$(menu_line_top 2)" 240 20 "$redtext")
[ "$n" -ge 20 ] || fail "\"continue\" is not the red first item over the match"
for line in 3 4 5 6 7; do
  n=$(count_pixels paused $((WIN_W / 2 - 120)) "$(($(menu_line_top "$line") + 4))" 240 16 "$white")
  [ "$n" -ge 20 ] || fail "menu line $line over the match shows no text (six items expected)"
done
n=$(count_pixels paused 0 0 150 "$WIN_H" 'g > r + 30 && g > b + 30')
[ "$n" -ge 30000 ] || fail "the match is not drawn under the menu"
[ "$(differing paused paused2 0 0 "$WIN_W" "$WIN_H")" -eq 0 ] || fail "the match under the menu is not frozen"

# Statistics: continue, new game, options, statistics.
press Down
press Down
press Down
press Return
sleep 0.4
shot statistics
for row in 0 1 2 3 4 5 6 7; do
  y=$((BIG_TOP + 140 + 20 * row))
  n=$(count_pixels statistics $((WIN_W / 2 - 60)) "$y" 120 18 "$white")
  [ "$n" -ge 15 ] || fail "statistics row $row has no label"
  n=$(count_pixels statistics $((WIN_W / 2 - BIG_W / 2 + 40)) "$y" 40 18 "$white")
  [ "$n" -ge 5 ] || fail "statistics row $row has no home value"
  n=$(count_pixels statistics $((WIN_W / 2 + BIG_W / 2 - 80)) "$y" 40 18 "$white")
  [ "$n" -ge 5 ] || fail "statistics row $row has no away value"
done
n=$(count_pixels statistics $((WIN_W / 2 - 120)) $((BIG_TOP + 345)) 240 20 "$redtext")
[ "$n" -ge 30 ] || fail "no red \"press enter to go back\""

# Back to the menu, up to "continue": the same match goes on from where it stood.
press Return
press Up
press Up
press Up
press Return
sleep 0.15
shot resumed
sleep 1.5
shot running
moved=$(dots_moved resumed running)
echo "radar dot pixels moved in 1.5 s after continue: $moved"
[ "$moved" -gt 20 ] || fail "the match does not run after \"continue\""
# A new match would stand at "1 min" again.
if same_clock match resumed; then fail "\"continue\" started a new match (the clock is back at 1 min)"; fi
n=$(count_pixels running $((WIN_W / 2 - 120)) "$(menu_line_top 2)" 240 20 "$redtext")
[ "$n" -lt 20 ] || fail "the menu is still drawn after \"continue\""

# Escape again, Up from "continue" wraps to "quit".
press Escape
sleep 0.4
press Up
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
expect_default_settings_file
echo "PASS ($NAME)"
