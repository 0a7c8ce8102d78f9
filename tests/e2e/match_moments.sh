# The moments of a match in the real game: at kick-off a prompt names the pass key in gold and
# goes once the ball is played; at half time a card stands over the match until the pass key,
# and then the menu appears as at any half time, "continue" in red.
E2E_TIMEOUT=800
source "$(dirname "$0")/common.bash"

dark='r < 60 && g < 80 && b < 90'
white='r > 200 && g > 200 && b > 200'
gold='r > 240 && g > 200 && g < 230 && b < 30'
redtext='r > 180 && g < 90 && b < 90'

make_workdir
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
# New game with the defaults: the human plays the home side, which kicks off.
for k in Return Down Down Down Return Up Return Up Return; do press $k; done
sleep 4

PROMPT="$((WIN_W / 2 - 180)) $((WIN_H - 80)) 360 34"
shot prompt
[ "$(count_pixels prompt $PROMPT "$dark")" -ge 8000 ] || fail "no restart prompt panel at kick-off"
[ "$(count_pixels prompt $PROMPT "$gold")" -ge 10 ] || fail "the prompt shows no key in gold"
press s
sleep 1.5
shot played
[ "$(count_pixels played $PROMPT "$gold")" -lt 3 ] || fail "the prompt stays after the kick-off"

# Half time of a 5-minute match: about 150 s of play and the stoppages (longer on a busy machine,
# where the game falls behind the clock). The card is dark across its middle, where neither the
# pitch nor the menu is.
CARD_Y=$(((WIN_H - 380) / 2))
TITLE="$((WIN_W / 2 - 100)) $((CARD_Y + 16)) 200 28"
deadline=$((SECONDS + 700))
until shot card && [ "$(count_pixels card $((WIN_W / 2 - 240)) $((CARD_Y + 190)) 480 60 "$dark")" -ge 24000 ]; do
  [ $SECONDS -lt "$deadline" ] || fail "no half-time card"
  sleep 1
done
sleep 1
shot card
[ "$(count_pixels card $TITLE "$white")" -ge 40 ] || fail "the card has no title"
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
