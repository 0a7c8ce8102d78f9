# The moments of a match in the real game. The human plays the away side of a CPU attack
# (3-5-2-0-0) against a defence (0-0-0-5-5), which scores within seconds: no prompt while the
# CPU kicks off; the goal banner stands over the fade; then the human must kick off, and a prompt
# names the pass key in gold until the ball is played. At half time a card stands over the match
# with the score and the scorer until the pass key, and then the menu appears as at any half
# time, "continue" in red. The goal's replay is turned off here (goal_replay has its own test):
# it would stand between the goal and the darkest of the fade. KEEP_SHOTS=<dir> keeps the
# screenshots to be looked at.
E2E_TIMEOUT=560
source "$(dirname "$0")/common.bash"

dark='r < 60 && g < 80 && b < 90'
white='r > 200 && g > 200 && b > 200'
gold='r > 240 && g > 200 && g < 230 && b < 30'
redtext='r > 180 && g < 90 && b < 90'

# Mean green (0-255) of a window rectangle: the pitch beside the panels, to see the fade.
mean_green() {
  "$CONVERT" "$WORK/$1.png" -crop "${4}x${5}+$((WIN_X + $2))+$((WIN_Y + $3))" +repage -format '%[fx:int(255*mean.g)]' info:
}

set_lines() {
  local moves
  for moves in "$@"; do
    for m in $moves; do press "$m"; done
    press Down
  done
}

make_workdir
printf '<?xml version="1.0"?>\n\n<config>\n\t<parameter name="rules" value="classic"/>\n\t<parameter name="goal_replays" value="false"/>\n</config>' \
  >"$WORK/config/flikka.xml"
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
# New game: away team vs CPU, five minutes; home 3-5-2-0-0, away 0-0-0-5-5.
press Return
press Down
press Right
press Down
press Down
press Return
set_lines "Right" "Left" "Left Left" "" "Right Right"
press Return
set_lines "Left Left" "" "Right Right" "Left" "Right"
press Return
sleep 1.5

PROMPT="$((WIN_W / 2 - 180)) $((WIN_H - 80)) 360 34"
BESIDE="10 230 80 100"  # pitch left of the banner and the card, clear of the head-up display
# Once the opening fade is over (later on a busy machine).
deadline=$((SECONDS + 10))
until shot cpu_kickoff && [ "$(mean_green cpu_kickoff $BESIDE)" -ge 60 ]; do
  [ $SECONDS -lt "$deadline" ] || fail "no pitch beside the banner's place (green $(mean_green cpu_kickoff $BESIDE))"
  sleep 0.2
done
in_play=$(mean_green cpu_kickoff $BESIDE)
[ "$(count_pixels cpu_kickoff $PROMPT "$gold")" -lt 3 ] || fail "a prompt while the CPU kicks off"

# The referee's "goal" line; then the darkest of the fade, with the banner over it.
deadline=$((SECONDS + 120))
until grep -q "goal" "$WORK/out.txt"; do
  [ $SECONDS -lt "$deadline" ] || fail "no goal within 120 s"
  sleep 0.02
done
BANNER_TOP=110
# Half faded at least (a busy machine may draw few frames of the two-second fade).
deadline=$((SECONDS + 15))
until shot banner && [ "$(mean_green banner $BESIDE)" -lt $((in_play / 2)) ]; do
  [ $SECONDS -lt "$deadline" ] || fail "the picture did not fade after the goal (green $(mean_green banner $BESIDE))"
done
[ "$(count_pixels banner $((WIN_W / 2 - 230)) $((BANNER_TOP + 40)) 460 55 "$dark")" -ge 9000 ] ||
  fail "no banner panel over the fade"
[ "$(count_pixels banner $((WIN_W / 2 - 100)) $((BANNER_TOP + 6)) 200 28 "$redtext")" -ge 40 ] ||
  fail "the banner has no red title"
[ "$(count_pixels banner $((WIN_W / 2 - 200)) $((BANNER_TOP + 44)) 400 26 "$white")" -ge 60 ] ||
  fail "the banner names no scorer"
[ "$(count_pixels banner $((WIN_W / 2 - 200)) $((BANNER_TOP + 74)) 400 20 "$white")" -ge 60 ] ||
  fail "the banner shows no score"

# The human's side kicks off after the goal.
deadline=$((SECONDS + 30))
until shot prompt && [ "$(count_pixels prompt $PROMPT "$gold")" -ge 10 ]; do
  [ $SECONDS -lt "$deadline" ] || fail "no prompt for the human's kick-off after the goal"
  sleep 0.2
done
[ "$(count_pixels prompt $PROMPT "$dark")" -ge 8000 ] || fail "no restart prompt panel at kick-off"
press s
sleep 1.5
shot played
[ "$(count_pixels played $PROMPT "$gold")" -lt 3 ] || fail "the prompt stays after the kick-off"

# Half time of a 5-minute match: about 150 s of play and the stoppages; the human takes every
# restart he is asked to. The card: dark across its middle, where neither pitch nor menu is (a
# fade is too), with a white title and the red line that says how to go on.
CARD_Y=$(((WIN_H - 380) / 2))
CARD_X=$(((WIN_W - 520) / 2))
TITLE="$((WIN_W / 2 - 100)) $((CARD_Y + 16)) 200 28"
card_shown() {
  [ "$(count_pixels "$1" $((WIN_W / 2 - 240)) $((CARD_Y + 190)) 480 60 "$dark")" -ge 24000 ] &&
    [ "$(count_pixels "$1" $TITLE "$white")" -ge 40 ] &&
    [ "$(count_pixels "$1" $((WIN_W / 2 - 150)) $((CARD_Y + 340)) 300 24 "$redtext")" -ge 40 ]
}
restarts=0
deadline=$((SECONDS + 420))
until shot card && card_shown card; do
  [ $SECONDS -lt "$deadline" ] || fail "no half-time card (dark $(count_pixels card $((WIN_W / 2 - 240)) \
    $((CARD_Y + 190)) 480 60 "$dark"), title $(count_pixels card $TITLE "$white"), red line \
    $(count_pixels card $((WIN_W / 2 - 150)) $((CARD_Y + 340)) 300 24 "$redtext"))"
  if [ "$(count_pixels card $PROMPT "$gold")" -ge 10 ]; then
    restarts=$((restarts + 1))
    cp "$WORK/card.png" "$WORK/restart_$restarts.png"
    press s
  fi
  sleep 1
done
echo "restarts taken by the human before half time: $restarts"
sleep 1
shot card
card_shown card || fail "the card went by itself"
[ "$(count_pixels card $((CARD_X + 30)) $((CARD_Y + 104)) 200 20 "$white")" -ge 40 ] ||
  fail "the card names no home scorer"
[ "$(count_pixels card $((WIN_W / 2 - 120)) "$(menu_line_top 2)" 240 20 "$redtext")" -lt 20 ] ||
  fail "the menu came with the card"

press s
sleep 0.5
shot menu_after
[ "$(count_pixels menu_after $((WIN_W / 2 - 120)) "$(menu_line_top 2)" 240 20 "$redtext")" -ge 20 ] ||
  fail "\"continue\" is not the red first item after the card"
[ "$(count_pixels menu_after $TITLE "$white")" -lt 10 ] || fail "the card is still drawn under the menu"

press Up
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
echo "PASS ($NAME)"
