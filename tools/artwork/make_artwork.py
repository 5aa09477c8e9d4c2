#!/usr/bin/python3
"""Draws the installer's pictures and icons into resources/art/.

    tools/artwork/make_artwork.py            # (re)write resources/art/ and docs/artwork.png
    tools/artwork/make_artwork.py --check    # draw in memory, compare with the files, change nothing

Every bitmap and icon the installer's resource script links in is drawn by
this script, and the drawn files are kept in the repository beside it, so a
build needs neither fonts nor this script: run it only after changing a
picture, and commit what it writes.

What it writes
--------------
resources/art/ (the resource script fragment art.rc declares them all, by
the names resources/resource.h gives their ids; the installer's main .rc
includes it as "art/art.rc", with resources/ on the include path):

    id   file               size      bits  picture
    166  bg_white.bmp       630x398   32    plain white page (alpha byte 0xFF)
    168  slide_a.bmp        630x398   24    red slide: globe, "Installing language packs..."
    169  slide_b.bmp        630x398   24    red slide: speech bubbles, "33 languages for your client"
    170  finish.bmp         630x398   24    red page: "Installation complete", white band at the bottom
    128  app.ico            48/32/24/16     application icon: red rounded square, white "Q"
    189  close_red.ico      24/16           red cross RGB(250,49,56)
    193  close_white.ico    24/16           white cross
    194  min_grey.ico       24/16           grey dash 0x666666
    195  min_white.ico      24/16           white dash
    199..235 label_<id>.bmp 100x32    24    a language's own name, dark grey on white
                                            (label_233.bmp is 32 bits, alpha 0xFF)

docs/artwork.png is a contact sheet for reviewers: every picture read back
from the files just written, at 1:1 with its resource id (icons also
enlarged four times, over a checkerboard, red and dark grey).

Places the program paints over (keep them calm when changing a picture):
  - every 630x398 page: the top strip y 0..25 (title text, and the minimise
    and close buttons at x 570..625);
  - slides: the empty progress track, a white rounded bar covering
    x 35..596, y 360..373 (radius 6), which the program fills; the
    "Installing" caption at x 20..130, y 320..345;
  - finish page: the red "Start Now" button at x 300..430, y 360..390, which
    sits on the white band at the bottom.

File formats
------------
BMP: BITMAPFILEHEADER + BITMAPINFOHEADER (40 bytes), BI_RGB, bottom-up rows
padded to 4 bytes, 2835 pixels per metre. ICO: one BITMAPINFOHEADER image
per size, 32 bits with straight (not premultiplied) alpha, followed by its
1-bit AND mask; a mask bit is set exactly where the pixel is fully
transparent, and such pixels are all zero.

Requirements
------------
Debian's Python 3 (/usr/bin/python3) with PyGObject's Pango and PangoCairo,
pycairo and Pillow (python3-gi, python3-gi-cairo, gir1.2-pango-1.0,
python3-cairo, python3-pil; tools/setup.sh installs them). cairo and Pango
draw; Pillow writes the BMP and PNG files and reads every file back (the
icon container is put together here: Pillow's own writer stores no AND
masks). Text is laid out and shaped by Pango with HarfBuzz, so Arabic is
joined and set right to left with mirrored parentheses, and Thai marks are
placed correctly. Each text is set in one named font, checked to be the
font fontconfig actually loads, with font fallback switched off, so a
missing glyph is an error and never a box:

    Noto Sans               Latin, Greek, Cyrillic, Vietnamese   fonts-noto-core
    Noto Sans Arabic        Arabic (its parentheses: Noto Sans)  fonts-noto-core
    Noto Sans Thai          Thai                                 fonts-noto-core
    Noto Sans CJK KR/TC/JP  Korean, Traditional Chinese, Japanese fonts-noto-cjk

The output is the same, byte for byte, on every run with the same fonts,
cairo, Pango and fontconfig set-up: nothing random, no time stamps, and
the text drawn with grey anti-aliasing, slight hinting and unhinted metrics
asked for explicitly (a local fontconfig rule that forces other settings
would still change the pixels). --check exits 1 when any file differs from
what the script draws now.
"""

import argparse
import io
import math
import os
import re
import struct
import sys

try:
    import cairo
    import gi

    gi.require_version("Pango", "1.0")
    gi.require_version("PangoCairo", "1.0")
    from gi.repository import Pango, PangoCairo
    from PIL import Image
except (ImportError, ValueError) as missing:
    sys.exit("make_artwork: %s; run it with Debian's /usr/bin/python3 after tools/setup.sh" % missing)

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
ART_DIR = os.path.join(REPO, "resources", "art")
SHEET_PATH = os.path.join(REPO, "docs", "artwork.png")
RESOURCE_H = os.path.join(REPO, "resources", "resource.h")

PAGE_W, PAGE_H = 630, 398
LABEL_W, LABEL_H = 100, 32

ACCENT = (255, 50, 57)
CLOSE_RED = (250, 49, 56)
MIN_GREY = (0x66, 0x66, 0x66)
WHITE = (255, 255, 255)
LABEL_INK = (51, 51, 51)

# The empty progress track of the slides; the program paints its bar over it.
TRACK_X0, TRACK_X1 = 35, 596          # first and last column
TRACK_Y0, TRACK_Y1 = 360, 373         # first and last row
TRACK_RADIUS = 6

# The light plate behind the program's "Installing" label (left, top, right, bottom).
LABEL_PLATE = (18, 326, 134, 352)

# The white band at the bottom of the finish page, behind the red button.
FINISH_BAND_Y = 344

LATIN = "Noto Sans"
ARABIC = "Noto Sans Arabic"
THAI = "Noto Sans Thai"
CJK_KR = "Noto Sans CJK KR"
CJK_TC = "Noto Sans CJK TC"
CJK_JP = "Noto Sans CJK JP"
# Set in the Latin font inside text of another script.
BORROWED = "()"

# Language labels: resource id, the language's own name, the font for its script.
LABELS = [
    (229, "English", LATIN),
    (226, "Ελληνικά", LATIN),
    (209, "Nederlands", LATIN),
    (210, "Čeština", LATIN),
    (220, "Slovenčina", LATIN),
    (205, "Français", LATIN),
    (228, "Italiano", LATIN),
    (204, "Русский", LATIN),
    (208, "한국어", CJK_KR),
    (222, "ภาษาไทย", THAI),
    (206, "繁體中文", CJK_TC),
    (200, "Български", LATIN),
    (216, "Português", LATIN),
    (224, "Español", LATIN),
    (201, "Polski", LATIN),
    (227, "Magyar", LATIN),
    (203, "Deutsch", LATIN),
    (211, "Hrvatski", LATIN),
    (207, "Suomi", LATIN),
    (230, "Tiếng Việt", LATIN),
    (217, "日本語", CJK_JP),
    (223, "Türkçe", LATIN),
    (202, "Dansk", LATIN),
    (215, "Norsk", LATIN),
    (213, "Română", LATIN),
    (221, "Slovenščina", LATIN),
    (219, "Srpski", LATIN),
    (218, "Svenska", LATIN),
    (212, "Lietuvių", LATIN),
    (199, "Português(Brasil)", LATIN),
    (214, "العربية(السعودية)", ARABIC),
    (233, "Українська", LATIN),
    (235, "Bahasa Indonesia", LATIN),
]
LABELS_32BIT = {233}

LABEL_LEFT = 5            # x of the text's logical origin
LABEL_MAX_WIDTH = 92      # widest logical text width
LABEL_PX = 13.0           # text size in pixels; long names shrink in half pixels
LABEL_MIN_PX = 11.0
# Thai and Arabic letters look smaller than Latin ones at the same size.
LABEL_SCRIPT_SCALE = {THAI: 1.12, ARABIC: 1.08}

# Pictures: resource id, file, kind.
PAGES = [(166, "bg_white.bmp"), (168, "slide_a.bmp"), (169, "slide_b.bmp"), (170, "finish.bmp")]
ICONS = [
    (128, "app.ico", (48, 32, 24, 16)),
    (189, "close_red.ico", (24, 16)),
    (193, "close_white.ico", (24, 16)),
    (194, "min_grey.ico", (24, 16)),
    (195, "min_white.ico", (24, 16)),
]


# --------------------------------------------------------------------------
# drawing: pycairo, and Pango through PyGObject

class ArtError(Exception):
    pass


FONT_OPTIONS = cairo.FontOptions()
FONT_OPTIONS.set_antialias(cairo.ANTIALIAS_GRAY)
FONT_OPTIONS.set_subpixel_order(cairo.SUBPIXEL_ORDER_DEFAULT)
FONT_OPTIONS.set_hint_style(cairo.HINT_STYLE_SLIGHT)
FONT_OPTIONS.set_hint_metrics(cairo.HINT_METRICS_OFF)
CHECKED_FONTS = set()


def rgb(c, a=1.0):
    return (c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, a)


class Canvas:
    """An ARGB32 cairo surface, fully transparent when made, with a drawing context."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
        self.cr = cairo.Context(self.surface)
        self.pango = PangoCairo.create_context(self.cr)
        PangoCairo.context_set_font_options(self.pango, FONT_OPTIONS)

    # ---- shapes

    def color(self, c, a=1.0):
        self.cr.set_source_rgba(*rgb(c, a))

    def rect(self, x, y, w, h, c, a=1.0):
        self.color(c, a)
        self.cr.rectangle(x, y, w, h)
        self.cr.fill()

    def round_rect_path(self, x, y, w, h, r):
        cr = self.cr
        cr.new_sub_path()
        cr.arc(x + w - r, y + r, r, -math.pi / 2, 0)
        cr.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
        cr.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
        cr.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
        cr.close_path()

    def round_rect(self, x, y, w, h, r, c, a=1.0):
        self.round_rect_path(x, y, w, h, r)
        self.color(c, a)
        self.cr.fill()

    def circle(self, x, y, r, c, a=1.0):
        self.cr.new_sub_path()
        self.cr.arc(x, y, r, 0, 2 * math.pi)
        self.color(c, a)
        self.cr.fill()

    def ring(self, x, y, r, width, c, a=1.0):
        self.cr.new_sub_path()
        self.cr.arc(x, y, r, 0, 2 * math.pi)
        self.stroke(width, c, a)

    def stroke(self, width, c, a=1.0, cap=cairo.LINE_CAP_BUTT):
        self.color(c, a)
        self.cr.set_line_width(width)
        self.cr.set_line_cap(cap)
        self.cr.set_line_join(cairo.LINE_JOIN_ROUND)
        self.cr.stroke()

    def line(self, x0, y0, x1, y1, width, c, a=1.0, cap=cairo.LINE_CAP_ROUND):
        self.cr.move_to(x0, y0)
        self.cr.line_to(x1, y1)
        self.stroke(width, c, a, cap)

    def ellipse_path(self, x, y, rx, ry):
        self.cr.save()
        self.cr.translate(x, y)
        self.cr.scale(rx, ry)
        self.cr.new_sub_path()
        self.cr.arc(0, 0, 1, 0, 2 * math.pi)
        self.cr.restore()

    def gradient(self, pattern, stops):
        for off, c, a in stops:
            pattern.add_color_stop_rgba(off, *rgb(c, a))
        self.cr.set_source(pattern)

    def linear(self, x0, y0, x1, y1, stops):
        self.gradient(cairo.LinearGradient(x0, y0, x1, y1), stops)

    def radial(self, x, y, r, stops):
        self.gradient(cairo.RadialGradient(x, y, 0, x, y, r), stops)

    # ---- text

    def font(self, family, px, bold):
        """FAMILY at PX pixels, checked (once) to be the font fontconfig loads."""
        desc = Pango.FontDescription()
        desc.set_family(family)
        desc.set_weight(Pango.Weight.BOLD if bold else Pango.Weight.NORMAL)
        desc.set_absolute_size(px * Pango.SCALE)
        if (family, bold) not in CHECKED_FONTS:
            font = self.pango.load_font(desc)
            got = font.describe().get_family() if font else None
            if got is None or got.lower() != family.lower():
                raise ArtError("font %r is not installed (fontconfig gave %r)" % (family, got))
            CHECKED_FONTS.add((family, bold))
        return desc

    def layout(self, text, family, px, bold=False, width=None, center=False, spacing=0):
        """A Pango layout of TEXT in FAMILY at PX pixels, with no font fallback.

        Fonts made for one script often lack ASCII punctuation (Noto Sans
        Arabic has no parentheses): the characters of BORROWED are then set
        in the Latin font, named explicitly rather than left to fallback.
        """
        lay = Pango.Layout.new(self.pango)
        lay.set_font_description(self.font(family, px, bold))
        attrs = Pango.AttrList()
        attrs.insert(Pango.attr_fallback_new(False))
        if spacing:
            attrs.insert(Pango.attr_letter_spacing_new(int(spacing * Pango.SCALE)))
        if family != LATIN:
            pos = 0
            for ch in text:
                n = len(ch.encode("utf-8"))
                if ch in BORROWED:
                    self.font(LATIN, px, bold)
                    attr = Pango.attr_family_new(LATIN)
                    attr.start_index, attr.end_index = pos, pos + n
                    attrs.insert(attr)
                pos += n
        lay.set_attributes(attrs)
        if width is not None:
            lay.set_width(int(width * Pango.SCALE))
            lay.set_wrap(Pango.WrapMode.WORD)
        lay.set_alignment(Pango.Alignment.CENTER if center else Pango.Alignment.LEFT)
        lay.set_text(text, -1)
        missing = lay.get_unknown_glyphs_count()
        if missing:
            raise ArtError("font %r has no glyph for %d character(s) of %r" % (family, missing, text))
        return lay

    @staticmethod
    def extents(lay):
        return lay.get_pixel_extents()  # ink, logical

    def show(self, lay, x, y, c, a=1.0):
        """Draws LAY with the top left of its logical box at (x, y)."""
        self.cr.move_to(x, y)
        self.color(c, a)
        PangoCairo.show_layout(self.cr, lay)

    def text(self, text, family, px, x, y, c, a=1.0, bold=False, **kw):
        lay = self.layout(text, family, px, bold, **kw)
        ink, logical = self.extents(lay)
        self.show(lay, x, y, c, a)
        return ink, logical

    # ---- pixels

    def image(self, opaque, solid=None):
        """The canvas as a Pillow image: RGB when OPAQUE (checked to be), else
        RGBA with straight alpha and fully transparent pixels all zero. SOLID,
        for a one-colour drawing, gives every visible pixel exactly that
        colour (undoing the premultiplication would leave rounding errors in
        the edge pixels)."""
        self.surface.flush()
        if sys.byteorder != "little":
            raise ArtError("this script reads cairo's pixels as little-endian words")
        img = Image.frombuffer("RGBA", (self.w, self.h), bytes(self.surface.get_data()), "raw", "BGRA",
                               self.surface.get_stride(), 1)
        if opaque:
            if img.getchannel("A").getextrema() != (255, 255):
                raise ArtError("an opaque %dx%d picture has a see-through pixel" % (self.w, self.h))
            return img.convert("RGB")

        def straight(p):
            a = p[3]
            if a == 0:
                return (0, 0, 0, 0)
            if solid is not None:
                return tuple(solid) + (a,)
            return tuple(min(255, (v * 255 + a // 2) // a) for v in p[:3]) + (a,)

        img.putdata([straight(p) for p in img.getdata()])
        return img


# --------------------------------------------------------------------------
# the pictures

def page_background(cv):
    """The red of the slides and the finish page: a soft diagonal gradient."""
    cv.linear(0, 0, PAGE_W, PAGE_H, [(0.0, (255, 84, 88), 1), (0.45, ACCENT, 1), (1.0, (222, 30, 44), 1)])
    cv.cr.paint()
    # a soft light from the upper right, and a darker floor under the track
    cv.radial(520, 120, 330, [(0.0, WHITE, 0.14), (1.0, WHITE, 0.0)])
    cv.cr.paint()
    cv.linear(0, 300, 0, PAGE_H, [(0.0, (150, 0, 20), 0.0), (1.0, (150, 0, 20), 0.18)])
    cv.cr.rectangle(0, 300, PAGE_W, PAGE_H - 300)
    cv.cr.fill()


def title_block(cv, line):
    cv.text("Quennel", LATIN, 54, 38, 62, WHITE, bold=True, spacing=0.5)
    cv.rect(42, 140, 44, 4, WHITE)
    cv.text(line, LATIN, 22, 40, 156, WHITE, 0.96)


def progress_track(cv):
    # a light plate under the program's grey "Installing" label, left above the track
    cv.round_rect(LABEL_PLATE[0], LABEL_PLATE[1], LABEL_PLATE[2] - LABEL_PLATE[0], LABEL_PLATE[3] - LABEL_PLATE[1],
                  6, WHITE, 0.92)
    # a faint shadow under the track, then the track itself
    cv.round_rect(TRACK_X0, TRACK_Y0 + 1, TRACK_X1 + 1 - TRACK_X0, TRACK_Y1 + 1 - TRACK_Y0,
                  TRACK_RADIUS, (120, 0, 16), 0.22)
    cv.round_rect(TRACK_X0, TRACK_Y0, TRACK_X1 + 1 - TRACK_X0, TRACK_Y1 + 1 - TRACK_Y0,
                  TRACK_RADIUS, WHITE)


def draw_slide_a(cv):
    page_background(cv)
    # large quiet discs behind everything
    cv.circle(640, 300, 150, WHITE, 0.05)
    cv.circle(300, 330, 60, WHITE, 0.04)
    # a wire globe on the right
    gx, gy, gr = 462, 178, 112
    cv.circle(gx, gy, gr + 16, WHITE, 0.06)
    cv.circle(gx, gy, gr, WHITE, 0.10)
    cv.cr.save()
    cv.cr.new_sub_path()
    cv.cr.arc(gx, gy, gr, 0, 2 * math.pi)
    cv.cr.clip()
    for k in (0.22, 0.55, 0.84):
        cv.ellipse_path(gx, gy, gr * k, gr)
        cv.stroke(1.6, WHITE, 0.42)
    cv.line(gx, gy - gr, gx, gy + gr, 1.6, WHITE, 0.42, cairo.LINE_CAP_BUTT)
    for lat in (-0.62, -0.3, 0.0, 0.3, 0.62):
        y = gy + gr * lat
        half = gr * math.sqrt(1 - lat * lat)
        cv.line(gx - half, y, gx + half, y, 1.6, WHITE, 0.42, cairo.LINE_CAP_BUTT)
    cv.cr.restore()
    cv.ring(gx, gy, gr, 2.4, WHITE, 0.85)
    # an orbit with small "language" dots around the globe
    cv.cr.save()
    cv.cr.translate(gx, gy)
    cv.cr.rotate(-0.32)
    cv.ellipse_path(0, 0, 156, 48)
    cv.stroke(1.4, WHITE, 0.55)
    for ang, rad in ((200, 7), (250, 4.5), (330, 5.5), (20, 8), (95, 4.5)):
        t = math.radians(ang)
        x, y = 156 * math.cos(t), 48 * math.sin(t)
        cv.circle(x, y, rad + 3, WHITE, 0.18)
        cv.circle(x, y, rad, WHITE, 0.95)
    cv.cr.restore()
    title_block(cv, "Installing language packs\u2026")
    progress_track(cv)


def bubble(cv, x, y, w, h, tail_left, fill_a, outline_a):
    """A rounded speech bubble with a small tail under it."""
    r = min(w, h) * 0.28
    cv.round_rect_path(x, y, w, h, r)
    tx = x + w * (0.28 if tail_left else 0.72)
    tip = tx - 12 if tail_left else tx + 12
    cv.cr.move_to(tx - 9, y + h - 0.5)
    cv.cr.line_to(tip, y + h + 14)
    cv.cr.line_to(tx + 9, y + h - 0.5)
    cv.cr.close_path()
    cv.color(WHITE, fill_a)
    cv.cr.fill()
    if outline_a:
        cv.round_rect_path(x, y, w, h, r)
        cv.stroke(1.5, WHITE, outline_a)


def glyph_in(cv, text, family, px, cx, cy, c, a=1.0, bold=False):
    lay = cv.layout(text, family, px, bold)
    ink, _ = cv.extents(lay)
    cv.show(lay, round(cx - ink.x - ink.width / 2.0), round(cy - ink.y - ink.height / 2.0), c, a)


def draw_slide_b(cv):
    page_background(cv)
    cv.circle(560, 420, 170, WHITE, 0.05)
    cv.circle(330, 60, 34, WHITE, 0.05)
    # speech bubbles, each with a letter of another script
    items = [
        # x, y, w, h, tail on the left, fill alpha, outline alpha, glyph, font, px, colour, bold
        (352, 64, 92, 74, True, 0.16, 0.55, "A", LATIN, 44, WHITE, True),
        (468, 44, 118, 96, False, 1.0, 0.0, "\u6587", CJK_TC, 56, ACCENT, False),
        (410, 166, 100, 82, True, 0.16, 0.55, "\u0639", ARABIC, 50, WHITE, True),
        (530, 172, 74, 62, False, 0.12, 0.45, "\u0e01", THAI, 40, WHITE, False),
        (300, 190, 76, 62, True, 0.12, 0.45, "\u03a9", LATIN, 34, WHITE, False),
        (372, 272, 80, 64, False, 0.12, 0.45, "\u042f", LATIN, 34, WHITE, False),
        (480, 262, 96, 70, True, 0.16, 0.55, "\ud55c", CJK_KR, 40, WHITE, False),
    ]
    for x, y, w, h, tail_left, fill_a, outline_a, g, fam, px, col, bold in items:
        bubble(cv, x, y, w, h, tail_left, fill_a, outline_a)
        glyph_in(cv, g, fam, px, x + w / 2.0, y + h / 2.0, col, 1.0 if col is ACCENT else 0.95, bold)
    title_block(cv, "33 languages for your client")
    progress_track(cv)


def check_mark_path(cv, cx, cy, s):
    cv.cr.move_to(cx - 0.42 * s, cy + 0.02 * s)
    cv.cr.line_to(cx - 0.12 * s, cy + 0.30 * s)
    cv.cr.line_to(cx + 0.44 * s, cy - 0.30 * s)


def draw_finish(cv):
    page_background(cv)
    cv.circle(-20, 300, 130, WHITE, 0.05)
    cv.circle(680, 160, 110, WHITE, 0.05)
    # confetti-like dots
    for x, y, r, a in ((120, 70, 5, 0.5), (86, 150, 3, 0.4), (48, 218, 4, 0.35), (520, 60, 4, 0.45),
                       (560, 150, 6, 0.3), (584, 232, 3, 0.45), (96, 292, 6, 0.25), (548, 300, 3, 0.4)):
        cv.circle(x, y, r, WHITE, a)
    # the badge: a white disc with a red check mark
    bx, by = PAGE_W / 2.0, 112
    cv.circle(bx, by + 2, 50, (120, 0, 16), 0.18)
    cv.circle(bx, by, 56, WHITE, 0.16)
    cv.circle(bx, by, 46, WHITE)
    check_mark_path(cv, bx, by, 52)
    cv.stroke(8, ACCENT, 1.0, cairo.LINE_CAP_ROUND)
    # the message
    lay = cv.layout("Installation complete", LATIN, 36, bold=True)
    ink, logical = cv.extents(lay)
    cv.show(lay, round((PAGE_W - logical.width) / 2.0), 180, WHITE)
    msg = "The language pack has been installed.\nClick Start Now to open the client."
    lay = cv.layout(msg, LATIN, 17, width=520, center=True)
    ink, logical = cv.extents(lay)
    cv.show(lay, round((PAGE_W - 520) / 2.0), 240, WHITE, 0.95)
    # the white band behind the button
    cv.rect(0, FINISH_BAND_Y - 3, PAGE_W, 3, (120, 0, 16), 0.10)
    cv.rect(0, FINISH_BAND_Y, PAGE_W, PAGE_H - FINISH_BAND_Y, WHITE)
    cv.rect(0, FINISH_BAND_Y, PAGE_W, 1, (236, 236, 236))


def draw_white(cv):
    cv.rect(0, 0, PAGE_W, PAGE_H, WHITE)


# ---- icons

def cross_icon(size, colour):
    cv = Canvas(size, size)  # starts fully transparent
    half = size * 0.22          # 3.5 px at 16, 5.3 px at 24
    width = 1.6 if size <= 16 else 2.0
    c = size / 2.0
    cv.line(c - half, c - half, c + half, c + half, width, colour, 1.0, cairo.LINE_CAP_BUTT)
    cv.line(c - half, c + half, c + half, c - half, width, colour, 1.0, cairo.LINE_CAP_BUTT)
    return cv


def dash_icon(size, colour):
    cv = Canvas(size, size)  # starts fully transparent
    length = 8 if size <= 16 else 12
    thick = 2
    cv.rect((size - length) // 2, (size - thick) // 2, length, thick, colour)
    return cv


def app_icon(size):
    cv = Canvas(size, size)  # starts fully transparent
    m = 0 if size <= 16 else size / 24.0
    r = size * 0.22
    cv.round_rect_path(m, m, size - 2 * m, size - 2 * m, r)
    cv.linear(0, 0, size, size, [(0.0, (255, 88, 92), 1), (0.5, ACCENT, 1), (1.0, (214, 26, 40), 1)])
    cv.cr.fill()
    # the letter Q, drawn as a ring with a tail so it stays crisp when small
    cx, cy = size / 2.0, size * 0.48
    rr = size * 0.25
    w = max(1.7, size * 0.105)
    cv.ring(cx, cy, rr, w, WHITE)
    t0 = (cx + rr * 0.30, cy + rr * 0.30)
    t1 = (cx + rr * 1.22, cy + rr * 1.22)
    cv.line(t0[0], t0[1], t1[0], t1[1], w * 1.05, WHITE, 1.0, cairo.LINE_CAP_ROUND)
    if size >= 32:
        # a hint of a globe inside the Q
        cv.ellipse_path(cx, cy, rr * 0.42, rr - w / 2)
        cv.stroke(max(1.0, size / 32.0), WHITE, 0.75)
        cv.line(cx - rr + w / 2, cy, cx + rr - w / 2, cy, max(1.0, size / 32.0), WHITE, 0.75,
                cairo.LINE_CAP_BUTT)
    return cv


# ---- language labels

def label_canvas(text, family):
    """Draws one label, shrinking the text until it fits."""
    px = round(LABEL_PX * LABEL_SCRIPT_SCALE.get(family, 1.0) * 2) / 2.0
    cv = Canvas(LABEL_W, LABEL_H)
    cv.rect(0, 0, LABEL_W, LABEL_H, WHITE)
    while True:
        lay = cv.layout(text, family, px)
        ink, logical = cv.extents(lay)
        if logical.width <= LABEL_MAX_WIDTH and lay.get_line_count() == 1:
            break
        px -= 0.5
        if px < LABEL_MIN_PX:
            raise ArtError("label %r does not fit in %d px" % (text, LABEL_MAX_WIDTH))
    if family == LATIN:
        # Latin, Greek and Cyrillic share one baseline: capitals centred
        ref = cv.layout("H", family, px)
        rink, _ = cv.extents(ref)
        top = round(LABEL_H / 2.0 - rink.y - rink.height / 2.0)
    else:
        top = round(LABEL_H / 2.0 - ink.y - ink.height / 2.0)
    if top + ink.y < 0 or top + ink.y + ink.height > LABEL_H or LABEL_LEFT + ink.x + ink.width > LABEL_W - 1:
        raise ArtError("label %r does not fit in the picture" % text)
    cv.show(lay, LABEL_LEFT - logical.x, top, LABEL_INK)
    return cv, px


# --------------------------------------------------------------------------
# files: written and read back with Pillow

def bmp_bytes(img, bits):
    """A BITMAPINFOHEADER file of the opaque IMG, 24 bits, or 32 with alpha 0xFF."""
    out = io.BytesIO()
    (img if bits == 24 else img.convert("RGBA")).save(out, "BMP", dpi=(72, 72))  # 2835 pixels per metre
    return out.getvalue()


def and_mask(img, width):
    """The AND mask of an RGBA image, WIDTH bits a row: set where fully transparent."""
    mask = Image.new("1", (width, img.height), 0)
    mask.paste(img.getchannel("A").point(lambda a: 255 if a == 0 else 0, "1"), (0, 0))
    return mask


def ico_bytes(images):
    """An icon file of 32-bit images with straight alpha and AND masks (bottom-up rows)."""
    blobs = []
    for img in images:
        xor = img.tobytes("raw", "BGRA", 0, -1)
        mask = and_mask(img, (img.width + 31) // 32 * 32).tobytes("raw", "1", 0, -1)
        info = struct.pack("<IiiHHIIiiII", 40, img.width, img.height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append(info + xor + mask)
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", img.width % 256, img.height % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    return bytes(out + b"".join(blobs))


def read_bmp(name, data, w, h, bits):
    img = Image.open(io.BytesIO(data))
    _, _, offset, (rawmode, _, orientation) = img.tile[0]
    if (img.format, img.size, {"BGR": 24, "BGRX": 32}.get(rawmode), offset, orientation,
            img.info.get("compression")) != ("BMP", (w, h), bits, 54, -1, 0):
        raise ArtError("%s is not a plain bottom-up %dx%d %d-bit BITMAPINFOHEADER file" % (name, w, h, bits))
    return img.convert("RGB")


def read_ico(name, data, sizes):
    ico = Image.open(io.BytesIO(data))
    entries = sorted(ico.ico.entry, key=lambda e: e["offset"])
    if ico.format != "ICO" or [e["width"] for e in entries] != list(sizes):
        raise ArtError("%s does not hold the sizes %s in that order" % (name, sizes))
    images = []
    for e in entries:
        w, at = e["width"], e["offset"]
        stride = (w + 31) // 32 * 4
        if ((e["height"], e["planes"], e["bpp"], e["nb_color"], e["size"]) != (w, 1, 32, 0, 40 + w * w * 4 + stride * w)
                or struct.unpack_from("<IiiHHI", data, at) != (40, w, 2 * w, 1, 32, 0)):
            raise ArtError("%s: the %dx%d image is not a 32-bit BITMAPINFOHEADER image with its mask" % (name, w, w))
        img = ico.ico.getimage((w, w)).convert("RGBA")
        mask = Image.frombytes("1", (stride * 8, w), data[at + 40 + w * w * 4:at + e["size"]], "raw", "1", 0, -1)
        if mask.tobytes() != and_mask(img, stride * 8).tobytes():
            raise ArtError("%s: the AND mask of the %dx%d image disagrees with its alpha" % (name, w, w))
        images.append(img)
    return images


def png_bytes(img):
    out = io.BytesIO()
    img.save(out, "PNG", compress_level=9)
    return out.getvalue()


# --------------------------------------------------------------------------
# writing, reading back, contact sheet

def render_all():
    """Returns {file name: bytes} for resources/art/ and the label sizes used."""
    files = {}
    for rid, name in PAGES:
        cv = Canvas(PAGE_W, PAGE_H)
        {"bg_white.bmp": draw_white, "slide_a.bmp": draw_slide_a,
         "slide_b.bmp": draw_slide_b, "finish.bmp": draw_finish}[name](cv)
        files[name] = bmp_bytes(cv.image(True), 32 if rid == 166 else 24)
    makers = {
        "app.ico": (app_icon, None),
        "close_red.ico": (cross_icon, CLOSE_RED),
        "close_white.ico": (cross_icon, WHITE),
        "min_grey.ico": (dash_icon, MIN_GREY),
        "min_white.ico": (dash_icon, WHITE),
    }
    for _rid, name, sizes in ICONS:
        maker, colour = makers[name]
        files[name] = ico_bytes([(maker(s) if colour is None else maker(s, colour)).image(False, colour)
                                 for s in sizes])
    sizes = {}
    for rid, text, family in LABELS:
        cv, px = label_canvas(text, family)
        files["label_%d.bmp" % rid] = bmp_bytes(cv.image(True), 32 if rid in LABELS_32BIT else 24)
        sizes[rid] = px
    files["art.rc"] = resource_script().encode("ascii")
    return files, sizes


def resource_script():
    """art.rc, naming each picture by the one name resources/resource.h gives its id."""
    with open(RESOURCE_H, encoding="utf-8") as f:
        defined = re.findall(r"^#define\s+(ID[BIR]_\w+)\s+(\d+)\s*$", f.read(), re.M)

    def name(rid):
        found = [n for n, number in defined if int(number) == rid]
        if len(found) != 1:
            raise ArtError("resources/resource.h gives id %d %s" % (rid, "no name" if not found else
                                                                   "several names: " + ", ".join(found)))
        return found[0]

    lines = [
        "// The installer's pictures and icons, drawn by tools/artwork/make_artwork.py.",
        "// Included by the main resource script; paths are relative to resources/.",
        "",
    ]
    lines += ['%s BITMAP "art/%s"' % (name(rid), file) for rid, file in PAGES]
    lines += ['%s ICON "art/%s"' % (name(rid), file) for rid, file, _sizes in ICONS]
    lines += ['%s BITMAP "art/label_%d.bmp"' % (name(rid), rid) for rid, _text, _family in LABELS]
    return "\n".join(lines) + "\n"


def read_back(files):
    """Parses every written file and returns its images, checking each header."""
    pics = {}
    for rid, name in PAGES:
        pics[name] = [read_bmp(name, files[name], PAGE_W, PAGE_H, 32 if rid == 166 else 24)]
    for _rid, name, sizes in ICONS:
        pics[name] = read_ico(name, files[name], sizes)
    for rid, _text, _family in LABELS:
        name = "label_%d.bmp" % rid
        pics[name] = [read_bmp(name, files[name], LABEL_W, LABEL_H, 32 if rid in LABELS_32BIT else 24)]
    check_pictures(pics)
    return pics


def white(img, box):
    return img.crop(box).getextrema() == ((255, 255),) * 3


def check_pictures(pics):
    if not white(pics["bg_white.bmp"][0], (0, 0, PAGE_W, PAGE_H)):
        raise ArtError("bg_white.bmp is not uniformly white")
    for name in ("slide_a.bmp", "slide_b.bmp"):
        img = pics[name][0]
        if not white(img, (TRACK_X0 + TRACK_RADIUS, TRACK_Y0, TRACK_X1 - TRACK_RADIUS + 1, TRACK_Y1 + 1)):
            raise ArtError("%s: the progress track is not white" % name)
        if WHITE in (img.getpixel((300, TRACK_Y0 - 1)), img.getpixel((300, TRACK_Y1 + 2))):
            raise ArtError("%s: progress track taller than rows %d..%d" % (name, TRACK_Y0, TRACK_Y1))
        samples = [img.getpixel((x, y)) for y in range(0, PAGE_H, 7) for x in range(0, PAGE_W, 7)]
        if sum(r > 180 and g < 130 and b < 130 for r, g, b in samples) * 2 < len(samples):
            raise ArtError("%s: red is not the dominant colour" % name)
    if not white(pics["finish.bmp"][0], (300, 360, 431, 391)):
        raise ArtError("finish.bmp: the button's place is not white")


def sheet_image(pics, sizes):
    """Lays every picture out at 1:1 with its resource id."""
    margin, gap = 24, 18
    width = margin * 2 + 2 * PAGE_W + gap
    ink = (40, 40, 40)
    ops = []        # (kind, args...) in drawing order, placed before the canvas exists
    y = margin - 6
    ops.append(("caption", "Quennel installer artwork \u2014 resources/art/, every picture at 1:1 "
                "with its resource id", margin, y, 18, True))
    y += 42
    for i, (rid, name) in enumerate(PAGES):
        x = margin + (i % 2) * (PAGE_W + gap)
        top = y + (i // 2) * (PAGE_H + 34)
        ops.append(("caption", "%d  %s  (%d\u00d7%d, %d bits)"
                    % (rid, name, PAGE_W, PAGE_H, 32 if rid == 166 else 24), x, top, 13, True))
        ops.append(("image", pics[name][0], x, top + 20, 1, None))
    y += 2 * (PAGE_H + 34) + 16

    ops.append(("caption", "Icons: each image at 1:1 over a checkerboard, the slide red and dark grey, "
                "then enlarged \u00d74", margin, y, 15, True))
    y += 34
    x, row_h = margin, 0
    for rid, name, _icon_sizes in ICONS:
        images = pics[name]
        white = name.endswith("_white.ico")
        block_w = sum(3 * (img.width + 6) + 4 * img.width + 10 for img in images) + 10
        block_h = 20 + max(4 * img.height for img in images)
        if x > margin and x + block_w > width - margin:
            x, y, row_h = margin, y + row_h + 16, 0
        ops.append(("caption", "%d  %s  (%s)" % (rid, name, ", ".join("%d" % img.width for img in images)),
                    x, y, 13, True))
        xx = x
        for img in images:
            for bg in ("checker", ACCENT, (60, 60, 60)):
                ops.append(("image", img, xx, y + 20, 1, bg))
                xx += img.width + 6
            ops.append(("image", img, xx, y + 20, 4, ACCENT if white else "checker"))
            xx += 4 * img.width + 10
        x += block_w + 14
        row_h = max(row_h, block_h)
    y += row_h + 20

    ops.append(("caption", "Language labels (100\u00d732, 24 bits; 233 is 32 bits): id, text size "
                "in pixels, font", margin, y, 15, True))
    y += 34
    label_cols, cell_w, cell_h = 8, LABEL_W + 60, LABEL_H + 36
    for i, (rid, _text, family) in enumerate(LABELS):
        x = margin + (i % label_cols) * cell_w
        top = y + (i // label_cols) * cell_h
        ops.append(("caption", "%d  %g px  %s" % (rid, sizes[rid], family), x, top, 11, False))
        ops.append(("image", pics["label_%d.bmp" % rid][0], x, top + 16, 1, None))
    rows = (len(LABELS) + label_cols - 1) // label_cols
    height = y + rows * cell_h + margin

    cv = Canvas(width, height)
    cv.rect(0, 0, width, height, (236, 236, 236))
    for op in ops:
        if op[0] == "caption":
            _, text, x, y, px, bold = op
            cv.text(text, LATIN, px, x, y, ink, bold=bold)
            continue
        _, img, x, y, scale, bg = op
        w, h = img.width * scale, img.height * scale
        if bg is None:
            cv.rect(x - 1, y - 1, w + 2, h + 2, (160, 160, 160))
        elif bg == "checker":
            step = 4 * scale
            for ty in range(0, h, step):
                for tx in range(0, w, step):
                    c = WHITE if (tx // step + ty // step) % 2 == 0 else (204, 204, 204)
                    cv.rect(x + tx, y + ty, min(step, w - tx), min(step, h - ty), c)
        else:
            cv.rect(x, y, w, h, bg)
        data = bytearray(img.convert("RGBA").convert("RGBa").tobytes("raw", "BGRa"))
        surf = cairo.ImageSurface.create_for_data(data, cairo.FORMAT_ARGB32, img.width, img.height, img.width * 4)
        cv.cr.save()
        cv.cr.translate(x, y)
        cv.cr.scale(scale, scale)
        cv.cr.set_source_surface(surf, 0, 0)
        cv.cr.get_source().set_filter(cairo.FILTER_NEAREST)
        cv.cr.rectangle(0, 0, img.width, img.height)
        cv.cr.fill()
        cv.cr.restore()
    return cv.image(True)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--check", action="store_true",
                    help="draw in memory and compare with the files in the repository; write nothing")
    args = ap.parse_args()
    try:
        files, sizes = render_all()
        pics = read_back(files)
        sheet = png_bytes(sheet_image(pics, sizes))
    except ArtError as exc:
        print("make_artwork: %s" % exc, file=sys.stderr)
        return 2
    outputs = [(os.path.join(ART_DIR, name), data) for name, data in sorted(files.items())]
    outputs.append((SHEET_PATH, sheet))
    if args.check:
        stale = []
        for path, data in outputs:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                stale.append(os.path.relpath(path, REPO))
        for path in stale:
            print("make_artwork: differs from what the script draws: %s" % path, file=sys.stderr)
        print("make_artwork: %d files checked, %d differ" % (len(outputs), len(stale)))
        return 1 if stale else 0
    os.makedirs(ART_DIR, exist_ok=True)
    os.makedirs(os.path.dirname(SHEET_PATH), exist_ok=True)
    known = {name for name, _ in files.items()}
    for name in sorted(os.listdir(ART_DIR)):
        if name not in known and (name.endswith(".bmp") or name.endswith(".ico")):
            os.remove(os.path.join(ART_DIR, name))
    for path, data in outputs:
        tmp = path + ".tmp"
        with open(tmp, "wb") as f:
            f.write(data)
        os.replace(tmp, path)
    print("make_artwork: wrote %d files to %s and %s (Pango %s)"
          % (len(files), os.path.relpath(ART_DIR, REPO), os.path.relpath(SHEET_PATH, REPO),
             Pango.version_string()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
