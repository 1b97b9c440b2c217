#!/usr/bin/env python3
"""Reads a ZIP archive back as an independent reader would: Python's zipfile checks every
CRC, and the entries are extracted to DIR. Prints one line per entry, in archive order:
name, method (0 stored, 8 deflated) and the length of its local extra field."""
import struct
import sys
import zipfile

archive, directory = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(archive) as zf:
    bad = zf.testzip()
    if bad is not None:
        sys.exit(f"bad CRC in {bad}")
    with open(archive, "rb") as raw:
        for info in zf.infolist():
            raw.seek(info.header_offset)
            local = raw.read(30)
            signature, method, name_length, extra_length = (
                struct.unpack("<I", local[:4])[0],
                struct.unpack("<H", local[8:10])[0],
                *struct.unpack("<HH", local[26:30]),
            )
            if signature != 0x04034B50 or method != info.compress_type:
                sys.exit(f"local header of {info.filename} disagrees")
            print(f"{info.filename}\t{method}\t{extra_length}")
    zf.extractall(directory)
