# SPDX-License-Identifier: MIT
# What the vrscreen tests share: the programs of the build (vrstool, to
# compare with; make-sample, to make captures) and the bad-file corpus, all
# named by CTest in the environment.
import json
import os
import subprocess
from pathlib import Path

import numpy
import pytest
from PIL import Image

VRSTOOL = os.environ["VRSTOOL"]
MAKE_SAMPLE = os.environ["MAKE_SAMPLE"]
CORPUS = Path(os.environ["VRS_CORPUS"])
# The programs of an AddressSanitizer build carry the sanitizer's runtime
# themselves: the one preloaded into this interpreter is not for them.
TOOL_ENV = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}


def make_capture(path, width, height, depth=32, rect=False):
    """A screen-like capture: coloured corners, windows, text-like glyphs."""
    args = [MAKE_SAMPLE, "--depth", str(depth)] + (["--rect"] if rect else [])
    subprocess.run(args + [str(width), str(height), str(path)], check=True, env=TOOL_ENV)
    return path


def vrstool(*args):
    return subprocess.run([VRSTOOL, *map(str, args)], capture_output=True, text=True, env=TOOL_ENV)


def png_pixels(path):
    with Image.open(path) as im:
        return numpy.asarray(im.convert("RGB"))


def vrstool_png(capture, out, *options):
    """The picture `vrstool convert` (or `thumbnail`, with -s N) writes, as an array."""
    command = ["thumbnail", *options, capture, out] if "-s" in options else [
        "convert", "-q", *options, "-o", out, capture]
    run = vrstool(*command)
    assert run.returncode == 0, run.stderr
    return png_pixels(out)


def vrstool_info(path):
    run = vrstool("info", "--json", path)
    return json.loads(run.stdout)[0]


@pytest.fixture
def capture(tmp_path):
    """Makes captures in the test's folder: capture(width, height, depth=32, rect=False)."""
    def make(width, height, depth=32, rect=False):
        name = f"{'rect' if rect else 'sized'}-{depth}-{width}x{height}.vrs"
        return make_capture(tmp_path / name, width, height, depth, rect)

    return make
