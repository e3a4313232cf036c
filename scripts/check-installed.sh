#!/usr/bin/env bash
# Checks an installed copy under PREFIX (a package extracted, or
# `cmake --install --prefix`): the programs start, and mirufo-cli makes a
# standby image from a GIF picture, which only the installed plug-in in
# PREFIX/lib/mirufo/plugins can read, and fails on it once that folder is
# gone (the folder is put back afterwards).
#   scripts/check-installed.sh PREFIX
#   scripts/check-installed.sh --install BUILD_FOLDER
# The second form first runs `cmake --install BUILD_FOLDER` into a temporary
# prefix (ctest runs it so on the build tree).
set -euo pipefail
fail() {
  echo "check-installed.sh: $*" >&2
  exit 1
}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"; [ -d "$tmp-plugins" ] && mv "$tmp-plugins" "$plugins"; rm -rf "$tmp-prefix"' EXIT
plugins=
if [ "$1" = --install ]; then
  cmake --install "$2" --prefix "$tmp-prefix" >/dev/null
  prefix=$tmp-prefix
else
  prefix=$(realpath "$1")
fi
plugins=$(find "$prefix/lib" -type d -path '*/mirufo/plugins' | head -n 1)
[ -n "$plugins" ] || fail "no mirufo/plugins folder under $prefix/lib"
# A clean environment: no plug-ins but the installed ones, a data folder of
# its own, run from a folder without plug-ins.
export MIRUFO_HOME="$tmp/home" XDG_DATA_HOME="$tmp/xdg"
unset SUSIE_PLUGIN_DIR
mkdir -p "$MIRUFO_HOME" "$tmp/work"
cd "$tmp/work"
cli="$prefix/bin/mirufo-cli"
if [ -x "$prefix/bin/mirufo" ]; then
  "$prefix/bin/mirufo" --version >/dev/null || fail "mirufo --version failed"
fi
convert -size 120x90 gradient:red-blue "$tmp/picture.gif"
handset=$("$cli" list --names | head -n 1)
"$cli" make "$tmp/picture.gif" --handsets "$handset" --out "$tmp/out" --quiet ||
  fail "the installed mirufo-cli could not make an image from a GIF picture"
[ -n "$(ls -A "$tmp/out")" ] || fail "mirufo-cli saved nothing"
mv "$plugins" "$tmp-plugins"
if "$cli" make "$tmp/picture.gif" --handsets "$handset" --out "$tmp/out2" --quiet 2>/dev/null; then
  fail "mirufo-cli read a GIF picture without its plug-in"
fi
echo "check-installed.sh: the copy under $prefix reads GIF pictures through its plug-in"
