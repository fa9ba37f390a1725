#!/usr/bin/python3
"""Reads the built Windows program back: a GUI program whose icon group holds the images of the
project's icon file, and whose version record is the release's, in Spanish (Spain).
    exe_resources.py QUELVARO_EXE ICON_FILE"""
import struct
import sys

import pefile

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
SPANISH_SPAIN = 0x0C0A
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def resources(pe, kind):
    """{(name id, language): bytes} of one resource type."""
    found = {}
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != kind:
            continue
        for name in entry.directory.entries:
            for lang in name.directory.entries:
                data = lang.data.struct
                found[(name.id, lang.id)] = pe.get_data(data.OffsetToData, data.Size)
    return found


def icon_file_images(path):
    """[(width, height, image bytes)] of a .ico file, in its order."""
    data = open(path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    assert kind == 1, f"{path} is not an icon file"
    images = []
    for i in range(count):
        w, h, _, _, _, _, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        images.append((w or 256, h or 256, data[offset:offset + size]))
    return images


exe, ico = sys.argv[1], sys.argv[2]
pe = pefile.PE(exe)
check(pe.FILE_HEADER.Machine == 0x8664, "not an x86-64 program")
check(pe.OPTIONAL_HEADER.Subsystem == 2, f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, not a GUI program (2)")

# The icon group names its images by id; each must be the icon file's image of that place.
groups = resources(pe, RT_GROUP_ICON)
icons = {name: data for (name, _), data in resources(pe, RT_ICON).items()}
check(len(groups) == 1, f"{len(groups)} icon groups, not 1")
expected = icon_file_images(ico)
check(len(expected) == 3 and all(w == h == 32 for w, h, _ in expected), "the icon file is not three 32 x 32 images")
for group in groups.values():
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    check(kind == 1 and count == len(expected), f"the icon group holds {count} images, not {len(expected)}")
    for i in range(min(count, len(expected))):
        w, h, _, _, _, _, size, image_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        check((w, h) == (32, 32), f"icon image {i} is {w} x {h}")
        check(icons.get(image_id) == expected[i][2], f"icon image {i} differs from the icon file's")

versions = resources(pe, RT_VERSION)
check([lang for _, lang in versions] == [SPANISH_SPAIN], f"version record languages {[hex(l) for _, l in versions]}")
fixed = pe.VS_FIXEDFILEINFO[0]
file_version = (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF)
check(file_version == (1, 1, 0, 0), f"file version {file_version}")
strings = {}
for info in pe.FileInfo[0]:
    if info.Key == b"StringFileInfo":
        for table in info.StringTable:
            check(table.LangID == b"0C0A04B0", f"string table {table.LangID}")
            strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    if info.Key == b"VarFileInfo":
        check(info.Var[0].entry == {b"Translation": "0x0c0a 0x04b0"}, f"translation {info.Var[0].entry}")
for key in ("FileVersion", "ProductVersion"):
    check(strings.get(key) == "1.01", f"{key} is {strings.get(key)!r}, not '1.01'")
check(strings.get("OriginalFilename") == "quelvaro.exe", f"OriginalFilename is {strings.get('OriginalFilename')!r}")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
