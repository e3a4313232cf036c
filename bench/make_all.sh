#!/usr/bin/env bash
# Times the main job, `mirufo-cli make --all --calendar off`, on a 4000 x 3000
# and a 1600 x 1200 photograph-like picture, and checks that every JPEG fits
# its handset's cache. When ImageMagick is installed, it also times the same
# job done by ImageMagick's strongest form: one `convert` process that reads
# the picture once and, per distinct screen size, resizes to cover, crops,
# sharpens with the strength-2 kernel and writes every handset of that size.
# Prints both times and their ratio.
#   bench/make_all.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli=$build/bin/mirufo-cli
sample=$build/bin/mirufo-sample
[ -x "$cli" ] && [ -x "$sample" ] || { echo "build first: $cli and $sample are missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home"
export MIRUFO_HOME=$work/home

"$cli" list --tsv > "$work/handsets.tsv"

for size in 4000x3000 1600x1200; do
  src=$work/src-$size.png
  "$sample" "$src" "${size%x*}" "${size#*x}"
  rm -rf "$work/out"
  start=$(date +%s.%N)
  status=0
  "$cli" make "$src" --all --calendar off --out "$work/out" --overwrite --json \
    > "$work/report.json" 2> "$work/progress.txt" || status=$?
  end=$(date +%s.%N)
  if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
    echo "mirufo-cli failed with status $status" >&2
    cat "$work/progress.txt" >&2
    exit 1
  fi
  python3 - "$work" "$size" "$start" "$end" <<'PY'
import json, os, shutil, subprocess, sys, time

work, size, start, end = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
ours = end - start
report = json.load(open(os.path.join(work, "report.json"), encoding="utf-8"))
entries = report["entries"]
jpeg = [e for e in entries if e["format"] == "JPEG"]
over = [e["file"] for e in jpeg if e["cache"] > 0 and e["size"] > e["cache"]]
print(f"{size}: mirufo-cli make --all: {ours:.2f} s, {len(entries)} files, "
      f"{len(jpeg)} JPEG, {len(over)} JPEG over their cache {over if over else ''}")

if not shutil.which("convert"):
    print(f"{size}: ImageMagick is not installed; no comparison")
    sys.exit(0)

# One convert process: per distinct screen size, clone the source, cover,
# crop, sharpen, then write every handset of that size.
handsets = []
with open(os.path.join(work, "handsets.tsv"), encoding="utf-8") as f:
    header = f.readline().rstrip("\n").split("\t")
    for line in f:
        row = dict(zip(header, line.rstrip("\n").split("\t")))
        handsets.append(row)
by_size = {}
for i, h in enumerate(handsets):
    by_size.setdefault((h["width"], h["height"]), []).append((i, h))
out = os.path.join(work, "im")
os.makedirs(out, exist_ok=True)
kernel = "3x3: -1,-1,-1 -1,16,-1 -1,-1,-1"
args = ["convert", os.path.join(work, f"src-{size}.png")]
for (w, h), members in by_size.items():
    args += ["(", "-clone", "0", "-resize", f"{w}x{h}^", "-gravity", "center",
             "-extent", f"{w}x{h}", "-define", "convolve:scale=0.125",
             "-morphology", "Convolve", kernel]
    for i, m in members:
        fmt = int(m["format"])
        if fmt == 1:
            extent = int(round(float(m["cache"]) * 1024))
            spec = ["-define", f"jpeg:extent={extent}"] if extent > 0 else []
            args += ["(", "+clone"] + spec + ["-write", os.path.join(out, f"{i}.jpg"), "+delete", ")"]
        elif fmt == 2:
            args += ["(", "+clone", "-colors", "256", "-write", "PNG8:" + os.path.join(out, f"{i}.png"), "+delete", ")"]
        else:
            args += ["(", "+clone", "-monochrome", "-write", "BMP3:" + os.path.join(out, f"{i}.bmp"), "+delete", ")"]
    args += ["+delete", ")"]
args += ["null:"]
t0 = time.time()
subprocess.run(args, check=True)
theirs = time.time() - t0
print(f"{size}: ImageMagick, one convert process: {theirs:.2f} s")
print(f"{size}: mirufo-cli is {theirs / ours:.1f} times as fast")
PY
done
