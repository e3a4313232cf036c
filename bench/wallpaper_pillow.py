#!/usr/bin/python3
# The one-process Pillow peer of the wallpaper benchmark: decodes the source
# once and, per distinct screen size, makes one area-average cover resize,
# the centre crop, the 3 x 3 sharpen of medium strength and one JPEG encode;
# every screen of that size gets those bytes.
#   wallpaper_pillow.py SOURCE OUT_DIR QUALITY WIDTHxHEIGHT...
import os
import sys

from PIL import Image, ImageFilter

source, out, quality = sys.argv[1], sys.argv[2], int(sys.argv[3])
screens = [tuple(int(v) for v in s.split("x")) for s in sys.argv[4:]]
picture = Image.open(source)
picture.load()
picture = picture.convert("RGB")
sw, sh = picture.size
sharpen = ImageFilter.Kernel((3, 3), [-1, -1, -1, -1, 16, -1, -1, -1, -1], scale=8)
os.makedirs(out, exist_ok=True)
by_size = {}
for i, size in enumerate(screens):
    by_size.setdefault(size, []).append(i)
for (w, h), members in by_size.items():
    # Cover: the side that is relatively shorter fits the screen.
    if sw * h >= sh * w:
        rw, rh = round(sw * h / sh), h
    else:
        rw, rh = w, round(sh * w / sw)
    resized = picture.resize((rw, rh), Image.BOX)
    x, y = (rw - w) // 2, (rh - h) // 2
    screen = resized.crop((x, y, x + w, y + h)).filter(sharpen)
    path = os.path.join(out, f"{members[0]}.jpg")
    screen.save(path, "JPEG", quality=quality)
    with open(path, "rb") as f:
        data = f.read()
    for i in members[1:]:
        with open(os.path.join(out, f"{i}.jpg"), "wb") as f:
            f.write(data)
