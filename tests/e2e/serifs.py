#!/usr/bin/env python3
"""Whether the text in a picture of a caption is drawn in a serif face, judged as a person would:
the upright strokes that stand alone (l, I, the stem of T) end in feet wider than the stroke.

    serifs.py PICTURE.pgm   prints "STEMS FOOTED": how many such strokes were found and how many
                            of them have feet; dark text on a lighter background, as ImageMagick
                            writes a grey picture (binary PGM).
"""
import sys


def read_pgm(path):
    with open(path, 'rb') as f:
        data = f.read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b'#':
            pos = data.index(b'\n', pos)
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    if fields[0] != b'P5' or int(fields[3]) > 255:
        raise SystemExit(f'{path}: not an 8-bit binary PGM')
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height]
    return width, height, [pixels[y * width:(y + 1) * width] for y in range(height)]


def ink(width, height, rows):
    """The pixels a quarter of the way or more from the background (the commonest grey) to the
    darkest: thin strokes drawn in grey at small sizes stay whole."""
    counts = [0] * 256
    for row in rows:
        for v in row:
            counts[v] += 1
    background = max(range(256), key=counts.__getitem__)
    darkest = min(v for v in range(256) if counts[v])
    cut = background - (background - darkest) / 4
    mask = [[v < cut for v in row] for row in rows]
    # An underline is one unbroken run of ink across most of the text: taken out, so that the
    # letters above it stand alone.
    columns = [x for x in range(width) if any(mask[y][x] for y in range(height))]
    if columns:
        extent = columns[-1] - columns[0] + 1
        for y in range(height):
            xs = [x for x in range(width) if mask[y][x]]
            if xs and len(xs) == xs[-1] - xs[0] + 1 and len(xs) >= extent * 0.8:
                mask[y] = [False] * width
    return mask


def components(width, height, mask):
    seen = [[False] * width for _ in range(height)]
    for y0 in range(height):
        for x0 in range(width):
            if not mask[y0][x0] or seen[y0][x0]:
                continue
            seen[y0][x0] = True
            stack, points = [(x0, y0)], []
            while stack:
                x, y = stack.pop()
                points.append((x, y))
                for nx in (x - 1, x, x + 1):
                    for ny in (y - 1, y, y + 1):
                        if 0 <= nx < width and 0 <= ny < height and mask[ny][nx] and not seen[ny][nx]:
                            seen[ny][nx] = True
                            stack.append((nx, ny))
            yield points


def stems(width, height, mask):
    """For each tall component that is one upright stroke in its middle, whether it stands on a foot."""
    shapes = []
    for points in components(width, height, mask):
        spans = {}
        for x, y in points:
            lo, hi = spans.get(y, (x, x))
            spans[y] = (min(lo, x), max(hi, x))
        top, bottom = min(spans), max(spans)
        shapes.append((top, bottom, spans))
    if not shapes:
        return []
    tallest = max(bottom - top + 1 for top, bottom, _ in shapes)
    found = []
    for top, bottom, spans in shapes:
        tall = bottom - top + 1
        if tall < tallest * 0.75 or tall < 6:
            continue
        width_at = lambda y: spans[y][1] - spans[y][0] + 1 if y in spans else 0
        rows = range(top + tall * 3 // 10, bottom - tall * 3 // 10 + 1)
        middle = sorted(width_at(y) for y in rows)
        stroke = middle[len(middle) // 2]
        lefts = [spans[y][0] for y in rows if y in spans]
        # One upright stroke: thin, and straight up through the middle of its height (not a
        # diagonal, as in z or V).
        if stroke > max(3, tall // 4) or middle[-1] > stroke + 1 or max(lefts) - min(lefts) > 1:
            continue
        # A foot reaches out on both sides of the stroke; the arm of a C or the hook of a t only
        # to one.
        left, right = min(lefts), max(spans[y][1] for y in rows if y in spans)
        feet = [spans[y] for y in (bottom, bottom - 1) if y in spans]
        footed = any(lo < left and hi > right and hi - lo + 1 >= stroke + 2 for lo, hi in feet)
        found.append(footed)
    return found


def main():
    width, height, rows = read_pgm(sys.argv[1])
    found = stems(width, height, ink(width, height, rows))
    print(len(found), sum(found))


if __name__ == '__main__':
    main()
