# A settings file with fullscreen "yes" is unusable: the game starts with the defaults (an
# 800 x 600 window) and rewrites the file with them at exit.
source "$(dirname "$0")/common.bash"

make_workdir
cat >"$WORK/config/win32.xml" <<'XML'
<?xml version="1.0"?>
<config>
	<parameter name="h_res" value="1024"/>
	<parameter name="v_res" value="768"/>
	<parameter name="fullscreen" value="yes"/>
	<parameter name="key_shoot" value="70"/>
</config>
XML
start_game
find_window
[ "$WIN_W" -eq 800 ] && [ "$WIN_H" -eq 600 ] || fail "window is ${WIN_W}x${WIN_H}, not the default 800x600"
wait_for_splash 30
press Escape
wait_for_menu 15
press Up
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
expect_default_settings_file
echo "PASS ($NAME)"
