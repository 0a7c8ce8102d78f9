# The splash fades in, Enter fades it out, the main menu shows with "new game" in red, and
# Up then Enter on "quit" ends the game with status 0 and the default settings written.
source "$(dirname "$0")/common.bash"

make_workdir
start_game
find_window
[ "$WIN_W" -eq 800 ] && [ "$WIN_H" -eq 600 ] || fail "window is ${WIN_W}x${WIN_H}, not 800x600"
wait_for_splash 30
press Return
wait_for_menu 15

# The other main-menu items are white on consecutive lines; nothing hidden is drawn.
for line in 3 4 5; do
  n=$(count_pixels menu $((WIN_W / 2 - 120)) "$(($(menu_line_top "$line") + 4))" 240 16 'r > 200 && g > 200 && b > 200')
  [ "$n" -ge 20 ] || fail "menu line $line shows no white text"
done

# Idle CPU in the menu over 5 s (a figure for the report; the loop sleeps between timers).
ticks() { awk '{ print $14 + $15 }' "/proc/$GAME_PID/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
s0=$(date +%s.%N)
sleep 5
t1=$(ticks)
s1=$(date +%s.%N)
echo "idle CPU in the menu: $(awk -v d=$((t1 - t0)) -v hz="$hz" -v a="$s0" -v b="$s1" 'BEGIN { printf "%.1f", 100 * d / hz / (b - a) }') % of one core"

press Up
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
expect_default_settings_file
echo "PASS ($NAME)"
