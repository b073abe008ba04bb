#!/usr/bin/python3
"""Holds editor screenshots to a reference one of the same settings: the same size, and any pixel
that differs lies inside the status line, where two text renderers may draw one text apart.

    compare-faces.py REFERENCE.png CANDIDATE.png [CANDIDATE.png ...]

Prints, for each candidate, how many pixels differ and where; fails when a size differs or a
pixel outside the status line does.
"""

import sys

from PIL import Image, ImageChops

# The status line's control: x 305..450, y 34..59 (right and bottom outside).
STATUS = (305, 34, 450, 59)


def inside(box, area):
    return box[0] >= area[0] and box[1] >= area[1] and box[2] <= area[2] and box[3] <= area[3]


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    reference = Image.open(argv[1]).convert("RGB")
    failed = False
    for path in argv[2:]:
        candidate = Image.open(path).convert("RGB")
        if candidate.size != reference.size:
            print("%s: %dx%d, the reference is %dx%d" % ((path,) + candidate.size + reference.size))
            failed = True
            continue
        difference = ImageChops.difference(candidate, reference)
        box = difference.getbbox()
        if box is None:
            print("%s: identical to %s" % (path, argv[1]))
            continue
        count = sum(1 for pixel in difference.getdata() if pixel != (0, 0, 0))
        # Outside the status line every pixel must match.
        outside = difference.copy()
        outside.paste((0, 0, 0), STATUS)
        stray = outside.getbbox()
        where = "inside the status line" if stray is None else "outside the status line, within %s" % (stray,)
        print("%s: %d pixels differ from %s, within %s, all %s" % (path, count, argv[1], box, where)
              if stray is None else
              "%s: %d pixels differ from %s, some %s" % (path, count, argv[1], where))
        failed = failed or stray is not None
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
