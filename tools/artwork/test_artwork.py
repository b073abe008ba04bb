#!/usr/bin/python3
"""Checks the committed pictures: fixed formats, what the editor relies on in them, and that
the generator still draws them byte for byte."""

import os
import struct
import sys
import tempfile
import unittest
import zlib

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.normpath(os.path.join(HERE, "..", "..", "resources"))
sys.path.insert(0, HERE)
import generate  # noqa: E402
import layout as L  # noqa: E402

PNG_SIZES = {
    "background.png": (496, 344),
    "knob.png": (32, 2912),
    "switch.png": (20, 80),
    "syncbutton.png": (28, 56),
    "syncled.png": (700, 40),
}


def chunks(data):
    at = 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def picture(name):
    return Image.open(os.path.join(RESOURCES, name)).convert("RGBA")


class CommittedFiles(unittest.TestCase):
    def test_pngs_are_8_bit_rgba_of_fixed_sizes_without_metadata(self):
        for name, size in PNG_SIZES.items():
            with self.subTest(name), open(os.path.join(RESOURCES, name), "rb") as f:
                data = f.read()
                self.assertEqual(data[:8], b"\x89PNG\r\n\x1a\n")
                found = list(chunks(data))
                kind, ihdr = found[0]
                self.assertEqual(kind, b"IHDR")
                w, h, depth, colour = struct.unpack(">IIBB", ihdr[:10])
                self.assertEqual((w, h, depth, colour), size + (8, 6))
                # Time or text chunks would change the bytes from one run to the next.
                kinds = {k for k, _ in found}
                self.assertLessEqual(kinds, {b"IHDR", b"IDAT", b"IEND"})

    def test_about_bitmap_is_bottom_up_32_bpp_bi_rgb(self):
        with open(os.path.join(RESOURCES, "about.bmp"), "rb") as f:
            data = f.read()
        self.assertEqual(data[:2], b"BM")
        size, offset = struct.unpack("<I4xI", data[2:14])
        self.assertEqual((size, offset), (len(data), 54))
        # windres drops the 14-byte file header; the resource is the rest.
        self.assertEqual(len(data) - 14, 790280)
        header = struct.unpack("<IiiHHII", data[14:38])
        self.assertEqual(header, (40, 440, 449, 1, 32, 0, 440 * 449 * 4))
        self.assertTrue(all(a == 255 for a in data[54 + 3::4]), "opaque")

    def test_installer_picture_is_the_size_the_welcome_page_shows(self):
        with open(os.path.join(RESOURCES, "installer-side.bmp"), "rb") as f:
            data = f.read()
        self.assertEqual(data[:2], b"BM")
        header = struct.unpack("<IiiHHII", data[14:38])
        self.assertEqual(header, (40, 164, 314, 1, 32, 0, 164 * 314 * 4))
        self.assertTrue(all(a == 255 for a in data[54 + 3::4]), "opaque")


class WhatTheEditorReliesOn(unittest.TestCase):
    def test_status_area_is_plain_display_glass(self):
        # The editor prints the status line here; any artwork inside would show through it.
        bg = picture("background.png")
        x, y, w, h = L.STATUS
        for yy in range(y, y + h):
            row = [bg.getpixel((xx, yy)) for xx in range(x + 4, x + w - 4)]
            spread = max(p[1] for p in row) - min(p[1] for p in row)
            self.assertLess(spread, 12, "row %d" % yy)
            self.assertTrue(all(p[1] > p[0] + 30 for p in row), "row %d is not green" % yy)

    def test_control_strips_let_the_panel_show_around_them(self):
        knob, led = picture("knob.png"), picture("syncled.png")
        for frame in range(L.KNOB_FRAMES):
            for corner in ((0, 0), (31, 0), (0, 31), (31, 31)):
                self.assertEqual(knob.getpixel((corner[0], 32 * frame + corner[1]))[3], 0)
        # The note labels are on the panel above the LEDs: the strip's top rows stay clear.
        top = led.crop((0, 0, 700, 10))
        self.assertEqual(top.getextrema()[3], (0, 0))

    def test_every_knob_frame_differs_from_the_next(self):
        knob = picture("knob.png")
        frames = [knob.crop((0, 32 * i, 32, 32 * i + 32)).tobytes() for i in range(L.KNOB_FRAMES)]
        for i in range(1, len(frames)):
            self.assertNotEqual(frames[i], frames[i - 1], "frame %d" % i)

    def test_layout_keeps_controls_inside_their_groups(self):
        def inside(box, group):
            gx, gy, gw, gh = group["rect"]
            return gx < box[0] and gy < box[1] and box[2] < gx + gw and box[3] < gy + gh

        boxes = [(x, y, x + 32, y + 32) for x, y in L.KNOBS.values()]
        boxes += [(x, y, x + 20, y + 40) for x, y in L.SWITCHES.values()]
        boxes += [(x, y, x + 140, y + 40) for x, y in L.LED_ROWS.values()]
        boxes += [(x, y, x + 28, y + 28) for x, y in L.BUTTONS]
        for box in boxes:
            self.assertEqual(sum(inside(box, g) for g in L.GROUPS), 1, box)


class Generator(unittest.TestCase):
    def test_redrawing_reproduces_the_committed_files(self):
        with tempfile.TemporaryDirectory() as out:
            generate.generate(out)
            for name in list(PNG_SIZES) + ["about.bmp", "about.png", "installer-side.bmp"]:
                with self.subTest(name):
                    with open(os.path.join(out, name), "rb") as a, \
                            open(os.path.join(RESOURCES, name), "rb") as b:
                        drawn, committed = a.read(), b.read()
                    self.assertTrue(drawn == committed,
                                    "%s differs from a fresh drawing (crc %08x, committed %08x); "
                                    "run tools/artwork/generate.py and commit the result"
                                    % (name, zlib.crc32(drawn), zlib.crc32(committed)))


if __name__ == "__main__":
    unittest.main(verbosity=2)
