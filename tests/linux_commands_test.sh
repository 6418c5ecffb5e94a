#!/bin/sh
# The README's commands for Linux, taken from the README and run as they
# stand, with a throwaway home: its ~/.wine is a prefix this test makes
# for the run, with a saved slot 1 beside the place the commands copy
# panestow.exe to and a stand-in for Jw_cad in Jw_cad's default place. The
# commands' plain start opens the windows, which the test closes as a user
# does; their J1 lines restore the slot and start Jw_cad, the second with
# a Japanese drawing name; the launcher they make restores the slot again
# when a desktop launches it.
#
# Only panestow.exe writes Jw_cad's keys here, in a prefix that exists
# only for this test: HOME, and with it ~/.wine, point into the build
# tree before anything runs.
#
#   linux_commands_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work="$build/linux-commands"
rm -rf "$work"
mkdir -p "$work/home" "$work/cwd/tools"

. "$source/tests/common/check.sh"
. "$source/tests/common/own-prefix.sh"
export HOME="$work/home"
export XDG_DATA_HOME="$HOME/.local/share"
export WINEPREFIX="$HOME/.wine"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset LC_ALL LANG LC_CTYPE 2>/dev/null || true
case "$WINEPREFIX" in
  "$build"/*) ;;
  *) echo "refusing to run: the prefix $WINEPREFIX is not in the build tree" >&2; exit 1 ;;
esac
own_prefix "$work"
wine_ja() { LC_ALL=ja_JP.UTF-8 wine "$@" </dev/null 9>&-; }

sed -n '/^<!-- tests\/linux_commands_test.sh /,/^```$/p' "$source/README.md" | sed '1,2d;$d' >"$work/commands.sh"
echo "the README's commands:"
cat "$work/commands.sh"
grep -q 'J1' "$work/commands.sh" || { echo "FAIL: no commands found in the README" >&2; exit 1; }

drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/JWW" "$drive_c/Tools/Panestow"
cp "$build/fakecad.exe" "$drive_c/JWW/Jw_win.exe"
cad_log="$drive_c/JWW/Jw_win.log"
slot_file() {  # slot_file LEFT
  printf '1\r\n[Dialog]\r\n1\r\nLeft\t%s\r\n' "$1" >"$drive_c/Tools/Panestow/panestow.rg"
}
slot_file 120
cp "$build/panestow.exe" "$work/cwd/"
cp "$source/tools/desktop-entry" "$work/cwd/tools/"

left_is() {  # left_is HEX
  wine_ja reg query 'HKCU\Software\Jw_cad\jw_win\Dialog' /v Left 2>/dev/null | tr -d '\r' | grep -q "REG_DWORD *$1\$"
}
wait_for() {  # wait_for FILE
  i=0
  while [ ! -f "$1" ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
  [ -f "$1" ]
}

(cd "$work/cwd" && exec sh -eu "$work/commands.sh") </dev/null >"$work/commands.log" 2>&1 9>&- &
commands=$!
# The plain start: its main window, closed as a user closes it.
if wine_ja "$build/panestow-ctl.exe" wait-window "Panestow Ver.1.2" 60 >/dev/null 2>&1; then
  echo "ok: the windows opened"
  wine_ja "$build/panestow-ctl.exe" close "Panestow Ver.1.2" >/dev/null 2>&1 || true
else
  echo "FAIL: the windows did not open" >&2
  fail=1
  kill "$commands" 2>/dev/null || true
fi
status=0
wait "$commands" || status=$?
check "the commands ran through" test "$status" -eq 0
check "slot 1 was restored" left_is 0x78
check "Jw_cad was started" wait_for "$cad_log"
# The second J1 line's drawing, as Jw_cad gets it: Shift-JIS. The launch
# does not wait for Jw_cad, whose log may still be the first line's.
printf ' "Z:%s\\図面\\plan 1.jww"' "$(printf '%s' "$HOME" | tr / '\\')" | iconv -f UTF-8 -t CP932 >"$work/want"
got_drawing() {
  head -n 1 "$cad_log" 2>/dev/null | tr -d '\r\n' | LC_ALL=C sed 's/^.*Jw_win\.exe"\{0,1\}//' >"$work/got"
  cmp -s "$work/got" "$work/want"
}
i=0
while ! got_drawing && [ $i -lt 300 ]; do sleep 0.1; i=$((i + 1)); done
check "Jw_cad got the drawing's Windows name" got_drawing
launcher="$XDG_DATA_HOME/applications/panestow-j1.desktop"
check "the launcher was written" test -f "$launcher"
check "the launcher is a valid desktop entry" desktop-file-validate "$launcher"

# The launcher, started as a desktop starts it, restores slot 1 as it is
# now and starts Jw_cad.
rm -f "$cad_log"
slot_file 77
if gio launch "$launcher" </dev/null >"$work/launch.log" 2>&1 9>&-; then
  check "the launcher started Jw_cad" wait_for "$cad_log"
  check "the launcher restored slot 1" left_is 0x4d
else
  echo "FAIL: gio launch failed:" >&2
  cat "$work/launch.log" >&2
  fail=1
fi
if [ "$fail" -ne 0 ]; then
  echo "the commands said:"
  cat "$work/commands.log"
fi
exit $fail
