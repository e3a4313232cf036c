#!/usr/bin/env bash
# Installs every Debian package that building, testing and running the project
# needs. Safe to run again: it does nothing (and prints nothing) when all of
# them are already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format ccache
  libjpeg62-turbo-dev libpng-dev zlib1g-dev libgif-dev
  libfreetype-dev libfontconfig-dev fontconfig fonts-ipafont-gothic
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-translations-l10n gettext
  xvfb xauth xdotool imagemagick openbox
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-14-dev
  nlohmann-json3-dev man-db groff-base
  dpkg-dev file gzip lintian appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
