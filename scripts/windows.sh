#!/usr/bin/env bash
# The Windows build: Qt for Windows from Debian's own source (once per machine, cached),
# then zekconfig.exe, zekctl.exe, zeksim.exe and the tests, cross-compiled with Debian's
# mingw-w64 and linked statically, and the installer made with NSIS. Everything then runs
# under wine: the core, ctl and seam tests and the fuzz corpora without any network, the
# window's GUI tests, zekctl.exe and the installed window against the simulator inside a
# private network namespace. Prints "N passed, N failed" for each part and fails when any
# did.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
started=$(date +%s)

fail() {
  echo "windows: $*" >&2
  exit 1
}

# tzdata: the zekctl check sets the PC clock in named time zones. dpkg-dev unpacks Qt's
# source. x11-apps, netpbm and tesseract: the installer check's picture of the window, and
# reading off it what the window lists.
scripts/deps.sh g++-mingw-w64-x86-64-posix wine wine64 tzdata nsis dpkg-dev \
  x11-apps netpbm tesseract-ocr tesseract-ocr-eng ||
  fail "step 'packages': the Debian packages could not be installed"

qt=$(scripts/qt-windows.sh | tail -n 1) || exit 1

build=build/windows
# The logs sit beside the build folders, which a fresh checkout does not have yet.
mkdir -p build
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DZEK_BENCH=OFF -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >"$build.configure.log" 2>&1 ||
  fail "step 'configure': the cross build does not configure (see $build.configure.log)"
cmake --build "$build" -j "$(nproc)" >"$build.build.log" 2>&1 ||
  fail "step 'build': the cross build failed (see $build.build.log)"

# The native peer and the manual: the simulator and the PDF come from a native release build.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DZEK_BENCH=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target zeksim zek_manual >build/release.build.log 2>&1 ||
  fail "step 'native build': zeksim and the manual did not build (see build/release.build.log)"

export WINEPREFIX="$top/$build/wineprefix" WINEDEBUG=-all
# Wine's server makes the sockets of its programs, in the network namespace it was started
# in: nothing of wine may ever start outside one. A fresh prefix takes a while to create;
# it is made once. Its registry is written only when its server ends: a server killed
# before that (a later "wineserver -k" waits ten seconds, then kills) leaves a prefix
# without the network services, where every program sees no interface at all. So the
# server is waited for (a bounded while), and a prefix without a registry is made again.
if [ ! -s "$WINEPREFIX/system.reg" ]; then
  rm -rf "$WINEPREFIX"
  unshare -rn bash -c 'wineboot --init >/dev/null 2>&1; timeout 300 wineserver -w' || true
  grep -q 'Services\\\\nsiproxy\]' "$WINEPREFIX/system.reg" 2>/dev/null ||
    fail "step 'wine prefix': wineboot made no complete prefix in $WINEPREFIX"
fi

# A bare Windows has only its system libraries: a program may import nothing else, that is
# nothing that a fresh Windows (here wine's) lacks in its system folder, besides the API sets
# (api-ms-win-*) that the loader of every Windows 10 resolves itself.
system32=$WINEPREFIX/drive_c/windows/system32
for exe in src/ctl/zekctl.exe src/gui/zekconfig.exe; do
  foreign=""
  for dll in $(x86_64-w64-mingw32-objdump -p "$build/$exe" | sed -n 's/^\tDLL Name: //p'); do
    case ${dll,,} in api-ms-win-*) continue ;; esac
    [ -e "$system32/${dll,,}" ] || foreign="$foreign $dll"
  done
  [ -z "$foreign" ] || fail "$(basename "$exe") needs libraries a bare Windows lacks:$foreign"
done

status=0
# A Linux path as wine's Windows programs name it.
winpath() { echo "Z:$(sed 's|/|\\|g' <<<"$1")"; }
# summary PART LOG...: adds up GoogleTest's or Qt Test's closing lines of the logs.
summary() {
  local part=$1 passed=0 failed=0 log p f
  shift
  for log in "$@"; do
    p=$(sed -n -e 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\.$/\1/p' -e 's/^Totals: \([0-9]*\) passed, .*/\1/p' "$log")
    f=$(sed -n -e 's/^ *\([0-9]*\) FAILED TESTS\{0,1\}$/\1/p' -e 's/^Totals: [0-9]* passed, \([0-9]*\) failed.*/\1/p' "$log")
    grep -e '^\[  FAILED  \] [A-Za-z0-9_.]*$' -e '^FAIL!  :' "$log" || true
    # A program that ended without its closing line counts as one failure.
    [ -n "$p$f" ] || { echo "windows: $(basename "$log" .log) ended without a result"; f=1; }
    passed=$((passed + ${p:-0})) failed=$((failed + ${f:-0}))
  done
  echo "windows: $part under wine: $passed passed, $failed failed"
  [ "$passed" -gt 0 ] && [ "$failed" -eq 0 ] || status=1
}

# Wine's server can hold a program's output pipe open after the program ended: its output
# goes to files.
for tests in core_tests ctl_tests windows_tests; do
  unshare -rn wine "$build/tests/$tests.exe" >"$build/$tests.raw" 2>&1 || true
  tr -d '\r' <"$build/$tests.raw" >"$build/$tests.log"
  summary "$tests" "$build/$tests.log"
done

# The window's GUI tests (and the simulator's), the same sources as on Linux, with the
# offscreen platform against the simulator inside the namespace. The offscreen platform
# draws with FreeType from the fonts it is pointed to: the same DejaVu as on Linux. Wine
# keeps Qt's variables of the Linux side away from Windows programs, so they are set on
# the Windows side.
logs=()
for exe in "$build"/tests/gui_test_*.exe "$build"/tests/sim_test_*.exe; do
  log=$build/$(basename "$exe" .exe).log
  rm -f "$log.raw"
  # A loaded machine's wine now and then fails to start a program at all ("ShellExecuteEx
  # failed"), leaving no log: that start is tried once more.
  for attempt in 1 2; do
    scripts/netns-run.sh bash -c 'wineserver -k 2>/dev/null
      timeout 600 wine cmd /c "set QT_QPA_PLATFORM=offscreen&&set QT_QPA_FONTDIR=$1&&set ZEKSIM=$2&&$3 -o $4,txt"
      wineserver -k 2>/dev/null' _ 'Z:\usr\share\fonts\truetype\dejavu' "$(winpath "$top/$build/src/sim/zeksim.exe")" \
      "$(winpath "$top/$exe")" "$(winpath "$top/$log.raw")" >"$log.wine" 2>&1 || true
    [ -s "$log.raw" ] && break
    echo "windows: wine did not start $(basename "$exe") (attempt $attempt): $(tail -1 "$log.wine")"
  done
  tr -d '\r' <"$log.raw" >"$log" 2>/dev/null || : >"$log"
  logs+=("$log")
done
summary "gui and sim tests" "${logs[@]}"

# The stored fuzz corpora: every bad input must be survived by the Windows build as well.
passed=0 failed=0
for replay in "$build"/fuzz/fuzz_*_replay.exe; do
  target=$(basename "$replay" _replay.exe)
  if unshare -rn wine "$replay" "$(winpath "$top/fuzz/corpus/$target")" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "windows: $target's corpus failed under wine"
  fi
done
echo "windows: fuzz corpora under wine: $passed passed, $failed failed"
[ "$passed" -gt 0 ] && [ "$failed" -eq 0 ] || status=1

echo -n "windows: "
scripts/netns-run.sh tests/windows/zekctl_under_wine.sh "$build/src/ctl/zekctl.exe" build/release/src/sim/zeksim ||
  status=1

# The installer: the programs stripped, beside them the files they look for.
version=$(sed -n 's/^project(zekconfig VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
stage=$build/installer
rm -rf "$stage"
mkdir -p "$stage"
for exe in src/gui/zekconfig.exe src/ctl/zekctl.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$(basename "$exe")" "$build/$exe"
done
cp resources/LANG01.ini resources/LANG02.ini resources/MERIDON_Brisklink.ini resources/windows/zekconfig.ico \
  build/release/holvek_zek_config.pdf "$stage/"
setup=$build/zekconfig-$version-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$top/$stage" -DOUTFILE="$top/$setup" \
  -DSIZE_KB="$(du -sk "$stage" | cut -f1)" resources/windows/zekconfig.nsi >"$build/makensis.log" 2>&1 ||
  fail "step 'installer': makensis failed (see $build/makensis.log)"
echo "windows: $setup ($(du -k "$setup" | cut -f1) KiB), zekconfig.exe $(du -k "$stage/zekconfig.exe" | cut -f1) KiB"

echo -n "windows: "
scripts/netns-run.sh xvfb-run -a -s "-screen 0 1280x1024x24" \
  tests/windows/installer_under_wine.sh "$setup" build/release/src/sim/zeksim "$build/installer-check" ||
  status=1

elapsed=$(($(date +%s) - started))
echo "windows: done in $((elapsed / 60)) min $((elapsed % 60)) s"
exit $status
