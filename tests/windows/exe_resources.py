#!/usr/bin/python3
"""Reads the built Windows program back: a GUI program whose icon group holds the images of the
project's icon file, and whose version record is the release's, in Spanish (Spain), with the
company and copyright of the LICENSE; the installer's version record names the same. Then its
portable zip: one folder holding everything, the licences and the third-party notice in
licenses\\, the notice covering every bundled file and naming the versions the build used, Qt's as
Qt's own DLL records it.
    exe_resources.py QUELVARO_EXE SETUP_EXE ICON_FILE ZIP LICENSE VERSION VERSION_TEXT MAKER FOLDER
                     NOTICE_VERSION..."""
import fnmatch
import re
import struct
import sys
import zipfile

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


def file_version(pe):
    """A program's file version, as four numbers, from the fixed part of its version record."""
    fixed = pe.VS_FIXEDFILEINFO[0]
    return (fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16, fixed.FileVersionLS & 0xFFFF)


def string_tables(pe):
    """The language and code page of each string table of a program's version record."""
    return [table.LangID for info in getattr(pe, "FileInfo", [[]])[0] if info.Key == b"StringFileInfo"
            for table in info.StringTable]


def version_strings(pe):
    """The string table of a program's version record."""
    strings = {}
    for info in getattr(pe, "FileInfo", [[]])[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                strings.update({k.decode(): v.decode() for k, v in table.entries.items()})
    return strings


exe, setup, ico, package, license_file, version, version_text, maker, folder = sys.argv[1:10]
notice_versions = sys.argv[10:]
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
check(file_version(pe) == tuple(int(part) for part in version.split(".")), f"file version {file_version(pe)}, not {version}")
for lang in string_tables(pe):
    check(lang == b"0C0A04B0", f"string table {lang}")
strings = version_strings(pe)
for info in pe.FileInfo[0]:
    if info.Key == b"VarFileInfo":
        check(info.Var[0].entry == {b"Translation": "0x0c0a 0x04b0"}, f"translation {info.Var[0].entry}")
for key in ("FileVersion", "ProductVersion"):
    check(strings.get(key) == version_text, f"{key} is {strings.get(key)!r}, not {version_text!r}")
check(strings.get("OriginalFilename") == "quelvaro.exe", f"OriginalFilename is {strings.get('OriginalFilename')!r}")
license_text = open(license_file, encoding="utf-8").read()
copyright = next(line for line in license_text.splitlines() if line.startswith("Copyright "))
check(strings.get("LegalCopyright") == copyright, f"LegalCopyright is {strings.get('LegalCopyright')!r}, not {copyright!r}")
check(strings.get("CompanyName") == maker and copyright.endswith(" " + maker),
      f"CompanyName is {strings.get('CompanyName')!r}; the LICENSE's holder: {copyright!r}")

# The installer: the release's version, the maker and the product, in Spanish (NSIS writes its
# Spanish as that of Spain's traditional sort, 0x040A).
setup_pe = pefile.PE(setup)
check(file_version(setup_pe) == tuple(int(part) for part in version.split(".")),
      f"the installer's version {file_version(setup_pe)}, not {version}")
check(string_tables(setup_pe), "the installer's version record has no string table")
for lang in string_tables(setup_pe):
    check(int(lang[:4], 16) & 0x3FF == 0x0A, f"the installer's string table {lang}")
setup_strings = version_strings(setup_pe)
for key, expected in (("ProductName", strings.get("ProductName")), ("CompanyName", maker), ("FileVersion", version_text),
                      ("ProductVersion", version_text), ("LegalCopyright", copyright)):
    check(setup_strings.get(key) == expected, f"the installer's {key} is {setup_strings.get(key)!r}, not {expected!r}")

# Everything in one folder, so that unpacking the zip makes that folder and nothing beside it.
zip_file = zipfile.ZipFile(package)
outside = [n for n in zip_file.namelist() if not n.startswith(folder + "/")]
check(not outside, f"the zip holds {outside[:5]} outside {folder}/")
names = [n[len(folder) + 1:] for n in zip_file.namelist() if n.startswith(folder + "/") and not n.endswith("/")]


def text(name):
    data = zip_file.read(folder + "/" + name)
    check(b"\n" not in data.replace(b"\r\n", b""), f"{name} does not end its lines as Windows does")
    return data.decode("utf-8-sig").replace("\r\n", "\n")


licenses = {n[len("licenses/"):] for n in names if n.startswith("licenses/")}
expected = {"LICENSE.txt", "LICENCIA.txt", "THIRD-PARTY-NOTICES.txt", "LGPL-3.0.txt", "GPL-3.0.txt", "GCC-exception-3.1.txt",
            "winpthreads.txt", "Qt.txt", "qt-build/qt.sh", "qt-build/mingw-w64.cmake", "qt-build/qt.patch"}
if any(n.startswith("translations/") for n in names):
    expected.add("Qt-translations.txt")
check(licenses == expected, f"licenses/ holds {sorted(licenses)}, not {sorted(expected)}")
if licenses >= expected:
    check(text("licenses/LICENSE.txt") == license_text, "licenses/LICENSE.txt is not the LICENSE")
    check(zip_file.read(folder + "/licenses/LICENCIA.txt").startswith(b"\xef\xbb\xbf"),
          "licenses/LICENCIA.txt has no byte-order mark: the installer's licence page would read it as ANSI")
    spanish = open(license_file[:-len("LICENSE")] + "LICENCIA", encoding="utf-8").read()
    check(text("licenses/LICENCIA.txt") == spanish, "licenses/LICENCIA.txt is not the LICENCIA")
    for name, first_words in (("LGPL-3.0.txt", "GNU LESSER GENERAL PUBLIC LICENSE Version 3,"),
                              ("GPL-3.0.txt", "GNU GENERAL PUBLIC LICENSE Version 3,"),
                              ("GCC-exception-3.1.txt", "GCC RUNTIME LIBRARY EXCEPTION Version 3.1,"),
                              ("winpthreads.txt", "Files: mingw-w64-libraries/winpthreads/"),
                              ("Qt.txt", "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/")):
        words = " ".join(text("licenses/" + name).split())
        check(words.startswith(first_words), f"licenses/{name} begins {words[:60]!r}")

    # Every file beside the program's own is one of a component's files, and each component's
    # version is the build's.
    notice = text("licenses/THIRD-PARTY-NOTICES.txt")
    patterns = [p.strip().replace("\\", "/") for line in notice.splitlines() if line.startswith("  Files: ")
                for p in line[len("  Files: "):].split(",")]
    for name in names:
        if name != "quelvaro.exe" and not name.startswith("licenses/"):
            check(any(fnmatch.fnmatch(name, p) for p in patterns), f"the notice names no component for {name}")
    words = " ".join(notice.split())
    for named in notice_versions:
        check(named in words, f"the notice does not name {named}")
    qt = pefile.PE(data=zip_file.read(folder + "/Qt6Core.dll"))
    qt_version = ".".join(version_strings(qt).get("ProductVersion", "").split(".")[:3])
    check(f"Qt {qt_version} " in words and f"qt6-base {qt_version}+" in words,
          f"the notice does not name the Qt {qt_version!r} that Qt6Core.dll is")
    # The versions of the code inside Qt's DLLs are the ones built in: these libraries keep their
    # version as a string in the DLL, which a notice typed by hand or left from another Qt misses.
    for library, dll in (("HarfBuzz", "Qt6Gui.dll"), ("libpng", "Qt6Gui.dll"), ("zlib", "Qt6Core.dll")):
        named = re.search(rf"^  (?=\S).*{library}.* ([0-9]+\.[0-9]+\.[0-9]+)$", notice, re.MULTILINE | re.IGNORECASE)
        check(named, f"the notice names no version of {library}")
        if named:
            version = rb"(?<![0-9.])" + re.escape(named[1].encode()) + rb"(?![0-9.])"
            check(re.search(version, zip_file.read(f"{folder}/{dll}")),
                  f"the notice names {library} {named[1]}, which is not the one in {dll}")
    size = sum(i.compress_size for i in zip_file.infolist() if i.filename.startswith(folder + "/licenses/"))
    print(f"licenses/ adds {size} bytes to the zip")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
