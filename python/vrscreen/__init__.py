# SPDX-License-Identifier: MIT
"""Virtual-screen captures (.vrs) as NumPy arrays, read by vrsview's own reader.

    >>> import vrscreen
    >>> vrscreen.read("shot.vrs").shape          # (height, width, 3), uint8
    >>> vrscreen.read("shot.vrs", view=True)     # the viewer's screen-sized image
    >>> vrscreen.read("huge.vrs", rows=slice(0, 512))
    >>> for first, rows in vrscreen.iter_rows("huge.vrs", block=256): ...
    >>> vrscreen.thumbnail("shot.vrs", 256)      # vrstool thumbnail's box average
    >>> vrscreen.info("shot.vrs")                # vrstool info --json's fields
    >>> vrscreen.diff("before.vrs", "after.png")  # vrstool diff --json's result

A source is a path (str, bytes for names that are not UTF-8, or os.PathLike),
an open binary file, or the capture's bytes: a bytearray, a memoryview, or
bytes holding a NUL byte (which no path can hold; every capture's header
does). A file this module will not read raises vrscreen.Error (a
ValueError) with vrstool's words; a failure of the system raises OSError.
The GIL is released while a capture is read, so threads read in parallel,
and Ctrl+C stops a long read.
"""

import io
import os

from ._vrscreen import HEADER_SIZE as _HEADER_SIZE
from ._vrscreen import Reader as _Reader
from ._vrscreen import __version__
from ._vrscreen import bytes_needed as _bytes_needed
from ._vrscreen import diff as _diff

__all__ = ["Error", "info", "read", "iter_rows", "thumbnail", "diff", "__version__"]

# A stream without a descriptor is read this many bytes at a time, so memory
# follows what arrives rather than what a header claims.
_STREAM_STEP = 1 << 20


class Error(ValueError):
    """A file that is not a capture this module reads, or that changed while
    it was read; the message is the line vrstool prints for it."""


def _is_path(source):
    if isinstance(source, bytes):
        return b"\0" not in source
    return isinstance(source, (str, os.PathLike))


def _stream_bytes(stream):
    """The capture's bytes from a stream, read no further than its header says."""
    head = stream.read(_HEADER_SIZE)
    if not isinstance(head, bytes):
        raise TypeError("the file must be opened in binary mode")
    chunks = [head]
    left = _bytes_needed(head) - len(head)
    while left > 0:
        chunk = stream.read(min(left, _STREAM_STEP))
        if not chunk:
            break
        chunks.append(chunk)
        left -= len(chunk)
    return b"".join(chunks)


def _descriptor(stream):
    """The descriptor of a file opened with open() or io.FileIO, and where the
    stream stands in it; None for other streams (a gzip file has a descriptor
    too, of bytes that are not the ones it reads)."""
    raw = getattr(stream, "raw", stream)
    if not isinstance(stream, (io.FileIO, io.BufferedReader, io.BufferedRandom)) or not isinstance(
        raw, io.FileIO
    ):
        return None
    try:
        return stream.fileno(), stream.tell()
    except (OSError, ValueError):
        return None


def _open(source):
    """A Reader of `source`, whose header has been judged but not refused."""
    if _is_path(source):
        path = os.fsencode(source)
        return _Reader.from_path(path, os.fsdecode(path))
    if hasattr(source, "read"):
        name = getattr(source, "name", None)
        name = name if isinstance(name, str) else "<file>"
        placed = _descriptor(source)
        if placed is not None:
            try:
                return _Reader.from_descriptor(placed[0], placed[1], name)
            except Error:
                pass  # not a regular file (a pipe): read as a stream below
        return _Reader.from_buffer(_stream_bytes(source), name)
    return _Reader.from_buffer(source, "<bytes>")


def _readable(source):
    reader = _open(source)
    reader.require_readable()
    return reader


def _empty(height, width):
    import numpy

    return numpy.empty((height, width, 3), dtype=numpy.uint8)


def info(path):
    """What vrstool info --json says of one file, as a dict.

    A file that cannot be read as a capture is described too ("readable":
    False, "error": why); only a failure of the system (no such file, no
    permission) raises OSError. "file" is the path as given.
    """
    name = os.fspath(path) if _is_path(path) else getattr(path, "name", None)
    try:
        reader = _open(path)
    except Error as refusal:
        # Not a regular file (a pipe, a device): described as vrstool does.
        return {"file": name, "readable": False, "error": str(refusal)}
    return {"file": name, **reader.report()}


def _rows_of(height, rows):
    if rows is None:
        return 0, height
    if not isinstance(rows, slice):
        raise TypeError("rows must be a slice")
    first, end, step = rows.indices(height)
    if step != 1:
        raise ValueError("rows must be a slice without a step")
    return first, max(first, end)


def read(source, *, view=False, rows=None):
    """The picture as an array of shape (height, width, 3), dtype uint8.

    view=True gives the view image the viewer shows (at most 1600 x 1200);
    rows=slice(a, b) gives those rows only, reading only their bytes.
    """
    reader = _readable(source)
    width, height = reader.size(view)
    first, end = _rows_of(height, rows)
    out = _empty(end - first, width)
    reader.read_into(out, first, end - first, view)
    return out


def iter_rows(source, block=256, *, view=False):
    """(first row, array of up to `block` rows) for each block, top to bottom:
    a picture larger than memory, a block at a time. A file that cannot be
    read is refused here, before the first block."""
    if block < 1:
        raise ValueError("block must be at least 1")
    reader = _readable(source)
    width, height = reader.size(view)

    def blocks():
        for first in range(0, height, block):
            count = min(block, height - first)
            out = _empty(count, width)
            reader.read_into(out, first, count, view)
            yield first, out

    return blocks()


def thumbnail(source, size=256):
    """The picture shrunk so that its longer side is at most `size` (never
    enlarged), each pixel the mean of those it covers: vrstool thumbnail -s size."""
    reader = _readable(source)
    width, height = reader.thumbnail_size(size)
    out = _empty(height, width)
    reader.thumbnail_into(out, width, height)
    return out


def diff(a, b, *, threshold=0.0, antialiasing=False, ignore=()):
    """What changed from picture `a` to picture `b`, each a capture (any
    source read() takes) or a PNG file, compared as the colours the viewer
    shows: the dict vrstool diff --json prints. "regions" are boxes [x, y,
    width, height] from the top-left corner, the largest first.

    threshold (0 to 1): how far apart two colours must be to count, as
    pixelmatch measures it; antialiasing=True leaves out pixels that look
    anti-aliased; ignore: boxes (x, y, width, height) not compared.
    """
    return _diff(_open(a), _open(b), float(threshold), bool(antialiasing),
                 [list(box) for box in ignore])
