# A new match starts from the formation pages; Escape pauses it under the menu, which now
# offers "continue" (selected) and "statistics"; "continue" resumes and "quit" ends the game.
source "$(dirname "$0")/common.bash"

red='r > 180 && g < 90 && b < 90'
white='r > 200 && g > 200 && b > 200'

make_workdir
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
press Return                              # new game page
press Down; press Down; press Down
press Return                              # home formation page
for _ in 1 2 3 4 5; do press Down; done
press Return                              # away formation page
for _ in 1 2 3 4 5; do press Down; done
press Return                              # the match starts
sleep 2
shot match
top=$(menu_line_top 2)
n=$(count_pixels match $((WIN_W / 2 - 120)) "$top" 240 20 "$red")
[ "$n" -lt 20 ] || fail "the menu is still drawn after the match started"

# CPU while the match runs (a figure for the report).
ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
t0=$(ticks)
sleep 3
t1=$(ticks)
echo "CPU during the match: $(awk -v d=$((t1 - t0)) -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.1f", 100 * d / hz / 3 }') % of one core"

press Escape
sleep 0.5
shot pause
n=$(count_pixels pause $((WIN_W / 2 - 120)) "$top" 240 20 "$red")
[ "$n" -ge 20 ] || fail "no red \"continue\" on the first menu line after Escape"
for line in 3 4 5 6 7; do
  n=$(count_pixels pause $((WIN_W / 2 - 120)) "$(($(menu_line_top "$line") + 4))" 240 16 "$white")
  [ "$n" -ge 20 ] || fail "menu line $line is empty over the paused match (six items expected)"
done
press Return                              # continue
sleep 1
shot resumed
n=$(count_pixels resumed $((WIN_W / 2 - 120)) "$top" 240 20 "$red")
[ "$n" -lt 20 ] || fail "the menu stayed after \"continue\""
kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended during the match"

press Escape
sleep 0.3
press Up                                  # quit
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
expect_default_settings_file
echo "PASS ($NAME)"
