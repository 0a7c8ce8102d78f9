# The window resized with xdotool: the 800 x 600 picture follows at once, scaled to fit and
# letterboxed, with the menu and then the head-up display and radar at their places in it.
# Alt+Enter switches full screen and its Enter neither opens "new game" nor kicks.
E2E_SCREEN=2000x1200x24
source "$(dirname "$0")/common.bash"

red='r > 180 && g < 90 && b < 90'
black='r < 8 && g < 8 && b < 8'

# Full screen needs a window manager that honours it; a small one runs on the private server.
openbox >/dev/null 2>&1 &
WM_PID=$!
trap 'kill "$WM_PID" 2>/dev/null || true; cleanup' EXIT
sleep 0.5

# The client area's place and size on the screen (a window manager adds a frame around it).
client_geometry() {
  local info
  info=$(xwininfo -id "$WID")
  WIN_X=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
  WIN_Y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
  WIN_W=$(awk '/Width:/ { print $NF }' <<<"$info")
  WIN_H=$(awk '/Height:/ { print $NF }' <<<"$info")
}

make_workdir
start_game
find_window
client_geometry
wait_for_splash 30
press Return
wait_for_menu 15

# Where the picture lands in a window of w x h (smooth scaling): sets SX SY SW SH.
shown_rect() {
  local w=$1 h=$2
  if [ $((w * 600)) -le $((h * 800)) ]; then
    SW=$w
    SH=$(((600 * w + 400) / 800))
  else
    SH=$h
    SW=$(((800 * h + 300) / 600))
  fi
  SX=$(((w - SW) / 2))
  SY=$(((h - SH) / 2))
}

resize_to() {
  xdotool windowsize "$WID" "$1" "$2"
  sleep 1
  client_geometry
  [ "$WIN_W" -eq "$1" ] && [ "$WIN_H" -eq "$2" ] || fail "the window is ${WIN_W}x${WIN_H}, not $1x$2"
  shown_rect "$WIN_W" "$WIN_H"
}

# The "new game" line (picture line 2 of the item list) in red at its scaled place.
menu_scaled() {
  local top scale_top scale_h
  top=$(( (600 - $(image_height "$GFX/menubg.png")) / 2 + ($(image_height "$GFX/font.png") + 4) * 2 + 70 ))
  scale_top=$((SY + top * SH / 600))
  scale_h=$((20 * SH / 600 + 2))
  count_pixels "$1" $((SX + (280 * SW) / 800)) "$scale_top" $(((240 * SW) / 800)) "$scale_h" "$red"
}

for size in "1280 720" "640 480" "1000 1000"; do
  set -- $size
  resize_to "$1" "$2"
  name="menu_${1}x$2"
  shot "$name"
  n=$(menu_scaled "$name")
  [ "$n" -ge 20 ] || fail "no red \"new game\" where the scaled menu puts it in $1x$2 ($n)"
  if [ "$SX" -gt 2 ]; then
    n=$(count_pixels "$name" 0 $((WIN_H / 2)) $((SX - 1)) 1 "$black")
    [ "$n" -eq $((SX - 1)) ] || fail "the bar left of the picture is not black in $1x$2"
  fi
  if [ "$SY" -gt 2 ]; then
    n=$(count_pixels "$name" $((WIN_W / 2)) 0 1 $((SY - 1)) "$black")
    [ "$n" -eq $((SY - 1)) ] || fail "the bar above the picture is not black in $1x$2"
  fi
  echo "$1x$2: picture at $SX,$SY size ${SW}x$SH"
done

# Alt+Enter in the menu: full screen, and "new game" is not opened by its Enter.
xdotool keydown alt keydown Return
sleep 0.2
xdotool keyup Return keyup alt
sleep 1.5
client_geometry
echo "after Alt+Enter: ${WIN_W}x$WIN_H at $WIN_X,$WIN_Y"
[ "$WIN_W" -eq 2000 ] && [ "$WIN_H" -eq 1200 ] || fail "Alt+Enter did not fill the screen (${WIN_W}x$WIN_H)"
shown_rect "$WIN_W" "$WIN_H"
shot fullscreen
n=$(menu_scaled fullscreen)
[ "$n" -ge 20 ] || fail "Alt+Enter reached the menu, or the full-screen picture is not where it should be ($n)"
xdotool keydown alt keydown Return
sleep 0.2
xdotool keyup Return keyup alt
sleep 1.5
resize_to 1000 1000

# Into a match at 1600 x 900: the radar's white frame at its scaled place.
resize_to 1600 900
press Return
press Down; press Down; press Down
press Return
for _ in 1 2 3 4 5; do press Down; done
press Return
for _ in 1 2 3 4 5; do press Down; done
press Return
sleep 1.5
press s                                   # kick off: the restart's fade goes
# Radar frame: picture x 696 .. 780, y 454 .. 580; its left edge at picture y 500. A loaded
# machine runs the fade slowly, so the frame is waited for.
rx=$((SX + 696 * SW / 800))
ry=$((SY + 500 * SH / 600))
deadline=$((SECONDS + 20))
until shot match_1600x900; [ "$(count_pixels match_1600x900 $((rx - 3)) "$ry" 7 1 'r > 200 && g > 200 && b > 200')" -ge 1 ]; do
  [ $SECONDS -lt "$deadline" ] || fail "no white radar frame at its scaled place ($rx, $ry)"
  press s
  sleep 0.5
done
# The score panel's dark background at picture (40, 50), scaled.
n=$(count_pixels match_1600x900 $((SX + 100 * SW / 800)) $((SY + 75 * SH / 600)) 10 4 'r < 90 && g < 110 && b < 110')
[ "$n" -ge 20 ] || fail "no score panel at its scaled place"
xdotool keydown alt keydown Return
sleep 0.2
xdotool keyup Return keyup alt
sleep 1.5
shot match_fullscreen
xdotool keydown alt keydown Return
sleep 0.2
xdotool keyup Return keyup alt
sleep 1

press Escape
sleep 0.3
press Up                                  # quit
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
grep -q 'name="window_width" value="1600"' "$WORK/config/flikka.xml" || fail "the window's size is not kept in flikka.xml"
grep -q 'name="fullscreen" value="false"' "$WORK/config/win32.xml" || fail "full screen left on after two Alt+Enter"
echo "PASS ($NAME)"
