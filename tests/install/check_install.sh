#!/usr/bin/env bash
# The install tree as a user gets it: every file in place and valid, and the installed
# programs started from an empty directory and from the desktop entry's Exec line.
# Runs inside the private network namespace. Arguments: the build directory and the
# zekshot program, which runs beside the installed zekconfig to read what its window shows.
set -euo pipefail
build=$1
zekshot=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "install check: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
id=com.example.zekconfig
for f in bin/zekconfig bin/zeksim bin/zekctl \
  share/zekconfig/LANG01.ini share/zekconfig/LANG02.ini share/zekconfig/MERIDON_Brisklink.ini \
  share/zekconfig/holvek_zek_config.pdf \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
  share/man/man1/zekconfig.1.gz share/man/man1/zeksim.1.gz share/man/man1/zekctl.1.gz \
  share/doc/zekconfig/copyright share/doc/zekconfig/changelog.gz share/bash-completion/completions/zekctl; do
  [ -s "$prefix/$f" ] || fail "$f is missing"
done
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x$size/apps/$id.png
  [ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')" = "$(printf '%08x%08x' "$size" "$size")" ] ||
    fail "icon $size is not $size x $size"
done
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" ||
  { cat "$work/appstream.log"; fail "AppStream data not valid"; }
for page in zekconfig zeksim zekctl; do
  warnings=$(MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page: $warnings"
done
"$prefix/bin/zekconfig" --version | grep -qx "ZEK-Configurator [0-9.]*" || fail "no version"

# zekctl's completion as bash runs it, asking the installed zekctl for the PC's addresses.
offered=$(PATH="$prefix/bin:$PATH" bash -c 'source "$0"; COMP_WORDS=(zekctl --from ""); COMP_CWORD=2; _zekctl
  echo "${COMPREPLY[*]}"' "$prefix/share/bash-completion/completions/zekctl")
[[ " $offered " == *" 127.0.0.1 "* ]] || fail "completing 'zekctl --from' offered '$offered'"

# A fleet to search; the installed programs start in directories without any file of ours.
"$prefix/bin/zeksim" --modules 2 >"$work/zeksim.log" 2>&1 &
for _ in $(seq 200); do grep -q '^zeksim: 2 modules' "$work/zeksim.log" && break; sleep 0.05; done
grep -q '^zeksim: 2 modules' "$work/zeksim.log" || fail "zeksim did not start"
cp "$zekshot" "$prefix/bin/zekshot"
mkdir "$work/empty"
cd "$work/empty"
show() { "$prefix/bin/zekshot" --interface 127.0.0.1 --modules 2 --texts --output "$work/shot.png" "$@" 2>/dev/null; }
expect() {
  local got=$1 line
  shift
  for line in "$@"; do grep -qxF "$line" <<<"$got" || fail "expected '$line' in: $got"; done
}
expect "$(show)" "search: Search" "tree: ZEK online: 2" "sort: 3 MAC address" "modes: 5" "languages: Deutsch,English"
expect "$(show --language 1)" "search: Suchen"
expect "$(show)" "search: Suchen" "sort: 3 MAC-Adresse"
[ "$(ls -A)" = MERIDON_Brisklink.ini ] || fail "wrote more than the settings file: $(ls -A)"

# The desktop menu's way: the Exec line with a fresh home, the settings in the user's directory.
exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/$id.desktop")
mkdir "$work/home"
(cd / && HOME=$work/home XDG_CONFIG_HOME='' PATH="$prefix/bin:$PATH" exec $exec_line >"$work/menu.log" 2>&1) &
settings=$work/home/.config/zekconfig/MERIDON_Brisklink.ini
for _ in $(seq 200); do grep -q '^LANGUAGE=English' "$settings" 2>/dev/null && break; sleep 0.05; done
kill %2 2>/dev/null || true
grep -q '^LANG02=English' "$settings" || { cat "$work/menu.log"; fail "the menu start wrote no settings"; }
echo "install check: all in place"
