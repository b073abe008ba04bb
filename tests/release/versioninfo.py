#!/usr/bin/python3
"""Reads the version record (RT_VERSION) of a Windows DLL without Windows, so the 32-bit DLL is
checked on a machine that cannot run it.

    versioninfo.py DLL                          prints the fixed versions and every string
    versioninfo.py DLL --expect KEY=VALUE ...   also fails unless each string is as given;
                                                FILEVERSION / PRODUCTVERSION name the fixed ones
"""
import struct
import sys

RT_VERSION = 16
FIXED_SIGNATURE = 0xFEEF04BD


class BadFile(Exception):
    pass


def sections(data):
    if data[:2] != b"MZ":
        raise BadFile("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise BadFile("no PE header")
    count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + {0x10B: 96, 0x20B: 112}.get(magic, -1)
    if directories < optional:
        raise BadFile("unknown optional header 0x%x" % magic)
    resource_rva, resource_size = struct.unpack_from("<II", data, directories + 2 * 8)
    table = optional + optional_size
    found = []
    for i in range(count):
        _, virtual_size, rva, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
        found.append((rva, max(virtual_size, raw_size), raw))
    return resource_rva, resource_size, found


def file_offset(rva, found):
    for start, size, raw in found:
        if start <= rva < start + size:
            return raw + rva - start
    raise BadFile("address 0x%x is in no section" % rva)


def version_resource(data):
    resource_rva, resource_size, found = sections(data)
    if resource_size == 0:
        raise BadFile("no resources")
    base = file_offset(resource_rva, found)

    def entries(offset):
        named, numbered = struct.unpack_from("<12xHH", data, base + offset)
        for i in range(named + numbered):
            yield struct.unpack_from("<II", data, base + offset + 16 + 8 * i)

    def first_leaf(offset):
        for _, target in entries(offset):
            if target & 0x80000000:
                return first_leaf(target & 0x7FFFFFFF)
            rva, size = struct.unpack_from("<II", data, base + target)
            start = file_offset(rva, found)
            return data[start:start + size]
        raise BadFile("empty resource directory")

    for name, target in entries(0):
        if name == RT_VERSION and target & 0x80000000:
            return first_leaf(target & 0x7FFFFFFF)
    raise BadFile("no version record")


def align(offset):
    return (offset + 3) & ~3


def node(block, at):
    """One VS_VERSIONINFO-style node: (key, value bytes, is text, children, end)."""
    length, value_length, kind = struct.unpack_from("<HHH", block, at)
    if length < 6 or at + length > len(block):
        raise BadFile("version node of length %d at %d overruns the record" % (length, at))
    end = at + length
    key_end = at + 6
    while block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise BadFile("unterminated key")
    key = block[at + 6:key_end].decode("utf-16-le")
    value_at = align(key_end + 2)
    value_bytes = value_length * 2 if kind == 1 else value_length
    value = block[value_at:value_at + value_bytes]
    children = []
    child = align(value_at + value_bytes)
    while child < end:
        children.append(node(block, child))
        child = align(children[-1][4])
    return key, value, kind == 1, children, end


def read(path):
    with open(path, "rb") as f:
        data = f.read()
    block = version_resource(data)
    key, value, _, children, _ = node(block, 0)
    if key != "VS_VERSION_INFO" or len(value) < 52:
        raise BadFile("record is not VS_VERSION_INFO")
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", value)
    if signature != FIXED_SIGNATURE:
        raise BadFile("fixed file information has no signature")

    def dotted(ms, ls):
        return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    info = {"FILEVERSION": dotted(file_ms, file_ls), "PRODUCTVERSION": dotted(product_ms, product_ls)}
    for child_key, _, _, tables, _ in children:
        if child_key != "StringFileInfo":
            continue
        for _, _, _, strings, _ in tables:
            for name, text, _, _, _ in strings:
                info[name] = text.decode("utf-16-le").rstrip("\0")
    return info


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        info = read(argv[1])
    except (BadFile, struct.error, OSError, IndexError, UnicodeDecodeError) as error:
        print("%s: %s" % (argv[1], error), file=sys.stderr)
        return 1
    for key in sorted(info):
        print("%s: %s" % (key, info[key]))
    expected = argv[2:]
    if expected and expected[0] == "--expect":
        expected = expected[1:]
    failures = 0
    for pair in expected:
        key, _, want = pair.partition("=")
        if info.get(key) != want:
            print("%s: %s is %r, expected %r" % (argv[1], key, info.get(key), want), file=sys.stderr)
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
