#!/usr/bin/python3
"""What the VST 3 bundle's renders in Ardour must show: its echoes, the automation of "Enabled",
the reopening.

    check-renders.py RENDER_FOLDER CREATE_LOG REOPEN_LOG
"""
import os
import sys

# The shared module is read from the source tree, which a check leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ardour"))
from renders import CLICK, Renders, loudest  # noqa: E402

check = Renders(sys.argv, "param")
check.echoes((("free", 0.25, 0.36), ("sync120", 0.25, 0.25), ("sync90", 60 / 90 / 2, 60 / 90 / 2)))

left, right = check.channels("automated")
click = loudest(left, 0)
after = max(abs(s) for s in left[click + 1:] + right[click + 1:])
check.expect(abs(click - CLICK) <= 1 and after < 1e-3,
             "automated: \"Enabled\" went off before the echo (loudest after the click %g)" % after)

check.reopened()
check.finish()
