# The installed game: `cmake --install` into a scratch prefix, started from / with its settings
# folder in a scratch XDG_CONFIG_HOME. It finds its data beside itself, reaches the menu, quits,
# and leaves the settings there and nowhere else. The installed flikka-sim --help works too.
source "$(dirname "$0")/common.bash"

BUILD=$(dirname "$GFX")
PREFIX="$WORK/prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.txt" || fail "cmake --install failed: $(cat "$WORK/install.txt")"
[ -x "$PREFIX/bin/flikka" ] && [ -f "$PREFIX/share/flikka/gfx/pitch.png" ] || fail "the prefix lacks the game or its data"

export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config-home"
unset XDG_DATA_HOME FLIKKA_DATA
mkdir -p "$HOME"
touch "$WORK/before"
sleep 1  # so that anything written later is newer by the file system's clock too

(cd / && exec "$PREFIX/bin/flikka-sim" --help >"$WORK/sim.txt" 2>&1 </dev/null) || fail "installed flikka-sim --help failed: $(cat "$WORK/sim.txt")"
grep -q -- "--length" "$WORK/sim.txt" || fail "installed flikka-sim --help does not list --length"

(cd / && exec "$PREFIX/bin/flikka" >"$WORK/out.txt" 2>&1 </dev/null) &
GAME_PID=$!
find_window
wait_for_splash 30
press Return
wait_for_menu 15
press Up
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"

settings="$XDG_CONFIG_HOME/flikka/win32.xml"
[ -f "$settings" ] || fail "no settings file in XDG_CONFIG_HOME/flikka"
diff <(default_settings_text) "$settings" >&2 || fail "win32.xml in XDG_CONFIG_HOME differs from the defaults"
[ -f "$XDG_CONFIG_HOME/flikka/flikka.xml" ] || fail "no flikka.xml in XDG_CONFIG_HOME/flikka"

# Nothing else written: not in /, not under HOME, not in the installed tree.
[ ! -e /config ] || fail "the installed game made /config"
new_root=$(find / -maxdepth 1 -type f -newer "$WORK/before" 2>/dev/null)
[ -z "$new_root" ] || fail "new files in /: $new_root"
new_home=$(find "$HOME" -mindepth 1 2>/dev/null)
[ -z "$new_home" ] || fail "the game wrote under HOME: $new_home"
new_prefix=$(find "$PREFIX" -newer "$WORK/before" 2>/dev/null)
[ -z "$new_prefix" ] || fail "the game wrote into its installed tree: $new_prefix"
written=$(cd "$XDG_CONFIG_HOME" && find . -type f | sort | tr '\n' ' ')
[ "$written" = "./flikka/flikka.xml ./flikka/win32.xml " ] || fail "unexpected files in XDG_CONFIG_HOME: $written"
echo "PASS ($NAME)"
