#!/usr/bin/python3
"""The host checks' picture tools on pictures made here: find-face.py finds a face where it lies
pixel for pixel outside the status line, whatever the status line says, reports the closest
place and the count of differing pixels where it is not there, and qtractor-plugin-item.py finds
the plug-in list that its style sheet marks."""

import importlib.util
import io
import os
import random
import subprocess
import sys
import tempfile
import unittest

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def load(name):
    spec = importlib.util.spec_from_file_location(name.replace("-", "_"), os.path.join(HERE, name + ".py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


find_face = load("find-face")
plugin_item = load("qtractor-plugin-item")


def noise(width, height, seed):
    """A picture whose rows all differ, as a face's do."""
    return Image.frombytes("RGB", (width, height), random.Random(seed).randbytes(width * height * 3))


def face():
    return noise(find_face.layout.BACKGROUND_SIZE[0], find_face.layout.BACKGROUND_SIZE[1], 1)


def host_window(inner, at, size=(640, 480), seed=2):
    window = noise(size[0], size[1], seed)
    window.paste(inner, at)
    return window


class FindFaceTest(unittest.TestCase):
    def test_the_status_area_is_the_descriptions(self):
        # kStatusArea{305, 34, 450, 59} in description/EffectDescription.h, right and bottom exclusive.
        self.assertEqual(find_face.STATUS_AREA, (305, 34, 450, 59))

    def test_finds_the_face_where_it_lies_in_the_window(self):
        reference = face()
        found, x, y, outside, inside, _ = find_face.find_face(host_window(reference, (37, 61)), reference)
        self.assertEqual((found, x, y, outside, inside), (True, 37, 61, 0, 0))

    def test_a_different_status_line_is_counted_but_allowed(self):
        reference = face()
        shown = reference.copy()
        left, top, right, bottom = find_face.STATUS_AREA
        shown.paste((255, 255, 255), (left, top, right, bottom))
        found, x, y, outside, inside, _ = find_face.find_face(host_window(shown, (5, 7)), reference)
        self.assertTrue(found)
        self.assertEqual((x, y, outside), (5, 7, 0))
        self.assertEqual(inside, (right - left) * (bottom - top))

    def test_one_pixel_off_outside_the_status_line_is_no_face(self):
        reference = face()
        for pixel in ((0, 0), (304, 40), (450, 40), (320, 59), (495, 343)):
            shown = reference.copy()
            red, green, blue = shown.getpixel(pixel)
            shown.putpixel(pixel, (red, green, blue ^ 1))
            found, x, y, outside, inside, _ = find_face.find_face(host_window(shown, (20, 30)), reference)
            self.assertFalse(found, pixel)
            self.assertEqual((x, y, outside, inside), (20, 30, 1, 0), pixel)

    def test_where_there_is_no_face_the_closest_place_is_reported(self):
        reference = face()
        shown = reference.copy()
        shown.paste((0, 0, 0), (0, 0, 100, 10))
        found, x, y, outside, _, mask = find_face.find_face(host_window(shown, (96, 40)), reference)
        self.assertFalse(found)
        self.assertEqual((x, y), (96, 40))
        self.assertLessEqual(outside, 1000)
        self.assertEqual(find_face.count(mask, (100, 10, 496, 344)), 0)

    def test_a_window_smaller_than_the_face_holds_none(self):
        reference = face()
        found, x, *_ = find_face.find_face(noise(480, 343, 3), reference)
        self.assertFalse(found)
        self.assertIsNone(x)

    def test_the_command_says_where_and_writes_the_differences(self):
        reference = face()
        with tempfile.TemporaryDirectory() as folder:
            paths = [os.path.join(folder, name) for name in ("window.png", "face.png", "diff.png", "bare.png")]
            host_window(reference, (3, 4)).save(paths[0])
            reference.save(paths[1])
            noise(640, 480, 4).save(paths[3])
            found = subprocess.run([sys.executable, os.path.join(HERE, "find-face.py"), paths[0], paths[1]],
                                   capture_output=True, text=True)
            self.assertEqual(found.returncode, 0, found.stdout)
            self.assertIn("the face is at 3,4 in %s; 0 pixels differ" % paths[0], found.stdout)
            missing = subprocess.run([sys.executable, os.path.join(HERE, "find-face.py"), paths[3], paths[1],
                                      "--diff", paths[2]], capture_output=True, text=True)
            self.assertEqual(missing.returncode, 1, missing.stdout)
            self.assertIn("no face in %s (640x480)" % paths[3], missing.stdout)
            with Image.open(paths[2]) as diff:
                self.assertEqual(diff.size, reference.size)
            unreadable = subprocess.run([sys.executable, os.path.join(HERE, "find-face.py"),
                                         os.path.join(folder, "none.png"), paths[1]], capture_output=True, text=True)
            self.assertEqual(unreadable.returncode, 2)


class PluginItemTest(unittest.TestCase):
    def test_the_point_is_on_the_first_item_of_the_marked_list(self):
        window = Image.new("RGB", (300, 200), (239, 239, 239))
        window.paste(plugin_item.MARK, (150, 120, 210, 170))
        window.paste(plugin_item.MARK, (10, 190, 20, 195))  # further down: not the first row
        self.assertEqual(plugin_item.find(window), (150 + plugin_item.ITEM_X, 120 + plugin_item.ITEM_Y))

    def test_no_marked_list_no_point(self):
        window = Image.new("RGB", (300, 200), (254, 0, 255))
        self.assertIsNone(plugin_item.find(window))

    def test_the_style_sheet_paints_the_lists_in_the_mark(self):
        self.assertEqual(plugin_item.style(), "qtractorPluginListView { background-color: #ff00ff; }\n")

    def test_the_command_reads_a_screenshot_from_standard_input(self):
        window = Image.new("RGB", (100, 100), (0, 0, 0))
        window.paste(plugin_item.MARK, (40, 30, 90, 90))
        picture = io.BytesIO()
        window.save(picture, "PNG")
        found = subprocess.run([sys.executable, os.path.join(HERE, "qtractor-plugin-item.py"), "find", "-"],
                               input=picture.getvalue(), capture_output=True)
        self.assertEqual(found.returncode, 0)
        self.assertEqual(found.stdout.decode(), "%d %d\n" % (40 + plugin_item.ITEM_X, 30 + plugin_item.ITEM_Y))


if __name__ == "__main__":
    unittest.main()
