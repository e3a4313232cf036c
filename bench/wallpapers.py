#!/usr/bin/python3
# The wallpaper benchmark's driver (run through bench/wallpapers.sh). For each
# source picture it makes the shipped phone and desktop lists with
# mirufo-cli, the one-process Pillow script and one ImageMagick convert
# process, best of RUNS each, the three interleaved in the same run, and
# prints wall time, CPU time and peak resident memory of each, the source
# bitmap's size and one hash over all files. It then times the 287 built-in
# screens and a cancel (SIGINT) during one large target.
import argparse
import hashlib
import os
import shutil
import signal
import subprocess
import sys
import time

here = os.path.dirname(os.path.abspath(__file__))
parser = argparse.ArgumentParser()
parser.add_argument("--build", required=True)
parser.add_argument("--work", required=True)
parser.add_argument("--runs", type=int, default=3)
parser.add_argument("--im-runs", type=int, default=1)
parser.add_argument("--sources", default="4000x3000,8000x6000")
parser.add_argument("--record", action="store_true", help="write the digests file anew")
parser.add_argument("--skip", default="", help="comma list of: pillow,im,builtin,cancel")
args = parser.parse_args()
skip = set(filter(None, args.skip.split(",")))
cli = os.path.join(args.build, "bin", "mirufo-cli")
sample = os.path.join(args.build, "bin", "mirufo-sample")
lists = [os.path.join(here, "..", "lists", n) for n in ("phones.lst", "desktops.lst")]
digests_file = os.path.join(here, "wallpaper_digests.txt")
quality = 80
env = dict(os.environ, MIRUFO_HOME=os.path.join(args.work, "home"))
os.makedirs(env["MIRUFO_HOME"], exist_ok=True)


def load():
    return " ".join(open("/proc/loadavg").read().split()[:3])


def screens_of(path):
    sizes = []
    with open(path, encoding="cp932") as f:
        f.readline()
        header = f.readline().rstrip("\r\n").split("\t")
        for line in f:
            row = dict(zip(header, line.rstrip("\r\n").split("\t")))
            if "height" not in row:
                continue
            sizes.append(f"{row['width']}x{row['height']}")
    return sizes


def timed(cmd, cancel_after=None):
    """Runs cmd; answers (wall s, cpu s, peak RSS bytes, status, cancel latency s)."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    latency = None
    if cancel_after is not None:
        try:
            proc.wait(timeout=cancel_after)
        except subprocess.TimeoutExpired:
            proc.send_signal(signal.SIGINT)
            sent = time.monotonic()
            _, status, usage = os.wait4(proc.pid, 0)
            latency = time.monotonic() - sent
            proc.returncode = os.waitstatus_to_exitcode(status)
            return time.monotonic() - start, usage.ru_utime + usage.ru_stime, \
                usage.ru_maxrss * 1024, proc.returncode, latency
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode not in (0, 3):
        sys.stderr.write(proc.stderr.read().decode(errors="replace"))
        raise SystemExit(f"failed ({proc.returncode}): {' '.join(cmd[:3])}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024, proc.returncode, latency


def file_digests(folder):
    rows = {}
    for name in sorted(os.listdir(folder)):
        if name == "index.html":
            continue
        with open(os.path.join(folder, name), "rb") as f:
            rows[name] = hashlib.sha256(f.read()).hexdigest()
    return rows


def one_hash(rows):
    h = hashlib.sha256()
    for name, digest in sorted(rows.items()):
        h.update(f"{name} {digest}\n".encode())
    return h.hexdigest()[:16]


def mirufo_cmd(src, out, lists_args):
    return [cli, "make", src, *lists_args, "--calendar", "off", "--quality", str(quality),
            "--allow-duplicates", "--overwrite", "--out", out, "--quiet"]


def best(rows):
    return min(rows, key=lambda r: r[0])


def show(label, r, extra=""):
    print(f"  {label:<22} wall {r[0]:6.2f} s  cpu {r[1]:6.2f} s  peak {r[2] / 2**20:7.0f} MB{extra}")


recorded = {}
if os.path.exists(digests_file) and not args.record:
    for line in open(digests_file):
        if line.strip() and not line.startswith("#"):
            key, digest = line.split()
            recorded[key] = digest
new_digests = {}


def check(key, rows):
    h = one_hash(rows)
    new_digests[key] = h
    for name, d in rows.items():
        new_digests[f"{key}/{name}"] = d
    if key in recorded:
        bad = [n for n, d in rows.items() if recorded.get(f"{key}/{n}") != d]
        return f"  hash {h} ({'same bytes as recorded' if not bad else 'CHANGED: ' + ' '.join(bad[:5])})"
    return f"  hash {h} (not recorded)"


sizes = [s for path in lists for s in screens_of(path)]
largest = max(sizes, key=lambda s: int(s.split("x")[0]) * int(s.split("x")[1]))
print(f"{len(sizes)} screens ({len(set(sizes))} distinct sizes), largest {largest}; "
      f"JPEG quality {quality}, calendar off, no cache limit; best of {args.runs}")
lw, lh = (int(v) for v in largest.split("x"))
for size in args.sources.split(","):
    w, h = (int(v) for v in size.split("x"))
    src = os.path.join(args.work, f"src-{size}.png")
    if not os.path.exists(src):
        subprocess.run([sample, src, str(w), str(h)], check=True)
    bitmap = w * h * 3
    budget = 1.5 * bitmap + 4 * lw * lh * 3 + 100 * 2**20
    print(f"{size}: source bitmap {bitmap / 2**20:.0f} MB; memory target {budget / 2**20:.0f} MB; "
          f"load {load()}")
    ours, pil, im = [], [], []
    list_args = [a for path in lists for a in ("--list", path)]
    hashes = {}
    for run in range(args.runs):
        out = os.path.join(args.work, "out-mirufo")
        shutil.rmtree(out, ignore_errors=True)
        ours.append(timed(mirufo_cmd(src, out, list_args)))
        hashes["mirufo"] = check(f"{size}/lists", file_digests(out))
        if "pillow" not in skip:
            out = os.path.join(args.work, "out-pillow")
            shutil.rmtree(out, ignore_errors=True)
            pil.append(timed(["/usr/bin/python3", os.path.join(here, "wallpaper_pillow.py"), src,
                              out, str(quality), *sizes]))
        if "im" not in skip and run < args.im_runs:
            out = os.path.join(args.work, "out-im")
            shutil.rmtree(out, ignore_errors=True)
            os.makedirs(out)
            im.append(timed(["/usr/bin/python3", os.path.join(here, "wallpaper_magick.py"), src,
                             out, str(quality), *sizes]))
    show("mirufo-cli", best(ours), hashes["mirufo"])
    if pil:
        show("Pillow, one process", best(pil), f"  mirufo/Pillow {best(ours)[0] / best(pil)[0]:.2f}")
    if im:
        show(f"ImageMagick (best of {len(im)})", best(im),
             f"  mirufo/ImageMagick {best(ours)[0] / best(im)[0]:.2f}")
    print(f"  mirufo peak within target: {'yes' if best(ours)[2] <= budget else 'NO'}; load {load()}")

if "builtin" not in skip:
    src = os.path.join(args.work, "src-4000x3000.png")
    if not os.path.exists(src):
        subprocess.run([sample, src, "4000", "3000"], check=True)
    rows = []
    for run in range(args.runs):
        out = os.path.join(args.work, "out-builtin")
        shutil.rmtree(out, ignore_errors=True)
        rows.append(timed([cli, "make", src, "--all", "--calendar", "off", "--allow-duplicates",
                           "--overwrite", "--out", out, "--quiet"]))
        text = check("4000x3000/built-in", file_digests(out))
    print(f"287 built-in screens from 4000x3000; load {load()}")
    show("mirufo-cli --all", best(rows), text)

if "cancel" not in skip:
    src = os.path.join(args.work, "src-8000x6000.png")
    if not os.path.exists(src):
        subprocess.run([sample, src, "8000", "6000"], check=True)
    latencies = []
    for run in range(args.runs):
        out = os.path.join(args.work, "out-cancel")
        shutil.rmtree(out, ignore_errors=True)
        r = timed(mirufo_cmd(src, out, ["--list", lists[1]]), cancel_after=3.0)
        if r[4] is not None:
            latencies.append(r[4])
    print(f"cancel (SIGINT 3 s into the desktops from 8000x6000): "
          f"exit after {', '.join(f'{l:.2f}' for l in latencies)} s; load {load()}")

if args.record:
    with open(digests_file, "w") as f:
        f.write("# SHA-256 of every file the wallpaper benchmark makes with mirufo-cli\n")
        for key in sorted(new_digests):
            f.write(f"{key} {new_digests[key]}\n")
    print(f"recorded {digests_file}")
