#!/usr/bin/python3
"""Composes the editor face from the pictures as the editor shows a new instance.

    /usr/bin/python3 tools/artwork/preview.py OUT.png [--resources DIR]
"""

import argparse
import os
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import layout as L  # noqa: E402

# Frames shown for the default program: Enabled on, L Delay 1.0, R Delay 0.5, Sync off,
# both rows at 1/8, Feedback 0, Filter off, Cutoff 0.5, Type low, Pan off, Mix 0.5.
DEFAULT_KNOB_FRAMES = {"Left Delay": 90, "Right Delay": 45, "Feedback": 0, "Cutoff": 45, "Mix": 45}
DEFAULT_SWITCH_FRAMES = {"Enabled": 1, "Sync": 0, "Filter": 0, "Filter Type": 0, "Pan": 0}
DEFAULT_LED_FRAMES = {"Left Sync": 2, "Right Sync": 2}


def frame(strip, index, w, h, vertical=True):
    box = (0, index * h, w, (index + 1) * h) if vertical else (index * w, 0, (index + 1) * w, h)
    return strip.crop(box)


def compose(res):
    load = lambda n: Image.open(os.path.join(res, n)).convert("RGBA")  # noqa: E731
    face = load("background.png")
    knob, switch, led, button = (load(n) for n in
                                 ("knob.png", "switch.png", "syncled.png", "syncbutton.png"))
    for name, pos in L.KNOBS.items():
        face.alpha_composite(frame(knob, DEFAULT_KNOB_FRAMES[name], 32, 32), pos)
    for name, pos in L.SWITCHES.items():
        face.alpha_composite(frame(switch, DEFAULT_SWITCH_FRAMES[name], 20, 40), pos)
    for name, pos in L.LED_ROWS.items():
        face.alpha_composite(frame(led, DEFAULT_LED_FRAMES[name], 140, 40, vertical=False), pos)
    for pos in L.BUTTONS:
        face.alpha_composite(frame(button, 0, 28, 28), pos)
    return face


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("out")
    ap.add_argument("--resources", default=os.path.join(HERE, "..", "..", "resources"))
    args = ap.parse_args()
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    compose(args.resources).save(args.out)


if __name__ == "__main__":
    main()
