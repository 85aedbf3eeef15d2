# SPDX-License-Identifier: MIT
# The README's archive conversion, run on a LocalCluster of two worker
# processes: every PNG and thumbnail equals vrstool's, a bad file is
# reported in vrstool's words, and nothing stops the rest.
import shutil
from pathlib import Path

import dask.bag as db
import numpy
import vrscreen
from conftest import CORPUS, png_pixels, vrstool, vrstool_png
from dask.distributed import Client, LocalCluster
from PIL import Image


# As in the README.
def convert(path):
    """Writes NAME.png and NAME.thumb.png; returns the name and any refusal."""
    try:
        Image.fromarray(vrscreen.read(path)).save(Path(path).with_suffix(".png"))
        Image.fromarray(vrscreen.thumbnail(path, 256)).save(Path(path).with_suffix(".thumb.png"))
        return path, None
    except vrscreen.Error as refusal:
        return path, str(refusal)


def test_a_folder_converted_on_two_worker_processes(capture, tmp_path):
    good = [capture(301 + 13 * i, 190 + 7 * i, 16 if i % 2 else 32, i % 3 == 0) for i in range(6)]
    bad = tmp_path / "bad.vrs"
    shutil.copy(CORPUS / "bad-truncated-mid-row.vrs", bad)
    paths = sorted(map(str, good + [bad]))
    with LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                      dashboard_address=None, silence_logs=50) as cluster, Client(cluster):
        results = dict(db.from_sequence(paths, npartitions=4).map(convert).compute())
    words = vrstool("info", bad).stderr.strip().removeprefix("vrstool: ")
    assert results == {**{str(p): None for p in good}, str(bad): words}
    for p in good:
        assert numpy.array_equal(png_pixels(p.with_suffix(".png")),
                                 vrstool_png(p, tmp_path / "vrstool.png"))
        assert numpy.array_equal(png_pixels(p.with_suffix(".thumb.png")),
                                 vrstool_png(p, tmp_path / "vrstool.png", "-s", "256"))
