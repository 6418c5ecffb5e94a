# A private Xvfb display for a shell test that runs a Wine prefix of its
# own, sourced by it: a second prefix's desktop process on the sandbox's
# display would slow every later program there by a second or two.
# start_display sets DISPLAY; stop_display ends the server.
start_display() {
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" </dev/null >/dev/null 2>&1 9>&- &
  xvfb_pid=$!
  i=0
  while [ ! -s "$display_file" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  if [ ! -s "$display_file" ]; then
    rm -f "$display_file"
    echo "Xvfb did not start" >&2
    return 1
  fi
  DISPLAY=":$(tr -d ' \n' <"$display_file")"
  export DISPLAY
  rm -f "$display_file"
}

stop_display() {
  [ -z "${xvfb_pid:-}" ] || kill "$xvfb_pid" 2>/dev/null || true
}
