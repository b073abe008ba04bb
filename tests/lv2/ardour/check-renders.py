#!/usr/bin/python3
"""What the LV2 bundle's renders in Ardour must show: its echoes, the host's bypass, the reopening.

    check-renders.py RENDER_FOLDER CREATE_LOG REOPEN_LOG
"""
import os
import sys

# The shared module is read from the source tree, which a check leaves as it found it.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "ardour"))
from renders import Renders  # noqa: E402

check = Renders(sys.argv, "port")
check.echoes((("free", 0.3, 0.4), ("sync120", 0.25, 0.5), ("sync90", 60 / 90 / 2, 60 / 90)))

left, right = check.channels("bypassed")
heard = [i for i in range(len(left)) if left[i] != 0.0 or right[i] != 0.0]
check.expect(len(heard) == 1 and left[heard[0]] == 1.0,
             "bypassed: the click alone, untouched (%d samples heard)" % len(heard))

check.reopened()
check.finish()
