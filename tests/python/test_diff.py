# SPDX-License-Identifier: MIT
# vrscreen.diff against vrstool diff --json on the same pairs.
import json

import pytest
import vrscreen
from conftest import vrstool


def vrstool_diff(a, b, *options):
    run = vrstool("diff", "--json", *options, a, b)
    assert run.returncode in (0, 1), run.stderr
    return json.loads(run.stdout)


def test_diff_gives_vrstool_diff_json(capture, tmp_path):
    a = capture(64, 48, 32)
    png = tmp_path / "a.png"
    assert vrstool("convert", "-q", "-o", png, a).returncode == 0
    # B: A with a red block and one pixel of another row changed.
    b = tmp_path / "b.vrs"
    data = bytearray(a.read_bytes())
    stride = 64 * 4
    for y in range(10, 14):
        for x in range(10, 30):
            data[196 + y * stride + 4 * x:196 + y * stride + 4 * x + 4] = b"\0\xff\0\0"
    data[196 + 40 * stride + 4 * 8 + 1] ^= 0x40
    b.write_bytes(data)
    sixteen = capture(64, 48, 16, True)
    cases = [(a, png, ()), (a, b, ()), (b, png, ("--threshold", "0.2")),
             (a, sixteen, ("--antialiasing",)), (a, b, ("--ignore", "0,10,64,5")),
             (a, capture(63, 48), ())]
    for x, y, options in cases:
        keywords = {}
        if options and options[0] == "--threshold":
            keywords["threshold"] = float(options[1])
        if options == ("--antialiasing",):
            keywords["antialiasing"] = True
        if options and options[0] == "--ignore":
            keywords["ignore"] = [tuple(map(int, options[1].split(",")))]
        assert vrscreen.diff(x, y, **keywords) == vrstool_diff(x, y, *options), (x, y, options)
    assert vrscreen.diff(a, png)["identical"]
    assert len(vrscreen.diff(a, b)["regions"]) == 2
    bad = tmp_path / "cut.vrs"
    bad.write_bytes(bytes(data[:1000]))
    words = vrstool("diff", a, bad).stderr.strip().removeprefix("vrstool: ")
    with pytest.raises(vrscreen.Error) as refused:
        vrscreen.diff(a, bad)
    assert str(refused.value) == words
