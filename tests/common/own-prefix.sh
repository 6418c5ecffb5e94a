# A Wine prefix of a shell test's own, sourced by the test. The caller
# exports WINEPREFIX (a folder in the build tree) and the other Wine
# variables; "own_prefix WORK" then makes the prefix on a private Xvfb
# display and, when the test ends, stops its server and the display and
# removes WORK. A second prefix's desktop process on the sandbox's display
# would slow every later program there.
own_prefix() {
  own_work=$1
  trap 'wineserver -k 2>/dev/null || true; [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$own_work"' EXIT
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" </dev/null >/dev/null 2>&1 9>&- &
  xvfb_pid=$!
  i=0
  while [ ! -s "$display_file" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  DISPLAY=":$(tr -d ' \n' <"$display_file")"
  export DISPLAY
  [ -s "$display_file" ] || { rm -f "$display_file"; echo "Xvfb did not start" >&2; return 1; }
  rm -f "$display_file"
  # Every stream of the server and of Wine's services goes to /dev/null:
  # inherited, they would hold the test runner's pipes open. Without a
  # window manager Wine waits for one whenever a window hides.
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1 9>&-
  LC_ALL=ja_JP.UTF-8 wine wineboot -i </dev/null >/dev/null 2>&1 9>&-
  LC_ALL=ja_JP.UTF-8 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&-
}
