#!/usr/bin/env python3
"""Draws every picture of QTA Config Editor and writes it under resources/.

Python 3 standard library only. The output is deterministic: running the
script twice gives the same bytes.

    python3 resources/tools/make_pictures.py            # writes into resources/
    python3 resources/tools/make_pictures.py OUTDIR     # writes elsewhere

Style: flat colours, each shape with a 1 px darker edge, light page and metal
greys, yellow folders, blue / green / red accents. Small pictures are pixel
art built from masks (sets of (x, y) pixels); the program icon is drawn from
vector shapes with supersampling so that it scales to 256 px.
"""
import colorsys
import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# Colours: (fill, edge) pairs and single tones.
# --------------------------------------------------------------------------
WHITE = (255, 255, 255)
PAGE_E = (112, 122, 138)
FOLD = (218, 226, 236)
TEXT = (168, 180, 196)
FOLDER_F, FOLDER_B, FOLDER_E = (255, 212, 96), (236, 176, 54), (184, 124, 26)
BLUE, BLUE_E = (60, 132, 222), (26, 78, 152)
SKY, SKY_E = (176, 216, 250), (64, 122, 190)
GREEN, GREEN_E = (76, 180, 84), (28, 112, 42)
RED, RED_E = (230, 68, 62), (148, 28, 28)
METAL, METAL_E = (206, 212, 220), (102, 110, 124)
DARK, DARK_E = (72, 78, 90), (24, 26, 32)
ORANGE, ORANGE_E = (250, 166, 54), (178, 100, 20)
PINK, WOOD = (244, 146, 166), (242, 210, 158)
BLACK = (0, 0, 0)
MAGENTA = (255, 0, 255)
PICKER_BG = (136, 184, 192)


# --------------------------------------------------------------------------
# Canvas
# --------------------------------------------------------------------------
class Pic:
    """An RGBA picture; pixels are (r, g, b, a) tuples, row by row."""

    def __init__(self, w, h, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.p = [tuple(bg)] * (w * h)

    def get(self, x, y):
        return self.p[y * self.w + x]

    def put(self, x, y, c, cover=1.0):
        """Paint colour c (rgb or rgba) over pixel (x, y) with coverage."""
        if not (0 <= x < self.w and 0 <= y < self.h):
            return
        a = (c[3] / 255.0 if len(c) == 4 else 1.0) * cover
        if a <= 0:
            return
        i = y * self.w + x
        if a >= 1:
            self.p[i] = (c[0], c[1], c[2], 255)
            return
        r, g, b, da = self.p[i]
        da /= 255.0
        oa = a + da * (1 - a)
        mix = [(c[k] * a + (r, g, b)[k] * da * (1 - a)) / oa for k in range(3)]
        self.p[i] = tuple(int(round(v)) for v in mix) + (int(round(oa * 255)),)

    def paste(self, other, ox, oy):
        for y in range(other.h):
            for x in range(other.w):
                self.put(ox + x, oy + y, other.get(x, y))

    def mapped(self, fn):
        out = Pic(self.w, self.h)
        out.p = [fn(c) if c[3] else c for c in self.p]
        return out


# --------------------------------------------------------------------------
# Masks: sets of (x, y) pixels. A pixel belongs to a shape when its centre
# (x + 0.5, y + 0.5) does.
# --------------------------------------------------------------------------
def rect(x0, y0, x1, y1):
    return {(x, y) for x in range(x0, x1 + 1) for y in range(y0, y1 + 1)}


def rrect(x0, y0, x1, y1):
    """Rectangle with its four corner pixels cut."""
    return rect(x0, y0, x1, y1) - {(x0, y0), (x1, y0), (x0, y1), (x1, y1)}


def disc(cx, cy, r):
    n = int(r) + 2
    return {(x, y) for x in range(int(cx) - n, int(cx) + n + 1)
            for y in range(int(cy) - n, int(cy) + n + 1)
            if (x + .5 - cx) ** 2 + (y + .5 - cy) ** 2 <= r * r}


def seg(x0, y0, x1, y1, width):
    """Thick line between two points (pixel-centre coordinates)."""
    out = set()
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy or 1
    for x in range(int(min(x0, x1) - width) - 1, int(max(x0, x1) + width) + 2):
        for y in range(int(min(y0, y1) - width) - 1, int(max(y0, y1) + width) + 2):
            px, py = x + .5, y + .5
            t = max(0, min(1, ((px - x0) * dx + (py - y0) * dy) / ll))
            if (px - x0 - t * dx) ** 2 + (py - y0 - t * dy) ** 2 <= (width / 2) ** 2:
                out.add((x, y))
    return out


def poly(pts):
    """Filled polygon (even-odd rule)."""
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    out = set()
    for y in range(int(min(ys)), int(max(ys)) + 1):
        for x in range(int(min(xs)), int(max(xs)) + 1):
            px, py, inside = x + .5, y + .5, False
            for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
                if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
                    inside = not inside
            if inside:
                out.add((x, y))
    return out


def art(rows, ch, ox=0, oy=0):
    """Pixels of a text drawing that carry one of the characters in ch."""
    return {(ox + x, oy + y) for y, row in enumerate(rows)
            for x, c in enumerate(row) if c in ch}


def turn(mask, n, size):
    """Rotate a mask n quarter turns clockwise inside a size x size square."""
    for _ in range(n % 4):
        mask = {(size - 1 - y, x) for x, y in mask}
    return mask


def arc(cx, cy, r0, r1, a0, a1):
    """Ring sector: radius r0..r1, angles a0..a1 in degrees, clockwise on
    screen (0 = right, 90 = down)."""
    out = set()
    for x in range(int(cx - r1) - 1, int(cx + r1) + 2):
        for y in range(int(cy - r1) - 1, int(cy + r1) + 2):
            dx, dy = x + .5 - cx, y + .5 - cy
            a = math.degrees(math.atan2(dy, dx))
            if r0 <= math.hypot(dx, dy) <= r1 and (a - a0) % 360 <= (a1 - a0) % 360:
                out.add((x, y))
    return out


def rim(mask):
    """The pixels of a mask that touch its outside (4-neighbourhood)."""
    return {(x, y) for x, y in mask
            if not {(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)} <= mask}


def paint(pic, mask, fill, edge=None):
    """Fill a mask; with an edge colour, its 1 px border gets that colour."""
    border = rim(mask) if edge else set()
    for x, y in mask:
        pic.put(x, y, edge if (x, y) in border else fill)


def dots(pic, mask, colour):
    for x, y in mask:
        pic.put(x, y, colour)


def sprite(pic, rows, legend, ox=0, oy=0):
    """Draw a text drawing; legend maps characters to colours."""
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c in legend:
                pic.put(ox + x, oy + y, legend[c])


# --------------------------------------------------------------------------
# Motifs shared by several pictures
# --------------------------------------------------------------------------
def page(pic, x0, y0, x1, y1, fold=4, lines=0, line_x1=None):
    """A white sheet with a dog-eared top-right corner and optional text lines."""
    body = {(x, y) for x, y in rect(x0, y0, x1, y1) if x - (x1 - fold) <= y - y0}
    paint(pic, body, WHITE, PAGE_E)
    flap = {(x, y) for x, y in rect(x1 - fold, y0, x1, y0 + fold)
            if x - (x1 - fold) <= y - y0}
    paint(pic, flap, FOLD, PAGE_E)
    lx1 = line_x1 if line_x1 is not None else x1 - 2
    for i in range(lines):
        y = y0 + fold + 2 + 2 * i
        if y < y1 - 1:
            end = lx1 - (2 if i % 3 == 2 else 0)
            dots(pic, rect(x0 + 2, y, end, y), TEXT)


def folder(pic, x0, y0, x1, y1, tab=None):
    """A closed folder in the box; the tab sits on the top-left."""
    tab = tab or max(4, (x1 - x0) * 2 // 5)
    back = rect(x0, y0 + 1, x1, y1) | rect(x0 + 1, y0, x0 + tab, y0 + 1)
    paint(pic, back - {(x0, y0 + 1)}, FOLDER_B, FOLDER_E)
    paint(pic, rect(x0, y0 + 3, x1, y1), FOLDER_F, FOLDER_E)


def open_folder(pic, x0, y0, x1, y1, lean=3):
    """An opened folder: back with tab, front flap tipped towards the viewer."""
    tab = max(4, (x1 - x0) * 2 // 5)
    back = rect(x0, y0 + 1, x1 - lean, y1) | rect(x0 + 1, y0, x0 + tab, y0 + 1)
    paint(pic, back - {(x0, y0 + 1)}, FOLDER_B, FOLDER_E)
    top = y0 + (y1 - y0) // 2
    flap = poly([(x0, y1 + 1), (x1 - lean + 1, y1 + 1), (x1 + 1, top), (x0 + lean, top)])
    paint(pic, flap, FOLDER_F, FOLDER_E)


def floppy(pic, x0, y0, x1, y1):
    """A diskette seen from the front: shutter on top, label below."""
    w = x1 - x0
    body = rrect(x0, y0, x1, y1) - {(x1, y0 + 1), (x1 - 1, y0)}
    paint(pic, body, BLUE, BLUE_E)
    sx0, sx1 = x0 + (w + 1) // 4, x1 - (w + 1) // 4
    sy1 = y0 + (y1 - y0) * 3 // 8
    paint(pic, rect(sx0, y0, sx1, sy1), METAL, METAL_E)
    slot = sx1 - 2 - max(1, (sx1 - sx0) // 4)
    dots(pic, rect(slot, y0 + 2, slot + max(1, (sx1 - sx0) // 4), sy1 - 1), DARK)
    ly0 = y1 - (y1 - y0) * 3 // 8
    paint(pic, rect(x0 + 2, ly0, x1 - 2, y1), WHITE, PAGE_E)
    for y in range(ly0 + 2, y1 - 1, 2):
        dots(pic, rect(x0 + 4, y, x1 - 4, y), TEXT)


def pencil(pic, size, length, ox=0, oy=0):
    """A pencil lying at 45 degrees, point at the bottom left.

    Pixels are placed by u = x - y (along the pencil) and v = x + y (across);
    the pencil runs along the line x + y = size - 1 of a size x size square.
    """
    mid = size - 1
    half = length // 2
    mask = {}
    for x in range(size):
        for y in range(size):
            u, v = x - y, x + y
            cone = (u + half) / 2.5
            if -half <= u <= half and abs(v - mid) <= min(2, cone):
                mask[(x, y)] = u
    edge = rim(set(mask))
    for (x, y), u in mask.items():
        if (x, y) in edge:
            c = DARK_E if u < half - 4 else (150, 60, 80)
        elif u <= -half + 3:
            c = DARK
        elif u <= -half + 6:
            c = WOOD
        elif u <= half - 6:
            c = ORANGE if x + y <= mid else (230, 132, 30)
        elif u <= half - 4:
            c = METAL
        else:
            c = PINK
        pic.put(ox + x, oy + y, c)


# Arrow pointing right inside a 16 x 16 square; the others are turns of it.
ARROW16 = rect(2, 6, 8, 9) | {(x, y) for x in range(8, 14) for y in range(16)
                              if abs(y + .5 - 8) <= 14 - x - .5}


def arrow16(pic, quarter_turns, fill=BLUE, edge=BLUE_E):
    paint(pic, turn(ARROW16, quarter_turns, 16), fill, edge)


def cross(size, lo, hi, half):
    """An X from (lo, lo) to (hi, hi) with strokes |x - y| <= half."""
    return {(x, y) for x in range(lo, hi + 1) for y in range(lo, hi + 1)
            if abs(x - y) <= half or abs(x + y - (size - 1)) <= half}


# --------------------------------------------------------------------------
# Built-in toolbar button pictures, 16 x 16
# --------------------------------------------------------------------------
def button_notfound():
    p = Pic(16, 16)
    paint(p, cross(16, 1, 14, 2), RED, RED_E)
    return p


def button_new():
    p = Pic(16, 16)
    page(p, 2, 0, 13, 15, fold=4)
    return p


HEAD_RIGHT = ["#...", "##..", "###.", "####", "###.", "##..", "#..."]


def button_load():
    p = Pic(16, 16)
    open_folder(p, 0, 6, 14, 15)
    bent = arc(12, 8, 2, 5, 180, 270) | rect(7, 8, 9, 10) | art(HEAD_RIGHT, "#", 12, 1)
    paint(p, bent, GREEN, GREEN_E)
    return p


def button_save():
    p = Pic(16, 16)
    floppy(p, 1, 1, 14, 14)
    return p


def printer(pic, x0, y0, x1, y1):
    """Printer: paper going in at the back, body, printed sheet in front."""
    w, h = x1 - x0, y1 - y0
    px0, px1 = x0 + 3, x1 - 3
    body_y0, body_y1 = y0 + h * 3 // 8, y0 + h * 3 // 4
    paint(pic, rect(px0, y0, px1, body_y0), WHITE, PAGE_E)
    paint(pic, rrect(x0, body_y0, x1, body_y1), METAL, METAL_E)
    dots(pic, rect(x0 + 1, body_y0 + 1, x1 - 1, body_y0 + 1), (232, 236, 242))
    dots(pic, rect(x1 - 3, body_y0 + 2, x1 - 2, body_y0 + 2), GREEN)
    dots(pic, rect(px0 - 1, body_y1 - 1, px1 + 1, body_y1 - 1), DARK)
    sheet = rect(px0, body_y1 - 1, px1, y1)
    paint(pic, sheet, WHITE, PAGE_E)
    for y in range(body_y1 + 1, y1, 2):
        dots(pic, rect(px0 + 2, y, px1 - 2, y), TEXT)


def button_print():
    p = Pic(16, 16)
    printer(p, 0, 1, 15, 15)
    return p


def magnifier(pic, cx, cy, r, handle):
    lens = disc(cx, cy, r)
    paint(pic, seg(cx + r * .6, cy + r * .6, cx + r * .6 + handle, cy + r * .6 + handle, 3.2),
          DARK, DARK_E)
    paint(pic, lens, DARK, DARK_E)
    glass = disc(cx, cy, r - 1.5)
    dots(pic, glass, SKY)
    dots(pic, {(x, y) for x, y in glass if x + y < cx + cy - r + 1.5}, WHITE)


def button_preview():
    p = Pic(16, 16)
    page(p, 1, 0, 11, 14, fold=3, lines=5)
    magnifier(p, 9.5, 9.5, 4.5, 3.5)
    return p


def button_prefs():
    p = Pic(16, 16)
    page(p, 0, 0, 10, 14, fold=3, lines=5)
    pencil(p, 16, 22, 1, 0)
    return p


def button_exit():
    p = Pic(16, 16)
    paint(p, cross(16, 1, 14, 2), (60, 62, 68), BLACK)
    return p


BUTTONS = [button_notfound, button_new, button_load, button_save,
           button_print, button_preview, button_prefs, button_exit]


# --------------------------------------------------------------------------
# File picker toolbar strip: five 16 x 16 pictures
# --------------------------------------------------------------------------
UP_ARROW = [
    "...kk...",
    "..kggk..",
    ".kggggk.",
    "kggggggk",
    "kkkggkkk",
    "..kggk..",
    "..kggk..",
    "..kggk..",
    "..kkkk..",
]


def picker_up():
    p = Pic(16, 16)
    folder(p, 0, 4, 13, 14)
    sprite(p, UP_ARROW, {"k": GREEN_E, "g": GREEN}, 8, 0)
    return p


def monitor(pic, x0, y0, x1, y1):
    sy1 = y1 - 3
    paint(pic, rrect(x0, y0, x1, sy1), METAL, METAL_E)
    paint(pic, rect(x0 + 2, y0 + 2, x1 - 2, sy1 - 2), BLUE, BLUE_E)
    dots(pic, rect(x0 + 3, y0 + 3, x1 - 3, y0 + 3), (120, 176, 240))
    cx = (x0 + x1) // 2
    dots(pic, rect(cx - 1, sy1 + 1, cx + 1 + (x1 - x0 + 1) % 2, sy1 + 1), METAL_E)
    paint(pic, rrect(cx - 4, sy1 + 2, cx + 4 + (x1 - x0 + 1) % 2, y1), METAL, METAL_E)


def picker_desktop():
    p = Pic(16, 16)
    monitor(p, 0, 1, 15, 15)
    return p


SPARKLE = [
    "...o...",
    "...o...",
    "..oyo..",
    "ooyWyoo",
    "..oyo..",
    "...o...",
    "...o...",
]


def picker_newfolder():
    p = Pic(16, 16)
    folder(p, 0, 5, 12, 15)
    sprite(p, SPARKLE, {"o": ORANGE_E, "y": (255, 224, 96), "W": WHITE}, 9, 0)
    return p


def picker_list():
    p = Pic(16, 16)
    for col in (0, 8):
        for row in range(4):
            y = 1 + row * 4
            paint(p, rect(col, y, col + 2, y + 2), SKY, BLUE_E)
            dots(p, rect(col + 4, y + 1, col + 6, y + 1), DARK)
    return p


def picker_details():
    p = Pic(16, 16)
    paint(p, rect(0, 0, 15, 3), METAL, METAL_E)
    dots(p, {(8, 1), (8, 2)}, METAL_E)
    for row in range(3):
        y = 5 + row * 4
        paint(p, rect(0, y, 2, y + 2), SKY, BLUE_E)
        dots(p, rect(4, y + 1, 7, y + 1), DARK)
        dots(p, rect(10, y + 1, 14, y + 1), TEXT)
    return p


PICKER = [picker_up, picker_desktop, picker_newfolder, picker_list, picker_details]


# --------------------------------------------------------------------------
# Command toolbar pictures, 19 x 19
# --------------------------------------------------------------------------
HEAD_DOWN = ["#########", ".#######.", "..#####..", "...###...", "....#...."]


def cmd_reload():
    """Two arrows chasing each other round a circle."""
    p = Pic(19, 19)
    half = arc(9.5, 9.5, 4.6, 7.6, 245, 360) | art(HEAD_DOWN, "#", 11, 9)
    paint(p, half, GREEN, GREEN_E)
    paint(p, turn(half, 2, 19), GREEN, GREEN_E)
    return p


def cmd_save():
    p = Pic(19, 19)
    floppy(p, 1, 1, 17, 17)
    return p


TOOL_BUTTONS = [(BLUE, BLUE_E), (GREEN, GREEN_E), (ORANGE, ORANGE_E)]


def toolbar_strip(pic, x0, y0, size=4):
    """A light toolbar holding three coloured buttons of size x size."""
    x1, y1 = x0 + 2 + (size + 1) * 3, y0 + size + 3
    paint(pic, rrect(x0, y0, x1, y1), (238, 242, 248), METAL_E)
    dots(pic, rect(x0 + 1, y1 - 1, x1 - 1, y1 - 1), METAL)
    for i, (fill, edge) in enumerate(TOOL_BUTTONS):
        x = x0 + 2 + i * (size + 1)
        paint(pic, rect(x, y0 + 2, x + size - 1, y0 + size + 1), fill, edge)


HEAD_LEFT = ["...#", "..##", ".###", "####", ".###", "..##", "...#"]
GEAR11 = [
    "....###....",
    ".##.###.##.",
    ".#########.",
    "..#######..",
    "####...####",
    "####...####",
    "####...####",
    "..#######..",
    ".#########.",
    ".##.###.##.",
    "....###....",
]
STEEL, STEEL_E = (156, 166, 182), (60, 66, 82)


def cmd_reset_toolbar():
    p = Pic(19, 19)
    toolbar_strip(p, 0, 0)
    undo = art(HEAD_LEFT, "#", 6, 6) | rect(10, 8, 13, 10) | arc(13, 13.5, 2.2, 5, -90, 90) \
        | rect(10, 16, 13, 18)
    paint(p, undo, ORANGE, ORANGE_E)
    return p


def undo_arrow():
    """A hook arrow turning back to the left: head top left, tail curving round on the right."""
    head = art(["....#", "...##", "..###", ".####", "#####", ".####", "..###", "...##", "....#"], "#", 0, 1)
    return head | rect(5, 4, 10, 6) | arc(10, 10.5, 3.6, 6.6, -90, 90) | rect(4, 14, 10, 16)


def cmd_undo():
    p = Pic(19, 19)
    paint(p, undo_arrow(), BLUE, BLUE_E)
    return p


def cmd_redo():
    p = Pic(19, 19)
    paint(p, {(18 - x, y) for x, y in undo_arrow()}, BLUE, BLUE_E)
    return p


def cmd_ini_path():
    p = Pic(19, 19)
    folder(p, 0, 2, 16, 15)
    paint(p, art(GEAR11, "#", 8, 8), STEEL, STEEL_E)
    return p


def cmd_bitmaps_path():
    p = Pic(19, 19)
    folder(p, 0, 2, 16, 15)
    paint(p, rect(8, 9, 18, 18), WHITE, PAGE_E)
    dots(p, rect(9, 10, 17, 14), SKY)
    dots(p, rect(15, 11, 16, 12), (255, 196, 40))
    dots(p, poly([(9, 18), (9, 15), (12, 12.5), (15, 15.5), (18, 15), (18, 18)]), GREEN)
    return p


def cmd_addons_path():
    p = Pic(19, 19)
    folder(p, 0, 2, 16, 15)
    paint(p, rect(7, 8, 18, 18), WHITE, BLUE_E)
    dots(p, rect(8, 9, 17, 10), BLUE)
    dots(p, {(16, 9), (16, 10)}, WHITE)
    dots(p, rect(9, 12, 15, 12), TEXT)
    dots(p, rect(9, 14, 13, 14), TEXT)
    dots(p, rect(9, 16, 14, 16), TEXT)
    return p


def cmd_tab_toolbar():
    p = Pic(19, 19)
    toolbar_strip(p, 0, 4, 5)
    return p


def cmd_tab_addons():
    p = Pic(19, 19)
    piece = rect(1, 6, 13, 17) | disc(7, 4, 2.6) | rect(6, 3, 7, 6) \
        | disc(15, 11.5, 2.6) | rect(13, 11, 14, 12)
    piece -= disc(1, 12, 2.3)
    paint(p, piece, (96, 160, 230), BLUE_E)
    return p


def cmd_exit():
    p = Pic(19, 19)
    paint(p, disc(9.5, 9.5, 8.6), RED, RED_E)
    dots(p, cross(19, 5, 13, 1), WHITE)
    return p


COMMANDS = [("reload", cmd_reload), ("save", cmd_save),
            ("reset-toolbar", cmd_reset_toolbar), ("set-ini-path", cmd_ini_path),
            ("set-bitmaps-path", cmd_bitmaps_path), ("set-addons-path", cmd_addons_path),
            ("tab-toolbar", cmd_tab_toolbar), ("tab-addons", cmd_tab_addons),
            ("exit", cmd_exit), ("undo", cmd_undo), ("redo", cmd_redo)]


def hot(pic):
    """The mouse-over version: a little brighter and more saturated."""
    def lift(c):
        h, s, v = colorsys.rgb_to_hsv(*(k / 255.0 for k in c[:3]))
        s = min(1.0, s * 1.22)
        v = min(1.0, v * 1.12 + 0.04)
        return tuple(int(round(k * 255)) for k in colorsys.hsv_to_rgb(h, s, v)) + (c[3],)
    return pic.mapped(lift)


# --------------------------------------------------------------------------
# Panel buttons and menu icons, 16 x 16
# --------------------------------------------------------------------------
CHECK = [
    "............kkk",
    "...........kggk",
    "..........kgggk",
    ".........kgggk.",
    "..kk....kgggk..",
    ".kggk..kgggk...",
    "kggggkkgggk....",
    "kgggggggggk....",
    ".kgggggggk.....",
    "..kgggggk......",
    "...kgggk.......",
    "....kkk........",
]


def panel_done():
    p = Pic(16, 16)
    sprite(p, CHECK, {"k": GREEN_E, "g": GREEN}, 0, 2)
    return p


def panel_cancel():
    p = Pic(16, 16)
    paint(p, cross(16, 2, 13, 2), RED, RED_E)
    return p


def small_button(pic):
    paint(pic, rrect(0, 1, 12, 12), (236, 240, 246), METAL_E)
    dots(pic, rect(1, 11, 11, 11), METAL)


def menu_add():
    p = Pic(16, 16)
    small_button(p)
    paint(p, rect(6, 10, 15, 12) | rect(9, 7, 11, 15), GREEN, GREEN_E)
    return p


def menu_delete():
    p = Pic(16, 16)
    small_button(p)
    paint(p, rect(6, 9, 15, 13), RED, RED_E)
    return p


def menu_arrow(turns):
    def draw():
        p = Pic(16, 16)
        arrow16(p, turns)
        return p
    return draw


def menu_edit():
    p = Pic(16, 16)
    pencil(p, 16, 24)
    return p


def menu_group():
    p = Pic(16, 16)
    paint(p, rect(0, 4, 5, 11), SKY, BLUE_E)
    paint(p, rect(10, 4, 15, 11), SKY, BLUE_E)
    paint(p, rect(7, 0, 8, 15), DARK, DARK_E)
    return p


MENU = [("0-add-button", menu_add), ("1-delete-button", menu_delete),
        ("2-move-left", menu_arrow(2)), ("3-move-right", menu_arrow(0)),
        ("4-edit-button", menu_edit), ("5-new-group", menu_group),
        ("6-move-up", menu_arrow(3)), ("7-move-down", menu_arrow(1))]


# --------------------------------------------------------------------------
# Hand cursor, 32 x 32, hot spot (5, 0)
# --------------------------------------------------------------------------
HAND = [
    "....XXX.............",
    "...XWWWX............",
    "...XWWWX............",
    "...XWWWX............",
    "...XWWWX............",
    "...XWWWX............",
    "...XWWWXXX..........",
    "...XWWWXWWXXX.......",
    "...XWWWXWWXWWXXX....",
    "...XWWWXWWXWWXWWX...",
    ".XXXWWWXWWXWWXWWX...",
    "XWWXWWWWWWWWWWWWX...",
    "XWWWXWWWWWWWWWWWX...",
    ".XWWWWWWWWWWWWWWX...",
    "..XWWWWWWWWWWWWWX...",
    "..XWWWWWWWWWWWWWX...",
    "...XWWWWWWWWWWWX....",
    "....XWWWWWWWWWWX....",
    "....XWWWWWWWWWWX....",
    "....XXXXXXXXXXXX....",
]
HOTSPOT = (5, 0)


def hand_cursor():
    p = Pic(32, 32)
    sprite(p, HAND, {"X": BLACK, "W": WHITE})
    return p


# --------------------------------------------------------------------------
# Program icon: a sheet carrying a toolbar strip, with a cog in front.
# 16 px is pixel art; larger sizes are drawn from vector shapes laid out on
# a 64 x 64 grid, with coverage found by supersampling.
# --------------------------------------------------------------------------
def vfill(pic, inside, box, colour, ss=4):
    x0, y0 = int(math.floor(box[0])), int(math.floor(box[1]))
    x1, y1 = int(math.ceil(box[2])), int(math.ceil(box[3]))
    offs = [(i + .5) / ss for i in range(ss)]
    for y in range(max(0, y0), min(pic.h, y1 + 1)):
        for x in range(max(0, x0), min(pic.w, x1 + 1)):
            n = sum(1 for dy in offs for dx in offs if inside(x + dx, y + dy))
            if n:
                pic.put(x, y, colour, n / (ss * ss))


def v_rrect(x0, y0, x1, y1, r, d=0.0):
    """Rounded rectangle, shrunk by d on every side."""
    x0, y0, x1, y1, r = x0 + d, y0 + d, x1 - d, y1 - d, max(0.0, r - d)

    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx, cy = min(max(x, x0 + r), x1 - r), min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside, (x0, y0, x1, y1)


def v_gear(cx, cy, r_out, r_in, r_hole, teeth, d=0.0):
    """Cog with tapered teeth, shrunk by d (the hole grows by d)."""
    def inside(x, y):
        r = math.hypot(x - cx, y - cy)
        if r <= r_hole + d or r > r_out - d:
            return False
        if r <= r_in - d:
            return True
        a = math.atan2(y - cy, x - cx) / (2 * math.pi) * teeth % 1.0
        half = 0.29 - 0.08 * (r - r_in) / (r_out - r_in) - d * teeth / (2 * math.pi * r)
        return abs(a - 0.5) < half
    return inside, (cx - r_out, cy - r_out, cx + r_out, cy + r_out)


def app_icon_16():
    p = Pic(16, 16)
    paint(p, rect(2, 0, 12, 15), WHITE, PAGE_E)
    paint(p, rrect(0, 2, 14, 7), BLUE, BLUE_E)
    for x in (2, 6, 10):
        dots(p, rect(x, 4, x + 2, 5), (236, 244, 255))
    for y, x1 in ((9, 8), (11, 6), (13, 5)):
        dots(p, rect(4, y, x1, y), TEXT)
    paint(p, art(GEAR11, "#", 5, 5), ORANGE, ORANGE_E)
    return p


def app_icon(size):
    if size <= 16:
        return app_icon_16()
    p = Pic(size, size)
    k = size / 64.0
    e = max(1.0, round(2.0 * k))

    def sc(v):
        """Scale a grid length; small sizes keep edges on whole pixels."""
        return round(v * k) if size <= 64 else v * k

    def layer(fn, args, fill, edge):
        scaled = [sc(v) for v in args[:-1]] + [args[-1] if fn is v_gear else sc(args[-1])]
        for colour, d in ((edge, 0.0), (fill, e)):
            inside, box = fn(*scaled, d=d)
            vfill(p, inside, box, colour, 8 if size <= 64 else 4)
    layer(v_rrect, (8, 2, 50, 62, 4), WHITE, PAGE_E)
    layer(v_rrect, (2, 8, 56, 26, 3), BLUE, BLUE_E)
    for i in range(3):
        bx = 8 + i * 16
        inside, box = v_rrect(sc(bx), sc(12), sc(bx + 10), sc(22), 1.5 * k)
        vfill(p, inside, box, (236, 244, 255))
    for i, w in enumerate((24, 18, 12)):
        y = 33 + i * 7
        inside, box = v_rrect(sc(14), sc(y), sc(14 + w), sc(y + 3), 1.5 * k)
        vfill(p, inside, box, TEXT)
    layer(v_gear, (44, 45, 19, 15, 5.5, 8), ORANGE, ORANGE_E)
    return p


APP_SIZES = (16, 32, 48, 64, 128, 256)


# --------------------------------------------------------------------------
# File formats
# --------------------------------------------------------------------------
def png_bytes(pic):
    raw = b"".join(b"\x00" + bytes(v for c in pic.p[y * pic.w:(y + 1) * pic.w] for v in c)
                   for y in range(pic.h))
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", pic.w, pic.h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def quantise(colours, key, limit=256):
    """Palette for a set of rgb colours: the key colour first, then at most
    limit - 1 colours by median cut (exact when there are few enough)."""
    rest = sorted(set(colours) - {key})
    boxes = [rest] if rest else []
    while len(boxes) < limit - 1 and any(len(b) > 1 for b in boxes):
        boxes.sort(key=lambda b: -max(max(c[i] for c in b) - min(c[i] for c in b)
                                      for i in range(3)))
        b = boxes.pop(0)
        axis = max(range(3), key=lambda i: max(c[i] for c in b) - min(c[i] for c in b))
        b.sort(key=lambda c: c[axis])
        boxes += [b[:len(b) // 2], b[len(b) // 2:]]
    pal = [key] + sorted(tuple(sum(c[i] for c in b) // len(b) for i in range(3)) for b in boxes)
    return pal


def bmp8_bytes(pic, key):
    """8-bit palette BMP (BITMAPINFOHEADER, 256 colours, bottom-up rows).
    Transparent pixels get the key colour."""
    rgb = [c[:3] if c[3] >= 128 else key for c in pic.p]
    pal = quantise(rgb, key)
    index = {}
    for c in set(rgb):
        index[c] = 0 if c == key else min(
            range(1, len(pal)), key=lambda i: sum((pal[i][k] - c[k]) ** 2 for k in range(3)))
    pal += [(0, 0, 0)] * (256 - len(pal))
    stride = (pic.w + 3) & ~3
    rows = b"".join(bytes(index[rgb[y * pic.w + x]] for x in range(pic.w))
                    + b"\x00" * (stride - pic.w) for y in range(pic.h - 1, -1, -1))
    offset = 14 + 40 + 256 * 4
    return (struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
            + struct.pack("<IiiHHIIiiII", 40, pic.w, pic.h, 1, 8, 0, len(rows),
                          2835, 2835, 256, 0)
            + b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal) + rows)


def dib32_bytes(pic):
    """Icon/cursor image: 32-bit BGRA DIB (double height) plus AND mask."""
    xor = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], c[3])
                   for y in range(pic.h - 1, -1, -1) for c in pic.p[y * pic.w:(y + 1) * pic.w])
    stride = ((pic.w + 31) // 32) * 4
    mask = b""
    for y in range(pic.h - 1, -1, -1):
        bits = bytearray(stride)
        for x in range(pic.w):
            if pic.get(x, y)[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    head = struct.pack("<IiiHHIIiiII", 40, pic.w, pic.h * 2, 1, 32, 0, len(xor) + len(mask),
                       0, 0, 0, 0)
    return head + xor + mask


def icondir_bytes(kind, entries):
    """kind 1 = icon, 2 = cursor; entries are (pic, data, field1, field2)."""
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    body = b""
    for pic, data, f1, f2 in entries:
        out += struct.pack("<BBBBHHII", pic.w % 256, pic.h % 256, 0, 0, f1, f2,
                           len(data), offset + len(body))
        body += data
    return out + body


def ico_bytes(pics):
    return icondir_bytes(1, [(p, png_bytes(p) if p.w >= 256 else dib32_bytes(p), 1, 32)
                             for p in pics])


def cur_bytes(pic, hotspot):
    return icondir_bytes(2, [(pic, dib32_bytes(pic), hotspot[0], hotspot[1])])


QRC_HEAD = '<!DOCTYPE RCC>\n<RCC version="1.0">\n'


def qrc_text(groups):
    out = QRC_HEAD
    for prefix, files in groups:
        out += '  <qresource prefix="%s">\n' % prefix
        for path, alias in files:
            out += '    <file alias="%s">%s</file>\n' % (alias, path)
        out += "  </qresource>\n"
    return out + "</RCC>\n"


# --------------------------------------------------------------------------
# Everything
# --------------------------------------------------------------------------
def build():
    """Return {relative path: bytes} for every file, plus the qrc groups."""
    files, groups = {}, []
    grp = []
    for i, fn in enumerate(BUTTONS):
        files["buttons/%d.bmp" % i] = bmp8_bytes(fn(), MAGENTA)
        grp.append(("buttons/%d.bmp" % i, "%d.bmp" % i))
    groups.append(("/buttons", grp))

    strip = Pic(80, 16)
    for i, fn in enumerate(PICKER):
        strip.paste(fn(), 16 * i, 0)
    files["picker-toolbar.bmp"] = bmp8_bytes(strip, PICKER_BG)
    groups.append(("/picker", [("picker-toolbar.bmp", "picker-toolbar.bmp")]))

    hand = hand_cursor()
    files["hand.png"] = png_bytes(hand)
    files["hand.cur"] = cur_bytes(hand, HOTSPOT)
    groups.append(("/cursors", [("hand.png", "hand.png"), ("hand.cur", "hand.cur")]))

    grp = []
    for name, fn in COMMANDS:
        pic = fn()
        for suffix, version in (("", pic), ("-hot", hot(pic))):
            path = "commands/%s%s.png" % (name, suffix)
            files[path] = png_bytes(version)
            grp.append((path, path.split("/")[1]))
    groups.append(("/commands", grp))

    files["panel/done.png"] = png_bytes(panel_done())
    files["panel/cancel.png"] = png_bytes(panel_cancel())
    groups.append(("/panel", [("panel/done.png", "done.png"), ("panel/cancel.png", "cancel.png")]))

    grp = []
    for name, fn in MENU:
        files["menu/%s.png" % name] = png_bytes(fn())
        grp.append(("menu/%s.png" % name, name + ".png"))
    groups.append(("/menu", grp))

    icons = {s: app_icon(s) for s in APP_SIZES}
    files["app/qta-config-editor.png"] = png_bytes(icons[256])
    grp = [("app/qta-config-editor.png", "qta-config-editor.png")]
    for s in APP_SIZES[:-1]:
        path = "app/qta-config-editor-%d.png" % s
        files[path] = png_bytes(icons[s])
        grp.append((path, path.split("/")[1]))
    files["app/qta-config-editor.ico"] = ico_bytes([icons[s] for s in (16, 32, 48, 256)])
    grp.append(("app/qta-config-editor.ico", "qta-config-editor.ico"))
    groups.append(("/app", grp))

    files["resources.qrc"] = qrc_text(groups).encode("ascii")
    return files


def main(argv):
    out = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    for rel, data in sorted(build().items()):
        path = os.path.join(out, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        print(rel)


if __name__ == "__main__":
    main(sys.argv)
