# Sound of a match, recorded through SDL's disk audio driver: a CPU-vs-CPU match with an
# attacking side against a defending one (it scores within half a minute), measured with sox:
# the recording is not silent, the kick-off whistle's pitch sounds at the start and the loudest
# second follows the goal within 3 s. A broken device leaves the game silent with one line.
source "$(dirname "$0")/common.bash"

AUDIO="$WORK/audio.raw"
BYTES_PER_SECOND=176400  # 44.1 kHz, 16-bit stereo: what the game asks of the device
RAW=(-t raw -r 44100 -e signed -b 16 -c 2)
WHISTLE_BAND=2800-3200   # Hz, around the whistle's pitch

bytes() { stat -c %s "$AUDIO" 2>/dev/null || echo 0; }
seconds() { awk -v b="$1" -v r="$BYTES_PER_SECOND" 'BEGIN { printf "%.2f", b / r }'; }
# RMS level in dB of a stretch (start, length in s) of the recording, after optional effects.
level() {
  local start=$1 len=$2
  shift 2
  sox "${RAW[@]}" "$AUDIO" -n trim "$start" "$len" "$@" stats 2>&1 | awk '/^RMS lev dB/ { print $4 }'
}

# Sets the five line counts of a formation page, starting on its first line.
set_lines() {
  local moves
  for moves in "$@"; do
    for m in $moves; do press "$m"; done
    press Down
  done
}

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$AUDIO"
make_workdir
classic_rules
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15

# New game: CPU vs CPU, five minutes; home 3-5-2-0-0 (attack), away 0-0-0-5-5 (defence).
press Return
press Down
press Right
press Right
press Down
press Down
press Return
set_lines "Right" "Left" "Left Left" "" "Right Right"
press Return
set_lines "Left Left" "" "Right Right" "Left" "Right"
sleep 0.3
start=$(bytes)
[ "$start" -gt 0 ] || fail "nothing is recorded from the disk audio driver"
press Return

# The referee's console line tells the goal's moment to the recording's byte.
deadline=$((SECONDS + 120))
until grep -q "goal" "$WORK/out.txt"; do
  [ $SECONDS -lt "$deadline" ] || fail "no goal within 120 s"
  sleep 0.02
done
goal=$(bytes)
sleep 5
press Escape
sleep 0.4
press Up
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS after quit"
[ -z "${KEEP_SHOTS:-}" ] || { mkdir -p "$KEEP_SHOTS" && cp "$AUDIO" "$KEEP_SHOTS/"; }

S=$(seconds "$start")
G=$(seconds "$goal")
E=$(seconds "$(bytes)")
echo "recorded ${E} s; match from ${S} s, goal at ${G} s"

# Not silent: the match (crowd, kicks, whistles) is well above the noise floor.
match_db=$(level "$S" "$(awk -v a="$S" -v b="$G" 'BEGIN { print b - a }')")
echo "match RMS ${match_db} dB"
awk -v l="$match_db" 'BEGIN { exit !(l > -40) }' || fail "the match is silent (${match_db} dB)"
peak=$(sox "${RAW[@]}" "$AUDIO" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
awk -v p="$peak" 'BEGIN { exit !(p < -0.1) }' || fail "the mix clips (peak ${peak} dB)"

# The kick-off whistle: its band stands out in the match's first second, far above the same
# band a few seconds later.
whistle_db=$(level "$S" 1 sinc "$WHISTLE_BAND")
later_db=$(level "$(awk -v s="$S" 'BEGIN { print s + 4 }')" 1 sinc "$WHISTLE_BAND")
echo "whistle band: ${whistle_db} dB at the kick-off, ${later_db} dB later"
awk -v w="$whistle_db" -v l="$later_db" 'BEGIN { exit !(w > -35 && w > l + 12) }' ||
  fail "no kick-off whistle at ${WHISTLE_BAND} Hz (${whistle_db} dB against ${later_db} dB)"
# Its onset, by tenths of a second: within the match's first half second (the key press that
# starts the match takes a tenth of it).
sox "${RAW[@]}" "$AUDIO" -t dat -r 8000 -c 1 "$WORK/start.dat" trim "$S" 2 sinc "$WHISTLE_BAND" 2>/dev/null
onset=$(awk '!/^;/ && !found { n++; s += $2 * $2; if (n == 800) { b++; if (s / n > 0.0005) { printf "%.1f\n", (b - 1) / 10; found = 1 } n = 0; s = 0 } }' "$WORK/start.dat")
echo "whistle onset ${onset:-none} s into the match"
[ -n "$onset" ] && awk -v o="$onset" 'BEGIN { exit !(o <= 0.5) }' || fail "the kick-off whistle starts late (${onset:-never})"

# The loudest second of the whole recording (1 s windows, 0.1 s apart) lies within 3 s after the goal.
sox "${RAW[@]}" "$AUDIO" -t dat -r 8000 -c 1 "$WORK/all.dat" 2>/dev/null
loudest=$(awk '!/^;/ { n++; s += $2 * $2; if (n == 800) { e[b++] = s; n = 0; s = 0 } }
       END { best = -1; for (i = 0; i + 10 <= b; i++) { w = 0; for (k = 0; k < 10; k++) w += e[i + k]
             if (w > best) { best = w; at = i } } printf "%.1f %.1f\n", at / 10, 10 * log(best / 8000) / log(10) }' "$WORK/all.dat")
read -r loud_at loud_db <<<"$loudest"
echo "loudest second from ${loud_at} s (${loud_db} dB), goal at ${G} s"
awk -v t="$loud_at" -v g="$G" 'BEGIN { exit !(t >= g - 0.2 && t + 1 <= g + 3) }' ||
  fail "the loudest second (from ${loud_at} s) is not within 3 s after the goal (${G} s)"

# A device that cannot be opened: the game plays on silently after one line on standard error.
rm -f "$WORK/out.txt"
export SDL_AUDIODRIVER=no-such-driver
start_game
find_window
wait_for_splash 30
press Return
wait_for_menu 15
press Up
press Return
wait_exit 20
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS without a sound device"
lines=$(grep -c "sound" "$WORK/out.txt" || true)
[ "$lines" -eq 1 ] || fail "expected one line about the missing sound, got $lines"
echo "PASS ($NAME)"
