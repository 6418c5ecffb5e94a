#!/bin/sh
# The release zip, made as the README says and unpacked: it holds exactly
# panestow.exe, README.txt and LICENSE. The exe is the one built, imports
# only DLLs that come with Windows, carries the version resource of the
# project's version and a manifest that asks for GDI scaling, and stays
# under 512 KB. The readme is UTF-8 with a byte-order mark and CR LF line
# ends, Japanese first, then English; the licence is the repository's, with
# CR LF line ends.
#
#   package_test.sh BUILD_DIR SOURCE_DIR VERSION
set -eu
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
version=$3
zip="$build/panestow-$version-win64.zip"

. "$source/tests/common/check.sh"

rm -f "$zip"
cmake --build "$build" --target package >/dev/null
[ -f "$zip" ] || { echo "FAIL: no $zip" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work/unpacked"
cd "$work/unpacked"

find . -mindepth 1 | sort >"$work/entries"
printf './LICENSE\n./README.txt\n./panestow.exe\n' >"$work/want"
check "the zip holds panestow.exe, README.txt and LICENSE, and nothing else" cmp -s "$work/entries" "$work/want"
[ "$fail" -eq 0 ] || { cat "$work/entries"; exit 1; }

# The exe.
check "the exe is the one built" cmp -s panestow.exe "$build/panestow.exe"
size=$(wc -c <panestow.exe)
echo "panestow.exe: $size bytes"
check "the exe is under 512 KB" test "$size" -lt 524288
x86_64-w64-mingw32-objdump -p panestow.exe | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort >"$work/dlls"
echo "imports:" $(cat "$work/dlls")
system_dlls="advapi32.dll comctl32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll"
only_system_dlls() {
  [ -s "$work/dlls" ] || return 1
  while read -r dll; do
    case " $system_dlls " in *" $dll "*) ;; *) echo "  not a system DLL: $dll"; return 1 ;; esac
  done <"$work/dlls"
}
check "the exe imports only system DLLs" only_system_dlls

# The version resource, as windres reads it back from the exe.
x86_64-w64-mingw32-windres -i panestow.exe -O rc >"$work/resources.rc"
sed -n '/VERSIONINFO/,/^END/p' "$work/resources.rc" >"$work/version.rc"
major=${version%%.*}
rest=${version#*.}
minor=${rest%%.*}
patch=${rest#*.}
check "FILEVERSION $major, $minor, $patch, 0" grep -qx " FILEVERSION $major, $minor, $patch, 0" "$work/version.rc"
check "PRODUCTVERSION $major, $minor, $patch, 0" grep -qx " PRODUCTVERSION $major, $minor, $patch, 0" "$work/version.rc"
check "FileVersion $version.0" grep -q "VALUE \"FileVersion\", \"$version.0\"" "$work/version.rc"
check "ProductVersion $major.$minor" grep -q "VALUE \"ProductVersion\", \"$major.$minor\"" "$work/version.rc"
check "the manifest's version $version.0" grep -q "name=\"\"Panestow\"\" version=\"\"$version.0\"\"" "$work/resources.rc"
# The manifest's window settings, as XML again: DPI-unaware windows whose
# text the system draws at the scaled size.
sed -n '/RT_MANIFEST/,/^END/p' "$work/resources.rc" | sed -n 's/^ *"\(.*\)\\n"$/\1/p' | sed 's/""/"/g' |
  sed -n '/<windowsSettings>/,/<\/windowsSettings>/p' >"$work/settings.xml"
check "the manifest keeps dpiAware false" \
  grep -q '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">false</dpiAware>' "$work/settings.xml"
check "the manifest asks for gdiScaling" \
  grep -q '<gdiScaling xmlns="http://schemas.microsoft.com/SMI/2017/WindowsSettings">true</gdiScaling>' "$work/settings.xml"

# The readme.
check "the readme starts with a UTF-8 byte-order mark" \
  test "$(head -c 3 README.txt | od -An -tx1 | tr -d ' ')" = efbbbf
check "the readme is UTF-8" sh -c 'iconv -f UTF-8 -t UTF-8 README.txt >/dev/null'
lines=$(tr -cd '\n' <README.txt | wc -c)
crlf=$(grep -c "$(printf '\r')\$" README.txt || true)
lone_cr=$(tr -d '\n' <README.txt | tr -cd '\r' | wc -c)
check "every line of the readme ends in CR LF ($crlf of $lines)" test "$lines" -gt 0 -a "$crlf" -eq "$lines" -a "$lone_cr" -eq "$lines"
check "the readme names the version" sh -c "head -n 1 README.txt | grep -q 'Panestow $version'"
ja=$(grep -n '^ 日本語' README.txt | head -n 1 | cut -d: -f1)
en=$(grep -n '^ English' README.txt | head -n 1 | cut -d: -f1)
check "the readme is Japanese first, then English" test -n "$ja" -a -n "$en" -a "${ja:-0}" -lt "${en:-0}"

# The licence.
check "the licence is the repository's, with CR LF" sh -c "tr -d '\r' <LICENSE | cmp -s - '$source/LICENSE' &&
  test \$(grep -c \"\$(printf '\r')\\\$\" LICENSE) -eq \$(wc -l <LICENSE)"
check "the licence is MIT, by Panestow developers" sh -c "grep -q '^MIT License' LICENSE && grep -q 'Copyright (c) .* Panestow developers' LICENSE"
exit $fail
