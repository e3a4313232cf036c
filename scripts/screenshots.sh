#!/usr/bin/env bash
# Screenshots of the desktop program under a virtual X display, for looking
# at what a user sees. Starts build/bin/mirufo with an empty data folder,
# takes shot-0.png, then for each argument sends it as xdotool keys and
# takes the next shot.
#
#   scripts/screenshots.sh OUTDIR [KEYS...]     e.g. scripts/screenshots.sh shots alt+n alt+b
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:?output folder}")
shift
mkdir -p "$out"
if [ -z "${DISPLAY_READY:-}" ]; then
  exec env DISPLAY_READY=1 xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$out" "$@"
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
MIRUFO_HOME="$home" build/bin/mirufo &
pid=$!
sleep 3
window=$(xdotool search --name "ミルフォ" | head -1)
# There is no window manager to give the window the keyboard.
xdotool windowfocus "$window" 2>/dev/null || true
n=0
import -window root "$out/shot-$n.png"
for keys in "$@"; do
  n=$((n + 1))
  xdotool key --window "$window" "$keys"
  sleep 1
  import -window root "$out/shot-$n.png"
done
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "Screenshots in $out"
