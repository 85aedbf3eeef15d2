# SPDX-License-Identifier: MIT
# vrscreen.read, iter_rows, thumbnail and info against vrstool on the same files.
import _thread
import errno
import io
import os
import sys
import threading
import time
from concurrent.futures import ThreadPoolExecutor

import numpy
import pytest
import vrscreen
from conftest import CORPUS, make_capture, vrstool, vrstool_info, vrstool_png

# Odd sizes; 1703 x 37 is wider than the view, whose scale then skips columns and rows.
FORMS = [(16, False), (16, True), (32, False), (32, True)]


@pytest.mark.parametrize("depth,rect", FORMS)
def test_arrays_are_vrstools_pictures(capture, tmp_path, depth, rect):
    small = capture(37, 23, depth, rect)
    wide = capture(1703, 37, depth, rect)
    for path in (small, wide):
        whole = vrscreen.read(path)
        assert whole.dtype == numpy.uint8 and whole.flags.c_contiguous
        assert numpy.array_equal(whole, vrstool_png(path, tmp_path / "full.png"))
        view = vrscreen.read(path, view=True)
        assert numpy.array_equal(view, vrstool_png(path, tmp_path / "view.png", "--view"))
    assert vrscreen.read(wide, view=True).shape == (34, 1600, 3)
    # 1703 x 37 -> 256 x 6, each pixel the mean of a box of the file's.
    assert numpy.array_equal(vrscreen.thumbnail(wide, 256),
                             vrstool_png(wide, tmp_path / "thumb.png", "-s", "256"))


def test_row_slices_and_blocks_are_the_whole(capture):
    path = capture(41, 29, 16)
    whole = vrscreen.read(path)
    for rows in (slice(0, 1), slice(5, 17), slice(-3, None), slice(28, 99), slice(10, 4)):
        assert numpy.array_equal(vrscreen.read(path, rows=rows), whole[rows])
    blocks = list(vrscreen.iter_rows(path, block=8))
    assert [first for first, _ in blocks] == [0, 8, 16, 24]
    assert numpy.array_equal(numpy.concatenate([b for _, b in blocks]), whole)
    view = vrscreen.read(capture(1703, 37), view=True)
    view_blocks = vrscreen.iter_rows(capture(1703, 37), block=10, view=True)
    assert numpy.array_equal(numpy.concatenate([b for _, b in view_blocks]), view)
    with pytest.raises(ValueError):
        vrscreen.read(path, rows=slice(0, 10, 2))
    # Large enough for a read to share its rows with a helper thread, which
    # takes them from the bottom; iter_rows' blocks are read by one thread.
    # Random rows, in memory: a row put in the wrong place shows.
    large = bytearray(capture(1, 1, 16).read_bytes()[:196])
    large[124:136] = b"".join(n.to_bytes(4, "big") for n in (2049, 4099, 8198))
    large += os.urandom(2049 * 8198)
    shared = vrscreen.read(large)
    assert numpy.array_equal(shared, numpy.concatenate([b for _, b in vrscreen.iter_rows(large)]))


def test_every_kind_of_source_reads_the_same(capture, tmp_path):
    path = capture(19, 11)
    whole = vrscreen.read(path)
    data = path.read_bytes()
    # A name that is not UTF-8, as bytes; the capture 5 bytes into an open file.
    odd = os.fsencode(str(tmp_path)) + b"/caf\xe9.vrs"
    with open(odd, "wb") as f:
        f.write(data)
    with open(tmp_path / "inside.bin", "wb") as f:
        f.write(b"12345" + data)
    read_fd, write_fd = os.pipe()
    os.write(write_fd, data)
    os.close(write_fd)
    with open(tmp_path / "inside.bin", "rb") as inside, os.fdopen(read_fd, "rb") as pipe:
        inside.seek(5)
        sources = [str(path), path, odd, inside, pipe, io.BytesIO(data), data,
                   bytearray(data), memoryview(data)]
        for source in sources:
            assert numpy.array_equal(vrscreen.read(source), whole), repr(source)


def test_bad_files_are_refused_with_vrstools_words(tmp_path):
    bad = sorted(CORPUS.glob("bad-*.vrs"))
    assert len(bad) >= 8
    fifo = tmp_path / "fifo.vrs"
    os.mkfifo(fifo)
    for path in bad + [fifo]:
        run = vrstool("convert", "-q", "-o", tmp_path / "out.png", path)
        words = run.stderr.strip().removeprefix("vrstool: ")
        assert run.returncode == 1 and words.startswith(f"{path}: ")
        with pytest.raises(vrscreen.Error) as refused:
            vrscreen.read(path)
        assert str(refused.value) == words
        assert isinstance(refused.value, ValueError)
        with pytest.raises(vrscreen.Error):
            vrscreen.iter_rows(path)  # at once, not at the first block
        if path != fifo:
            with pytest.raises(vrscreen.Error):
                vrscreen.read(path.read_bytes())
    with pytest.raises(FileNotFoundError) as missing:
        vrscreen.read(tmp_path / "none.vrs")
    assert missing.value.errno == errno.ENOENT
    with pytest.raises(IsADirectoryError):
        vrscreen.thumbnail(tmp_path)


def test_info_has_the_fields_of_vrstool_info_json(capture, tmp_path):
    fifo = tmp_path / "fifo.vrs"
    os.mkfifo(fifo)
    files = sorted(CORPUS.glob("*.vrs")) + [capture(1703, 37, 16, True), fifo]
    for path in files:
        fields = vrscreen.info(str(path))
        assert fields == vrstool_info(path)
        assert fields["readable"] == path.name.startswith(("good", "rect"))


def test_a_file_cut_short_between_blocks_is_refused(capture):
    path = capture(64, 64)
    blocks = vrscreen.iter_rows(path, block=16)
    next(blocks)
    os.truncate(path, 196 + 64 * 4 * 20)
    with pytest.raises(vrscreen.Error, match=f"^{path}: changed while it was being read$"):
        next(blocks)


def test_threads_read_in_parallel_while_python_runs(capture):
    paths = [capture(300 + 7 * i, 200, 16 if i % 2 else 32) for i in range(6)]
    alone = [vrscreen.read(p) for p in paths]
    with ThreadPoolExecutor(4) as pool:
        together = list(pool.map(vrscreen.read, paths * 3))
    assert all(numpy.array_equal(a, b) for a, b in zip(alone * 3, together))
    # A thread that holds the GIL is never made to give it up here, so the
    # main thread runs while the other decodes only if decoding lets go of it.
    reader = vrscreen._readable(paths[0])
    out = numpy.empty_like(alone[0])
    interval = sys.getswitchinterval()
    sys.setswitchinterval(1000)
    try:
        started, main_ran, seen = threading.Event(), threading.Event(), []

        def reads():
            started.set()
            for _ in range(5000):
                reader.read_into(out, 0, len(out))
                if main_ran.is_set():
                    break
            seen.append(main_ran.is_set())

        thread = threading.Thread(target=reads)
        thread.start()
        started.wait()
        main_ran.set()
        thread.join()
    finally:
        sys.setswitchinterval(interval)
    assert seen == [True]


def test_ctrl_c_stops_a_long_read(tmp_path):
    # A thumbnail of 8000 x 8000 pixels of 16 bits: a long read with a small
    # result, which shows where the read stopped. The capture is in memory
    # (zeros after the header, which cost no memory until written), so the
    # read takes no disk and every row is read.
    path = tmp_path / "long.vrs"
    make_capture(path, 1, 1, 16)
    data = bytearray(196 + 8000 * 16000)
    data[:196] = path.read_bytes()[:196]
    data[124:136] = b"".join(n.to_bytes(4, "big") for n in (8000, 8000, 16000))
    reader = vrscreen._readable(data)
    width, height = reader.thumbnail_size(4000)
    out = bytearray(b"\xab") * (width * height * 3)

    def interrupt_once_the_read_has_begun():
        while out[0] == 0xAB:
            time.sleep(0.0005)
        _thread.interrupt_main()

    threading.Thread(target=interrupt_once_the_read_has_begun).start()
    with pytest.raises(KeyboardInterrupt):
        reader.thumbnail_into(out, width, height)
    assert out[:3] == b"\0\0\0" and out[-3:] == b"\xab\xab\xab"
