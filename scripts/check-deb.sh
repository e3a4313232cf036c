#!/usr/bin/env bash
# Checks a built package without installing it:
#   scripts/check-deb.sh mirufo_VERSION_ARCH.deb
# - its file list holds the programs, the plug-in (not in bin/), the help
#   pages and the manual pages in English and Japanese, the completion, the
#   desktop file, the metadata, the icons, the copyright file, the
#   changelog and the English catalogue;
# - its dependencies name the run-time libraries;
# - lintian reports no error, and the desktop file and the metadata validate;
# - the extracted copy passes scripts/check-installed.sh (mirufo-cli reads a
#   GIF picture through the packaged plug-in).
set -euo pipefail
deb=$(realpath "$1")
fail() {
  echo "check-deb.sh: $*" >&2
  exit 1
}

contents=$(dpkg-deb -c "$deb" | awk '{print $NF}')
for path in \
  usr/bin/mirufo usr/bin/mirufo-cli usr/lib/mirufo/plugins/ifgif.spi \
  usr/share/doc/mirufo/mirufo.html usr/share/doc/mirufo/mirufo.en.html \
  usr/share/doc/mirufo/copyright usr/share/doc/mirufo/changelog.gz \
  usr/share/man/man1/mirufo.1.gz usr/share/man/man1/mirufo-cli.1.gz \
  usr/share/man/ja/man1/mirufo.1.gz usr/share/man/ja/man1/mirufo-cli.1.gz \
  usr/share/bash-completion/completions/mirufo-cli \
  usr/share/applications/org.example.mirufo.desktop \
  usr/share/metainfo/org.example.mirufo.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/mirufo.svg \
  usr/share/icons/hicolor/256x256/apps/mirufo.png \
  usr/share/mirufo/phones.lst usr/share/mirufo/tablets.lst usr/share/mirufo/desktops.lst \
  usr/share/locale/en/LC_MESSAGES/mirufo.mo; do
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

recommends=$(sed -n 's/^ Recommends: //p' <<<"$info")
grep -q '\bqt6-translations-l10n\b' <<<"$recommends" ||
  fail "the recommendations lack Qt's translations: $recommends"

lintian --fail-on error --tag-display-limit 0 "$deb"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root"
appstreamcli validate --no-net "$tmp/root/usr/share/metainfo/org.example.mirufo.metainfo.xml"
desktop-file-validate "$tmp/root/usr/share/applications/org.example.mirufo.desktop"

"$(dirname "$0")/check-installed.sh" "$tmp/root/usr"
# The packaged program speaks English to an English user, Japanese otherwise.
LANG=en_US.UTF-8 "$tmp/root/usr/bin/mirufo-cli" --help | grep -q '^Usage: ' ||
  fail "the packaged mirufo-cli does not speak English with LANG=en_US.UTF-8"
LANG=C.UTF-8 "$tmp/root/usr/bin/mirufo-cli" --help | grep -q '^使い方: ' ||
  fail "the packaged mirufo-cli does not speak Japanese with LANG=C.UTF-8"
echo "check-deb.sh: $(basename "$deb") is complete"
