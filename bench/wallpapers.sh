#!/usr/bin/env bash
# Today's wallpapers: the shipped phone and desktop lists made from a
# 4000 x 3000 and an 8000 x 6000 photograph-like picture by mirufo-cli, by a
# one-process Pillow script and by one ImageMagick convert process, in the
# same run, best of 3; then the 287 built-in screens and a cancel during a
# large target. Prints wall, CPU, peak memory, the source bitmap's size and
# one hash over all files, checked against bench/wallpaper_digests.txt.
#   bench/wallpapers.sh [BUILD_DIR] [driver options: --runs N --im-runs N
#                        --sources WxH,... --skip pillow,im,builtin,cancel --record]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
if [ $# -gt 0 ] && [ "${1#--}" = "$1" ]; then
  build=$1
  shift
fi
[ -x "$build/bin/mirufo-cli" ] && [ -x "$build/bin/mirufo-sample" ] ||
  { echo "build first: $build/bin/mirufo-cli and mirufo-sample are missing" >&2; exit 1; }
bench/setup-peers.sh
work=${MIRUFO_BENCH_WORK:-$(mktemp -d)}
[ -n "${MIRUFO_BENCH_WORK:-}" ] || trap 'rm -rf "$work"' EXIT
mkdir -p "$work"
/usr/bin/python3 bench/wallpapers.py --build "$build" --work "$work" "$@"
