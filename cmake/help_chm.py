"""The names of the pages inside an HTML Help file (.CHM), for the help build.

What this relies on of the file format (little-endian throughout):

- The file starts with "ITSF"; at 0x48 and 0x50, the 64-bit offset and length
  of the directory.
- The directory starts with "ITSP": its header size at 8, the chunk size at
  0x10 and the first listing chunk at 0x20; the chunks follow the header.
- A listing chunk starts with "PMGL": the free space at its end at 4, the
  next listing chunk at 0x10 (-1 at the end), and its entries from 0x14.
- An entry: the name's length and the UTF-8 name ("/page.html"), then the
  content section, offset and length. Lengths and numbers are encoded in 7
  bits a byte, most significant first, the top bit set on every byte but
  the last.
"""

import struct

NO_CHUNK = 0xFFFFFFFF
LISTING_HEADER_SIZE = 0x14


class ChmError(Exception):
    pass


def _u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def _number(data, at, end):
    """The encoded number at at, and where the next field starts."""
    value = 0
    while at < end:
        byte = data[at]
        value = (value << 7) | (byte & 0x7F)
        at += 1
        if not byte & 0x80:
            return value, at
    raise ChmError("a directory entry runs past the end of its chunk")


def _listing_entries(chunk, end):
    at = LISTING_HEADER_SIZE
    while at < end:
        length, at = _number(chunk, at, end)
        name = chunk[at : at + length].decode("utf-8", "replace")
        at += length
        for _ in range(3):  # content section, offset, length
            _, at = _number(chunk, at, end)
        yield name


def chm_names(data, name):
    """Every name in the directory of the .CHM held in data."""
    if len(data) < 0x58 or data[:4] != b"ITSF":
        raise ChmError(f"{name} is not an HTML Help file")
    directory, length = struct.unpack_from("<QQ", data, 0x48)
    if directory + length > len(data) or length < 0x54 or data[directory : directory + 4] != b"ITSP":
        raise ChmError(f"{name}: the directory lies outside the file")
    header_size, chunk_size = _u32(data, directory + 8), _u32(data, directory + 0x10)
    chunk_number = _u32(data, directory + 0x20)
    names, seen = [], set()
    while chunk_number != NO_CHUNK:
        if chunk_number in seen:
            raise ChmError(f"{name}: the directory's chunks run in a circle")
        seen.add(chunk_number)
        start = directory + header_size + chunk_number * chunk_size
        chunk = data[start : start + chunk_size]
        if len(chunk) < chunk_size or chunk[:4] != b"PMGL":
            raise ChmError(f"{name}: a directory chunk lies outside the directory")
        free_space, chunk_number = _u32(chunk, 4), _u32(chunk, 0x10)
        names.extend(_listing_entries(chunk, chunk_size - free_space))
    return names
