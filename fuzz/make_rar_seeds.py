#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the RAR seeds of fuzz_archive: no free tool writes RAR, so these stored (unpacked) RAR 4 and
RAR 5 archives are put together here, byte by byte, from the published layout of the two formats."""
import os
import struct
import sys
import zlib

here = os.path.dirname(os.path.abspath(__file__))
out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "corpus", "archive")
os.makedirs(out, exist_ok=True)
with open(os.path.join(here, "corpus", "container", "scrambled_two"), "rb") as f:
    track = f.read()
files = [("Pack\\SX\\Whoops.~env", track), ("Pack\\readme.txt", b"Put the tracks into Vevozura.\r\n"),
         ("..\\..\\climb.env", track)]
DOS_TIME = 0x578E6000  # 2023-12-14 12:00


def rar4(entries):
    def block(kind, flags, body):
        head = struct.pack("<BHH", kind, flags, 7 + len(body)) + body
        return struct.pack("<H", zlib.crc32(head) & 0xFFFF) + head

    data = b"Rar!\x1a\x07\x00" + block(0x73, 0, b"\0" * 6)
    for name, payload in entries:
        raw = name.encode()
        body = struct.pack("<IIBIIBBHI", len(payload), len(payload), 2, zlib.crc32(payload), DOS_TIME,
                           20, 0x30, len(raw), 0x20) + raw
        data += block(0x74, 0x8000, body) + payload
    return data + block(0x7B, 0x4000, b"")


def vint(value):
    result = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        result.append(byte | (0x80 if value else 0))
        if not value:
            return bytes(result)


def rar5(entries):
    def header(fields, payload=b""):
        size = vint(len(fields))
        return struct.pack("<I", zlib.crc32(size + fields)) + size + fields + payload

    data = b"Rar!\x1a\x07\x01\x00" + header(vint(1) + vint(0) + vint(0))
    for name, payload in entries:
        raw = name.replace("\\", "/").encode()
        fields = (vint(2) + vint(0x02) + vint(len(payload)) + vint(0x04) + vint(len(payload)) + vint(0x20) +
                  struct.pack("<I", zlib.crc32(payload)) + vint(0) + vint(0) + vint(len(raw)) + raw)
        data += header(fields, payload)
    return data + header(vint(5) + vint(0) + vint(0))


seeds = {"stored.rar": rar4(files), "stored5.rar": rar5(files)}
cut = rar4(files)
seeds["truncated.rar"] = cut[: len(cut) - len(track) - 40]
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
