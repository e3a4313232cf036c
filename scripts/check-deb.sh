#!/usr/bin/env bash
# Checks a built package without installing it:
#   scripts/check-deb.sh mirufo_VERSION_ARCH.deb
# - its file list holds the programs, the plug-in (not in bin/), the help
#   page, the manual pages, the completion, the desktop file, the metadata,
#   the icons, the copyright file and the changelog;
# - its dependencies name the run-time libraries;
# - lintian reports no error, and the desktop file and the metadata validate;
# - the extracted mirufo-cli reads a GIF picture, which only the installed
#   plug-in can read, and fails on it once the plug-in folder is gone.
set -euo pipefail
deb=$(realpath "$1")
fail() {
  echo "check-deb.sh: $*" >&2
  exit 1
}

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in \
  usr/bin/mirufo usr/bin/mirufo-cli usr/lib/mirufo/plugins/ifgif.spi \
  usr/share/doc/mirufo/mirufo.html usr/share/doc/mirufo/copyright \
  usr/share/doc/mirufo/changelog.gz \
  usr/share/man/man1/mirufo.1.gz usr/share/man/man1/mirufo-cli.1.gz \
  usr/share/bash-completion/completions/mirufo-cli \
  usr/share/applications/org.example.mirufo.desktop \
  usr/share/metainfo/org.example.mirufo.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/mirufo.svg \
  usr/share/icons/hicolor/256x256/apps/mirufo.png; do
  grep -qx "\./$path" <<<"$contents" || fail "the package lacks /$path"
done
extra=$(grep '^\./usr/bin/.' <<<"$contents" | grep -v -x -e './usr/bin/mirufo' -e './usr/bin/mirufo-cli' || true)
[ -z "$extra" ] || fail "unexpected files in /usr/bin: $extra"

info=$(dpkg-deb -I "$deb")
grep -q '^ Section: graphics$' <<<"$info" || fail "the section is not graphics"
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
for lib in libjpeg62-turbo libpng16-16 libgif7 libfreetype6 libfontconfig1 libqt6widgets6; do
  grep -q "\b$lib\b" <<<"$depends" || fail "the dependencies lack $lib: $depends"
done

lintian --fail-on error --tag-display-limit 0 "$deb"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root"
appstreamcli validate --no-net "$tmp/root/usr/share/metainfo/org.example.mirufo.metainfo.xml"
desktop-file-validate "$tmp/root/usr/share/applications/org.example.mirufo.desktop"

# A clean environment: no plug-ins but the installed ones, a data folder of
# its own, run from a folder without plug-ins.
export MIRUFO_HOME="$tmp/home" XDG_DATA_HOME="$tmp/xdg"
unset SUSIE_PLUGIN_DIR
mkdir -p "$MIRUFO_HOME" "$tmp/work"
cd "$tmp/work"
cli="$tmp/root/usr/bin/mirufo-cli"
"$tmp/root/usr/bin/mirufo" --version >/dev/null || fail "mirufo --version failed"
convert -size 120x90 gradient:red-blue "$tmp/picture.gif"
handset=$("$cli" list --names | head -n 1)
"$cli" make "$tmp/picture.gif" --handsets "$handset" --out "$tmp/out" --quiet ||
  fail "the extracted mirufo-cli could not make an image from a GIF picture"
[ -n "$(ls -A "$tmp/out")" ] || fail "mirufo-cli saved nothing"
mv "$tmp/root/usr/lib/mirufo/plugins" "$tmp/plugins-away"
if "$cli" make "$tmp/picture.gif" --handsets "$handset" --out "$tmp/out2" --quiet 2>/dev/null; then
  fail "mirufo-cli read a GIF picture without its plug-in"
fi
echo "check-deb.sh: $(basename "$deb") is complete"
