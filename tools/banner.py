#!/usr/bin/python3
"""Writes resources/banner.svg: the formula P = √3UI cos φ on a yellow-green
field, typeset from FreeSerif's outlines so that the picture holds only paths
and looks the same whatever fonts a machine has.

Usage: banner.py OUTPUT.svg   (tools/make-resources runs it)
"""

import sys

from fontTools.pens.basePen import BasePen
from fontTools.pens.boundsPen import BoundsPen
from fontTools.pens.transformPen import TransformPen
from fontTools.ttLib import TTFont

WIDTH, HEIGHT = 322, 71
FIELD = "#D8F28C"
FRAME = "#3B5323"
INK = "#000000"

FONT_DIR = "/usr/share/fonts/truetype/freefont/"
UPRIGHT = FONT_DIR + "FreeSerif.ttf"
ITALIC = FONT_DIR + "FreeSerifItalic.ttf"

SIZE = 38  # px per em; both faces have 1000 units per em
SCALE = SIZE / 1000

# Spacing in font units, as math is set: thick around the relation, a little
# more than thin around the operator name so that "cos" stands apart.
THICK = 280
OPERATOR = 210

# The surd is drawn here rather than taken from the font, since its upstroke
# has to run into the bar over the radicand.
BAR = 2 / SCALE    # bar thickness: 2 px at 1x, so it stays crisp
BAR_GAP = 110      # clearance between the radicand and the bar
BAR_OVERHANG = 60  # the bar's run past the radicand's ink
RADICAND_GAP = 40  # between the upstroke and the radicand's ink
SLANT = 0.165      # the upstroke's run per unit of rise
UPSTROKE = 56      # the upstroke's width across x
FOOT = (300, -60)  # where the heavy stroke meets the upstroke

# The formula as (text, face, space before). A run is kerned with its face's
# pairs; "√" takes the next character as its radicand.
FORMULA = [
    ("P", ITALIC, 0),
    ("=", UPRIGHT, THICK),
    ("√3", UPRIGHT, THICK),
    ("UI", ITALIC, 0),
    ("cos", UPRIGHT, OPERATOR),
    ("\u03c6", ITALIC, OPERATOR),  # the looped φ of phase angles
]


def number(value):
    text = f"{value:.2f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


class PathPen(BasePen):
    """Collects outlines as SVG path data, absolute and rounded to 0.01."""

    def __init__(self):
        super().__init__(None)
        self.parts = []

    def _xy(self, *points):
        return " ".join(f"{number(x)} {number(y)}" for x, y in points)

    def _moveTo(self, pt):
        self.parts.append("M" + self._xy(pt))

    def _lineTo(self, pt):
        self.parts.append("L" + self._xy(pt))

    def _qCurveToOne(self, pt1, pt2):
        self.parts.append("Q" + self._xy(pt1, pt2))

    def _curveToOne(self, pt1, pt2, pt3):
        self.parts.append("C" + self._xy(pt1, pt2, pt3))

    def _closePath(self):
        self.parts.append("Z")

    def data(self):
        return "".join(self.parts)


class Face:
    def __init__(self, path):
        font = TTFont(path)
        assert font["head"].unitsPerEm == 1000
        self.glyphs = font.getGlyphSet()
        self.cmap = font.getBestCmap()
        self.kerning = {}
        if "kern" in font:
            for table in font["kern"].kernTables:
                self.kerning.update(table.kernTable)

    def glyph(self, char):
        return self.glyphs[self.cmap[ord(char)]]

    def kern(self, left, right):
        return self.kerning.get((self.cmap[ord(left)], self.cmap[ord(right)]), 0)

    def bounds(self, char):
        pen = BoundsPen(self.glyphs)
        self.glyph(char).draw(pen)
        return pen.bounds


def upstroke_x(y, right=False):
    """The upstroke's left (or right) edge at height y."""
    return FOOT[0] + (UPSTROKE if right else 0) + (y - FOOT[1]) * SLANT


def surd(pen, x, top, bar_end):
    """Draws the radical sign at x, its bar's top at top, running to bar_end."""
    under = top - BAR
    outline = [  # round the sign from the tip of the lead-in stroke
        (0, 392),
        (22, 420),
        (112, 470),  # top of the heavy stroke
        (upstroke_x(150, right=True) - 6, 150),  # crotch between the strokes
        (upstroke_x(under, right=True), under),
        (bar_end - x, under),
        (bar_end - x, top),
        (upstroke_x(top), top),
        FOOT,
        (100, 405),  # the heavy stroke's left edge meets the lead-in
        (28, 372),
    ]
    pen.moveTo((x + outline[0][0], outline[0][1]))
    for px, py in outline[1:]:
        pen.lineTo((x + px, py))
    pen.closePath()


def layout():
    """Returns the formula as a list of draw(pen) calls in font units, with
    the baseline at y=0, and their ink bounds."""
    faces = {path: Face(path) for path in (UPRIGHT, ITALIC)}
    calls = []
    x = 0
    for text, path, space in FORMULA:
        face = faces[path]
        x += space
        previous = None
        radical = False
        for char in text:
            if char == "√":
                radical = True
                continue
            if previous:
                x += face.kern(previous, char)
            if radical:
                # The radicand tucks under the bar, clear of the upstroke
                # where the two come closest: at the radicand's top.
                left, _, right, height = face.bounds(char)
                top = round((height + BAR_GAP + BAR) * SCALE) / SCALE  # on the grid
                surd_x = x
                x += upstroke_x(height, right=True) + RADICAND_GAP - left
                bar_end = x + right + BAR_OVERHANG
                calls.append(lambda pen, sx=surd_x, t=top, e=bar_end: surd(pen, sx, t, e))
            glyph, offset = face.glyph(char), x
            calls.append(lambda pen, g=glyph, o=offset:
                         g.draw(TransformPen(pen, (1, 0, 0, 1, o, 0))))
            x += glyph.width
            if radical:
                x = max(x, bar_end)  # what follows stays clear of the bar
                radical = False
            previous = char
    bounds = BoundsPen(None)
    for call in calls:
        call(bounds)
    return calls, bounds.bounds


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1])

    calls, (x0, y0, x1, y1) = layout()
    # Centre the ink; the baseline goes on a whole pixel, and with it the bar.
    left = (WIDTH - (x1 - x0) * SCALE) / 2 - x0 * SCALE
    baseline = round((HEIGHT + (y1 + y0) * SCALE) / 2)
    paths = []
    for call in calls:
        pen = PathPen()
        call(TransformPen(pen, (SCALE, 0, 0, -SCALE, left, baseline)))
        paths.append(f'<path d="{pen.data()}"/>')
    glyphs = "\n".join(paths)

    svg = f"""<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" width="{WIDTH}" height="{HEIGHT}" viewBox="0 0 {WIDTH} {HEIGHT}">
<title>P = √3UI cos φ</title>
<rect x="0.5" y="0.5" width="{WIDTH - 1}" height="{HEIGHT - 1}" fill="{FIELD}" stroke="{FRAME}" stroke-width="1"/>
<g fill="{INK}">
{glyphs}
</g>
</svg>
"""
    with open(sys.argv[1], "w", encoding="utf-8") as out:
        out.write(svg)


if __name__ == "__main__":
    main()
