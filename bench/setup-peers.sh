#!/usr/bin/env bash
# Installs the peers the wallpaper benchmark compares with: Pillow for the
# system Python and ImageMagick. Bench-only, so not part of install-deps.sh.
set -euo pipefail
packages=(python3-pil imagemagick time)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
