#!/usr/bin/python3
"""Makes a synthetic font set of N families in OUT: OUT/fonts/ holds N-1 tiny TrueType files, each
its own family, cut from DejaVu Sans down to the glyphs of the sample text, plus DejaVu Sans itself
for the interface; OUT/fonts.conf is a fontconfig file that sees only that folder; OUT/names.txt
lists the synthetic family names in file order. The cache is built once with fc-cache; a set that
is already complete is left as it is."""

import io
import os
import random
import shutil
import subprocess
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

BASE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
INTERFACE = ["/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"]
SAMPLE = "Texto ejemplo"

SYLLABLES = ["al", "ba", "ce", "dor", "el", "fa", "gra", "hel", "in", "ja", "ka", "lu", "mar", "ne", "or",
             "pa", "qui", "ro", "sa", "te", "ul", "va", "wen", "xi", "yo", "zan", "ña", "é", "ö", "ba"]
KINDS = ["Sans", "Serif", "Mono", "Display", "Script", "Text", "Grotesk", "Antiqua", "Slab", "Round"]


def family_names(count):
    """Distinct, made-up names in no particular order: some lower-case, some accented, so that
    collation has real work to do."""
    rng = random.Random(20261207)
    seen = set()
    names = []
    while len(names) < count:
        word = "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(2, 4)))
        if rng.random() > 0.05:
            word = word[0].upper() + word[1:]
        name = f"{word} {rng.choice(KINDS)}"
        if rng.random() < 0.7:
            name += f" {rng.randint(1, 999)}"
        if name.lower() in seen or name.lower().startswith("dejavu"):
            continue
        seen.add(name.lower())
        names.append(name)
    return names


def base_font():
    options = subset.Options()
    options.hinting = False
    options.layout_features = []
    options.name_IDs = [1, 2, 3, 4, 5, 6]
    options.notdef_outline = True
    options.glyph_names = False
    options.drop_tables += ["FFTM", "GDEF", "GPOS", "GSUB", "kern", "DSIG", "MATH"]
    font = TTFont(BASE)
    subsetter = subset.Subsetter(options)
    subsetter.populate(text=SAMPLE)
    subsetter.subset(font)
    out = io.BytesIO()
    font.save(out)
    return out.getvalue()


def write_font(base, family, path):
    font = TTFont(io.BytesIO(base))
    name = font["name"]
    name.names = []
    postscript = "".join(c for c in family if c.isascii() and c.isalnum()) or "Synthetic"
    for name_id, value in ((1, family), (2, "Regular"), (3, f"{postscript}-Regular"), (4, family),
                           (5, "Version 1.0"), (6, f"{postscript}-Regular")):
        name.setName(value, name_id, 3, 1, 0x409)
    font.save(path)


def write_config(out):
    fonts = os.path.join(out, "fonts")
    cache = os.path.join(out, "cache")
    with open(os.path.join(out, "fonts.conf"), "w", encoding="utf-8") as conf:
        conf.write(f"""<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>{fonts}</dir>
  <cachedir>{cache}</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
""")


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make-fonts.py N OUT")
    count = int(sys.argv[1])
    out = os.path.abspath(sys.argv[2])
    done = os.path.join(out, "complete")
    if os.path.exists(done):
        return
    shutil.rmtree(out, ignore_errors=True)
    fonts = os.path.join(out, "fonts")
    os.makedirs(fonts)
    for path in INTERFACE:
        shutil.copy(path, fonts)
    names = family_names(count - 1)
    base = base_font()
    for index, family in enumerate(names):
        write_font(base, family, os.path.join(fonts, f"{index:05d}.ttf"))
    with open(os.path.join(out, "names.txt"), "w", encoding="utf-8") as listing:
        listing.write("\n".join(names) + "\n")
    write_config(out)
    env = dict(os.environ, FONTCONFIG_FILE=os.path.join(out, "fonts.conf"))
    subprocess.run(["fc-cache", "-f"], env=env, check=True)
    open(done, "w").close()


if __name__ == "__main__":
    main()
