#!/usr/bin/python3
"""Lists a stopped Wine prefix's registry (system.reg, user.reg) one value a line, so two
listings compare with diff:

    wine-registry.py PREFIX     prints FILE|KEY|VALUE-LINE, and FILE|KEY| for every key

Wine's files name only the keys that hold values or have no subkeys; every key's parents are
listed here too, so a key that gains or loses a subkey is not taken for a key that came or
went. The times Wine stamps on keys when it writes them are left out: they change on every
start.
"""
import sys


def listing(path, label):
    lines = []
    key = None
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        text = f.read()
    # A long value goes on over lines that end in a backslash.
    text = text.replace("\\\n  ", "")
    for line in text.split("\n"):
        if line.startswith("["):
            # [Key\\Path] 1712345678: the number is the time of the last write.
            key = line[1:line.rindex("]")]
            parts = key.split("\\\\")
            for end in range(1, len(parts) + 1):
                lines.append("%s|%s|" % (label, "\\\\".join(parts[:end])))
        elif key is not None and line and not line.startswith("#"):
            lines.append("%s|%s|%s" % (label, key, line))
    return lines


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    lines = []
    for name in ("system.reg", "user.reg"):
        lines += listing("%s/%s" % (argv[1], name), name)
    for line in sorted(set(lines)):
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
