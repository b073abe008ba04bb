#!/usr/bin/python3
"""Looks for the editor's face in a host's screenshot.

    find-face.py SCREENSHOT REFERENCE [--diff FILE] [--quiet]

REFERENCE is our own editor's screenshot with the same settings. The face is found where the
reference lies in the screenshot pixel for pixel, except inside the status line, whose text
depends on what was last touched: that rectangle (the description's kStatusArea, left and top
inclusive, right and bottom exclusive, as the editors draw it) may differ. Prints where the face
is and how many pixels differ inside the status line; exit status 0. Where it is not there, prints
the closest place and how many pixels differ there, and with --diff writes a picture of them
(differing pixels white, the status line grey); exit status 1. Exit status 2 when a picture
cannot be read. --quiet prints nothing, for a caller that only needs the answer.
"""

import argparse
import os
import sys

from PIL import Image, ImageChops

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "artwork"))
import layout  # noqa: E402  (the editor's layout, read from the effect's description)

_STATUS_X, _STATUS_Y, _STATUS_W, _STATUS_H = layout.STATUS
STATUS_AREA = (_STATUS_X, _STATUS_Y, _STATUS_X + _STATUS_W, _STATUS_Y + _STATUS_H)

# The coarse search compares pictures shrunk until at most this many places remain, then the
# best few places at full size.
_COARSE_PLACES = 4000
_CANDIDATES = 3


def difference_mask(a, b):
    """A mask that is 255 where the two pictures of the same size differ in any channel."""
    red, green, blue = ImageChops.difference(a, b).split()
    return ImageChops.lighter(ImageChops.lighter(red, green), blue).point(lambda v: 255 if v else 0)


def count(mask, box=None):
    return (mask.crop(box) if box else mask).histogram()[255]


def differences_at(screenshot, reference, x, y):
    """Pixels that differ outside and inside the status line with the face's corner at x, y."""
    mask = difference_mask(screenshot.crop((x, y, x + reference.width, y + reference.height)), reference)
    inside = count(mask, STATUS_AREA)
    return count(mask) - inside, inside, mask


def exact_places(screenshot, reference):
    """Every corner where a full row of the face, one outside the status line, lies in the
    screenshot as it is: the only places the whole face can be."""
    width, height = reference.size
    rows = [y for y in range(height) if not STATUS_AREA[1] <= y < STATUS_AREA[3]]
    if not rows:
        return []
    # The row with the most colours is the one least likely to lie anywhere else as well.
    anchor = max(rows, key=lambda y: len(set(reference.crop((0, y, width, y + 1)).getdata())))
    needle = reference.crop((0, anchor, width, anchor + 1)).tobytes()
    places = []
    pixels = screenshot.tobytes()
    stride = screenshot.width * 3
    for top in range(screenshot.height - height + 1):
        row = pixels[(top + anchor) * stride:(top + anchor + 1) * stride]
        at = row.find(needle)
        while at >= 0:
            if at % 3 == 0:
                places.append((at // 3, top))
            at = row.find(needle, at + 1)
    return places


def closest_place(screenshot, reference):
    """The corner with the fewest differing pixels, found on shrunk pictures and refined."""
    free_x = screenshot.width - reference.width
    free_y = screenshot.height - reference.height
    shrink = 1
    while (free_x // shrink + 1) * (free_y // shrink + 1) > _COARSE_PLACES:
        shrink *= 2
    small_screen = screenshot.reduce(shrink)
    small_face = reference.reduce(shrink)
    scored = []
    for y in range(small_screen.height - small_face.height + 1):
        for x in range(small_screen.width - small_face.width + 1):
            crop = small_screen.crop((x, y, x + small_face.width, y + small_face.height))
            histogram = ImageChops.difference(crop, small_face).convert("L").histogram()
            scored.append((sum(level * n for level, n in enumerate(histogram)), x, y))
    scored.sort()
    best = None
    for _, small_x, small_y in scored[:_CANDIDATES]:
        for y in range(max(0, (small_y - 1) * shrink), min(free_y, (small_y + 1) * shrink) + 1):
            for x in range(max(0, (small_x - 1) * shrink), min(free_x, (small_x + 1) * shrink) + 1):
                outside, inside, mask = differences_at(screenshot, reference, x, y)
                if best is None or outside < best[0]:
                    best = (outside, inside, mask, x, y)
    return best


def find_face(screenshot, reference):
    """(found, x, y, differing outside the status line, differing inside it, mask or None)."""
    if screenshot.width < reference.width or screenshot.height < reference.height:
        return False, None, None, None, None, None
    for x, y in exact_places(screenshot, reference):
        outside, inside, mask = differences_at(screenshot, reference, x, y)
        if outside == 0:
            return True, x, y, 0, inside, mask
    outside, inside, mask, x, y = closest_place(screenshot, reference)
    return False, x, y, outside, inside, mask


def write_diff(path, mask):
    picture = mask.convert("RGB")
    status = Image.new("RGB", (STATUS_AREA[2] - STATUS_AREA[0], STATUS_AREA[3] - STATUS_AREA[1]), (96, 96, 96))
    picture.paste(ImageChops.lighter(picture.crop(STATUS_AREA), status), STATUS_AREA[:2])
    picture.save(path)


def main(argv):
    parser = argparse.ArgumentParser(description="Looks for the editor's face in a host's screenshot.")
    parser.add_argument("screenshot")
    parser.add_argument("reference")
    parser.add_argument("--diff", help="where to write the picture of the differing pixels")
    parser.add_argument("--quiet", action="store_true")
    args = parser.parse_args(argv)
    say = (lambda *a: None) if args.quiet else print
    try:
        screenshot = Image.open(args.screenshot).convert("RGB")
        reference = Image.open(args.reference).convert("RGB")
    except OSError as error:
        say("find-face: %s" % error)
        return 2
    found, x, y, outside, inside, mask = find_face(screenshot, reference)
    if x is None:
        say("find-face: the screenshot (%dx%d) is smaller than the face (%dx%d)"
            % (screenshot.width, screenshot.height, reference.width, reference.height))
        return 1
    if args.diff and mask is not None:
        write_diff(args.diff, mask)
    area = reference.width * reference.height
    if found:
        say("find-face: the face is at %d,%d in %s; %d pixels differ, all inside the status line"
            % (x, y, args.screenshot, inside))
        return 0
    say("find-face: no face in %s (%dx%d); the closest place is %d,%d, where %d of %d pixels differ outside "
        "the status line (%d inside it)" % (args.screenshot, screenshot.width, screenshot.height, x, y, outside,
                                            area, inside))
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
