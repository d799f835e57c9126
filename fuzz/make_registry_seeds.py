#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed corpus of fuzz_registry: Wine registry files, sound and damaged."""
import os
import sys

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus", "registry")
os.makedirs(out, exist_ok=True)

MAGIC = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
WOW = "[Software\\\\Wow6432Node\\\\Vuzezevev\\\\Vuzezevev Games\\\\Skarn Rally 2] 1796687312\n"
PLAIN = "[Software\\\\Vuzezevev\\\\Vuzezevev Games\\\\Skarn Rally 2] 1796687312\n"


def utf16_hex(text, per_line=20):
    data = (text + "\0").encode("utf-16-le")
    parts = ["%02x" % b for b in data]
    lines = []
    for i in range(0, len(parts), per_line):
        lines.append(",".join(parts[i:i + per_line]))
    return ",\\\n  ".join(lines)


seeds = {
    "wine8_excerpt": MAGIC
    + "[Software\\\\Acme\\\\Acme Games\\\\Racer64] 1796687312\n#time=1dd86a57770f166\n"
    + "\"HardDriveRootPath\"=\"D:\\\\Games\\\\Racer\"\n\n"
    + WOW + "#time=1dd86a5778cea24\n\"HardDriveRootPath\"=\"C:\\\\Games\\\\Skarn\"\n\n"
    + "[Software\\\\Wow6432Node\\\\Vuzezevev\\\\Vuzezevev Games\\\\Skarn Rally 2\\\\Br\\[ack\\]et] 1796687312\n"
    + "[A] 1796687332\n@=\"dflt\"\n\"Multi\"=str(7):\"one\\0two\\0\"\n"
    + "\"Name With \\\"Quote\\\"\"=\"v\"\n\"Q\"=hex(b):89,67,45,23,01,00,00,00\n"
    + "\"BigBin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    + "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n  2f\n"
    + "\"Dword\"=dword:0000002a\n\"None\"=hex(0):\n"
    + "\"Expand\"=str(2):\"%ProgramFiles%\\\\A\"\n\"Link\"=hex(6):41,00\n\"OddLen\"=hex(1):41,00,00,00,00\n"
    + "\"TabNl\"=\"A\\tB\\nC\\r\\0017\\e\"\n\"Unicode\"=\"Caf\\xe9 \\x20ac9 \\xd83c\\xdfc1\"\n",
    "plain_key_32bit_prefix": "WINE REGISTRY Version 2\n#arch=win32\n" + PLAIN
    + "\"HardDriveRootPath\"=str:\"C:\\\\Program Files\\\\Skarn Rally 2\"\n",
    "hex2_continuation": MAGIC + WOW + "\"HardDriveRootPath\"=hex(2):" + utf16_hex("C:\\Games\\Skarn Rally 2\\Very Long") + "\n",
    "hex1_value": MAGIC + "[A]\n\"A\"=hex(1):" + utf16_hex("x\u00e9y") + "\n",
    "crlf": MAGIC.replace("\n", "\r\n") + WOW.replace("\n", "\r\n") + "\"HardDriveRootPath\"=\"C:\\\\G\"\r\n",
    "case_and_merge": MAGIC + "[software\\\\WOW6432NODE\\\\vuzezevev\\\\VUZEZEVEV GAMES\\\\skarn rally 2]\n"
    + "\"harddriverootpath\"=\"first\"\n[A]\n\"A\"=\"x\"\n" + WOW + "\"HARDDRIVEROOTPATH\"=\"second\"\n",
    "wrong_types": MAGIC + WOW + "\"HardDriveRootPath\"=dword:00000001\n[A]\n\"A\"=hex:41,00\n@=str(7):\"a\\0\"\n",
    "damaged_lines": MAGIC + "[A\n\"A\"=\"hidden\"\n[A]\n\"A\"=\"unterminated\n\"A=\"x\"\n\"A\"\"y\"\n"
    + "\"A\"=hex:1ff,00\n\"A\"=hex(2):41,00,\\\n" + "[a\\\\b]\n@=hex(zz):00\n\"A\"=str(3):\"q\"\n",
    "escapes": MAGIC + "[a\\\\b]\n@=\"\\x\\xg\\0\\1234\\777\\q\\\\\\\"\"\n\"\\xc9\"=\"\\xd800 lone\"\n"
    + "\"A\"=\"raw \xc3\xa9 bad \xff\xc3 end\"\n",
    "nul_and_arch": MAGIC + "[A]\n\"A\"=\"before\0after\"\n#arch=win32\n" + "[a\\\\b]\n#arch=bad\n",
    "implicit_parent": MAGIC + "[a\\\\b\\\\c]\n\"x\"=\"y\"\n",
    "not_registry": "WINE REGISTRY Version 1\n[A]\n\"A\"=\"x\"\n",
}

for name, text in seeds.items():
    with open(os.path.join(out, name), "wb") as f:
        # Characters above 0x7F in these texts stand for raw bytes.
        f.write(text.encode("latin-1"))
