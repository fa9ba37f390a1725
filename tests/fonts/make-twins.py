#!/usr/bin/python3
"""Makes one family installed from two foundries, as real collections have it (an OpenType and a
Type 1 copy of the same face, or two makers' builds of it): two copies of DejaVu Sans renamed
"Gemela", with the OS/2 vendor ids QVAA and QVBB. The second has the higher font revision, so it
is the copy the font configuration prefers for the plain family name, while a toolkit that takes
the first copy it was given finds the other.

    make-twins.py OUTDIR
"""

import sys
from pathlib import Path

from fontTools.ttLib import TTFont

SOURCE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FAMILY = "Gemela"
COPIES = (("gemela-a.ttf", "QVAA", 1.0), ("gemela-b.ttf", "QVBB", 2.0))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for file_name, vendor, revision in COPIES:
        font = TTFont(SOURCE)
        names = font["name"]
        for record in list(names.names):
            if record.nameID in (16, 17):
                names.removeNames(nameID=record.nameID)
        for name_id, text in ((1, FAMILY), (2, "Regular"), (3, f"{FAMILY} {vendor}"), (4, FAMILY), (6, FAMILY)):
            names.setName(text, name_id, 3, 1, 0x409)
            names.setName(text, name_id, 1, 0, 0)
        font["OS/2"].achVendID = vendor
        font["head"].fontRevision = revision
        font.save(out / file_name)


if __name__ == "__main__":
    main()
