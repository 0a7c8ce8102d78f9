# A missing gfx file ends the game at start-up with a message naming the file and a non-zero
# status; it does not wait for a key without a terminal, and no settings are written.
source "$(dirname "$0")/common.bash"

mkdir -p "$WORK/gfx" "$WORK/config"
cp "$GFX"/*.png "$WORK/gfx/"
rm "$WORK/gfx/menubgl.png"
start_game
wait_exit 30
[ "$EXIT_STATUS" -ne 0 ] || fail "exit status 0 although gfx/menubgl.png is missing"
grep -q "gfx/menubgl.png" "$WORK/out.txt" || fail "the message does not name gfx/menubgl.png"
[ ! -e "$WORK/config/win32.xml" ] || fail "settings were written although start-up failed"
echo "PASS ($NAME)"
