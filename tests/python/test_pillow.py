# SPDX-License-Identifier: MIT
# Pillow with vrscreen.pillow imported: captures open lazily, draft() reads
# the box average, and every other file still goes to Pillow's own plugins.
import os

import numpy
import pytest
import vrscreen
import vrscreen.pillow  # noqa: F401 (registers the plugin)
from conftest import vrstool_png
from PIL import Image, UnidentifiedImageError


def test_captures_open_lazily_and_draft_to_the_box_average(capture, tmp_path):
    path = capture(40, 20, 16, True)
    with Image.open(path) as im:
        assert (im.format, im.mode, im.size) == ("VRS", "RGB", (40, 20))
        assert numpy.array_equal(numpy.asarray(im), vrscreen.read(path))
    with Image.open(path) as im:
        assert im.draft(None, (10, 5)) == ("RGB", (0, 0, 10, 5))
        assert im.size == (10, 5)
        assert numpy.array_equal(numpy.asarray(im),
                                 vrstool_png(path, tmp_path / "t.png", "-s", "10"))
    with Image.open(capture(1703, 37)) as im:
        im.thumbnail((256, 256))
        assert im.size == (256, 6)
    # Open reads the header only: rows rewritten before load() are caught then.
    with Image.open(path) as im:
        with open(path, "r+b") as f:
            f.seek(300)
            f.write(b"\xff" * 8)
        os.utime(path, ns=(0, 0))
        with pytest.raises(vrscreen.Error, match="changed while it was being read"):
            im.load()


def test_other_files_go_to_their_own_plugins(capture, tmp_path):
    Image.new("RGB", (3, 2), (1, 2, 3)).save(tmp_path / "a.png")
    with Image.open(tmp_path / "a.png") as im:
        assert im.format == "PNG"
    (tmp_path / "notes.txt").write_bytes(b"\0\0\0\2" + b"not a picture" * 40)
    with pytest.raises(UnidentifiedImageError):
        Image.open(tmp_path / "notes.txt")
    # A capture's header refused for its length: the words vrstool gives.
    cut = tmp_path / "cut.vrs"
    cut.write_bytes(capture(40, 20).read_bytes()[:1000])
    with pytest.raises(vrscreen.Error, match="but only 804 bytes follow it"):
        Image.open(cut)
