#!/usr/bin/env bash
# flikka and flikka-sim: --help and --version answer without a display and exit 0; an unknown
# option exits 2 with a message; a copy that cannot find its data says where it looked. None of
# these starts the game or writes a settings file.
set -u
build="$1"
version="$3"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Run from an empty folder with no display, so that anything that opens a window fails.
run() { (cd "$tmp/run" && env -u DISPLAY -u WAYLAND_DISPLAY HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/cfg" "$@" \
  >"$tmp/out" 2>"$tmp/err" </dev/null); echo $?; }
mkdir -p "$tmp/run" "$tmp/home"

for program in flikka flikka-sim; do
  rc=$(run "$build/$program" --version)
  [ "$rc" -eq 0 ] || fail "$program --version exited $rc"
  [ "$(cat "$tmp/out")" = "$program $version" ] || fail "$program --version printed '$(cat "$tmp/out")'"
  rc=$(run "$build/$program" --help)
  [ "$rc" -eq 0 ] || fail "$program --help exited $rc"
  grep -q -- "--version" "$tmp/out" || fail "$program --help does not list --version"
done

# Every option that --help lists is described in the man page, so the two cannot drift apart.
src="$2"
for program in flikka flikka-sim; do
  "$build/$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u >"$tmp/options"
  sed 's/\\-/-/g' "$src/packaging/$program.6" >"$tmp/page"
  while read -r option; do
    grep -q -- "$option\b" "$tmp/page" || fail "$program --help lists $option but packaging/$program.6 does not"
  done <"$tmp/options"
done

# The game's help names the folders this copy would use: here FLIKKA_DATA's.
rc=$(run env FLIKKA_DATA="$build" "$build/flikka" --help)
grep -qx "data:     $build" "$tmp/out" || fail "flikka --help does not name the data folder: $(cat "$tmp/out")"
grep -qx "settings: $tmp/cfg/flikka" "$tmp/out" || fail "flikka --help does not name the settings folder"

rc=$(run "$build/flikka" --fullscreen)
[ "$rc" -eq 2 ] || fail "an unknown option exited $rc, want 2"
grep -q 'unknown option "--fullscreen"' "$tmp/err" || fail "unknown option message: $(cat "$tmp/err")"
[ ! -s "$tmp/out" ] || fail "an unknown option printed on stdout"

rc=$(run env FLIKKA_DATA="$tmp/nothing" "$build/flikka")
[ "$rc" -eq 1 ] || fail "missing data exited $rc, want 1"
grep -q "Looked in the working directory $tmp/run and in $tmp/nothing (FLIKKA_DATA)" "$tmp/err" ||
  fail "missing data message: $(cat "$tmp/out" "$tmp/err")"
[ ! -s "$tmp/out" ] || fail "the missing data message went to stdout"

left=$(find "$tmp/run" "$tmp/home" "$tmp/cfg" -mindepth 1 2>/dev/null)
[ -z "$left" ] || fail "files were written: $left"

[ "$failures" -eq 0 ] && echo "command_line: all passed"
exit $((failures > 0))
