"""Where the editor puts its controls, and so where the artwork puts their marks.

Positions are top-left corners in the editor's client pixels. They are read from the effect's
shared description (description/EffectDescription.h), which both editors use, so the marks
cannot drift from the controls.
"""

import os
import re

_DESCRIPTION = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "description")


def _read(name):
    with open(os.path.join(_DESCRIPTION, name), encoding="utf-8") as f:
        return f.read()


def _number(text, name):
    return int(re.search(r"\b" + name + r"\s*=\s*(\d+)", text).group(1))


def _points(text):
    return [tuple(int(v) for v in p) for p in re.findall(r"\{\s*(\d+)\s*,\s*(\d+)\s*\}", text)]


_FACTS = _read("EffectDescription.h")
_IDS = _read("EffectIds.h")
_POSITIONS = _points(re.search(r"kControlPositions\[kParameterCount\] = \{(.*?)\};", _FACTS, re.S).group(1))


def _point(name):
    return _points(re.search(name + r"(\{[^}]*\})", _FACTS).group(1))[0]


def _area(name):
    return tuple(int(v) for v in re.search(name + r"\{(\d+), (\d+), (\d+), (\d+)\}", _FACTS).groups())


# Parameter indices, in the order of the description's Parameter enum.
(ENABLED, LEFT_DELAY, RIGHT_DELAY, SYNC, LEFT_SYNC, RIGHT_SYNC, FEEDBACK, FILTER, CUTOFF, FILTER_TYPE, PAN,
 MIX) = range(12)

BACKGROUND_SIZE = (_number(_FACTS, "kEditorWidth"), _number(_FACTS, "kEditorHeight"))
ABOUT_SIZE = (440, 449)
INSTALLER_SIDE_SIZE = (164, 314)  # the Windows installer's welcome and finish pages show this
VERSION = "%d.%d" % (int(re.search(r"MORLENT_VERSION_MAJOR (\d+)", _IDS).group(1)),
                     int(re.search(r"MORLENT_VERSION_MINOR (\d+)", _IDS).group(1)))

FRAME = 14                       # wooden frame width
BANNER = (22, 22, 452, 56)       # x, y, w, h
MENU_AREA = _area("kMenuArea")    # left, top, right, bottom: opens the view menu
_status = _area("kStatusArea")
STATUS = (_status[0], _status[1], _status[2] - _status[0], _status[3] - _status[1])  # x, y, w, h

KNOB_FRAMES = _number(_FACTS, "kKnobFrames")
KNOBS = {
    "Left Delay": _POSITIONS[LEFT_DELAY],
    "Right Delay": _POSITIONS[RIGHT_DELAY],
    "Feedback": _POSITIONS[FEEDBACK],
    "Cutoff": _POSITIONS[CUTOFF],
    "Mix": _POSITIONS[MIX],
}
KNOB_MARKS = {
    "Left Delay": ("L Delay", ("min", "max")),
    "Right Delay": ("R Delay", ("min", "max")),
    "Feedback": ("Feedback", ("0", "100")),
    "Cutoff": ("Cutoff Freq.", ("20Hz", "10kHz")),
    "Mix": ("Mix", ("Dry", "Wet")),
}

SWITCHES = {
    "Enabled": _POSITIONS[ENABLED],
    "Sync": _POSITIONS[SYNC],
    "Filter": _POSITIONS[FILTER],
    "Filter Type": _POSITIONS[FILTER_TYPE],
    "Pan": _POSITIONS[PAN],
}
# Label beside the lever up (state 1), beside the lever down (state 0), caption above.
SWITCH_MARKS = {
    "Enabled": ("on", "bypass", None),
    "Sync": ("on", "off", None),
    "Filter": ("on", "off", None),
    "Filter Type": ("high", "low", None),
    "Pan": ("on", "off", "Pan"),
}

LED_ROWS = {"Left Sync": _POSITIONS[LEFT_SYNC], "Right Sync": _POSITIONS[RIGHT_SYNC]}
LED_FRAME = (140, 40)
LED_CENTRE_Y = 20
NOTE_VALUES = tuple(re.findall(r'"(1/\d+)"', re.search(r"kNoteNames\[kNoteCount\] = \{(.*?)\};", _FACTS).group(1)))
BUTTONS = (_point("kLeftSyncButtonPosition"), _point("kRightSyncButtonPosition"))

GROUPS = (
    {"title": "DELAY", "rect": (24, 94, 268, 110)},
    {"title": "FILTER", "rect": (300, 94, 172, 110)},
    {"title": "SYNC", "rect": (24, 212, 268, 96)},
    {"title": "GLOBAL", "rect": (300, 212, 172, 96)},
)
