#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the seed corpus of fuzz_archive: small packs of tracks as players download them, made with
# free tools (Info-ZIP's zip, 7z from p7zip-full, bsdtar from libarchive-tools), and damaged ones.
# No free tool writes RAR: make_rar_seeds.py writes the RAR seeds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/corpus/archive}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A pack: two tracks in sub-folders, one stopped, a duplicate name, a picture and a read-me.
mkdir -p "$work/pack/Baja/mx" "$work/pack/SX"
cp "$here/corpus/container/plain_two" "$work/pack/Baja/mx/Jump.env"
cp "$here/corpus/container/scrambled_two" "$work/pack/SX/Whoops.~ENV"
cp "$here/corpus/container/plain_two" "$work/pack/SX/jump.env"
printf 'Put the tracks into Vevozura.\r\n' >"$work/pack/readme.txt"
ln -s ../readme.txt "$work/pack/SX/link.env"

cd "$work/pack"
export TZ=UTC SOURCE_DATE_EPOCH=1700000000
find . -exec touch -h -d @1700000000 {} +
files=(Baja/mx/Jump.env SX/Whoops.~ENV SX/jump.env readme.txt)
zip -q -X -0 "$out/stored.zip" "${files[@]}"
zip -q -X -9 "$out/deflate.zip" "${files[@]}"
zip -q -X -y "$out/symlink.zip" SX/link.env Baja/mx/Jump.env
zip -q -X -P secret "$out/encrypted.zip" SX/jump.env
7z a -bd -bso0 -mtc=off -mta=off "$work/solid.7z" "${files[@]}" && mv "$work/solid.7z" "$out/solid.7z"
7z a -bd -bso0 -psecret -mhe=off "$work/enc.7z" SX/jump.env && mv "$work/enc.7z" "$out/encrypted.7z"
bsdtar --format ustar -cf "$out/plain.tar" "${files[@]}" SX/link.env
bsdtar --format ustar --options gzip:!timestamp -czf "$out/pack.tar.gz" "${files[@]}"
bsdtar --format ustar -cjf "$out/pack.tar.bz2" "${files[@]}"
bsdtar --format ustar -cJf "$out/pack.tar.xz" "${files[@]}"
# Names that try to leave the event folder.
bsdtar --format ustar -P -s ',^Baja/mx/,../../,' -s ',^SX/,/tmp/,' -cf "$out/traversal.tar" \
    Baja/mx/Jump.env SX/jump.env
# Cut short inside an entry, and a flipped byte inside a deflated entry.
head -c 300 "$out/deflate.zip" >"$out/truncated.zip"
head -c 350 "$out/pack.tar.gz" >"$out/truncated.tar.gz"
cp "$out/deflate.zip" "$out/flipped.zip"
printf '\xff' | dd of="$out/flipped.zip" bs=1 seek=80 conv=notrunc status=none
# A 7z whose LZMA coder declares a 4 GiB dictionary for 100 kB of zeros.
head -c 100000 /dev/zero >"$work/zeros.env"
(cd "$work" && 7z a -bd -bso0 -mhc=off -mtc=off -mta=off -m0=LZMA:d=64k dictionary.7z zeros.env)
python3 - "$work/dictionary.7z" "$out/dictionary.7z" <<'PY'
import struct, sys, zlib
data = bytearray(open(sys.argv[1], "rb").read())
offset, size, _ = struct.unpack("<QQI", data[12:32])  # 0x0C the start header: where the header is
header = 32 + offset
props = data.find(bytes([0x03, 0x01, 0x01, 0x05]), header) + 5  # the LZMA coder's five property bytes
data[props:props + 4] = struct.pack("<I", 0xFFFFFFFF)
data[28:32] = struct.pack("<I", zlib.crc32(data[header:header + size]))
data[8:12] = struct.pack("<I", zlib.crc32(data[12:32]))
open(sys.argv[2], "wb").write(data)
PY
