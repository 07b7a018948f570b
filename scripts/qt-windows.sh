#!/usr/bin/env bash
# Qt for Windows, cross-built once per machine from Debian's own qt6-base source with the
# mingw-w64 compiler that builds zekctl.exe: static, with only what the window, its tests
# and its tools use. The result lives in a cache outside the checkout, keyed by the Qt
# version and the configure options, so a later run finds it and builds nothing.
# Prints the prefix of the finished Qt on its last line of standard output.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

fail() {
  echo "qt-windows: $*" >&2
  exit 1
}

# The native Qt serves as the host tools (moc, rcc, uic), so the two must be one version.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) ||
  fail "step 'native Qt': qt6-base-dev is not installed"
upstream=${version%%-*}
upstream=${upstream#*:}

# Only the modules, plugins and features zekconfig.exe, its tests and tools use. Tablet
# input is off because Debian's source leaves out the tablet header; with OpenGL off,
# dynamic GL must go too, or the windows plugin still reaches for an OpenGL context.
options=(
  -DBUILD_SHARED_LIBS=OFF
  -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_openssl=OFF -DFEATURE_schannel=OFF -DFEATURE_networklistmanager=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_tuiotouch=OFF
)
key=$(printf '%s\n' "$version" "${options[@]}" | sha256sum | cut -c1-12)
cache=${ZEK_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zekconfig}
prefix=$cache/qt-$upstream-mingw64-$key

if [ -f "$prefix/.complete" ]; then
  echo "qt-windows: Qt $upstream for Windows found in $prefix" >&2
  echo "$prefix"
  exit 0
fi

start=$(date +%s)
work=$cache/qt-$upstream-mingw64-work
rm -rf "$work"
mkdir -p "$work/apt/lists/partial" "$work/apt/archives/partial"

# Debian's source through a private apt configuration: the deb-src entry names the archive
# the machine's own sources already name, and the system's apt set-up is left untouched.
echo "qt-windows: fetching Debian's qt6-base $version source" >&2
uri=$(sed -n 's/^URIs: *\([^ ]*debian\)$/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null | head -1)
[ -n "$uri" ] || uri=$(sed -n 's/^deb \+\(http[^ ]*debian\) .*/\1/p' /etc/apt/sources.list 2>/dev/null | head -1)
[ -n "$uri" ] || fail "step 'fetch': no Debian archive is named in the machine's apt sources"
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
echo "deb-src $uri $codename main" >"$work/apt/sources.list"
apt_options=(
  -o "Dir::Etc::SourceList=$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
  -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache::Archives=$work/apt/archives"
  -o "Dir::Cache::pkgcache=" -o "Dir::Cache::srcpkgcache="
)
apt-get "${apt_options[@]}" update -qq >"$work/fetch.log" 2>&1 ||
  fail "step 'fetch': apt-get update of the deb-src list failed (see $work/fetch.log)"
(cd "$work" && apt-get "${apt_options[@]}" source -qq "qt6-base=$version" >>fetch.log 2>&1) ||
  fail "step 'fetch': apt-get source qt6-base=$version failed (see $work/fetch.log)"
src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
[ -n "$src" ] || fail "step 'unpack': no qt6-base source directory in $work"

echo "qt-windows: configuring Qt $upstream for x86_64-w64-mingw32" >&2
cmake -S "$src" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >"$work/configure.log" 2>&1 ||
  fail "step 'configure': Qt's configure failed (see $work/configure.log)"

echo "qt-windows: building Qt (about 45 minutes on 2 cores, once per machine)" >&2
cmake --build "$work/build" -j "$(nproc)" >"$work/build.log" 2>&1 ||
  fail "step 'build': Qt's cross build failed (see $work/build.log)"
cmake --install "$work/build" >"$work/install.log" 2>&1 ||
  fail "step 'install': installing Qt into $prefix failed (see $work/install.log)"
touch "$prefix/.complete"
rm -rf "$work"

elapsed=$(($(date +%s) - start))
echo "qt-windows: Qt $upstream for Windows built in $((elapsed / 60)) min $((elapsed % 60)) s into $prefix" >&2
echo "$prefix"
