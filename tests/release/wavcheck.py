#!/usr/bin/python3
"""The release test's audio: a one-second test signal, and the check of what a plug-in made of it.

    wavcheck.py make IN.wav              a second of 32-bit float stereo at 44.1 kHz: a short
                                         burst of noise, then silence for the echoes
    wavcheck.py check OUT.wav SECONDS    fails unless OUT.wav is stereo float audio at least
                                         that long, every sample finite, not silent, and with
                                         sound after the burst (the echoes)
"""
import math
import random
import struct
import sys

RATE = 44100
BURST = RATE // 50  # 20 ms


def write_float_wav(path, frames):
    data = b"".join(struct.pack("<ff", left, right) for left, right in frames)
    fmt = struct.pack("<HHIIHH", 3, 2, RATE, RATE * 8, 8, 32)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt)
        f.write(b"data" + struct.pack("<I", len(data)) + data)


def read_float_wav(path):
    with open(path, "rb") as f:
        blob = f.read()
    if blob[:4] != b"RIFF" or blob[8:12] != b"WAVE":
        raise ValueError("not a WAV file")
    at, fmt, data = 12, None, None
    while at + 8 <= len(blob):
        tag, size = blob[at:at + 4], struct.unpack_from("<I", blob, at + 4)[0]
        body = blob[at + 8:at + 8 + size]
        if tag == b"fmt ":
            fmt = list(struct.unpack_from("<HHIIHH", body))
            # The extensible format names the sample kind in its sub-format.
            if fmt[0] == 0xFFFE and len(body) >= 26:
                fmt[0] = struct.unpack_from("<H", body, 24)[0]
        elif tag == b"data":
            data = body
        at += 8 + size + (size & 1)
    if fmt is None or data is None:
        raise ValueError("no fmt or data chunk")
    kind, channels, rate, _, _, bits = fmt
    if kind != 3 or bits != 32 or channels != 2:
        raise ValueError("expected 32-bit float stereo, found format %d, %d bits, %d channels" % (kind, bits, channels))
    count = len(data) // 8
    samples = struct.unpack("<%df" % (2 * count), data[:8 * count])
    return rate, [(samples[2 * i], samples[2 * i + 1]) for i in range(count)]


def make(path):
    noise = random.Random(2750)
    frames = []
    for n in range(RATE):
        if n < BURST:
            fade = 0.5 * (1.0 - math.cos(2.0 * math.pi * n / BURST))
            frames.append((fade * noise.uniform(-0.5, 0.5), fade * noise.uniform(-0.5, 0.5)))
        else:
            frames.append((0.0, 0.0))
    write_float_wav(path, frames)
    return 0


def check(path, seconds):
    rate, frames = read_float_wav(path)
    problems = []
    if len(frames) < int(seconds * rate):
        problems.append("%d frames, expected at least %d" % (len(frames), int(seconds * rate)))
    flat = [s for frame in frames for s in frame]
    if not all(math.isfinite(s) for s in flat):
        problems.append("samples that are not finite")
    finite = [s for s in flat if math.isfinite(s)]
    peak = max((abs(s) for s in finite), default=0.0)
    # Echoes: sound once the burst is over.
    tail = [s for frame in frames[BURST + rate // 200:] for s in frame if math.isfinite(s)]
    tail_rms = math.sqrt(sum(s * s for s in tail) / len(tail)) if tail else 0.0
    if peak < 1e-3:
        problems.append("silent (peak %.3g)" % peak)
    if tail_rms < 1e-4:
        problems.append("no echoes after the burst (rms %.3g)" % tail_rms)
    if peak > 4.0:
        problems.append("peak %.3g, far louder than the input" % peak)
    if problems:
        print("%s: %s" % (path, "; ".join(problems)), file=sys.stderr)
        return 1
    print("%s: %d frames, peak %.3f, echo rms %.4f" % (path, len(frames), peak, tail_rms))
    return 0


def main(argv):
    try:
        if len(argv) == 3 and argv[1] == "make":
            return make(argv[2])
        if len(argv) == 4 and argv[1] == "check":
            return check(argv[2], float(argv[3]))
    except (OSError, ValueError, struct.error) as error:
        print("%s: %s" % (argv[2], error), file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
