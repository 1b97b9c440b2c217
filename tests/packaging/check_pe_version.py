#!/usr/bin/env python3
# Checks Windows executables: 32-bit x86 PE files whose version resource gives the
# product name, a file description and the expected version, in the fixed part (what
# Explorer's Details tab shows as file version) and in the strings.
#   check_pe_version.py VERSION EXE...
import re
import struct
import sys


def check(path, version):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        return "not an executable"
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return "no PE header"
    machine = struct.unpack_from("<H", data, pe + 4)[0]
    magic = struct.unpack_from("<H", data, pe + 24)[0]
    if machine != 0x14C or magic != 0x10B:
        return "not 32-bit x86 (machine %#x, optional header %#x)" % (machine, magic)

    # The fixed file information: signature, structure version, then file and product
    # version as two 32-bit words each (major<<16 | minor, build<<16 | revision).
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return "no version resource"
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", data, at + 8)
    parts = [int(p) for p in version.split(".")] + [0, 0, 0]
    want_ms, want_ls = parts[0] << 16 | parts[1], parts[2] << 16 | parts[3]
    if (file_ms, file_ls, product_ms, product_ls) != (want_ms, want_ls, want_ms, want_ls):
        return "fixed version %#x.%#x, product %#x.%#x" % (file_ms, file_ls, product_ms, product_ls)

    # The strings are UTF-16: key, NUL padding to a 32-bit boundary, value.
    def value(key):
        found = re.search((key + "\0").encode("utf-16-le") + rb"(?:\0\0)*((?:[^\0].|\0[^\0])*?)\0\0",
                          data, re.S)
        return found.group(1).decode("utf-16-le", "replace") if found else None

    expected = {"ProductName": "Quillreap", "FileVersion": version, "ProductVersion": version}
    for key, want in expected.items():
        if value(key) != want:
            return "%s reads %r, not %r" % (key, value(key), want)
    if not value("FileDescription"):
        return "no FileDescription"
    return None


failed = False
for exe in sys.argv[2:]:
    problem = check(exe, sys.argv[1])
    print("%s: %s" % (exe, problem or "32-bit, version " + sys.argv[1]))
    failed = failed or problem is not None
sys.exit(1 if failed else 0)
