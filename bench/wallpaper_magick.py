#!/usr/bin/python3
# The ImageMagick peer of the wallpaper benchmark: one convert process reads
# the source once and, per distinct screen size, clones it, makes an
# area-average (box) cover resize, crops the centre, sharpens with the
# medium 3 x 3 kernel and writes one JPEG; the other screens of that size get
# copies of that file.
#   wallpaper_magick.py SOURCE OUT_DIR QUALITY WIDTHxHEIGHT...
import os
import shutil
import subprocess
import sys

source, out, quality = sys.argv[1], sys.argv[2], sys.argv[3]
screens = sys.argv[4:]
by_size = {}
for i, size in enumerate(screens):
    by_size.setdefault(size, []).append(i)
kernel = "3x3: -1,-1,-1 -1,16,-1 -1,-1,-1"
cmd = ["/usr/bin/convert", source, "-quality", quality, "-filter", "Box"]
for size, members in by_size.items():
    cmd += ["(", "-clone", "0", "-resize", f"{size}^", "-gravity", "center", "-extent", size,
            "-define", "convolve:scale=0.125", "-morphology", "Convolve", kernel,
            "-write", os.path.join(out, f"{members[0]}.jpg"), "+delete", ")"]
cmd += ["null:"]
subprocess.run(cmd, check=True)
for members in by_size.values():
    for i in members[1:]:
        shutil.copyfile(os.path.join(out, f"{members[0]}.jpg"), os.path.join(out, f"{i}.jpg"))
