#!/bin/sh
# The tests that rewrite Jw_cad's keys refuse to run in a Wine prefix that
# the test sandbox did not make: in a fresh, unmarked prefix holding a
# Jw_cad key (as a user's own prefix does), they fail with the refusal and
# the key is still there afterwards.
#
#   sandbox_guard_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$build/unmarked-prefix
rm -rf "$work"
mkdir -p "$work/prefix"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
. "$source/tests/common/own-prefix.sh"
own_prefix "$work"
wine_ja() { LC_ALL=ja_JP.UTF-8 wine "$@" </dev/null 9>&-; }

wine_ja reg add 'HKCU\Software\Jw_cad\jw_win\Dialog' /v Left /t REG_DWORD /d 77 /f >/dev/null 2>&1

fail=0
for run in "tests/wine_tests.exe --gtest_filter=WinLayoutTest.*:WinFormsTest.*" \
           "e2e_tests.exe --gtest_filter=WindowsTest.RestoreAnsweredYesRewritesTheKeysAndReports"; do
  set -- $run
  exe=$1
  shift
  if wine_ja "$build/$exe" "$@" >"$work/out.txt" 2>&1; then
    echo "FAIL: $exe ran in an unmarked prefix" >&2
    fail=1
  elif ! grep -q "refusing to run" "$work/out.txt"; then
    echo "FAIL: $exe failed without the refusal:" >&2
    cat "$work/out.txt" >&2
    fail=1
  else
    echo "$exe refused, as it should:"
    grep -m1 "refusing to run" "$work/out.txt" | tr -d '\r'
  fi
done

if wine_ja reg query 'HKCU\Software\Jw_cad\jw_win\Dialog' /v Left 2>/dev/null | tr -d '\r' | grep -q 'REG_DWORD *0x4d'; then
  echo "the user's Jw_cad key is still there"
else
  echo "FAIL: the Jw_cad key of the unmarked prefix is gone or changed" >&2
  fail=1
fi
exit $fail
