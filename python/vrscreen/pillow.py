# SPDX-License-Identifier: MIT
"""Importing vrscreen.pillow teaches Pillow to open virtual-screen captures.

    >>> import vrscreen.pillow
    >>> from PIL import Image
    >>> im = Image.open("shot.vrs")      # reads the header only
    >>> im.thumbnail((256, 256))         # box-averaged rows: the thumbnail's memory

Image.open() judges the header and the file's length as vrstool does; load()
decodes the rows a block at a time into the image. draft() and thumbnail()
read a box-averaged picture no larger than they need, so a thumbnail of a
huge capture costs about the thumbnail's memory. Pillow refuses pictures
over Image.MAX_IMAGE_PIXELS twice over (about 179 megapixels) as
decompression bombs; raise that limit for larger captures, whose work and
memory here follow the bytes the file holds.
"""

import io
import math

from PIL import Image, ImageFile

from . import _open
from ._vrscreen import HEADER_SIZE, recognise

FORMAT = "VRS"
_DECODER = "vrscreen"
# Rows decoded into the image at a time: about this many bytes.
_BLOCK_BYTES = 4 << 20


def _accept(prefix):
    """A first look at a file's first bytes: a version a capture can have."""
    version = int.from_bytes(prefix[:4], "big", signed=True)
    return len(prefix) >= 4 and 2 <= version <= 0xFFFF


class VrsImageFile(ImageFile.ImageFile):
    format = FORMAT
    format_description = "Virtual-screen capture"

    def _open(self):
        if not recognise(self.fp.read(HEADER_SIZE)):
            raise SyntaxError("not a virtual-screen capture")
        self.fp.seek(0)
        if isinstance(self.fp, io.BytesIO):
            # Its bytes, without a copy.
            self._reader = _open(self.fp.getbuffer())
        else:
            self._reader = _open(self.fp)
        self._reader.require_readable()
        self.mode = "RGB"
        self._full_size = self._reader.size(False)
        self._size = self._full_size
        self._set_tile(None)

    def load_end(self):
        self._reader = None  # its file is closed once nothing more is read

    def _set_tile(self, shrunk):
        self.tile = [(_DECODER, (0, 0) + self._size, 0, (self._reader, shrunk))]

    def draft(self, mode, size):
        """Makes load() read the picture box-averaged to the smallest size
        an integer factor gives that is at least `size` both ways."""
        if not size or not self.tile:
            return None
        width, height = self._full_size
        wanted = (max(1, math.ceil(size[0])), max(1, math.ceil(size[1])))
        scale = min(width // wanted[0], height // wanted[1])
        if scale < 2:
            self._size = self._full_size
            self._set_tile(None)
            return None
        self._size = (math.ceil(width / scale), math.ceil(height / scale))
        self._set_tile(self._size)
        return self.mode, (0, 0) + self._size


class _Decoder(ImageFile.PyDecoder):
    """Fills the image from the reader: rows a block at a time, or the
    box-averaged picture at once."""

    _pulls_fd = True

    def decode(self, buffer):
        reader, shrunk = self.args
        x0, y0, x1, y1 = self.state.extents()
        width, height = x1 - x0, y1 - y0
        if shrunk is not None:
            rows = bytearray(width * height * 3)
            reader.thumbnail_into(rows, width, height)
            self._put(rows, x0, y0, x1, y1)
        else:
            block = max(1, _BLOCK_BYTES // (3 * width))
            for first in range(0, height, block):
                count = min(block, height - first)
                rows = bytearray(width * count * 3)
                reader.read_into(rows, first, count, False)
                self._put(rows, x0, y0 + first, x1, y0 + first + count)
        return -1, 0

    def _put(self, rows, x0, y0, x1, y1):
        raw = Image._getdecoder("RGB", "raw", ("RGB", 0, 1))
        raw.setimage(self.im, (x0, y0, x1, y1))
        status, error = raw.decode(bytes(rows))
        if status >= 0 or error != 0:
            raise OSError("the decoded rows did not fill the image")


Image.register_open(FORMAT, VrsImageFile, _accept)
Image.register_decoder(_DECODER, _Decoder)
Image.register_extensions(FORMAT, [".vrs"])
Image.register_mime(FORMAT, "image/x-vrscreen")
