# A match played with keys is recorded: "watch replay" over the paused match plays it with its
# bar of keys; leaving the game saves replays/last.flr and a dated copy, and flikka-sim --replay
# of that file reproduces the match's score, hash and referee lines. A damaged file is refused
# by "watch replay" with a page that says why.
source "$(dirname "$0")/common.bash"

SIM="$(dirname "$BIN")/flikka-sim"
[ -x "$SIM" ] || fail "no flikka-sim beside the game"
white='r > 200 && g > 200 && b > 200'
red='r > 180 && g < 90 && b < 90'

make_workdir
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
press Return                              # new game page: home team vs CPU, 5 minutes
press Down; press Down; press Down
press Return                              # home formation page
for _ in 1 2 3 4 5; do press Down; done
press Return                              # away formation page
for _ in 1 2 3 4 5; do press Down; done
press Return                              # the match starts
sleep 1.5
# The human kicks off and then runs and passes about.
for dir in Up Left Up Right Down Up; do
  press s
  xdotool keydown "$dir"; sleep 0.8; xdotool keyup "$dir"
  press d
done
press Escape
sleep 0.5
press Up; press Up                        # from "continue" up to "watch replay"
press Return
sleep 1.5
shot viewer
bar_top=$((WIN_H - 24))
n=$(count_pixels viewer 0 "$bar_top" "$WIN_W" 24 "$white")
[ "$n" -ge 200 ] || fail "no bar of keys at the bottom while watching the replay ($n white pixels)"
n=$(count_pixels viewer 0 "$bar_top" "$WIN_W" 24 'r < 40 && g < 40 && b < 40')
[ "$n" -ge $((WIN_W * 10)) ] || fail "the bar is not on a dark strip ($n dark pixels)"
press d                                   # double speed
press space                               # pause
press Escape                              # back to the menu over the match
sleep 0.5
shot menu_again
n=$(count_pixels menu_again $((WIN_W / 2 - 120)) "$(menu_line_top 7)" 240 20 "$red")
[ "$n" -ge 20 ] || fail "the menu does not come back with \"watch replay\" selected"
press Down                                # quit: the match is left and saved
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"

[ -f "$WORK/replays/last.flr" ] || fail "no replays/last.flr after leaving the match"
copies=$(find "$WORK/replays" -name '20*.flr' | wc -l)
[ "$copies" -eq 1 ] || fail "want one dated copy, found $copies"

"$SIM" --replay "$WORK/replays/last.flr" >"$WORK/sim.txt" 2>"$WORK/sim.err" ||
  fail "flikka-sim --replay exited $?: $(cat "$WORK/sim.err")"
referee='^(left out|right out|upper goal|lower goal|upper corner|lower corner)$'
diff <(grep -E "$referee" "$WORK/out.txt") <(grep -E "$referee" "$WORK/sim.txt") >&2 ||
  fail "the replay's referee lines differ from the match's"
grep -q '^trajectory hash [0-9a-f]\{16\}$' "$WORK/sim.txt" || fail "no trajectory hash from flikka-sim"
echo "replayed: $(grep -E "^Supermen Utd [0-9]+ - [0-9]+ Lilac City$" "$WORK/sim.txt"), $(grep "^trajectory hash" "$WORK/sim.txt")"

# One byte flipped in the middle: the game refuses it and says why.
size=$(stat -c %s "$WORK/replays/last.flr")
printf '\xff' | dd of="$WORK/replays/last.flr" bs=1 seek=$((size / 2)) conv=notrunc 2>/dev/null
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
press Up; press Up                        # from "new game" up to "watch replay"
press Return
sleep 0.5
shot refused
n=$(count_pixels refused $((WIN_W / 2 - 150)) $(( $(menu_line_top 0) + 10 )) 300 30 "$red")
[ "$n" -ge 50 ] || fail "no red \"cannot play the replay\" title ($n red pixels)"
grep -q "Cannot play the replay replays/last.flr: corrupt" "$WORK/out.txt" ||
  fail "the console does not say why: $(cat "$WORK/out.txt")"
press Return                              # back to the menu
press Down                                # quit
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after the refused replay"
echo "PASS ($NAME)"
