#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed corpus of fuzz_tga: small TGA images of every accepted kind, and damaged ones."""
import os
import struct
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "tga")
os.makedirs(out, exist_ok=True)


def tga(image_type, depth, width, height, data, descriptor=0, image_id=b"", cmap=b"", cmap_type=None,
        cmap_first=0, cmap_size=24, cmap_length=None):
    entry = (cmap_size + 7) // 8
    if cmap_length is None:
        cmap_length = len(cmap) // entry if entry else 0
    if cmap_type is None:
        cmap_type = 1 if cmap else 0
    header = struct.pack("<BBBHHBHHHHBB", len(image_id), cmap_type, image_type, cmap_first, cmap_length,
                         cmap_size, 0, 0, width, height, depth, descriptor)
    return header + image_id + cmap + data


def rle(values, size, row_units):
    """Run-length packets; every row of row_units values starts a new packet (0: packets cross rows)."""
    res = bytearray()
    count = len(values) // size
    span = row_units or count
    for start in range(0, count, span):
        row = [values[(start + i) * size:(start + i + 1) * size] for i in range(min(span, count - start))]
        i = 0
        while i < len(row):
            n = 1
            while i + n < len(row) and n < 128 and row[i + n] == row[i]:
                n += 1
            if n >= 2:
                res += bytes([0x80 | (n - 1)]) + row[i]
            else:
                n = 1
                while i + n < len(row) and n < 128 and not (i + n + 1 < len(row) and row[i + n] == row[i + n + 1]):
                    n += 1
                res += bytes([n - 1]) + b"".join(row[i:i + n])
            i += n
    return bytes(res)


def pixels(width, height, size, salt=0):
    return bytes(((i // (3 * size)) * 37 + salt * 11 + i * 3) & 0xFF for i in range(width * height * size))


grey_map = bytes(v for i in range(256) for v in (i, 255 - i, (i * 7) & 0xFF))
seeds = {}
w, h = 5, 3
for depth, raw_type, rle_type, kwargs in [
    (1, 3, 11, {}),
    (8, 3, 11, {}),
    (8, 1, 9, {"cmap": grey_map}),
    (16, 2, 10, {}),
    (24, 2, 10, {}),
    (32, 2, 10, {}),
]:
    units = (w + 7) // 8 if depth == 1 else w
    size = 1 if depth == 1 else depth // 8
    data = pixels(units, h, size, depth)
    name = f"d{depth}{'_map' if kwargs else ''}"
    for descriptor in (0x00, 0x30):
        seeds[f"{name}_raw_{descriptor:02x}"] = tga(raw_type, depth, w, h, data, descriptor, **kwargs)
        seeds[f"{name}_rle_{descriptor:02x}"] = tga(rle_type, depth, w, h, rle(data, size, units), descriptor,
                                                     **kwargs)
    seeds[f"{name}_rle_across"] = tga(rle_type, depth, w, h, rle(data, size, 0), 0x20, **kwargs)

# Colour maps of every entry size, with an offset, and entries past index 255.
for cmap_size in (15, 16, 24, 32, 8):
    entry = (cmap_size + 7) // 8
    seeds[f"map{cmap_size}"] = tga(1, 8, 4, 2, bytes([0, 1, 2, 3, 3, 2, 1, 0]), cmap=bytes(range(4 * entry)) * 1,
                                   cmap_size=cmap_size)
seeds["map_offset"] = tga(1, 8, 4, 1, bytes([15, 16, 19, 20]), cmap=bytes(range(12)), cmap_first=16)
seeds["map_past_255"] = tga(9, 8, 4, 1, bytes([0x83, 254]), cmap=bytes(range(12)), cmap_first=254)
seeds["true_colour_with_map"] = tga(2, 24, 2, 1, bytes(6), cmap=bytes(range(6)))
seeds["image_id"] = tga(2, 24, 1, 1, b"\x01\x02\x03", image_id=b"hello")
seeds["wide_rle"] = tga(10, 24, 300, 2, bytes([0xFF, 1, 2, 3]) * 5)
seeds["footer"] = tga(2, 24, 1, 1, b"\x01\x02\x03") + bytes(8) + b"TRUEVISION-XFILE.\0"

# Damaged and rejected.
good = tga(10, 24, w, h, rle(pixels(w, h, 3), 3, w))
seeds["cut_in_rows"] = good[:len(good) - 5]
seeds["cut_in_header"] = good[:10]
seeds["cut_in_map"] = tga(1, 8, 4, 1, bytes(4), cmap=grey_map)[:100]
seeds["header_only_wide"] = tga(2, 24, 21845, 100, b"")
seeds["header_only_high"] = tga(3, 8, 100, 32767, b"")
seeds["too_wide"] = tga(2, 24, 21846, 1, bytes(64))
seeds["zero_size"] = tga(2, 24, 0, 5, b"")
seeds["depth4"] = tga(1, 4, 4, 4, bytes(8), cmap=bytes(48))
seeds["type0"] = tga(0, 24, 1, 1, bytes(3))
seeds["depth15"] = tga(2, 15, 1, 1, bytes(2))
seeds["empty"] = b""
for name, data in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
