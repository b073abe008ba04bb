"""Where the editor puts its controls, and so where the artwork puts their marks.

Positions are top-left corners in the editor's client pixels; they must agree with the
control layout of both editors.
"""

BACKGROUND_SIZE = (496, 344)
ABOUT_SIZE = (440, 449)
VERSION = "2.7"

FRAME = 14                       # wooden frame width
BANNER = (22, 22, 452, 56)       # x, y, w, h
MENU_AREA = (30, 32, 296, 70)    # left, top, right, bottom: opens the view menu
STATUS = (305, 34, 145, 25)      # x, y, w, h: the status line drawn by the editor

KNOB_FRAMES = 91
KNOBS = {
    "Left Delay": (65, 139),
    "Right Delay": (123, 139),
    "Feedback": (179, 139),
    "Cutoff": (390, 139),
    "Mix": (390, 241),
}
KNOB_MARKS = {
    "Left Delay": ("L Delay", ("min", "max")),
    "Right Delay": ("R Delay", ("min", "max")),
    "Feedback": ("Feedback", ("0", "100")),
    "Cutoff": ("Cutoff Freq.", ("20Hz", "10kHz")),
    "Mix": ("Mix", ("Dry", "Wet")),
}

SWITCHES = {
    "Enabled": (343, 229),
    "Sync": (79, 229),
    "Filter": (343, 109),
    "Filter Type": (343, 148),
    "Pan": (266, 125),
}
# Label beside the lever up (state 1), beside the lever down (state 0), caption above.
SWITCH_MARKS = {
    "Enabled": ("on", "bypass", None),
    "Sync": ("on", "off", None),
    "Filter": ("on", "off", None),
    "Filter Type": ("high", "low", None),
    "Pan": ("on", "off", "Pan"),
}

LED_ROWS = {"Left Sync": (144, 221), "Right Sync": (144, 256)}
LED_FRAME = (140, 40)
LED_CENTRE_Y = 20
NOTE_VALUES = ("1/32", "1/16", "1/8", "1/4", "1/2")
BUTTONS = ((116, 227), (116, 262))

GROUPS = (
    {"title": "DELAY", "rect": (24, 94, 268, 110)},
    {"title": "FILTER", "rect": (300, 94, 172, 110)},
    {"title": "SYNC", "rect": (24, 212, 268, 96)},
    {"title": "GLOBAL", "rect": (300, 212, 172, 96)},
)
