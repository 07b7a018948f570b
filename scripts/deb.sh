#!/usr/bin/env bash
# The Debian package: a release build with Debian's hardening flags, packed by CPack,
# checked by lintian, desktop-file-validate and appstreamcli, then installed with dpkg
# into a scratch root and its zekconfig started from an empty directory.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/deps.sh lintian dpkg-dev file fakeroot

eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
build=build/deb
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DZEK_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$CXXFLAGS $CPPFLAGS" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && fakeroot cpack -G DEB >/dev/null)
deb=$(ls "$build"/zekconfig_*.deb)
echo "--- $deb"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

echo "--- lintian"
lintian --fail-on error --info "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
echo "--- dpkg -i into $root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The scratch root has no libraries of its own; the programs run with the machine's.
dpkg --root="$root" --force-not-root --force-depends --log=/dev/null -i "$deb" >"$root/dpkg.log" 2>&1 ||
  { cat "$root/dpkg.log"; exit 1; }
[ -s "$root/usr/share/bash-completion/completions/zekctl" ] || { echo "zekctl's bash completion is missing"; exit 1; }
desktop-file-validate "$root/usr/share/applications/com.example.zekconfig.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/com.example.zekconfig.metainfo.xml"
empty=$(mktemp -d)
trap 'rm -rf "$root" "$empty"' EXIT
(cd "$empty" && "$root/usr/bin/zekconfig" --version)
echo "--- the installed window from an empty directory, against zeksim in a private namespace"
cp "$build/src/tools/zekshot" "$root/usr/bin/zekshot"
(cd "$empty" && QT_QPA_PLATFORM=offscreen "$top/scripts/netns-run.sh" bash -c '
  "$0/zeksim" --modules 3 >/dev/null 2>&1 &
  for _ in $(seq 200); do "$0/zekctl" search --from 127.0.0.1 --wait 100 >/dev/null 2>&1 && break; done
  "$0/zekshot" --interface 127.0.0.1 --modules 3 --texts --output "'"$top/$build"'/installed-window.png" 2>/dev/null
  kill %1' "$root/usr/bin")
echo "--- package: $deb"
