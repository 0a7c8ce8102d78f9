# Alt+F4 during the splash skips the menu and ends the game normally, settings saved.
source "$(dirname "$0")/common.bash"

make_workdir
start_game
find_window
sleep 0.5
press alt+F4
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after Alt+F4"
expect_default_settings_file
echo "PASS ($NAME)"
