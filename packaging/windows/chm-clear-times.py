#!/usr/bin/env python3
"""Clears the two compile times that chmcmd writes into a .chm, so that the same help
source gives the same Help.chm, and with it the same installer and zip.

chmcmd stamps the time of day of the compile into the ITSF header and into the #SYSTEM
file's record 10. HTML Help reads neither to show a page (they tell merged help files
apart); zero is what they become. Every other byte is left as chmcmd wrote it, and a file
laid out otherwise than expected is refused rather than patched blind.

Usage: chm-clear-times.py FILE.chm
"""
import struct
import sys


class ChmError(Exception):
    pass


def encint(data, pos):
    """A CHM directory's variable-length integer: 7 bits a byte, high bit set on all
    bytes but the last."""
    value = 0
    while True:
        if pos >= len(data):
            raise ChmError("directory entry runs past its chunk")
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def directory(data):
    """Name -> (section, offset, length) for every entry of the listing chunks."""
    if data[:4] != b"ITSF":
        raise ChmError("no ITSF signature")
    version, = struct.unpack_from("<I", data, 4)
    if version != 3:
        raise ChmError(f"ITSF version {version}, 3 expected")
    dir_offset, dir_length = struct.unpack_from("<QQ", data, 0x48)
    content_offset, = struct.unpack_from("<Q", data, 0x58)
    if data[dir_offset:dir_offset + 4] != b"ITSP":
        raise ChmError("no ITSP directory header")
    header_length, = struct.unpack_from("<I", data, dir_offset + 8)
    chunk_size, = struct.unpack_from("<I", data, dir_offset + 0x10)
    chunk_count, = struct.unpack_from("<I", data, dir_offset + 0x2C)
    if header_length + chunk_size * chunk_count > dir_length:
        raise ChmError("directory chunks run past the directory")
    entries = {}
    for n in range(chunk_count):
        start = dir_offset + header_length + n * chunk_size
        chunk = data[start:start + chunk_size]
        if chunk[:4] != b"PMGL":
            continue  # index chunks (PMGI) only point at listing chunks
        free, = struct.unpack_from("<I", chunk, 4)
        pos, end = 20, chunk_size - free
        while pos < end:
            name_length, pos = encint(chunk, pos)
            name = chunk[pos:pos + name_length].decode("utf-8")
            pos += name_length
            section, pos = encint(chunk, pos)
            offset, pos = encint(chunk, pos)
            length, pos = encint(chunk, pos)
            entries[name] = (section, offset, length)
    return entries, content_offset


def clear_times(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    entries, content_offset = directory(data)
    if "/#SYSTEM" not in entries:
        raise ChmError("no /#SYSTEM file")
    section, offset, length = entries["/#SYSTEM"]
    if section != 0:
        raise ChmError("/#SYSTEM is compressed; chmcmd stores it plain")
    system = content_offset + offset
    if system + length > len(data):
        raise ChmError("/#SYSTEM runs past the end of the file")
    pos, end = system + 4, system + length  # after the #SYSTEM version
    found = False
    while pos + 4 <= end:
        code, size = struct.unpack_from("<HH", data, pos)
        if code == 10:
            if size != 4:
                raise ChmError(f"#SYSTEM record 10 holds {size} bytes, 4 expected")
            data[pos + 4:pos + 8] = bytes(4)
            found = True
        pos += 4 + size
    if pos != end:
        raise ChmError("#SYSTEM records do not end where the file does")
    if not found:
        raise ChmError("no time record (10) in #SYSTEM")
    data[0x10:0x14] = bytes(4)  # the ITSF header's time stamp
    with open(path, "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        clear_times(sys.argv[1])
    except (ChmError, OSError, struct.error, UnicodeDecodeError) as e:
        print(f"chm-clear-times: {sys.argv[1]}: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
