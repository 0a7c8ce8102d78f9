# Shared by the end-to-end scripts: runs the real game under Xvfb in a scratch folder,
# sends keys with xdotool and reads screenshots with ImageMagick.
# Usage in a script: source this file with the script's own arguments.
#   $1 the game binary, $2 the generated gfx folder, $3 the source folder.

set -euo pipefail

BIN=$(readlink -f "$1")
GFX=$(readlink -f "$2")
SRC=$(readlink -f "$3")
NAME=$(basename "$0" .sh)

# Start again inside a private X server (never the developer's own display).
if [ -z "${FLIKKA_E2E_XVFB:-}" ]; then
  export FLIKKA_E2E_XVFB=1
  exec timeout "${E2E_TIMEOUT:-280}" xvfb-run -a -s "-screen 0 ${E2E_SCREEN:-1024x768x24}" bash "$0" "$@"
fi

# No test plays through the machine's speakers; the sound test chooses its own driver.
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

CONVERT=convert
[ -x /usr/bin/convert ] && CONVERT=/usr/bin/convert
WORK=$(mktemp -d "/tmp/flikka-e2e-$NAME.XXXXXX")
GAME_PID=""
WID=""

cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID" 2>/dev/null || true
    sleep 0.3
    kill -9 "$GAME_PID" 2>/dev/null || true
  fi
  if [ -n "${KEEP_SHOTS:-}" ]; then
    mkdir -p "$KEEP_SHOTS" && cp "$WORK"/*.png "$KEEP_SHOTS"/ 2>/dev/null || true
  fi
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL ($NAME): $*" >&2
  if [ -f "$WORK/out.txt" ]; then
    echo "--- game output:" >&2
    cat "$WORK/out.txt" >&2
  fi
  exit 1
}

# A scratch working folder with gfx/, sfx/ and an empty config/ beside the game.
make_workdir() {
  ln -s "$GFX" "$WORK/gfx"
  [ ! -d "$(dirname "$GFX")/sfx" ] || ln -s "$(dirname "$GFX")/sfx" "$WORK/sfx"
  mkdir -p "$WORK/config"
}

# Tests whose matches need the classic game's play (its quick goals, a selection that stays
# where the keys put it) choose it, as a player would under options / rules.
classic_rules() {
  printf '<?xml version="1.0"?>\n\n<config>\n\t<parameter name="rules" value="classic"/>\n</config>' \
    >"$WORK/config/flikka.xml"
}

start_game() {
  (cd "$WORK" && exec "$BIN" >"$WORK/out.txt" 2>&1 </dev/null) &
  GAME_PID=$!
}

find_window() {
  WID=$(timeout 30 xdotool search --sync --name "Flikka / Trefalik" | head -n 1) || fail "no game window appeared"
  [ -n "$WID" ] || fail "no game window appeared"
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  WIN_X=$X
  WIN_Y=$Y
  WIN_W=$WIDTH
  WIN_H=$HEIGHT
  xdotool windowfocus "$WID" 2>/dev/null || true
}

# Holds a key (or chord such as alt+F4) long enough for several passes of the game loop.
press() {
  xdotool keydown "$1"
  sleep 0.1
  xdotool keyup "$1"
  sleep 0.15
}

shot() {
  import -window root "$WORK/$1.png"
}

# "r g b" of one pixel of a screenshot, in window coordinates.
pixel() {
  "$CONVERT" "$WORK/$1.png" -crop "1x1+$((WIN_X + $2))+$((WIN_Y + $3))" +repage -depth 8 txt:- |
    sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# Counts the pixels of a window rectangle (x y w h) for which the awk condition on r, g, b holds.
count_pixels() {
  local file=$1 x=$2 y=$3 w=$4 h=$5 cond=$6
  "$CONVERT" "$WORK/$file.png" -crop "${w}x${h}+$((WIN_X + x))+$((WIN_Y + y))" +repage -depth 8 txt:- |
    awk -v FS='[(),]+' "NR > 1 { r = \$3 + 0; g = \$4 + 0; b = \$5 + 0; if ($cond) n++ } END { print n + 0 }"
}

# Waits up to $1 seconds for the game to end; its exit status goes to EXIT_STATUS.
wait_exit() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$GAME_PID" 2>/dev/null; do
    [ $SECONDS -lt "$deadline" ] || fail "the game did not end within $1 s"
    sleep 0.1
  done
  EXIT_STATUS=0
  wait "$GAME_PID" || EXIT_STATUS=$?
  GAME_PID=""
}

image_height() { "$CONVERT" "$1" -format '%h' info:; }
image_width() { "$CONVERT" "$1" -format '%w' info:; }

# Waits (up to $1 s) until the splash stands fully faded in at the window's centre.
wait_for_splash() {
  local want got deadline=$((SECONDS + $1))
  local sw sh
  sw=$(image_width "$GFX/flikka.png")
  sh=$(image_height "$GFX/flikka.png")
  want=$("$CONVERT" "$GFX/flikka.png" -crop "1x1+$((sw / 2 - 40))+$((sh / 2))" +repage -depth 8 txt:- |
    sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p')
  while :; do
    shot splash
    got=$(pixel splash $((WIN_W / 2 - 40)) $((WIN_H / 2)))
    if same_colour "$got" "$want"; then return 0; fi
    [ $SECONDS -lt "$deadline" ] || fail "the splash never stood fully visible (centre $got, art $want)"
    sleep 0.3
  done
}

same_colour() {
  local a=($1) b=($2) i
  for i in 0 1 2; do
    local d=$((a[i] - b[i]))
    [ ${d#-} -le 6 ] || return 1
  done
}

# Top edge and height of item line $1 of the item list (the first item is on line 2).
menu_line_top() {
  local bg font
  bg=$(image_height "$GFX/menubg.png")
  font=$(image_height "$GFX/font.png")
  echo $(((WIN_H - bg) / 2 + (font + 4) * $1 + 70))
}

# Waits (up to $1 s) until the main menu's "new game" line shows red text.
wait_for_menu() {
  local deadline=$((SECONDS + $1)) top n
  top=$(menu_line_top 2)
  while :; do
    shot menu
    n=$(count_pixels menu $((WIN_W / 2 - 120)) "$top" 240 20 'r > 180 && g < 90 && b < 90')
    [ "$n" -lt 20 ] || return 0
    [ $SECONDS -lt "$deadline" ] || fail "the main menu with \"new game\" in red did not show"
    sleep 0.3
  done
}

# The settings file as the game writes it with the default settings.
default_settings_text() {
  printf '<?xml version="1.0"?>\n\n<config>\n'
  printf '\t<parameter name="h_res" value="800"/>\n\t<parameter name="v_res" value="600"/>\n'
  printf '\t<parameter name="fullscreen" value="false"/>\n\t<parameter name="radar" value="true"/>\n'
  printf '\t<parameter name="debug_info" value="true"/>\n\t<parameter name="color_depth" value="32"/>\n\n'
  printf '\t<parameter name="key_shoot" value="68"/>\n\t<parameter name="key_pass" value="83"/>\n'
  printf '\t<parameter name="key_thru" value="81"/>\n\t<parameter name="key_switch" value="69"/>\n'
  printf '\t<parameter name="key_cross" value="65"/>\n\t<parameter name="key_left" value="37"/>\n'
  printf '\t<parameter name="key_right" value="39"/>\n\t<parameter name="key_up" value="38"/>\n'
  printf '\t<parameter name="key_down" value="40"/>\n</config>'
}

expect_default_settings_file() {
  local file="$WORK/config/win32.xml"
  [ -f "$file" ] || fail "config/win32.xml was not written"
  local lines
  lines=$(awk 'END { print NR }' "$file")
  [ "$lines" -eq 20 ] || fail "config/win32.xml has $lines lines, not 20"
  diff <(default_settings_text) "$file" >&2 || fail "config/win32.xml differs from the defaults"
}
