#!/usr/bin/python3
"""Draws the editor skin and the About picture into resources/.

Run with Debian's /usr/bin/python3 (python3-cairo, python3-pil) and the Lato fonts
(fonts-lato). The output is deterministic: the same packages give the same bytes, so the
committed pictures can be checked by drawing them again.

    /usr/bin/python3 tools/artwork/generate.py [--out DIR]
"""

import argparse
import math
import os
import random
import struct
import subprocess
import sys

import cairo
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import layout as L  # noqa: E402

FONT = "Lato"
FONT_BLACK = "Lato Black"
FONT_LIGHT = "Lato Light"

# Light comes from the top left everywhere: highlights on upper-left edges, shadows fall
# down and to the right.


# ---------------------------------------------------------------- helpers

def check_fonts():
    for family in (FONT, FONT_BLACK, FONT_LIGHT):
        found = subprocess.run(["fc-match", "-f", "%{family}", family],
                               capture_output=True, text=True).stdout
        if family.split()[0] not in found:
            sys.exit("font %r is missing (install fonts-lato); fc-match gave %r" % (family, found))


def surface(w, h):
    s = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    return s, cairo.Context(s)


def font(cr, size, family=FONT, bold=False, italic=False):
    cr.select_font_face(family,
                        cairo.FONT_SLANT_ITALIC if italic else cairo.FONT_SLANT_NORMAL,
                        cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    cr.set_font_size(size)
    opts = cairo.FontOptions()
    opts.set_antialias(cairo.ANTIALIAS_GRAY)
    opts.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    opts.set_hint_metrics(cairo.HINT_METRICS_ON)
    cr.set_font_options(opts)


def text_width(cr, text, spacing=0.0):
    if not spacing:
        return cr.text_extents(text).x_advance
    return sum(cr.text_extents(c).x_advance for c in text) + spacing * (len(text) - 1)


def draw_text(cr, x, y, text, rgba, align="left", spacing=0.0, shadow=0.6, glow=None):
    """Baseline at y; align left, centre or right of x. Light text gets a dark drop
    shadow one pixel down so it reads as printed on a panel lit from above."""
    w = text_width(cr, text, spacing)
    if align == "center":
        x -= w / 2
    elif align == "right":
        x -= w
    x, y = round(x), round(y)

    def run(dx, dy):
        if not spacing:
            cr.move_to(x + dx, y + dy)
            cr.show_text(text)
            return
        cx = x + dx
        for c in text:
            cr.move_to(cx, y + dy)
            cr.show_text(c)
            cx += cr.text_extents(c).x_advance + spacing

    if shadow:
        cr.set_source_rgba(0, 0, 0, shadow)
        run(0, 1)
    if glow:
        cr.set_source_rgba(*glow)
        run(0, -1)
    cr.set_source_rgba(*rgba)
    run(0, 0)
    return w


def rounded(cr, x, y, w, h, r):
    cr.new_sub_path()
    cr.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    cr.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    cr.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    cr.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    cr.close_path()


def linear(x0, y0, x1, y1, *stops):
    p = cairo.LinearGradient(x0, y0, x1, y1)
    for s in stops:
        p.add_color_stop_rgba(*s)
    return p


def radial(cx, cy, r0, cx1, cy1, r1, *stops):
    p = cairo.RadialGradient(cx, cy, r0, cx1, cy1, r1)
    for s in stops:
        p.add_color_stop_rgba(*s)
    return p


def rgb(r, g, b, a=1.0):
    return (r / 255.0, g / 255.0, b / 255.0, a)


def stop(offset, r, g, b):
    """An opaque gradient stop from 8-bit colour."""
    return (offset,) + rgb(r, g, b)


def to_image(s):
    s.flush()
    return Image.frombuffer("RGBA", (s.get_width(), s.get_height()), bytes(s.get_data()),
                            "raw", "BGRa", s.get_stride(), 1)


def save_png(img, path):
    # No pnginfo: PIL writes no time or text chunks, so the bytes depend on pixels only.
    img.save(path, format="PNG", optimize=False, compress_level=9)


class Noise1D:
    """Smooth value noise over a seeded table: the wood grain and the brushed panel."""

    def __init__(self, seed, size=512):
        rnd = random.Random(seed)
        self.table = [rnd.random() for _ in range(size)]
        self.size = size

    def __call__(self, t):
        i = math.floor(t)
        f = t - i
        a = self.table[i % self.size]
        b = self.table[(i + 1) % self.size]
        f = f * f * (3 - 2 * f)
        return a + (b - a) * f


# ---------------------------------------------------------------- textures

def wood_and_panel(w, h, border, seed):
    """Pixels of a mitred walnut frame `border` wide around a brushed dark panel."""
    rings = [Noise1D(seed + k) for k in range(4)]
    warp = [Noise1D(seed + 10 + k) for k in range(4)]
    fine = [Noise1D(seed + 20 + k, 2048) for k in range(4)]
    brush = random.Random(seed + 99)
    data = bytearray(w * h * 4)
    dark = (44, 22, 11)
    light = (138, 82, 44)
    for y in range(h):
        streak = 0.0
        row_tone = brush.uniform(-1.6, 1.6)
        for x in range(w):
            o = (y * w + x) * 4
            d_top, d_left, d_bottom, d_right = y, x, h - 1 - y, w - 1 - x
            d = min(d_top, d_left, d_bottom, d_right)
            if d < border:
                # Which rail owns the pixel decides the grain direction (mitred corners).
                if d == d_top:
                    rail, along, across = 0, x, y
                elif d == d_bottom:
                    rail, along, across = 2, x, h - 1 - y
                elif d == d_left:
                    rail, along, across = 1, y, x
                else:
                    rail, along, across = 3, y, w - 1 - x
                u = across * 0.55 + 9.0 * warp[rail](along / 70.0) + 3.0 * warp[rail](along / 17.0)
                ring = rings[rail](u * 0.9) ** 1.7
                # Pores: thin dark streaks running with the grain.
                pore = fine[rail](along / 9.0 + u * 23.0)
                streak_k = fine[(rail + 1) % 4](u * 5.0 + along / 40.0)
                t = 0.22 + 0.62 * ring + 0.22 * (streak_k - 0.5)
                if pore > 0.78:
                    t -= 0.22 * (pore - 0.78) / 0.22
                t = min(1.0, max(0.0, t))
                c = [dark[k] + (light[k] - dark[k]) * t for k in range(3)]
                # Convex moulding: bright crest a third of the way in, lit from the top left.
                p = across / (border - 1)
                profile = 0.78 + 0.42 * math.sin(math.pi * min(1.0, p * 1.25 + 0.05))
                if p > 0.82:
                    profile *= 0.7  # inner lip in shade
                lit = {0: 1.12, 1: 1.05, 2: 0.78, 3: 0.86}[rail]
                if across == 0:
                    lit *= 0.55  # outer edge
                k = profile * lit
                r, g, b = (min(255, int(c[0] * k)), min(255, int(c[1] * k)), min(255, int(c[2] * k)))
            else:
                # Brushed dark aluminium: horizontal streaks over a soft vertical gradient.
                streak = streak * 0.9 + brush.uniform(-1.0, 1.0) * 0.9
                v = 50 - 14 * (y / h) + streak + row_tone
                r, g, b = int(v), int(v + 1), int(v + 4)
            data[o:o + 4] = bytes((b, g, r, 255))
    return cairo.ImageSurface.create_for_data(data, cairo.FORMAT_ARGB32, w, h, w * 4)


# ---------------------------------------------------------------- panel pieces

def inner_shadow_rect(cr, x, y, w, h, r, depth=4, alpha=0.55):
    """A recess in the panel: dark along its top and left, a light lip at the bottom right."""
    for i in range(depth):
        cr.save()
        rounded(cr, x, y, w, h, r)
        cr.clip()
        rounded(cr, x + i * 0.5 - depth, y + i * 0.7 - depth, w + depth, h + depth, r)
        cr.set_line_width(2 * depth - i)
        cr.set_source_rgba(0, 0, 0, alpha / depth)
        cr.stroke()
        cr.restore()


def groove(cr, x, y, w, h, r, gap=None):
    """An engraved frame line: a dark cut with a lit lower edge. `gap` = (x0, x1) leaves
    the top line open for the group's caption."""
    cr.save()
    if gap:
        cr.rectangle(0, 0, 10000, 10000)
        cr.rectangle(gap[0], y - 6, gap[1] - gap[0], 12)
        cr.set_fill_rule(cairo.FILL_RULE_EVEN_ODD)
        cr.clip()
    rounded(cr, x + 1, y + 1, w, h, r)
    cr.set_line_width(1)
    cr.set_source_rgba(1, 1, 1, 0.10)
    cr.stroke()
    rounded(cr, x, y, w, h, r)
    cr.set_source_rgba(0, 0, 0, 0.70)
    cr.stroke()
    cr.restore()


def group(cr, g):
    x, y, w, h = g["rect"]
    # A slightly darker inset field gives each group its own plate.
    rounded(cr, x, y, w, h, 6)
    cr.set_source_rgba(0, 0, 0, 0.13)
    cr.fill()
    font(cr, 11, FONT_BLACK)
    tw = text_width(cr, g["title"], 2)
    tx = x + 12
    groove(cr, x + 0.5, y + 0.5, w - 1, h - 1, 6, gap=(tx - 5, tx + tw + 5))
    draw_text(cr, tx, y + 4.5, g["title"], (1, 1, 1, 0.96), spacing=2, shadow=0.8)


def knob_well(cr, cx, cy, caption, minmax):
    # Scale: eleven ticks over the 270 degree travel, longer ones at the ends and centre.
    for i in range(11):
        a = math.radians(-135 + 27 * i)
        major = i in (0, 5, 10)
        r0, r1 = 18.0, (22.5 if major else 21.0)
        sx, sy = math.sin(a), -math.cos(a)
        cr.set_line_width(1.4 if major else 1.0)
        cr.set_line_cap(cairo.LINE_CAP_ROUND)
        cr.move_to(cx + sx * r0, cy + sy * r0 + 1)
        cr.line_to(cx + sx * r1, cy + sy * r1 + 1)
        cr.set_source_rgba(0, 0, 0, 0.6)
        cr.stroke()
        cr.move_to(cx + sx * r0, cy + sy * r0)
        cr.line_to(cx + sx * r1, cy + sy * r1)
        cr.set_source_rgba(0.86, 0.86, 0.84, 0.95 if major else 0.6)
        cr.stroke()
    # The recess the cap sits in.
    cr.arc(cx, cy, 16.5, 0, 2 * math.pi)
    cr.set_source(radial(cx - 3, cy - 3, 4, cx, cy, 16.5,
                         (0, 0, 0, 0, 0.0), (0.75, 0, 0, 0, 0.25), (1, 0, 0, 0, 0.55)))
    cr.fill()
    cr.arc(cx, cy, 16.5, math.radians(-10), math.radians(100))
    cr.set_line_width(1)
    cr.set_source_rgba(1, 1, 1, 0.12)
    cr.stroke()
    font(cr, 11, FONT, bold=True)
    draw_text(cr, cx, cy - 28, caption, (1, 1, 1, 0.95), align="center")
    font(cr, 9, FONT, bold=True)
    lo, hi = minmax
    draw_text(cr, cx - 14, cy + 31, lo, rgb(190, 190, 186), align="center")
    draw_text(cr, cx + 14, cy + 31, hi, rgb(190, 190, 186), align="center")


def switch_marks(cr, sx, sy, up, down, side="left", caption=None):
    """Labels beside the lever's two end positions of a 20 x 40 switch at (sx, sy)."""
    font(cr, 9, FONT, bold=True)
    if side == "left":
        x, align = sx - 4, "right"
    else:
        x, align = sx + 24, "left"
    draw_text(cr, x, sy + 10, up, rgb(235, 235, 230), align=align)
    draw_text(cr, x, sy + 37, down, rgb(170, 170, 166), align=align)
    if caption:
        font(cr, 11, FONT, bold=True)
        draw_text(cr, sx + 10, sy - 5, caption, (1, 1, 1, 0.95), align="center")


def switch_seat(cr, sx, sy):
    # Shadow of the switch plate onto the panel.
    rounded(cr, sx + 1.5, sy + 2.5, 18, 38, 3.5)
    cr.set_source_rgba(0, 0, 0, 0.35)
    cr.fill()


def display_window(cr):
    x, y, w, h = L.STATUS
    # Bezel a few pixels outside the text area so the status line never touches the edge.
    bx, by, bw, bh = x - 5, y - 5, w + 10, h + 9
    rounded(cr, bx - 2, by - 2, bw + 4, bh + 4, 5)
    cr.set_source(linear(0, by - 2, 0, by + bh + 2, (0, 0.12, 0.02, 0.02, 1), (1, 0.95, 0.55, 0.5, 0.6)))
    cr.fill()
    rounded(cr, bx, by, bw, bh, 4)
    cr.set_source(linear(0, by, 0, by + bh, stop(0, 20, 66, 26), stop(0.5, 34, 94, 38), stop(1, 28, 82, 32)))
    cr.fill()
    # Faint LCD pixel rows.
    cr.save()
    rounded(cr, bx, by, bw, bh, 4)
    cr.clip()
    for yy in range(by, by + bh, 2):
        cr.rectangle(bx, yy, bw, 1)
    cr.set_source_rgba(0, 0, 0, 0.06)
    cr.fill()
    inner_shadow_rect(cr, bx, by, bw, bh, 4, depth=4, alpha=0.8)
    # Glass glare across the upper third.
    cr.move_to(bx, by)
    cr.line_to(bx + bw, by)
    cr.line_to(bx + bw, by + bh * 0.30)
    cr.curve_to(bx + bw * 0.6, by + bh * 0.42, bx + bw * 0.3, by + bh * 0.30, bx, by + bh * 0.40)
    cr.close_path()
    cr.set_source_rgba(1, 1, 1, 0.06)
    cr.fill()
    cr.restore()


def banner(cr, x, y, w, h, title_parts):
    # Drop shadow, red lacquer body, lit top edge, dark lower edge.
    rounded(cr, x + 1, y + 2, w, h, 5)
    cr.set_source_rgba(0, 0, 0, 0.5)
    cr.fill()
    rounded(cr, x, y, w, h, 5)
    cr.set_source(linear(0, y, 0, y + h, stop(0, 196, 40, 34), stop(0.45, 160, 24, 22), stop(1, 112, 14, 14)))
    cr.fill()
    cr.save()
    rounded(cr, x, y, w, h, 5)
    cr.clip()
    # Soft sheen on the upper half.
    cr.rectangle(x, y, w, h * 0.48)
    cr.set_source(linear(0, y, 0, y + h * 0.48, (0, 1, 1, 1, 0.16), (1, 1, 1, 1, 0.02)))
    cr.fill()
    cr.restore()
    rounded(cr, x + 0.5, y + 0.5, w - 1, h - 1, 5)
    cr.set_line_width(1)
    cr.set_source(linear(0, y, 0, y + h, (0, 1, 0.75, 0.7, 0.55), (0.5, 1, 0.6, 0.55, 0.08),
                         (1, 0, 0, 0, 0.5)))
    cr.stroke()
    tx, ty = title_parts["at"]
    for part, family, size, alpha in title_parts["runs"]:
        font(cr, size, family)
        tx += draw_text(cr, tx, ty, part, (1, 0.97, 0.93, alpha), shadow=0.55)


# ---------------------------------------------------------------- pictures

def draw_background():
    W, H = L.BACKGROUND_SIZE
    B = L.FRAME
    s, cr = surface(W, H)
    cr.set_source_surface(wood_and_panel(W, H, B, 7), 0, 0)
    cr.paint()
    # Lacquer sheen on the wood and the panel set into it.
    inner_shadow_rect(cr, B, B, W - 2 * B, H - 2 * B, 1, depth=6, alpha=0.85)
    cr.rectangle(B - 0.5, B - 0.5, W - 2 * B + 1, H - 2 * B + 1)
    cr.set_line_width(1)
    cr.set_source_rgba(0, 0, 0, 0.7)
    cr.stroke()

    bx, by, bw, bh = L.BANNER
    banner(cr, bx, by, bw, bh,
           {"at": (L.MENU_AREA[0] + 8, 57),
            "runs": [("Morlent", FONT_BLACK, 27, 1.0), (" Delay", FONT_LIGHT, 27, 0.92)]})
    display_window(cr)

    for g in L.GROUPS:
        group(cr, g)

    for name, (kx, ky) in L.KNOBS.items():
        cx, cy = kx + 16, ky + 16
        cap, marks = L.KNOB_MARKS[name]
        knob_well(cr, cx, cy, cap, marks)
    for name, (sx, sy) in L.SWITCHES.items():
        switch_seat(cr, sx, sy)
        up, down, caption = L.SWITCH_MARKS[name]
        switch_marks(cr, sx, sy, up, down, caption=caption)

    # SYNC: note values over the upper LED row, row names beside the step buttons.
    lx, ly = L.LED_ROWS["Left Sync"]
    font(cr, 9, FONT, bold=True)
    for i, note in enumerate(L.NOTE_VALUES):
        draw_text(cr, lx + 14 + 28 * i, ly + 10, note, rgb(220, 220, 216), align="center")
    for name, (rx, ry) in L.LED_ROWS.items():
        # A dark tray under the five LEDs.
        rounded(cr, rx + 3, ry + 12, 134, 17, 8.5)
        cr.set_source_rgba(0, 0, 0, 0.35)
        cr.fill()
        inner_shadow_rect(cr, rx + 3, ry + 12, 134, 17, 8.5, depth=3, alpha=0.6)
        rounded(cr, rx + 3.5, ry + 12.5, 134, 17, 8.5)
        cr.set_source_rgba(1, 1, 1, 0.07)
        cr.set_line_width(1)
        cr.stroke()
    for label, (bx2, by2) in zip(("L", "R"), L.BUTTONS):
        font(cr, 12, FONT_BLACK)
        draw_text(cr, bx2 - 8, by2 + 18, label, (1, 1, 1, 0.95), align="center")
        rounded(cr, bx2 + 1, by2 + 1.5, 27, 27, 5)
        cr.set_source_rgba(0, 0, 0, 0.3)
        cr.fill()

    # Maker's mark in the bottom rail of the panel.
    font(cr, 8.5, FONT, bold=True)
    draw_text(cr, W - B - 12, H - B - 7, "MORLENT SOUND DESIGN", rgb(150, 150, 146, 0.9),
              align="right", spacing=1.8, shadow=0.8)
    font(cr, 8.5, FONT, bold=True)
    draw_text(cr, B + 12, H - B - 7, "STEREO DELAY  \u00b7  TEMPO SYNC  \u00b7  MIDI LEARN",
              rgb(110, 110, 106, 0.9), spacing=1.2, shadow=0.8)
    return s


def knob_frame(cr, ox, oy, frame):
    cx, cy = ox + 16, oy + 16
    a = math.radians(-135 + 270 * frame / (L.KNOB_FRAMES - 1))
    dx, dy = math.sin(a), -math.cos(a)
    # Contact shadow on the panel.
    cr.arc(cx + 0.8, cy + 1.6, 15.2, 0, 2 * math.pi)
    cr.set_source(radial(cx + 0.8, cy + 1.6, 11, cx + 0.8, cy + 1.6, 15.5,
                         (0, 0, 0, 0, 0.6), (1, 0, 0, 0, 0)))
    cr.fill()
    # Skirt: black, knurled, lit from the top left.
    cr.arc(cx, cy, 13.5, 0, 2 * math.pi)
    cr.set_source(linear(cx - 13, cy - 13, cx + 13, cy + 13,
                         (0, 0.34, 0.34, 0.36, 1), (0.5, 0.12, 0.12, 0.13, 1), (1, 0.05, 0.05, 0.06, 1)))
    cr.fill()
    cr.save()
    cr.arc(cx, cy, 13.3, 0, 2 * math.pi)
    cr.clip()
    cr.set_line_width(0.9)
    for k in range(40):
        b = a + 2 * math.pi * k / 40
        sx, sy = math.sin(b), -math.cos(b)
        cr.move_to(cx + sx * 10.8, cy + sy * 10.8)
        cr.line_to(cx + sx * 13.5, cy + sy * 13.5)
        # Ridges facing the light catch it, the rest fall into shade.
        facing = 0.5 + 0.5 * (-sx * 0.7071 - sy * 0.7071)
        cr.set_source_rgba(1, 1, 1, 0.05 + 0.16 * facing)
        cr.stroke()
    cr.restore()
    cr.arc(cx, cy, 13.5, 0, 2 * math.pi)
    cr.set_line_width(0.8)
    cr.set_source_rgba(0, 0, 0, 0.8)
    cr.stroke()
    # Cap face: satin grey with a bright rim on its lit side.
    cr.arc(cx, cy, 10.2, 0, 2 * math.pi)
    cr.set_source(radial(cx - 4, cy - 5, 1, cx, cy, 11,
                         (0, 0.42, 0.42, 0.44, 1), (0.7, 0.24, 0.24, 0.26, 1), (1, 0.16, 0.16, 0.17, 1)))
    cr.fill()
    cr.arc(cx, cy, 10.0, 0, 2 * math.pi)
    cr.set_line_width(1.0)
    cr.set_source(linear(cx - 10, cy - 10, cx + 10, cy + 10,
                         (0, 1, 1, 1, 0.55), (0.5, 1, 1, 1, 0.08), (1, 0, 0, 0, 0.6)))
    cr.stroke()
    # Pointer: a white line inset in the cap, with a dark groove beside it.
    cr.set_line_cap(cairo.LINE_CAP_ROUND)
    cr.move_to(cx + dx * 3.5 + 0.6, cy + dy * 3.5 + 0.8)
    cr.line_to(cx + dx * 11.8 + 0.6, cy + dy * 11.8 + 0.8)
    cr.set_line_width(2.6)
    cr.set_source_rgba(0, 0, 0, 0.55)
    cr.stroke()
    cr.move_to(cx + dx * 3.5, cy + dy * 3.5)
    cr.line_to(cx + dx * 11.8, cy + dy * 11.8)
    cr.set_line_width(2.2)
    cr.set_source_rgba(0.97, 0.97, 0.95, 1)
    cr.stroke()


def draw_knob():
    s, cr = surface(32, 32 * L.KNOB_FRAMES)
    for i in range(L.KNOB_FRAMES):
        knob_frame(cr, 0, 32 * i, i)
    return s


def switch_frame(cr, ox, oy, up):
    cx, cy = ox + 10, oy + 20
    # Mounting plate.
    rounded(cr, ox + 1.5, oy + 1.5, 17, 37, 3.5)
    cr.set_source(linear(ox, oy, ox + 20, oy + 40,
                         (0, 0.36, 0.36, 0.38, 1), (1, 0.13, 0.13, 0.14, 1)))
    cr.fill_preserve()
    cr.set_line_width(1)
    cr.set_source_rgba(0, 0, 0, 0.85)
    cr.stroke()
    rounded(cr, ox + 2.5, oy + 2.5, 15, 35, 2.5)
    cr.set_source(linear(ox, oy, ox + 20, oy + 40, (0, 1, 1, 1, 0.22), (0.5, 1, 1, 1, 0.02),
                         (1, 1, 1, 1, 0)))
    cr.stroke()
    # Hex nut holding the bushing.
    cr.new_path()
    for k in range(6):
        t = math.radians(30 + 60 * k)
        cr.line_to(cx + 6.3 * math.cos(t), cy + 6.3 * math.sin(t))
    cr.close_path()
    cr.set_source(linear(cx - 6, cy - 6, cx + 6, cy + 6, (0, 0.95, 0.95, 0.93, 1), (0.5, 0.52, 0.52, 0.53, 1),
                         (1, 0.2, 0.2, 0.21, 1)))
    cr.fill_preserve()
    cr.set_line_width(0.7)
    cr.set_source_rgba(0, 0, 0, 0.7)
    cr.stroke()
    cr.arc(cx, cy, 4.2, 0, 2 * math.pi)
    cr.set_source(linear(cx - 4, cy - 4, cx + 4, cy + 4, (0, 0.3, 0.3, 0.31, 1), (1, 0.85, 0.85, 0.84, 1)))
    cr.fill()
    cr.arc(cx, cy, 3.0, 0, 2 * math.pi)
    cr.set_source_rgba(0.04, 0.04, 0.04, 1)
    cr.fill()
    # Lever: a chrome bat widening from the bushing to its rounded tip, shadow below right.
    tip = oy + (7.0 if up else 33.0)
    sgn = -1 if up else 1

    def lever_path(dx, dy):
        cr.new_path()
        cr.move_to(cx - 2.1 + dx, cy + dy)
        cr.line_to(cx - 3.4 + dx, tip + dy)
        if up:
            cr.arc(cx + dx, tip + dy, 3.4, math.pi, 2 * math.pi)
        else:
            cr.arc_negative(cx + dx, tip + dy, 3.4, math.pi, 0)
        cr.line_to(cx + 2.1 + dx, cy + dy)
        cr.close_path()

    lever_path(1.7, 1.9)
    cr.set_source_rgba(0, 0, 0, 0.5)
    cr.fill()
    lever_path(0, 0)
    cr.set_source(linear(cx - 3.4, 0, cx + 3.4, 0, (0, 0.45, 0.45, 0.46, 1), (0.28, 1, 1, 1, 1),
                         (0.6, 0.66, 0.66, 0.67, 1), (1, 0.25, 0.25, 0.27, 1)))
    cr.fill_preserve()
    # Darker where the lever enters the bushing, brightest at the tip facing the light.
    cr.set_source(linear(0, cy, 0, tip + sgn * 3.4, (0, 0, 0, 0, 0.45), (0.5, 0, 0, 0, 0.1),
                         (1, 1, 1, 1, 0.12 if up else 0.0)))
    cr.fill_preserve()
    cr.set_line_width(0.6)
    cr.set_source_rgba(0, 0, 0, 0.55)
    cr.stroke()
    cr.arc(cx - 1.2, tip + sgn * 0.8 - 0.6, 1.1, 0, 2 * math.pi)
    cr.set_source_rgba(1, 1, 1, 0.85)
    cr.fill()


def draw_switch():
    s, cr = surface(20, 80)
    switch_frame(cr, 0, 0, up=False)
    switch_frame(cr, 0, 40, up=True)
    return s


def button_frame(cr, ox, oy, pressed):
    x, y, w, h = ox + 2, oy + 2, 24, 24
    if not pressed:
        rounded(cr, x + 1, y + 1.5, w, h, 4.5)
        cr.set_source_rgba(0, 0, 0, 0.55)
        cr.fill()
    rounded(cr, x, y, w, h, 4.5)
    if pressed:
        body = linear(0, y, 0, y + h, (0, 0.10, 0.10, 0.11, 1), (1, 0.19, 0.19, 0.2, 1))
    else:
        body = linear(0, y, 0, y + h, (0, 0.40, 0.40, 0.42, 1), (1, 0.20, 0.20, 0.21, 1))
    cr.set_source(body)
    cr.fill()
    rounded(cr, x + 0.5, y + 0.5, w - 1, h - 1, 4)
    cr.set_line_width(1)
    if pressed:
        cr.set_source(linear(x, y, x + w, y + h, (0, 0, 0, 0, 0.8), (1, 1, 1, 1, 0.1)))
    else:
        cr.set_source(linear(x, y, x + w, y + h, (0, 1, 1, 1, 0.38), (0.55, 1, 1, 1, 0.05),
                             (1, 0, 0, 0, 0.5)))
    cr.stroke()
    rounded(cr, x - 0.5, y - 0.5, w + 1, h + 1, 5)
    cr.set_source_rgba(0, 0, 0, 0.9)
    cr.stroke()
    # Step arrow; pressing moves it with the cap.
    d = 0.8 if pressed else 0.0
    ax, ay = ox + 14 + d, oy + 14 + d
    for dx, dy, col in ((0, 1, (0, 0, 0, 0.6)),
                        (0, 0, (0.85, 0.85, 0.83, 1) if not pressed else (0.66, 0.66, 0.64, 1))):
        cr.move_to(ax - 3 + dx, ay - 5 + dy)
        cr.line_to(ax + 4 + dx, ay + dy)
        cr.line_to(ax - 3 + dx, ay + 5 + dy)
        cr.close_path()
        cr.set_source_rgba(*col)
        cr.fill()


def draw_button():
    s, cr = surface(28, 56)
    button_frame(cr, 0, 0, pressed=False)
    button_frame(cr, 0, 28, pressed=True)
    return s


def led(cr, cx, cy, lit):
    # Chrome bezel.
    cr.arc(cx, cy, 7.0, 0, 2 * math.pi)
    cr.set_source(linear(cx - 7, cy - 7, cx + 7, cy + 7, (0, 0.75, 0.75, 0.74, 1), (0.5, 0.35, 0.35, 0.36, 1),
                         (1, 0.12, 0.12, 0.13, 1)))
    cr.fill()
    cr.arc(cx, cy, 5.4, 0, 2 * math.pi)
    cr.set_source_rgba(0, 0, 0, 1)
    cr.fill()
    if lit:
        cr.arc(cx, cy, 10.0, 0, 2 * math.pi)
        cr.set_source(radial(cx, cy, 4, cx, cy, 10.0, (0, 1, 0.16, 0.1, 0.6), (1, 1, 0.1, 0.05, 0)))
        cr.fill()
        cr.arc(cx, cy, 4.8, 0, 2 * math.pi)
        cr.set_source(radial(cx - 1, cy - 1, 0.5, cx, cy, 4.8, (0, 1, 0.92, 0.85, 1), (0.35, 1, 0.35, 0.25, 1),
                             (1, 0.78, 0.05, 0.04, 1)))
        cr.fill()
    else:
        cr.arc(cx, cy, 4.8, 0, 2 * math.pi)
        cr.set_source(radial(cx - 1, cy - 1, 0.5, cx, cy, 4.8, (0, 0.36, 0.08, 0.07, 1), (1, 0.15, 0.02, 0.02, 1)))
        cr.fill()
    # Specular highlight of the lens.
    cr.arc(cx - 1.6, cy - 1.8, 1.5, 0, 2 * math.pi)
    cr.set_source_rgba(1, 1, 1, 0.85 if lit else 0.35)
    cr.fill()


def draw_led():
    fw, fh = L.LED_FRAME
    s, cr = surface(fw * 5, fh)
    for f in range(5):
        for i in range(5):
            led(cr, f * fw + 14 + 28 * i, L.LED_CENTRE_Y, lit=(i == f))
    return s


def draw_about():
    W, H = L.ABOUT_SIZE
    B = L.FRAME
    s, cr = surface(W, H)
    cr.set_source_surface(wood_and_panel(W, H, B, 31), 0, 0)
    cr.paint()
    inner_shadow_rect(cr, B, B, W - 2 * B, H - 2 * B, 1, depth=6, alpha=0.85)
    banner(cr, 24, 24, W - 48, 54,
           {"at": (38, 60), "runs": [("About", FONT_LIGHT, 26, 0.95)]})
    font(cr, 9, FONT, bold=True)
    draw_text(cr, W - 38, 56, "STEREO DELAY", rgb(255, 214, 204, 0.9), align="right", spacing=2.2)

    font(cr, 40, FONT_BLACK)
    w1 = text_width(cr, "Morlent")
    font(cr, 40, FONT_LIGHT)
    w2 = text_width(cr, " Delay")
    x = (W - w1 - w2) / 2
    font(cr, 40, FONT_BLACK)
    draw_text(cr, x, 150, "Morlent", (1, 1, 1, 1), shadow=0.8)
    font(cr, 40, FONT_LIGHT)
    draw_text(cr, x + w1, 150, " Delay", (1, 1, 1, 0.92), shadow=0.8)
    font(cr, 13, FONT, bold=True)
    draw_text(cr, W / 2, 176, "Version " + L.VERSION + "  \u00b7  VST 2", rgb(226, 72, 60), align="center",
              spacing=0.6)

    y0 = 200
    rounded(cr, 40, y0, W - 80, 128, 6)
    cr.set_source_rgba(0, 0, 0, 0.13)
    cr.fill()
    groove(cr, 40.5, y0 + 0.5, W - 81, 127, 6)
    lines = [
        ("Stereo delay with tempo sync, cross-feedback,", FONT, False, 12, (232, 232, 228)),
        ("a high- or low-pass filter and MIDI Learn.", FONT, False, 12, (232, 232, 228)),
        ("", FONT, False, 6, (0, 0, 0)),
        ("Design, DSP and artwork", FONT, True, 11, (226, 72, 60)),
        ("Morlent Sound Design", FONT, True, 13, (255, 255, 255)),
        ("Right-click a control for MIDI Learn.", FONT, False, 11, (176, 176, 172)),
    ]
    y = y0 + 24
    for text, fam, bold, size, col in lines:
        if text:
            font(cr, size, fam, bold=bold)
            draw_text(cr, W / 2, y, text, rgb(*col), align="center")
        y += size + 9

    font(cr, 9.5, FONT, bold=True)
    draw_text(cr, W / 2, H - B - 16, "\u00a9 2024 Morlent Sound Design. All rights reserved.",
              rgb(150, 150, 146), align="center")
    return s


def draw_installer_side():
    """The strip beside the Windows installer's welcome and finish pages: the editor's panel
    with the name and a knob."""
    W, H = L.INSTALLER_SIDE_SIZE
    B = L.FRAME
    s, cr = surface(W, H)
    cr.set_source_surface(wood_and_panel(W, H, B, 47), 0, 0)
    cr.paint()
    inner_shadow_rect(cr, B, B, W - 2 * B, H - 2 * B, 1, depth=6, alpha=0.85)
    font(cr, 31, FONT_BLACK)
    draw_text(cr, W / 2, 78, "Morlent", (1, 1, 1, 1), align="center", shadow=0.8)
    font(cr, 31, FONT_LIGHT)
    draw_text(cr, W / 2, 110, "Delay", (1, 1, 1, 0.92), align="center", shadow=0.8)
    font(cr, 8.5, FONT, bold=True)
    draw_text(cr, W / 2, 132, "STEREO DELAY", rgb(226, 72, 60), align="center", spacing=2.0)
    # The editor's knob at three times its size, turned up as the icon shows it.
    cr.save()
    scale = 3.0
    cr.translate(W / 2 - 16 * scale, 200 - 16 * scale)
    cr.scale(scale, scale)
    knob_frame(cr, 0, 0, 60)
    cr.restore()
    font(cr, 7.5, FONT, bold=True)
    draw_text(cr, W / 2, H - B - 14, "MORLENT SOUND DESIGN", rgb(176, 176, 172), align="center", spacing=1.4)
    return s


# ---------------------------------------------------------------- output

def bmp_bytes(img):
    """32 bpp BI_RGB bottom-up DIB with its 14-byte file header, alpha forced opaque."""
    w, h = img.size
    rgba = img.convert("RGBA")
    rows = []
    for y in range(h - 1, -1, -1):
        row = rgba.crop((0, y, w, y + 1)).tobytes("raw", "BGRA")
        rows.append(row)
    pixels = bytearray(b"".join(rows))
    pixels[3::4] = b"\xff" * (w * h)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + bytes(pixels)


def generate(out):
    check_fonts()
    os.makedirs(out, exist_ok=True)
    pictures = {
        "background.png": draw_background,
        "knob.png": draw_knob,
        "switch.png": draw_switch,
        "syncbutton.png": draw_button,
        "syncled.png": draw_led,
    }
    for name, draw in pictures.items():
        save_png(to_image(draw()), os.path.join(out, name))
    # The About face is opaque; its DIB keeps only colour.
    about = Image.new("RGB", L.ABOUT_SIZE)
    about.paste(to_image(draw_about()).convert("RGB"))
    with open(os.path.join(out, "about.bmp"), "wb") as f:
        f.write(bmp_bytes(about))
    # The same face for the Linux editors, which carry PNG pictures only.
    save_png(about, os.path.join(out, "about.png"))
    side = Image.new("RGB", L.INSTALLER_SIDE_SIZE)
    side.paste(to_image(draw_installer_side()).convert("RGB"))
    with open(os.path.join(out, "installer-side.bmp"), "wb") as f:
        f.write(bmp_bytes(side))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--out", default=os.path.join(HERE, "..", "..", "resources"))
    args = ap.parse_args()
    generate(os.path.normpath(args.out))


if __name__ == "__main__":
    main()
