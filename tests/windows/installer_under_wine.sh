#!/usr/bin/env bash
# The Windows installer under wine, inside the test namespace and an X server (run it through
# scripts/netns-run.sh and xvfb-run): a silent install into a fresh prefix, the installed
# window started from its Start-menu entry against the native zeksim, a picture of it, and a
# silent uninstall. Prints "N passed, N failed"; fails when any check did.
#   usage: installer_under_wine.sh SETUP_EXE ZEKSIM OUTPUT_DIR
set -uo pipefail
setup=$(realpath "$1") sim=$(realpath "$2") out=$(realpath -m "$3")
rm -rf "$out"
mkdir -p "$out"
export WINEPREFIX=$out/prefix WINEDEBUG=-all
trap 'wineserver -k 2>/dev/null; kill "$simPid" 2>/dev/null; wait 2>/dev/null' EXIT

passed=0 failed=0
check() {
  if eval "$2"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1"
  fi
}
# waitFor SECONDS CONDITION: polls the condition until it holds or the time is up.
waitFor() {
  local end=$((SECONDS + $1))
  until eval "$2"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}
reg() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }

wineboot --init >/dev/null 2>&1
wineserver -w
programs="$WINEPREFIX/drive_c/Program Files/zekconfig"
entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/ZEK-Configurator/ZEK-Configurator.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\zekconfig'
version=$(basename "$setup" | sed -n 's/^zekconfig-\(.*\)-setup\.exe$/\1/p')

wine "$setup" /S >"$out/setup.log" 2>&1
wineserver -w
for file in zekconfig.exe zekctl.exe LANG01.ini LANG02.ini MERIDON_Brisklink.ini holvek_zek_config.pdf uninstall.exe; do
  check "installed $file" '[ -f "$programs/$file" ]'
done
check "the Start-menu entry" '[ -f "$entry" ]'
check "Add/Remove Programs lists the version" 'reg "$key" /v DisplayVersion | grep -q "REG_SZ *$version\$"'
check "with the publisher" 'reg "$key" /v Publisher | grep -q "REG_SZ *Holvek\$"'
check "and the icon" 'reg "$key" /v DisplayIcon | grep -q "zekconfig.exe,0\$"'

"$sim" --modules 3 >"$out/zeksim.log" 2>&1 &
simPid=$!
waitFor 30 'grep -q "^zeksim: " "$out/zeksim.log"'
searches() { grep -c '^zeksim: 192\.0\.2\.1:[0-9]* search' "$out/zeksim.log"; }

# Started as the Start-menu entry starts it: in the user's own folder, created on first start.
begin=$(date +%s%N)
wine start /unix "$entry" >"$out/window.log" 2>&1
check "the window searches from the namespace's first address" 'waitFor 60 "[ \$(searches) -ge 1 ]"'
shown=$((($(date +%s%N) - begin) / 1000000))
home=$(find "$WINEPREFIX/drive_c/users" -maxdepth 4 -type d -path '*/AppData/Roaming' | head -n 1)
check "the deferred language call writes the settings file in %APPDATA%\\zekconfig" \
  'waitFor 20 "[ -f \"$home/zekconfig/MERIDON_Brisklink.ini\" ]"'
check "and searches again" 'waitFor 20 "[ \$(searches) -ge 2 ]"'

# What the technician sees: the window, and the tree's count read off it.
picture() {
  xwd -silent -name "MERIDON Brisklink" | xwdtopnm 2>/dev/null | pnmtopng >"$out/windows.png" 2>/dev/null &&
    pnmscale 2 <(pngtopnm "$out/windows.png") 2>/dev/null | tesseract stdin stdout 2>/dev/null >"$out/windows.txt"
}
check "the window lists the three modules" 'waitFor 30 "picture && grep -q \"online: 3\" \"$out/windows.txt\""'
echo "window shown and searching ${shown} ms after the start"

wineserver -k 2>/dev/null
wineserver -w
wine "$programs/uninstall.exe" /S >"$out/uninstall.log" 2>&1
wineserver -w
check "the uninstaller removes the program" '[ ! -e "$programs" ]'
check "and the Start-menu entry" '[ ! -e "$entry" ]'
check "and the Add/Remove Programs entry" '! reg "$key" >/dev/null'
check "the user's settings stay" '[ -f "$home/zekconfig/MERIDON_Brisklink.ini" ]'

echo "installer under wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
