#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed corpus of fuzz_container: small valid and damaged containers."""
import os
import struct
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "container")
os.makedirs(out, exist_ok=True)


def scramble(data, key=0xB1):
    res = bytearray()
    for b in data:
        s = b ^ key
        res.append(s)
        key = (key + s) & 0xFF
    return bytes(res)


def container(entries, scrambled=True, seed=0xB1, count=None, magic=None):
    magic = magic or (b"RES\0" if scrambled else b"RS2\0")
    directory = bytearray(magic + struct.pack("<i", len(entries) if count is None else count))
    size = len(directory) + sum(12 + len(n) + 1 for n, _ in entries)
    offset = size
    for name, data in entries:
        directory += struct.pack("<i", len(name) + 1) + name + b"\0" + struct.pack("<ii", offset, len(data))
        offset += len(data)
    body = bytes(directory)
    blobs = [d for _, d in entries]
    if scrambled:
        body = scramble(body, seed)
        blobs = [scramble(d, seed) for d in blobs]
    return (b"SKR2" if scrambled else b"") + body + b"".join(blobs)


scene = b'SceneName="Big Jump"\r\nAuthor=x\r\n'
seeds = {
    "plain_empty": container([], scrambled=False),
    "plain_two": container([(b"track.scn", scene), (b"textures\\trackS.tga", bytes(range(64)))], scrambled=False),
    "scrambled_two": container([(b"track.scn", scene), (b"c:trackS.tga", bytes(range(64)))]),
    "scrambled_dupes": container([(b"scn", b"a"), (b"SCN", b"b"), (b"", b""), (b"x", b"")]),
    "count_too_large": container([(b"a.scn", scene)], count=0x7FFFFFFF),
    "negative_count": container([(b"a.scn", scene)], count=-1),
    "truncated": container([(b"a.scn", scene), (b"b", b"bbbb")])[:30],
    "other_magic": container([(b"a", b"abc")], magic=b"XYZ\0"),
    "tiny": b"RS",
}
bad = bytearray(container([(b"a.scn", scene)], scrambled=False))
bad[8:12] = struct.pack("<i", 200)  # name length above 81
seeds["long_name_length"] = bytes(bad)
bad = bytearray(container([(b"a.scn", scene)], scrambled=False))
bad[18:22] = struct.pack("<i", 0x7FFFFFF0)  # offset far outside
seeds["offset_outside"] = bytes(bad)
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
