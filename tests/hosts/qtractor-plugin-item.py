#!/usr/bin/python3
"""Where Qtractor shows a track's plug-in chain, for a check that double-clicks the plug-in.

    qtractor-plugin-item.py style              the style sheet Qtractor is started with
    qtractor-plugin-item.py find SCREENSHOT    "X Y": a point on the chain's first plug-in

Qtractor's widgets are not X windows of their own, and where its track list puts the chain
depends on fonts, toolbars and the track's height. The style sheet paints the plug-in lists (and
so their items) in a colour nothing else on its screen has; the first item is the list's top
row, 16 pixels high, so the point is a little inside the top-left corner of that colour. Exit
status 1 when the screenshot shows no plug-in list yet.
"""

import io
import sys

from PIL import Image

MARK = (255, 0, 255)
# Inside the first item: past its LED, halfway down its 16 pixels.
ITEM_X = 20
ITEM_Y = 6


def style():
    return "qtractorPluginListView { background-color: #%02x%02x%02x; }\n" % MARK


def find(picture):
    """The point on the first item, or None when no pixel has the mark's colour."""
    picture = picture.convert("RGB")
    width = picture.width
    pixels = picture.tobytes()
    mark = bytes(MARK)
    for y in range(picture.height):
        row = pixels[y * width * 3:(y + 1) * width * 3]
        at = row.find(mark)
        while at >= 0 and at % 3:
            at = row.find(mark, at + 1)
        if at >= 0:
            return at // 3 + ITEM_X, y + ITEM_Y
    return None


def main(argv):
    if argv == ["style"]:
        sys.stdout.write(style())
        return 0
    if len(argv) == 2 and argv[0] == "find":
        source = io.BytesIO(sys.stdin.buffer.read()) if argv[1] == "-" else argv[1]
        point = find(Image.open(source))
        if point is None:
            return 1
        print("%d %d" % point)
        return 0
    sys.stderr.write("usage: qtractor-plugin-item.py style | find SCREENSHOT\n")
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
