#!/usr/bin/env python3
"""Draws the installer's pictures and icons into resources/art/.

    tools/artwork/make_artwork.py            # (re)write resources/art/ and docs/artwork.png
    tools/artwork/make_artwork.py --check    # draw in memory, compare with the files, change nothing

Every bitmap and icon the installer's resource script links in is drawn by
this script, and the drawn files are kept in the repository beside it, so a
build needs neither fonts nor this script: run it only after changing a
picture, and commit what it writes.

What it writes
--------------
resources/art/ (the resource script fragment art.rc declares them all; the
installer's main .rc includes it as "art/art.rc", with resources/ on the
include path):

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
Python 3 (standard library only) and, loaded through ctypes, the shared
libraries of cairo, Pango, PangoCairo and GObject (Debian's
libpangocairo-1.0-0 brings libpango-1.0-0, libcairo2 and libglib2.0-0 with
it). Text is laid out and shaped by Pango with HarfBuzz, so Arabic is
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
import ctypes
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
ART_DIR = os.path.join(REPO, "resources", "art")
SHEET_PATH = os.path.join(REPO, "docs", "artwork.png")

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
# cairo and Pango through ctypes

class ArtError(Exception):
    pass


def _load(name):
    try:
        return ctypes.CDLL(name)
    except OSError as exc:
        raise ArtError("cannot load %s (%s); install cairo and Pango's shared libraries "
                       "(Debian: libpangocairo-1.0-0)" % (name, exc))


class PangoAttribute(ctypes.Structure):
    _fields_ = [("klass", ctypes.c_void_p), ("start_index", ctypes.c_uint),
                ("end_index", ctypes.c_uint)]


class PangoRectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int),
                ("width", ctypes.c_int), ("height", ctypes.c_int)]


P = ctypes.c_void_p
D = ctypes.c_double
I = ctypes.c_int
S = ctypes.c_char_p

CAIRO_FORMAT_ARGB32 = 0
CAIRO_ANTIALIAS_GRAY = 2
CAIRO_SUBPIXEL_ORDER_DEFAULT = 0
CAIRO_HINT_STYLE_SLIGHT = 2
CAIRO_HINT_METRICS_OFF = 1
CAIRO_LINE_CAP_BUTT = 0
CAIRO_LINE_CAP_ROUND = 1
CAIRO_LINE_JOIN_ROUND = 1
CAIRO_OPERATOR_SOURCE = 1
CAIRO_OPERATOR_OVER = 2
CAIRO_FILTER_NEAREST = 3
PANGO_SCALE = 1024
PANGO_WEIGHT_NORMAL = 400
PANGO_WEIGHT_BOLD = 700
PANGO_ALIGN_LEFT, PANGO_ALIGN_CENTER = 0, 1
PANGO_WRAP_WORD = 0


class Lib:
    """The few cairo, Pango and GObject functions the drawings use."""

    SIGNATURES = {
        "cairo": {
            "cairo_image_surface_create": (P, [I, I, I]),
            "cairo_image_surface_create_for_data": (P, [P, I, I, I, I]),
            "cairo_image_surface_get_data": (P, [P]),
            "cairo_image_surface_get_stride": (I, [P]),
            "cairo_format_stride_for_width": (I, [I, I]),
            "cairo_surface_flush": (None, [P]),
            "cairo_surface_mark_dirty": (None, [P]),
            "cairo_surface_destroy": (None, [P]),
            "cairo_surface_status": (I, [P]),
            "cairo_create": (P, [P]),
            "cairo_destroy": (None, [P]),
            "cairo_status": (I, [P]),
            "cairo_save": (None, [P]),
            "cairo_restore": (None, [P]),
            "cairo_translate": (None, [P, D, D]),
            "cairo_scale": (None, [P, D, D]),
            "cairo_rotate": (None, [P, D]),
            "cairo_set_operator": (None, [P, I]),
            "cairo_set_source_rgba": (None, [P, D, D, D, D]),
            "cairo_set_source": (None, [P, P]),
            "cairo_set_source_surface": (None, [P, P, D, D]),
            "cairo_get_source": (P, [P]),
            "cairo_pattern_set_filter": (None, [P, I]),
            "cairo_pattern_create_linear": (P, [D, D, D, D]),
            "cairo_pattern_create_radial": (P, [D, D, D, D, D, D]),
            "cairo_pattern_add_color_stop_rgba": (None, [P, D, D, D, D, D]),
            "cairo_pattern_destroy": (None, [P]),
            "cairo_set_line_width": (None, [P, D]),
            "cairo_set_line_cap": (None, [P, I]),
            "cairo_set_line_join": (None, [P, I]),
            "cairo_new_path": (None, [P]),
            "cairo_new_sub_path": (None, [P]),
            "cairo_close_path": (None, [P]),
            "cairo_move_to": (None, [P, D, D]),
            "cairo_line_to": (None, [P, D, D]),
            "cairo_curve_to": (None, [P, D, D, D, D, D, D]),
            "cairo_arc": (None, [P, D, D, D, D, D]),
            "cairo_rectangle": (None, [P, D, D, D, D]),
            "cairo_fill": (None, [P]),
            "cairo_fill_preserve": (None, [P]),
            "cairo_stroke": (None, [P]),
            "cairo_clip": (None, [P]),
            "cairo_paint": (None, [P]),
            "cairo_font_options_create": (P, []),
            "cairo_font_options_destroy": (None, [P]),
            "cairo_font_options_set_antialias": (None, [P, I]),
            "cairo_font_options_set_subpixel_order": (None, [P, I]),
            "cairo_font_options_set_hint_style": (None, [P, I]),
            "cairo_font_options_set_hint_metrics": (None, [P, I]),
        },
        "pangocairo": {
            "pango_cairo_create_context": (P, [P]),
            "pango_cairo_context_set_font_options": (None, [P, P]),
            "pango_cairo_show_layout": (None, [P, P]),
        },
        "pango": {
            "pango_layout_new": (P, [P]),
            "pango_layout_set_text": (None, [P, S, I]),
            "pango_layout_set_font_description": (None, [P, P]),
            "pango_layout_set_attributes": (None, [P, P]),
            "pango_layout_set_width": (None, [P, I]),
            "pango_layout_set_wrap": (None, [P, I]),
            "pango_layout_set_alignment": (None, [P, I]),
            "pango_layout_get_pixel_extents": (None, [P, ctypes.POINTER(PangoRectangle),
                                                      ctypes.POINTER(PangoRectangle)]),
            "pango_layout_get_baseline": (I, [P]),
            "pango_layout_get_unknown_glyphs_count": (I, [P]),
            "pango_layout_get_line_count": (I, [P]),
            "pango_font_description_new": (P, []),
            "pango_font_description_free": (None, [P]),
            "pango_font_description_set_family": (None, [P, S]),
            "pango_font_description_set_weight": (None, [P, I]),
            "pango_font_description_set_absolute_size": (None, [P, D]),
            "pango_font_description_get_family": (S, [P]),
            "pango_font_describe": (P, [P]),
            "pango_context_load_font": (P, [P, P]),
            "pango_attr_list_new": (P, []),
            "pango_attr_list_unref": (None, [P]),
            "pango_attr_list_insert": (None, [P, P]),
            "pango_attr_fallback_new": (P, [I]),
            "pango_attr_letter_spacing_new": (P, [I]),
            "pango_attr_family_new": (P, [S]),
            "pango_version_string": (S, []),
        },
        "gobject": {
            "g_object_unref": (None, [P]),
        },
    }
    FILES = {"cairo": "libcairo.so.2", "pango": "libpango-1.0.so.0",
             "pangocairo": "libpangocairo-1.0.so.0", "gobject": "libgobject-2.0.so.0"}

    def __init__(self):
        for key, table in self.SIGNATURES.items():
            lib = _load(self.FILES[key])
            for name, (restype, argtypes) in table.items():
                fn = getattr(lib, name)
                fn.restype = restype
                fn.argtypes = argtypes
                setattr(self, name, fn)
        self.font_options = self.cairo_font_options_create()
        self.cairo_font_options_set_antialias(self.font_options, CAIRO_ANTIALIAS_GRAY)
        self.cairo_font_options_set_subpixel_order(self.font_options, CAIRO_SUBPIXEL_ORDER_DEFAULT)
        self.cairo_font_options_set_hint_style(self.font_options, CAIRO_HINT_STYLE_SLIGHT)
        self.cairo_font_options_set_hint_metrics(self.font_options, CAIRO_HINT_METRICS_OFF)
        self.checked_fonts = {}


L = None  # the loaded libraries, set by main()


def rgb(c, a=1.0):
    return (c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, a)


class Canvas:
    """An ARGB32 cairo surface with a drawing context."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.surface = L.cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)
        if L.cairo_surface_status(self.surface) != 0:
            raise ArtError("cairo cannot make a %dx%d surface" % (w, h))
        self.cr = L.cairo_create(self.surface)
        self.pango = L.pango_cairo_create_context(self.cr)
        L.pango_cairo_context_set_font_options(self.pango, L.font_options)

    def close(self):
        L.g_object_unref(self.pango)
        L.cairo_destroy(self.cr)
        L.cairo_surface_destroy(self.surface)

    # ---- shapes

    def color(self, c, a=1.0):
        L.cairo_set_source_rgba(self.cr, *rgb(c, a))

    def rect(self, x, y, w, h, c, a=1.0):
        self.color(c, a)
        L.cairo_rectangle(self.cr, x, y, w, h)
        L.cairo_fill(self.cr)

    def round_rect_path(self, x, y, w, h, r):
        cr = self.cr
        L.cairo_new_sub_path(cr)
        L.cairo_arc(cr, x + w - r, y + r, r, -math.pi / 2, 0)
        L.cairo_arc(cr, x + w - r, y + h - r, r, 0, math.pi / 2)
        L.cairo_arc(cr, x + r, y + h - r, r, math.pi / 2, math.pi)
        L.cairo_arc(cr, x + r, y + r, r, math.pi, 3 * math.pi / 2)
        L.cairo_close_path(cr)

    def round_rect(self, x, y, w, h, r, c, a=1.0):
        self.round_rect_path(x, y, w, h, r)
        self.color(c, a)
        L.cairo_fill(self.cr)

    def circle(self, x, y, r, c, a=1.0):
        L.cairo_new_sub_path(self.cr)
        L.cairo_arc(self.cr, x, y, r, 0, 2 * math.pi)
        self.color(c, a)
        L.cairo_fill(self.cr)

    def ring(self, x, y, r, width, c, a=1.0):
        L.cairo_new_sub_path(self.cr)
        L.cairo_arc(self.cr, x, y, r, 0, 2 * math.pi)
        self.stroke(width, c, a)

    def stroke(self, width, c, a=1.0, cap=CAIRO_LINE_CAP_BUTT):
        self.color(c, a)
        L.cairo_set_line_width(self.cr, width)
        L.cairo_set_line_cap(self.cr, cap)
        L.cairo_set_line_join(self.cr, CAIRO_LINE_JOIN_ROUND)
        L.cairo_stroke(self.cr)

    def line(self, x0, y0, x1, y1, width, c, a=1.0, cap=CAIRO_LINE_CAP_ROUND):
        L.cairo_move_to(self.cr, x0, y0)
        L.cairo_line_to(self.cr, x1, y1)
        self.stroke(width, c, a, cap)

    def ellipse_path(self, x, y, rx, ry):
        L.cairo_save(self.cr)
        L.cairo_translate(self.cr, x, y)
        L.cairo_scale(self.cr, rx, ry)
        L.cairo_new_sub_path(self.cr)
        L.cairo_arc(self.cr, 0, 0, 1, 0, 2 * math.pi)
        L.cairo_restore(self.cr)

    def linear(self, x0, y0, x1, y1, stops):
        pat = L.cairo_pattern_create_linear(x0, y0, x1, y1)
        for off, c, a in stops:
            L.cairo_pattern_add_color_stop_rgba(pat, off, *rgb(c, a))
        L.cairo_set_source(self.cr, pat)
        L.cairo_pattern_destroy(pat)

    def radial(self, x, y, r, stops):
        pat = L.cairo_pattern_create_radial(x, y, 0, x, y, r)
        for off, c, a in stops:
            L.cairo_pattern_add_color_stop_rgba(pat, off, *rgb(c, a))
        L.cairo_set_source(self.cr, pat)
        L.cairo_pattern_destroy(pat)

    # ---- text

    def layout(self, text, family, px, bold=False, width=None, center=False, spacing=0):
        """A Pango layout of TEXT in FAMILY at PX pixels, with no font fallback.

        Fonts made for one script often lack ASCII punctuation (Noto Sans
        Arabic has no parentheses): the characters of BORROWED are then set
        in the Latin font, named explicitly rather than left to fallback.
        """
        desc = L.pango_font_description_new()
        L.pango_font_description_set_family(desc, family.encode())
        L.pango_font_description_set_weight(desc, PANGO_WEIGHT_BOLD if bold else PANGO_WEIGHT_NORMAL)
        L.pango_font_description_set_absolute_size(desc, px * PANGO_SCALE)
        self._check_font(desc, family, bold)
        lay = L.pango_layout_new(self.pango)
        L.pango_layout_set_font_description(lay, desc)
        L.pango_font_description_free(desc)
        attrs = L.pango_attr_list_new()
        L.pango_attr_list_insert(attrs, L.pango_attr_fallback_new(0))
        if spacing:
            L.pango_attr_list_insert(attrs, L.pango_attr_letter_spacing_new(int(spacing * PANGO_SCALE)))
        if family != LATIN:
            pos = 0
            for ch in text:
                n = len(ch.encode("utf-8"))
                if ch in BORROWED:
                    self._check_font(desc, LATIN, bold, probe=True)
                    attr = L.pango_attr_family_new(LATIN.encode())
                    span = ctypes.cast(attr, ctypes.POINTER(PangoAttribute)).contents
                    span.start_index, span.end_index = pos, pos + n
                    L.pango_attr_list_insert(attrs, attr)
                pos += n
        L.pango_layout_set_attributes(lay, attrs)
        L.pango_attr_list_unref(attrs)
        if width is not None:
            L.pango_layout_set_width(lay, int(width * PANGO_SCALE))
            L.pango_layout_set_wrap(lay, PANGO_WRAP_WORD)
        L.pango_layout_set_alignment(lay, PANGO_ALIGN_CENTER if center else PANGO_ALIGN_LEFT)
        raw = text.encode("utf-8")
        L.pango_layout_set_text(lay, raw, len(raw))
        missing = L.pango_layout_get_unknown_glyphs_count(lay)
        if missing:
            L.g_object_unref(lay)
            raise ArtError("font %r has no glyph for %d character(s) of %r" % (family, missing, text))
        return lay

    def _check_font(self, desc, family, bold, probe=False):
        key = (family, bold)
        if key in L.checked_fonts:
            return
        if probe:
            desc = L.pango_font_description_new()
            L.pango_font_description_set_family(desc, family.encode())
            L.pango_font_description_set_weight(desc, PANGO_WEIGHT_BOLD if bold else PANGO_WEIGHT_NORMAL)
            L.pango_font_description_set_absolute_size(desc, 12 * PANGO_SCALE)
            try:
                return self._check_font(desc, family, bold)
            finally:
                L.pango_font_description_free(desc)
        font = L.pango_context_load_font(self.pango, desc)
        got = None
        if font:
            d2 = L.pango_font_describe(font)
            got = L.pango_font_description_get_family(d2).decode()
            L.pango_font_description_free(d2)
            L.g_object_unref(font)
        if got is None or got.lower() != family.lower():
            raise ArtError("font %r is not installed (fontconfig gave %r)" % (family, got))
        L.checked_fonts[key] = True

    @staticmethod
    def extents(lay):
        ink, logical = PangoRectangle(), PangoRectangle()
        L.pango_layout_get_pixel_extents(lay, ctypes.byref(ink), ctypes.byref(logical))
        return ink, logical

    def show(self, lay, x, y, c, a=1.0):
        """Draws LAY with the top left of its logical box at (x, y)."""
        L.cairo_move_to(self.cr, x, y)
        self.color(c, a)
        L.pango_cairo_show_layout(self.cr, lay)
        L.g_object_unref(lay)

    def text(self, text, family, px, x, y, c, a=1.0, bold=False, **kw):
        lay = self.layout(text, family, px, bold, **kw)
        ink, logical = self.extents(lay)
        self.show(lay, x, y, c, a)
        return ink, logical

    # ---- pixels

    def bgra(self):
        """Rows top-down, 4 bytes a pixel (B, G, R, A), alpha premultiplied."""
        L.cairo_surface_flush(self.surface)
        stride = L.cairo_image_surface_get_stride(self.surface)
        data = ctypes.string_at(L.cairo_image_surface_get_data(self.surface), stride * self.h)
        if sys.byteorder != "little":
            raise ArtError("this script reads cairo's pixels as little-endian words")
        return [data[y * stride:y * stride + self.w * 4] for y in range(self.h)]


class Image:
    """Decoded pixels: W x H, rows top-down, B G R A bytes, straight alpha."""

    def __init__(self, w, h, rows):
        self.w, self.h, self.rows = w, h, rows


def canvas_image(cv, opaque, solid=None):
    """The canvas's pixels with straight alpha. SOLID, for a one-colour
    drawing, gives every visible pixel exactly that colour (undoing the
    premultiplication would leave rounding errors in the edge pixels)."""
    rows = cv.bgra()
    if opaque:
        for y, row in enumerate(rows):
            if row[3::4] != b"\xff" * cv.w:
                raise ArtError("an opaque picture has a see-through pixel in row %d" % y)
        return Image(cv.w, cv.h, rows)
    out = []
    for row in rows:
        r = bytearray(row)
        for i in range(0, len(r), 4):
            a = r[i + 3]
            if a == 0:
                r[i:i + 4] = b"\0\0\0\0"
            elif solid is not None:
                r[i:i + 3] = bytes((solid[2], solid[1], solid[0]))
            elif a != 255:
                for k in range(3):
                    r[i + k] = min(255, (r[i + k] * 255 + a // 2) // a)
        out.append(bytes(r))
    return Image(cv.w, cv.h, out)


# --------------------------------------------------------------------------
# file formats

def bmp_bytes(img, bits):
    row_len = (img.w * bits // 8 + 3) & ~3
    body = bytearray()
    for row in reversed(img.rows):
        if bits == 32:
            line = bytearray(row)
            line[3::4] = b"\xff" * img.w
        else:
            line = bytearray(img.w * 3)
            line[0::3] = row[0::4]
            line[1::3] = row[1::4]
            line[2::3] = row[2::4]
        body += line + b"\0" * (row_len - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, bits, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return head + info + bytes(body)


def ico_bytes(images):
    """An icon file of 32-bit images with straight alpha and AND masks."""
    blobs = []
    for img in images:
        xor = bytearray()
        mask = bytearray()
        mask_row = ((img.w + 31) // 32) * 4
        for row in reversed(img.rows):
            xor += row
            bits = bytearray(mask_row)
            for x in range(img.w):
                if row[x * 4 + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h * 2, 1, 32, 0,
                           len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append(info + bytes(xor) + bytes(mask))
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", img.w % 256, img.h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def read_dib(data, where, expect_w, expect_h, expect_bits, icon=False):
    """Checks a BITMAPINFOHEADER image and returns it as an Image."""
    (size, w, h, planes, bits, comp, _img_size, _xppm, _yppm,
     used, _important) = struct.unpack_from("<IiiHHIIiiII", data, where)
    if icon:
        h //= 2
    if (size, planes, comp, used) != (40, 1, 0, 0) or h <= 0:
        raise ArtError("%s: not a plain bottom-up BITMAPINFOHEADER image" % where)
    if (w, h, bits) != (expect_w, expect_h, expect_bits):
        raise ArtError("image is %dx%d %d bits, not %dx%d %d bits"
                       % (w, h, bits, expect_w, expect_h, expect_bits))
    row_len = (w * bits // 8 + 3) & ~3
    pos = where + 40
    rows = []
    for _ in range(h):
        line = data[pos:pos + row_len]
        pos += row_len
        if bits == 24:
            r = bytearray(w * 4)
            r[0::4] = line[0:w * 3:3]
            r[1::4] = line[1:w * 3:3]
            r[2::4] = line[2:w * 3:3]
            r[3::4] = b"\xff" * w
            rows.append(bytes(r))
        else:
            rows.append(bytes(line[:w * 4]))
    rows.reverse()
    if icon:
        mask_row = ((w + 31) // 32) * 4
        for y in range(h):
            bits_row = data[pos + (h - 1 - y) * mask_row:pos + (h - y) * mask_row]
            for x in range(w):
                masked = bool(bits_row[x // 8] & (0x80 >> (x % 8)))
                if masked != (rows[y][x * 4 + 3] == 0):
                    raise ArtError("AND mask disagrees with alpha at %d,%d" % (x, y))
    return Image(w, h, rows)


def read_bmp(data, w, h, bits):
    magic, size, _r1, _r2, off = struct.unpack_from("<2sIHHI", data, 0)
    if magic != b"BM" or size != len(data) or off != 54:
        raise ArtError("bad BMP file header")
    return read_dib(data, 14, w, h, bits)


def read_ico(data, sizes):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind, count) != (0, 1, len(sizes)):
        raise ArtError("bad icon directory")
    images = []
    for i, size in enumerate(sizes):
        bw, bh, colours, _res, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        if (bw, bh, colours, planes, bits) != (size % 256, size % 256, 0, 1, 32):
            raise ArtError("bad icon directory entry %d" % i)
        expected = 40 + size * size * 4 + ((size + 31) // 32) * 4 * size
        if length != expected or offset + length > len(data):
            raise ArtError("icon image %d has %d bytes, not %d" % (i, length, expected))
        images.append(read_dib(data, offset, size, size, 32, icon=True))
    return images


def png_bytes(img):
    raw = bytearray()
    for row in img.rows:
        raw.append(0)
        line = bytearray(img.w * 3)
        line[0::3] = row[2::4]
        line[1::3] = row[1::4]
        line[2::3] = row[0::4]
        raw += line

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", img.w, img.h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


# --------------------------------------------------------------------------
# the pictures

def page_background(cv):
    """The red of the slides and the finish page: a soft diagonal gradient."""
    cv.linear(0, 0, PAGE_W, PAGE_H, [(0.0, (255, 84, 88), 1), (0.45, ACCENT, 1), (1.0, (222, 30, 44), 1)])
    L.cairo_paint(cv.cr)
    # a soft light from the upper right, and a darker floor under the track
    cv.radial(520, 120, 330, [(0.0, WHITE, 0.14), (1.0, WHITE, 0.0)])
    L.cairo_paint(cv.cr)
    cv.linear(0, 300, 0, PAGE_H, [(0.0, (150, 0, 20), 0.0), (1.0, (150, 0, 20), 0.18)])
    L.cairo_rectangle(cv.cr, 0, 300, PAGE_W, PAGE_H - 300)
    L.cairo_fill(cv.cr)


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
    L.cairo_save(cv.cr)
    L.cairo_new_sub_path(cv.cr)
    L.cairo_arc(cv.cr, gx, gy, gr, 0, 2 * math.pi)
    L.cairo_clip(cv.cr)
    for k in (0.22, 0.55, 0.84):
        cv.ellipse_path(gx, gy, gr * k, gr)
        cv.stroke(1.6, WHITE, 0.42)
    cv.line(gx, gy - gr, gx, gy + gr, 1.6, WHITE, 0.42, CAIRO_LINE_CAP_BUTT)
    for lat in (-0.62, -0.3, 0.0, 0.3, 0.62):
        y = gy + gr * lat
        half = gr * math.sqrt(1 - lat * lat)
        cv.line(gx - half, y, gx + half, y, 1.6, WHITE, 0.42, CAIRO_LINE_CAP_BUTT)
    L.cairo_restore(cv.cr)
    cv.ring(gx, gy, gr, 2.4, WHITE, 0.85)
    # an orbit with small "language" dots around the globe
    L.cairo_save(cv.cr)
    L.cairo_translate(cv.cr, gx, gy)
    L.cairo_rotate(cv.cr, -0.32)
    cv.ellipse_path(0, 0, 156, 48)
    cv.stroke(1.4, WHITE, 0.55)
    for ang, rad in ((200, 7), (250, 4.5), (330, 5.5), (20, 8), (95, 4.5)):
        t = math.radians(ang)
        x, y = 156 * math.cos(t), 48 * math.sin(t)
        cv.circle(x, y, rad + 3, WHITE, 0.18)
        cv.circle(x, y, rad, WHITE, 0.95)
    L.cairo_restore(cv.cr)
    title_block(cv, "Installing language packs\u2026")
    progress_track(cv)


def bubble(cv, x, y, w, h, tail_left, fill_a, outline_a):
    """A rounded speech bubble with a small tail under it."""
    r = min(w, h) * 0.28
    cv.round_rect_path(x, y, w, h, r)
    tx = x + w * (0.28 if tail_left else 0.72)
    tip = tx - 12 if tail_left else tx + 12
    L.cairo_move_to(cv.cr, tx - 9, y + h - 0.5)
    L.cairo_line_to(cv.cr, tip, y + h + 14)
    L.cairo_line_to(cv.cr, tx + 9, y + h - 0.5)
    L.cairo_close_path(cv.cr)
    cv.color(WHITE, fill_a)
    L.cairo_fill(cv.cr)
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
    L.cairo_move_to(cv.cr, cx - 0.42 * s, cy + 0.02 * s)
    L.cairo_line_to(cv.cr, cx - 0.12 * s, cy + 0.30 * s)
    L.cairo_line_to(cv.cr, cx + 0.44 * s, cy - 0.30 * s)


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
    cv.stroke(8, ACCENT, 1.0, CAIRO_LINE_CAP_ROUND)
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

def icon_canvas(size):
    cv = Canvas(size, size)
    L.cairo_set_operator(cv.cr, CAIRO_OPERATOR_SOURCE)
    L.cairo_set_source_rgba(cv.cr, 0, 0, 0, 0)
    L.cairo_paint(cv.cr)
    L.cairo_set_operator(cv.cr, CAIRO_OPERATOR_OVER)
    return cv


def cross_icon(size, colour):
    cv = icon_canvas(size)
    half = size * 0.22          # 3.5 px at 16, 5.3 px at 24
    width = 1.6 if size <= 16 else 2.0
    c = size / 2.0
    cv.line(c - half, c - half, c + half, c + half, width, colour, 1.0, CAIRO_LINE_CAP_BUTT)
    cv.line(c - half, c + half, c + half, c - half, width, colour, 1.0, CAIRO_LINE_CAP_BUTT)
    return cv


def dash_icon(size, colour):
    cv = icon_canvas(size)
    length = 8 if size <= 16 else 12
    thick = 2
    cv.rect((size - length) // 2, (size - thick) // 2, length, thick, colour)
    return cv


def app_icon(size):
    cv = icon_canvas(size)
    m = 0 if size <= 16 else size / 24.0
    r = size * 0.22
    cv.round_rect_path(m, m, size - 2 * m, size - 2 * m, r)
    cv.linear(0, 0, size, size, [(0.0, (255, 88, 92), 1), (0.5, ACCENT, 1), (1.0, (214, 26, 40), 1)])
    L.cairo_fill(cv.cr)
    # the letter Q, drawn as a ring with a tail so it stays crisp when small
    cx, cy = size / 2.0, size * 0.48
    rr = size * 0.25
    w = max(1.7, size * 0.105)
    cv.ring(cx, cy, rr, w, WHITE)
    t0 = (cx + rr * 0.30, cy + rr * 0.30)
    t1 = (cx + rr * 1.22, cy + rr * 1.22)
    cv.line(t0[0], t0[1], t1[0], t1[1], w * 1.05, WHITE, 1.0, CAIRO_LINE_CAP_ROUND)
    if size >= 32:
        # a hint of a globe inside the Q
        cv.ellipse_path(cx, cy, rr * 0.42, rr - w / 2)
        cv.stroke(max(1.0, size / 32.0), WHITE, 0.75)
        cv.line(cx - rr + w / 2, cy, cx + rr - w / 2, cy, max(1.0, size / 32.0), WHITE, 0.75,
                CAIRO_LINE_CAP_BUTT)
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
        if logical.width <= LABEL_MAX_WIDTH and L.pango_layout_get_line_count(lay) == 1:
            break
        L.g_object_unref(lay)
        px -= 0.5
        if px < LABEL_MIN_PX:
            raise ArtError("label %r does not fit in %d px" % (text, LABEL_MAX_WIDTH))
    if family == LATIN:
        # Latin, Greek and Cyrillic share one baseline: capitals centred
        ref = cv.layout("H", family, px)
        rink, _ = cv.extents(ref)
        L.g_object_unref(ref)
        top = round(LABEL_H / 2.0 - rink.y - rink.height / 2.0)
    else:
        top = round(LABEL_H / 2.0 - ink.y - ink.height / 2.0)
    if top + ink.y < 0 or top + ink.y + ink.height > LABEL_H or LABEL_LEFT + ink.x + ink.width > LABEL_W - 1:
        raise ArtError("label %r does not fit in the picture" % text)
    cv.show(lay, LABEL_LEFT - logical.x, top, LABEL_INK)
    return cv, px


# --------------------------------------------------------------------------
# writing, reading back, contact sheet

def render_all():
    """Returns {file name: bytes} for resources/art/ and the label sizes used."""
    files = {}
    for rid, name in PAGES:
        cv = Canvas(PAGE_W, PAGE_H)
        {"bg_white.bmp": draw_white, "slide_a.bmp": draw_slide_a,
         "slide_b.bmp": draw_slide_b, "finish.bmp": draw_finish}[name](cv)
        files[name] = bmp_bytes(canvas_image(cv, True), 32 if rid == 166 else 24)
        cv.close()
    makers = {
        "app.ico": (app_icon, None),
        "close_red.ico": (cross_icon, CLOSE_RED),
        "close_white.ico": (cross_icon, WHITE),
        "min_grey.ico": (dash_icon, MIN_GREY),
        "min_white.ico": (dash_icon, WHITE),
    }
    for _rid, name, sizes in ICONS:
        maker, colour = makers[name]
        images = []
        for s in sizes:
            cv = maker(s) if colour is None else maker(s, colour)
            images.append(canvas_image(cv, False, colour))
            cv.close()
        files[name] = ico_bytes(images)
    sizes = {}
    for rid, text, family in LABELS:
        cv, px = label_canvas(text, family)
        files["label_%d.bmp" % rid] = bmp_bytes(canvas_image(cv, True), 32 if rid in LABELS_32BIT else 24)
        sizes[rid] = px
        cv.close()
    files["art.rc"] = resource_script().encode("ascii")
    return files, sizes


def resource_script():
    lines = [
        "// The installer's pictures and icons, drawn by tools/artwork/make_artwork.py.",
        "// Included by the main resource script; paths are relative to resources/.",
        "",
    ]
    for rid, name in PAGES:
        lines.append('%d BITMAP "art/%s"' % (rid, name))
    for rid, name, _sizes in ICONS:
        lines.append('%d ICON "art/%s"' % (rid, name))
    for rid, text, _family in LABELS:
        lines.append('%d BITMAP "art/label_%d.bmp"' % (rid, rid))
    return "\n".join(lines) + "\n"


def read_back(files):
    """Parses every written file and returns its images, checking each header."""
    pics = {}
    for rid, name in PAGES:
        pics[name] = [read_bmp(files[name], PAGE_W, PAGE_H, 32 if rid == 166 else 24)]
    for _rid, name, sizes in ICONS:
        pics[name] = read_ico(files[name], sizes)
    for rid, _text, _family in LABELS:
        name = "label_%d.bmp" % rid
        pics[name] = [read_bmp(files[name], LABEL_W, LABEL_H, 32 if rid in LABELS_32BIT else 24)]
    check_pictures(pics)
    return pics


def check_pictures(pics):
    white = pics["bg_white.bmp"][0]
    if any(row != b"\xff" * (PAGE_W * 4) for row in white.rows):
        raise ArtError("bg_white.bmp is not uniformly white")
    for name in ("slide_a.bmp", "slide_b.bmp"):
        img = pics[name][0]
        for y in range(TRACK_Y0, TRACK_Y1 + 1):
            for x in range(TRACK_X0 + TRACK_RADIUS, TRACK_X1 - TRACK_RADIUS + 1):
                if img.rows[y][x * 4:x * 4 + 3] != b"\xff\xff\xff":
                    raise ArtError("%s: progress track not white at %d,%d" % (name, x, y))
        for y in (TRACK_Y0 - 1, TRACK_Y1 + 2):
            if img.rows[y][300 * 4:300 * 4 + 3] == b"\xff\xff\xff":
                raise ArtError("%s: progress track taller than rows %d..%d" % (name, TRACK_Y0, TRACK_Y1))
        red = 0
        for y in range(0, PAGE_H, 7):
            for x in range(0, PAGE_W, 7):
                b, g, r = img.rows[y][x * 4:x * 4 + 3]
                red += r > 180 and g < 130 and b < 130
        if red * 2 < (PAGE_W // 7 + 1) * (PAGE_H // 7 + 1):
            raise ArtError("%s: red is not the dominant colour" % name)
    fin = pics["finish.bmp"][0]
    for y in range(360, 391):
        for x in range(300, 431):
            if fin.rows[y][x * 4:x * 4 + 3] != b"\xff\xff\xff":
                raise ArtError("finish.bmp: the button's place is not white at %d,%d" % (x, y))


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
        block_w = sum(3 * (img.w + 6) + 4 * img.w + 10 for img in images) + 10
        block_h = 20 + max(4 * img.h for img in images)
        if x > margin and x + block_w > width - margin:
            x, y, row_h = margin, y + row_h + 16, 0
        ops.append(("caption", "%d  %s  (%s)" % (rid, name, ", ".join("%d" % img.w for img in images)),
                    x, y, 13, True))
        xx = x
        for img in images:
            for bg in ("checker", ACCENT, (60, 60, 60)):
                ops.append(("image", img, xx, y + 20, 1, bg))
                xx += img.w + 6
            ops.append(("image", img, xx, y + 20, 4, ACCENT if white else "checker"))
            xx += 4 * img.w + 10
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
    keep = []
    for op in ops:
        if op[0] == "caption":
            _, text, x, y, px, bold = op
            cv.text(text, LATIN, px, x, y, ink, bold=bold)
            continue
        _, img, x, y, scale, bg = op
        w, h = img.w * scale, img.h * scale
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
        stride = L.cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, img.w)
        buf = bytearray()
        for row in img.rows:
            r = bytearray(row)
            for i in range(0, len(r), 4):
                a = r[i + 3]
                if a != 255:
                    for k in range(3):
                        r[i + k] = (r[i + k] * a + 127) // 255
            buf += r + b"\0" * (stride - len(r))
        cbuf = (ctypes.c_ubyte * len(buf)).from_buffer_copy(bytes(buf))
        keep.append(cbuf)
        surf = L.cairo_image_surface_create_for_data(ctypes.addressof(cbuf), CAIRO_FORMAT_ARGB32,
                                                     img.w, img.h, stride)
        L.cairo_save(cv.cr)
        L.cairo_translate(cv.cr, x, y)
        L.cairo_scale(cv.cr, scale, scale)
        L.cairo_set_source_surface(cv.cr, surf, 0, 0)
        L.cairo_pattern_set_filter(L.cairo_get_source(cv.cr), CAIRO_FILTER_NEAREST)
        L.cairo_rectangle(cv.cr, 0, 0, img.w, img.h)
        L.cairo_fill(cv.cr)
        L.cairo_restore(cv.cr)
        L.cairo_surface_destroy(surf)
    img = canvas_image(cv, True)
    cv.close()
    return img


def main():
    global L
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("--check", action="store_true",
                    help="draw in memory and compare with the files in the repository; write nothing")
    args = ap.parse_args()
    try:
        L = Lib()
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
             L.pango_version_string().decode()))
    return 0


if __name__ == "__main__":
    sys.exit(main())
