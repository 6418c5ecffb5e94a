#!/bin/sh
# panestow.exe started from the Unix side, as a shell or a desktop starts
# it. Wine turns the Unix command line and file names into Windows text
# through the Unix locale, so Japanese names get through only with a
# Japanese UTF-8 locale on the machine.
#
#   unix_side_test.sh BUILD_DIR SOURCE_DIR argument
#       J1 with a Japanese drawing name holding a blank: the stand-in for
#       Jw_cad gets the name, byte for byte in Shift-JIS, after the restore
#   unix_side_test.sh BUILD_DIR SOURCE_DIR folder
#       the exe in a folder whose Japanese name has 0x5C trail bytes reads
#       its slot file and its settings and writes its settings there
#
# It runs in the test sandbox's prefix only: the restore rewrites Jw_cad's
# keys.
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
case=$3
run="$build/wine-run"
prefix=$("$source/tools/wine-sandbox" "$build/wine-sandbox" env | sed -n 's/^WINEPREFIX=//p')
if [ ! -f "$prefix/drive_c/panestow-test-sandbox" ]; then
  echo "refusing to run: $prefix is not a prefix of the test sandbox" >&2
  exit 1
fi

. "$source/tests/common/check.sh"

# Shift-JIS bytes of a UTF-8 text, as a file.
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932 >"$2"; }

reg() { "$run" reg "$@" </dev/null >/dev/null 2>&1; }

# Jw_cad's Dialog key as slot 1's file (below) leaves it: Left = 120.
restored() {
  "$run" reg query 'HKCU\Software\Jw_cad\jw_win\Dialog' /v Left </dev/null 2>/dev/null | tr -d '\r' |
    grep -q 'REG_DWORD *0x78$'
}

put_slot_file() {
  printf '2\r\n[Dialog]\r\n2\r\nCaption\t"restored"\r\nLeft\t120\r\n[UserBar]\r\n1\r\nTop\t-1\r\n' >"$1"
}

work=$(mktemp -d "$build/unix-side.XXXXXX")
cleanup() {
  reg delete 'HKCU\Software\Jw_cad' /f || true
  reg delete 'HKCR\Jwwin.Document' /f || true
  rm -rf "$work" "${folder:-}"
}
trap cleanup EXIT
reg delete 'HKCU\Software\Jw_cad' /f || true
reg add 'HKCU\Software\Jw_cad\jw_win\Dialog' /v Left /t REG_DWORD /d 5 /f

case "$case" in
  argument)
    cp "$build/panestow.exe" "$build/fakecad.exe" "$work/"
    put_slot_file "$work/panestow.rg"
    cad=$("$run" winepath -w "$work/fakecad.exe" </dev/null 2>/dev/null | tr -d '\r')
    reg add 'HKCR\Jwwin.Document\shell\open\command' /ve /d "$cad \"%1\"" /f
    "$run" "$work/panestow.exe" J1 "表 示.jww" </dev/null >/dev/null 2>&1
    check "the restore ran" restored
    i=0
    while [ ! -f "$work/fakecad.log" ] && [ $i -lt 150 ]; do sleep 0.1; i=$((i + 1)); done
    check "Jw_cad was started" test -f "$work/fakecad.log"
    if [ -f "$work/fakecad.log" ]; then
      # What follows the program on its command line.
      head -n 1 "$work/fakecad.log" | tr -d '\r\n' | LC_ALL=C sed 's/^.*fakecad\.exe"\{0,1\}//' >"$work/got"
      sjis ' "表 示.jww"' "$work/want"
      check "the drawing name reached Jw_cad intact" cmp -s "$work/got" "$work/want"
      echo "expected:"; od -An -tx1 "$work/want"
      echo "got:"; od -An -tx1 "$work/got"
    fi
    ;;
  folder)
    # 表 is 95 5C in Shift-JIS, ソ 83 5C: each ends in a backslash byte.
    folder="$prefix/drive_c/ソフト表"
    rm -rf "$folder"
    mkdir -p "$folder"
    cp "$build/panestow.exe" "$folder/"
    put_slot_file "$folder/panestow.rg"
    printf '[Form]\r\nF1_X=32\r\n[Sets]\r\nTit1="表題"\r\n' | iconv -f UTF-8 -t CP932 >"$folder/panestow.ini"
    "$run" 'C:\ソフト表\panestow.exe' S1 </dev/null >"$work/out" 2>&1 || true
    check "the slot file beside the exe was read and restored" restored
    tr -d '\r' <"$folder/panestow.ini" | iconv -f CP932 -t UTF-8 >"$work/ini" 2>/dev/null || true
    check "the settings beside the exe were read and written back" \
      sh -c "grep -qx 'F1_X=32' '$work/ini' && grep -qx 'Tit1=\"表題\"' '$work/ini' && grep -qx 'F2_Y=109' '$work/ini'"
    ls -A "$folder" >"$work/files"
    # The restore's undo file and its history land beside the exe too, and
    # nothing else does.
    printf 'panestow.exe\npanestow.history\npanestow.ini\npanestow.rg\npanestow.undo.reg\n' >"$work/want"
    check "only the undo file and the history were added to the folder" cmp -s "$work/files" "$work/want"
    ls -A "$folder/panestow.history" >"$work/entries"
    check "the history holds the restore's entry" grep -qx '000001-[0-9]\{8\}-[0-9]\{6\}-restore1\.reg' "$work/entries"
    check "the entry and the undo file are the same bytes" \
      cmp -s "$folder/panestow.undo.reg" "$folder/panestow.history/$(cat "$work/entries")"
    if [ "$fail" -ne 0 ]; then
      echo "wine said:"; cat "$work/out"
      echo "the folder holds:"; cat "$work/files"
      echo "the settings file:"; cat "$work/ini"
    fi
    ;;
  *)
    echo "unknown case $case" >&2
    exit 2
    ;;
esac
exit $fail
