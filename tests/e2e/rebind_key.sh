# A key rebound on the keyboard settings page is in the settings file after quitting.
source "$(dirname "$0")/common.bash"

make_workdir
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
press Down    # options
press Return
press Down    # keyboard settings
press Return
press Down    # switch key
press Down    # shoot key
press Return  # capture
sleep 0.3
shot capture
top=$(menu_line_top 4)
n=$(count_pixels capture $((WIN_W / 2 - 100)) "$top" 200 22 'r > 180 && g < 90 && b < 90')
[ "$n" -ge 10 ] || fail "the captured item is not drawn in red"
press f
sleep 0.3
shot bound
press Up      # switch key
press Up      # back
press Return  # options page
press Up      # back
press Return  # main menu, "options" selected
press Up      # new game
press Up      # quit
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
grep -q 'name="key_shoot" value="70"' "$WORK/config/win32.xml" || fail "key_shoot is not 70 (F) in the file"
grep -q 'name="key_pass" value="83"' "$WORK/config/win32.xml" || fail "key_pass changed"
echo "PASS ($NAME)"
