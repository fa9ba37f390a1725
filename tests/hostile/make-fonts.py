#!/usr/bin/python3
"""Builds the hostile font set: broken files, odd and enormous names, look-alike families, and
real colour, bitmap, variable and very large fonts.

    make-fonts.py OUTDIR

The fonts go to OUTDIR/fonts and OUTDIR/fonts.conf is a fontconfig file that sees only them. The
set is the same on every run: the random bytes come from a fixed seed.
"""

import random
import shutil
import sys
from pathlib import Path

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib.tables.TupleVariation import TupleVariation

UPM = 1000
ASCENT, DESCENT = 800, 200
SAMPLE_CHARS = [chr(c) for c in range(0x20, 0x7F)] + list("áéíóúñÁÉÍÓÚÑüÜ¿¡")

# Colour emoji drawn from CBDT bitmaps, and a font of bitmaps only, without outlines.
DEBIAN_FONTS = {
    "emoji-color.ttf": "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf",
    "bitmap-terminus.otb": "/usr/share/fonts/opentype/terminus/terminus-normal.otb",
}

FONTS_CONF = """<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>{fonts}</dir>
  <cachedir>{cache}</cachedir>
</fontconfig>
"""


def glyph(shape, code):
    """A box glyph whose notch depends on the character and the font, so that fonts look different."""
    pen = TTGlyphPen(None)
    if code == 0x20:
        return pen.glyph()
    width = 500 + 60 * (shape % 5)
    stem = 60 + 40 * (shape % 3)
    top = 700 if chr(code).isupper() else 500
    notch = 100 + (code * 37 + shape * 11) % (top - 200)
    pen.moveTo((50, 0))
    pen.lineTo((50, top))
    pen.lineTo((width - 50, top))
    pen.lineTo((width - 50, notch))
    pen.lineTo((width - 50 - stem, notch))
    pen.lineTo((width - 50 - stem, top - stem))
    pen.lineTo((50 + stem, top - stem))
    pen.lineTo((50 + stem, stem))
    pen.lineTo((width - 50, stem))
    pen.lineTo((width - 50, 0))
    pen.closePath()
    return pen.glyph()


def build(family, shape, extra_codes=(), variable=False):
    codes = [ord(c) for c in SAMPLE_CHARS] + list(extra_codes)
    order = [".notdef"] + [f"u{code:04X}" for code in codes]
    fb = FontBuilder(UPM, isTTF=True)
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({code: f"u{code:04X}" for code in codes})
    glyphs = {".notdef": glyph(shape, 0x25A1)}
    glyphs.update({f"u{code:04X}": glyph(shape, code) for code in codes})
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (550 + 60 * (shape % 5), 50) for name in order})
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    names = {
        "familyName": family,
        "styleName": "Regular",
        "uniqueFontIdentifier": f"Quelvaro hostile {shape}",
        "fullName": f"{family} Regular".strip(),
        "psName": f"QuelvaroHostile{shape}-Regular",
        "version": "Version 1.000",
    }
    fb.setupNameTable(names, mac=False)
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=-DESCENT, usWinAscent=ASCENT, usWinDescent=DESCENT)
    fb.setupPost()
    if variable:
        fb.setupFvar(axes=[("wght", 100, 400, 900, "Weight")],
                     instances=[{"location": {"wght": w}, "stylename": s}
                                for w, s in ((100, "Thin"), (400, "Regular"), (900, "Black"))])
        # Towards Black the inner contour moves, thickening the strokes; the four phantom points stay.
        variations = {}
        for name, g in glyphs.items():
            if not g.numberOfContours:
                continue
            deltas = [(0, 0), (0, 0), (0, 0), (0, 0), (-40, 0), (-40, -40), (40, -40), (40, 40), (0, 40), (0, 0)]
            variations[name] = [TupleVariation({"wght": (0, 1.0, 1.0)}, deltas + [(0, 0)] * 4)]
        fb.setupGvar(variations)
    return fb.font


def main():
    root = Path(sys.argv[1]).resolve()
    out = root / "fonts"
    shutil.rmtree(root / "cache", ignore_errors=True)
    shutil.rmtree(out, ignore_errors=True)
    out.mkdir(parents=True)

    def save(name, font):
        font.save(out / name)

    (out / "empty.ttf").write_bytes(b"")
    rng = random.Random(6)
    (out / "random.ttf").write_bytes(bytes(rng.randrange(256) for _ in range(65536)))
    # Half a font keeps its table directory and loses the glyphs and names; 100 bytes end inside
    # the directory.
    whole = build("Hostil Truncada", shape=1)
    whole.save(out / "truncated.ttf")
    data = (out / "truncated.ttf").read_bytes()
    (out / "truncated.ttf").write_bytes(data[: len(data) // 2])
    (out / "truncated-header.ttf").write_bytes(data[:100])

    save("no-family.ttf", build("", shape=2))
    save("long-name.ttf", build(("Hostil Larga " + "abcdefghij" * 100)[:1000], shape=3))
    save("control.ttf", build("Hostil\tControl\nSegunda l\u00ednea\u0007\u001b", shape=4))
    save("arabic.ttf", build("\u062e\u0637 \u0627\u0644\u0627\u062e\u062a\u0628\u0627\u0631", shape=5))
    save("hebrew.ttf", build("\u05d2\u05d5\u05e4\u05df \u05d1\u05d3\u05d9\u05e7\u05d4", shape=6))
    save("chinese.ttf", build("\u6d4b\u8bd5\u5b57\u4f53", shape=7))
    save("japanese.ttf", build("\u30c6\u30b9\u30c8\u66f8\u4f53", shape=8))
    save("twin-1.ttf", build("Hostil Gemela", shape=9))
    save("twin-2.ttf", build("Hostil Gemela", shape=10))
    save("case-lower.ttf", build("Hostil Caso", shape=11))
    save("case-upper.ttf", build("HOSTIL CASO", shape=12))
    save("comma.ttf", build("Hostil, Coma", shape=13))
    save("brackets.ttf", build("Hostil [Corchete]", shape=14))
    save("variable.ttf", build("Hostil Variable", shape=15, variable=True))
    save("thousands.ttf", build("Hostil Miles", shape=16, extra_codes=range(0x4E00, 0x4E00 + 20000)))
    for name, source in DEBIAN_FONTS.items():
        shutil.copyfile(source, out / name)

    (root / "fonts.conf").write_text(FONTS_CONF.format(fonts=out, cache=root / "cache"), encoding="utf-8")


if __name__ == "__main__":
    main()
