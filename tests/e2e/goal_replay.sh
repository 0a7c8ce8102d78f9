# CPU against CPU, 4-4-2 against 4-3-3, scores within seconds: before the kick-off the goal runs
# again at half speed under a yellow REPLAY mark beside the clock; Return skips it and the match
# goes on. The match saved at quit, goal replay and all, plays back headless as it was played.
source "$(dirname "$0")/common.bash"

SIM="$(dirname "$BIN")/flikka-sim"
yellow='r > 200 && g > 200 && b < 80'
dark='r < 40 && g < 40 && b < 40'
# The mark's box: under the clock panel at the top right.
box() { echo "$((WIN_W - 240)) 60 230 80"; }
mark_shown() {
  local y d
  y=$(count_pixels "$1" $(box) "$yellow")
  d=$(count_pixels "$1" $(box) "$dark")
  [ "$y" -ge 30 ] && [ "$d" -ge 1000 ]
}

make_workdir
classic_rules
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
press Return                              # new game page
press Down; press Right; press Right      # CPU vs CPU
press Down; press Down
press Return                              # home formation page: 4-4-2
for _ in 1 2 3 4 5; do press Down; done
press Return                              # away formation page
press Right; press Down; press Down; press Left   # 4-3-3
press Down; press Down; press Down
press Return                              # the match starts

deadline=$((SECONDS + 90))
until shot replay1 && mark_shown replay1; do
  [ $SECONDS -lt "$deadline" ] || fail "no REPLAY mark within 90 s of the kick-off"
  sleep 0.3
done
started=$SECONDS
sleep 2
shot replay2
mark_shown replay2 || fail "the REPLAY mark went after two seconds (the replay lasts sixteen)"
changed=$("$CONVERT" "$WORK/replay1.png" "$WORK/replay2.png" -compose difference -composite -threshold 10% \
  -format '%[fx:int(mean*w*h)]' info:)
[ "$changed" -ge 500 ] || fail "the replay does not move ($changed pixels changed in two seconds)"
press Return
sleep 0.5
shot skipped
if mark_shown skipped; then fail "Return did not skip the replay"; fi
echo "goal replay seen $((SECONDS - started)) s before it was skipped"

sleep 3
shot after
changed=$("$CONVERT" "$WORK/skipped.png" "$WORK/after.png" -compose difference -composite -threshold 10% \
  -format '%[fx:int(mean*w*h)]' info:)
[ "$changed" -ge 500 ] || fail "the match does not go on after the skipped replay"

press Escape
sleep 0.4
press Up                                  # quit
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
"$SIM" --replay "$WORK/replays/last.flr" >"$WORK/sim.txt" 2>"$WORK/sim.err" ||
  fail "flikka-sim --replay exited $?: $(cat "$WORK/sim.err")"
grep -Eq '^(upper|lower) goal$' "$WORK/sim.txt" || fail "the saved match has no goal"
echo "PASS ($NAME)"
