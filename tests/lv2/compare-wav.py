#!/usr/bin/python3
"""Whether two WAV files hold the same audio: the same format and the same sample data, bit for
bit (their other chunks may differ, as each writer adds its own).

    compare-wav.py A.wav B.wav
"""
import struct
import sys


def audio(path):
    blob = open(path, "rb").read()
    if blob[:4] != b"RIFF" or blob[8:12] != b"WAVE":
        raise ValueError(path + " is not a WAV file")
    at, fmt, data = 12, None, None
    while at + 8 <= len(blob):
        tag, size = blob[at:at + 4], struct.unpack_from("<I", blob, at + 4)[0]
        if tag == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", blob, at + 8)
        elif tag == b"data":
            data = blob[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    if fmt is None or data is None:
        raise ValueError(path + " has no format or no audio")
    return fmt, data


first, second = audio(sys.argv[1]), audio(sys.argv[2])
if first[0] != second[0]:
    sys.exit("different formats: %s and %s" % (first[0], second[0]))
if first[1] != second[1]:
    differing = sum(1 for a, b in zip(first[1], second[1]) if a != b)
    sys.exit("different audio: %d of %d bytes differ" % (differing + abs(len(first[1]) - len(second[1])),
                                                          max(len(first[1]), len(second[1]))))
print("the same audio: %d bytes of %s" % (len(first[1]), first[0]))
