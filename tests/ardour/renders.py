"""What every format's Ardour check reads from its renders and logs; the click is 6.5 seconds in,
on both channels. Each format's check-renders.py adds what only its own session did."""
import array
import re
import struct
import sys

RATE = 48000
CLICK = RATE * 13 // 2


def channels(path):
    blob = open(path, "rb").read()
    at = 12
    while at + 8 <= len(blob):
        tag, size = blob[at:at + 4], struct.unpack_from("<I", blob, at + 4)[0]
        if tag == b"fmt ":
            kind, count = struct.unpack_from("<HH", blob, at + 8)
            assert kind == 3 and count == 2, path + " is not stereo float audio"
        if tag == b"data":
            samples = array.array("f", blob[at + 8:at + 8 + size])
            return samples[0::2], samples[1::2]
        at += 8 + size + (size & 1)
    raise ValueError(path + " has no audio")


def loudest(samples, after):
    return max(range(after, len(samples)), key=lambda i: abs(samples[i]))


class Renders:
    """check-renders.py's arguments: RENDER_FOLDER CREATE_LOG REOPEN_LOG; control is what the
    session scripts called the plug-in's controls in the logs."""

    def __init__(self, argv, control):
        self.folder, self.create_log, self.reopen_log = argv[1:4]
        self.control = control
        self.failures = []

    def expect(self, ok, what):
        print(("ok: " if ok else "FAILED: ") + what)
        if not ok:
            self.failures.append(what)

    def channels(self, name):
        return channels("%s/%s.wav" % (self.folder, name))

    def controls(self, log, label):
        return {int(m.group(1)): float(m.group(2))
                for m in re.finditer(r"^%s %s (\d+) (\S+)$" % (label, self.control), open(log).read(), re.M)}

    def echoes(self, expected):
        """Each (render, left, right): the click where it belongs and each channel's echo that many
        seconds after it, to the sample."""
        for name, left, right in expected:
            samples = self.channels(name)
            click = loudest(samples[0], 0)
            got_left = (loudest(samples[0], click + 1) - click) / RATE
            got_right = (loudest(samples[1], click + 1) - click) / RATE
            self.expect(abs(click - CLICK) <= 1, "%s: the click at %d" % (name, click))
            self.expect(abs(got_left - left) <= 1.5 / RATE and abs(got_right - right) <= 1.5 / RATE,
                        "%s: echoes %.4f s and %.4f s after the click (expected %.4f and %.4f)"
                        % (name, got_left, got_right, left, right))

    def reopened(self):
        # The engine adds a tiny offset (1e-25) to what it writes into its lines, against
        # denormals, and turns its sign at every block. Ardour runs the plug-in for as many blocks
        # as real time allows before an export starts, so two renders may differ at that offset's
        # scale, 480 dB down, and nowhere else.
        before, after = self.channels("before"), self.channels("after")
        difference = max(abs(a - b) for channel in (0, 1) for a, b in zip(before[channel], after[channel]))
        self.expect(len(before[0]) == len(after[0]) and difference < 1e-24,
                    "the reopened session renders the saved one's audio (largest difference %g)" % difference)
        saved, reopened = self.controls(self.create_log, "saved"), self.controls(self.reopen_log, "reopened")
        self.expect(len(saved) == 12 and saved == reopened,
                    "the reopened %ss read as saved: %s" % (self.control, reopened))

    def finish(self):
        sys.exit(1 if self.failures else 0)
