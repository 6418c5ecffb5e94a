# The checks of the shell tests, sourced by them: "check WHAT COMMAND..."
# runs the command, prints "ok: WHAT" or "FAIL: WHAT", and a failure sets
# $fail to 1, for the test's exit status.
fail=0
check() {
  what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what" >&2; fail=1; fi
}
