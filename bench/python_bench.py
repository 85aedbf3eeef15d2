#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The Python module's speed and memory, against baselines in the same run.

    /usr/bin/python3 bench/python_bench.py [read] [memory] [dask]

read    vrscreen.read of 4000 x 3000 and 16000 x 12000 captures of several
        kinds, alternated round by round with the viewer's decode of the
        same file (bench/decode's load_file) and, for a few rounds, with
        `vrstool convert` to PNG followed by PIL.Image.open(...).load().
memory  peak resident memory of vrscreen.read (the array, and what the read
        adds beside it) and of Pillow's Image.open(...).thumbnail((256, 256)),
        each in a fresh interpreter.
dask    200 captures converted to PNG with dask.bag on a LocalCluster of one
        worker process, then of two, alternated; files per second of each.

Environment: ROUNDS (default 5), SIZES (default "4000x3000 16000x12000"),
DASK_ROUNDS (default 2), DASK_FILES (default 200). The machine may be
shared: read the ranges, not a single figure.
"""

import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "default"
LOAD_FILE = BUILD / "bench" / "decode" / "load_file"
VRSTOOL = BUILD / "src" / "cli" / "vrstool"
MAKE_PICTURE = BUILD / "bench" / "export" / "make-bench-picture"
MAKE_SAMPLE = BUILD / "tools" / "make-sample"
ROUNDS = int(os.environ.get("ROUNDS", "5"))
SIZES = os.environ.get("SIZES", "4000x3000 16000x12000").split()
# kind: the command that makes it (a 32-bit picture of make-bench-picture,
# or make-sample's 16-bit capture).
KINDS = {"screen": "bench", "photo": "bench", "noise": "bench", "16-bit": "sample"}
LARGE_KINDS = ["screen", "16-bit"]


def build():
    subprocess.run(["cmake", "--preset", "default"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", "--preset", "default", "--target", "load_file", "vrstool",
                    "make-bench-picture", "make-sample", "_vrscreen"], cwd=ROOT, check=True,
                   stdout=subprocess.DEVNULL)
    sys.path.insert(0, str(BUILD / "python"))


def make(kind, width, height, path):
    if KINDS[kind] == "sample":
        command = [MAKE_SAMPLE, "--depth", "16", str(width), str(height), path]
    else:
        command = [MAKE_PICTURE, "--kind", kind, str(width), str(height), path]
    subprocess.run(list(map(str, command)), check=True)
    subprocess.run(["cat", str(path)], check=True, stdout=subprocess.DEVNULL)  # into the page cache


def spread(values):
    values = sorted(values)
    return f"{statistics.median(values):.3f} s [{values[0]:.3f}-{values[-1]:.3f}]"


def ratio_spread(ours, theirs):
    ratios = sorted(a / b for a, b in zip(ours, theirs))
    return f"{statistics.median(ratios):.2f} [{ratios[0]:.2f}-{ratios[-1]:.2f}]"


def viewer_decode(path):
    out = subprocess.run([str(LOAD_FILE), str(path)], capture_output=True, text=True,
                         check=True).stdout
    return float(re.search(r"loaded in ([0-9.]+) s", out).group(1))


def timed(function):
    start = time.perf_counter()
    function()
    return time.perf_counter() - start


def png_round_trip(path, work):
    from PIL import Image

    png = work / "round.png"
    start = time.perf_counter()
    subprocess.run([str(VRSTOOL), "convert", "-q", "-o", str(png), str(path)], check=True)
    with Image.open(png) as im:
        im.load()
    return time.perf_counter() - start


def bench_read(work):
    import numpy  # noqa: F401 (imported before the clock starts, as in a script)
    import vrscreen
    from PIL import Image

    Image.MAX_IMAGE_PIXELS = None
    print("== read: vrscreen.read against the viewer's decode (load_file) of the same file,")
    print("   alternated; median [range] of", ROUNDS, "rounds; ratio per round")
    print(f"{'size':<12} {'kind':<7} {'vrscreen.read':<24} {'viewer decode':<24} "
          f"{'read/viewer':<18} {'PNG+PIL/read':<14}")
    for size in SIZES:
        width, height = map(int, size.split("x"))
        large = width * height > 20_000_000
        for kind in (LARGE_KINDS if large else KINDS):
            path = work / f"{kind}-{size}.vrs"
            make(kind, width, height, path)
            ours, viewer = [], []
            for _ in range(ROUNDS):
                viewer.append(viewer_decode(path))
                ours.append(timed(lambda: vrscreen.read(path)))
            # The PNG round trip takes seconds to minutes: fewer rounds.
            png = [png_round_trip(path, work) for _ in range(1 if large else 2)]
            png_ratio = statistics.median(png) / statistics.median(ours)
            print(f"{size:<12} {kind:<7} {spread(ours):<24} {spread(viewer):<24} "
                  f"{ratio_spread(ours, viewer):<18} {png_ratio:.0f}x "
                  f"({statistics.median(png):.1f} s)", flush=True)
            path.unlink()


PEAK_READ = """
import sys, numpy, vrscreen
def kb(field):
    return int(next(l for l in open("/proc/self/status") if l.startswith(field)).split()[1])
before = kb("VmRSS:")
a = vrscreen.read(sys.argv[1])
print(kb("VmHWM:"), before, a.nbytes // 1024)
"""

PEAK_THUMBNAIL = """
import sys
from PIL import Image
import vrscreen.pillow
Image.MAX_IMAGE_PIXELS = None
def kb(field):
    return int(next(l for l in open("/proc/self/status") if l.startswith(field)).split()[1])
before = kb("VmRSS:")
with Image.open(sys.argv[1]) as im:
    im.thumbnail((256, 256))
    size = im.size
print(kb("VmHWM:"), before, size)
"""


def fresh_interpreter(script, path):
    env = dict(os.environ, PYTHONPATH=str(BUILD / "python"))
    out = subprocess.run([sys.executable, "-c", script, str(path)], capture_output=True,
                         text=True, check=True, env=env).stdout.split(maxsplit=2)
    return int(out[0]) // 1024, int(out[1]) // 1024, out[2].strip()


def bench_memory(work):
    print("== memory: peak resident set (VmHWM) of a fresh interpreter, MiB;")
    print("   'before' is its resident set after the imports, before the call")
    for size in SIZES:
        width, height = map(int, size.split("x"))
        for kind in ("screen", "16-bit"):
            path = work / f"{kind}-{size}.vrs"
            make(kind, width, height, path)
            peaks = [fresh_interpreter(PEAK_READ, path) for _ in range(3)]
            for peak, before, array_kb in peaks[:1]:
                array = int(array_kb) // 1024
                print(f"read {size} {kind}: peak {peak}, before {before}, array {array}: "
                      f"beside the array {peak - array} (the read added "
                      f"{peak - before - array} beyond the array); runs: "
                      f"{', '.join(str(p[0]) for p in peaks)}")
            thumbs = [fresh_interpreter(PEAK_THUMBNAIL, path) for _ in range(3)]
            peak, before, thumb_size = thumbs[0]
            print(f"Image.open().thumbnail((256, 256)) {size} {kind} -> {thumb_size}: peak "
                  f"{peak}, before {before}; runs: {', '.join(str(t[0]) for t in thumbs)}",
                  flush=True)
            path.unlink()


def convert(path):
    """The README's conversion: a PNG and a thumbnail beside each capture."""
    import vrscreen
    from PIL import Image

    try:
        Image.fromarray(vrscreen.read(path)).save(Path(path).with_suffix(".png"))
        Image.fromarray(vrscreen.thumbnail(path, 256)).save(Path(path).with_suffix(".thumb.png"))
        return path, None
    except vrscreen.Error as refusal:
        return path, str(refusal)


def control(path):
    """The same machine's scaling without the module: compresses the
    capture's bytes, about as much work a file as converting it."""
    import zlib

    return len(zlib.compress(Path(path).read_bytes(), 6))


def bench_dask(work):
    import dask.bag as db
    from dask.distributed import Client, LocalCluster

    files = int(os.environ.get("DASK_FILES", "200"))
    rounds = int(os.environ.get("DASK_ROUNDS", "2"))
    kinds = ["screen", "photo", "flat", "gradient"]
    paths = []
    for i in range(files):
        path = work / f"dask-{i:03}.vrs"
        subprocess.run([str(MAKE_PICTURE), "--kind", kinds[i % 4], "1280", "800", str(path)],
                       check=True)
        paths.append(str(path))
    os.environ["PYTHONPATH"] = str(BUILD / "python")
    print(f"== dask: {files} captures of 1280 x 800 (4 kinds) to PNG and thumbnail, files per")
    print("   second; 'control' is zlib over each file's bytes, without vrscreen, in the same")
    print("   cluster right after: what two processes of this machine gave at that moment")
    rates = {(w, job): [] for w in (1, 2) for job in ("convert", "control")}
    for _ in range(rounds):
        for workers in (1, 2):
            with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                              dashboard_address=None, silence_logs=50) as cluster, \
                    Client(cluster) as client:
                client.run(lambda: __import__("vrscreen") and None)  # warm the workers
                bag = db.from_sequence(paths, npartitions=4 * workers)
                for job, function in (("convert", convert), ("control", control)):
                    seconds = timed(lambda: bag.map(function).compute())
                    rates[workers, job].append(files / seconds)
                    print(f"  {workers} worker(s), {job}: {files / seconds:.1f} files/s "
                          f"({seconds:.1f} s)", flush=True)
    for job in ("convert", "control"):
        ratios = sorted(b / a for a, b in zip(rates[1, job], rates[2, job]))
        print(f"two workers / one, {job}: {statistics.median(ratios):.2f} "
              f"[{ratios[0]:.2f}-{ratios[-1]:.2f}]")


def load():
    return "load average " + " ".join(f"{v:.1f}" for v in os.getloadavg())


def main():
    wanted = sys.argv[1:] or ["read", "memory", "dask"]
    build()
    work = Path(tempfile.mkdtemp(prefix="vrspybench."))
    try:
        for name in wanted:
            print(f"({time.strftime('%Y-%m-%d %H:%M')}, {load()})")
            {"read": bench_read, "memory": bench_memory, "dask": bench_dask}[name](work)
            print(f"({load()})", flush=True)
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main()
