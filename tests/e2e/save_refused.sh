# A write-protected config/win32.xml is left as it is at exit: the game reports that it cannot
# write it on standard error (not standard output), ends with status 1, and still saves
# config/flikka.xml.
source "$(dirname "$0")/common.bash"

make_workdir
cat >"$WORK/config/win32.xml" <<'XML'
<?xml version="1.0"?>
<config>
	<parameter name="key_shoot" value="70"/>
</config>
XML
chmod a-w "$WORK/config/win32.xml"
cp -p "$WORK/config/win32.xml" "$WORK/before.xml"
(cd "$WORK" && exec "$BIN" >"$WORK/stdout.txt" 2>"$WORK/out.txt" </dev/null) &
GAME_PID=$!
find_window
sleep 0.5
press alt+F4
wait_exit 20
[ "$EXIT_STATUS" -eq 1 ] || fail "exit status $EXIT_STATUS, want 1 for a settings file that cannot be written"
grep -qx "Cannot open configuration file for writing" "$WORK/out.txt" || fail "no message on standard error"
! grep -q "Cannot open" "$WORK/stdout.txt" || fail "the message went to standard output"
cmp -s "$WORK/before.xml" "$WORK/config/win32.xml" || fail "the write-protected file was changed"
[ -z "$(find "$WORK/config/win32.xml" -perm /222)" ] || fail "the file's write protection was lifted"
[ -f "$WORK/config/flikka.xml" ] || fail "config/flikka.xml was not saved"
[ "$(ls "$WORK/config")" = "$(printf 'flikka.xml\nwin32.xml')" ] || fail "files left in config/: $(ls "$WORK/config")"
echo "PASS ($NAME)"
