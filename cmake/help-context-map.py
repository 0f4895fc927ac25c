#!/usr/bin/env python3
"""Fills the numbered-topic map of a Windows help file that Halibut made.

    help-context-map.py SOURCE.HLP MAP.txt OUTPUT.HLP [HELP.CHM]
    help-context-map.py --check HELP.HLP MAP.txt [HELP.CHM]

A program asks the help viewer for a topic by number (HELP_CONTEXT,
HELP_CONTEXTPOPUP); the viewer finds the number in the help file's internal
file |CTXOMAP. Halibut leaves that map empty, so this step writes SOURCE.HLP
to OUTPUT.HLP with a map built from MAP.txt, then reads OUTPUT.HLP back and
checks that every number leads to the topic of the expected title. --check
does only the reading back. Given the HTML Help file made from the same
source, both also check that it holds the page of every number (HTML Help
has no numbered topics: the program opens the page by its name, and HTML
Help opens a window even for a page that is not there). Any fault ends with
a message and exit status 1.

MAP.txt: one "number topic-name page title" line per numbered topic; "#"
starts a comment line. The topic name is the one the help source gives the
topic with \\cfg{winhelp-topic}{name}; the page is the topic's file in the
HTML Help file.

What this relies on of the help file format (little-endian throughout):

- The file starts with a 16-byte header: magic 0x00035F3F, the offset of the
  internal directory, the first free block, and the size of the whole file.
- Every internal file starts with a 9-byte header: the space reserved for it
  (header included), the bytes of content used, and a flag byte.
- The directory, |CONTEXT (topic-name hash to topic offset) and |TTLBTREE
  (topic offset to title) are B+ trees. A tree starts with a 38-byte header:
  magic 0x293B at 0, page size at 4, root page at 26, levels at 32; its pages
  follow. An index page holds its entry count at 2 and its first child at 4;
  a leaf page holds its entry count at 2, the next leaf at 6 (0xFFFF at the
  end) and its entries from 8.
- Leaf entries: directory, a NUL-ended name and the file's 32-bit offset;
  |CONTEXT, the 32-bit hash and the 32-bit topic offset; |TTLBTREE, the
  32-bit topic offset and a NUL-ended title.
- |CTXOMAP: a 16-bit count, then per entry the 32-bit number and the 32-bit
  topic offset.
"""

import os
import struct
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from help_chm import ChmError, chm_names  # noqa: E402 (beside this script)

FILE_MAGIC = 0x00035F3F
TREE_MAGIC = 0x293B
FILE_HEADER_SIZE = 16
INTERNAL_HEADER_SIZE = 9
TREE_HEADER_SIZE = 38
NO_PAGE = 0xFFFF


class HelpError(Exception):
    pass


def u16(data, at):
    return struct.unpack_from("<H", data, at)[0]


def u32(data, at):
    return struct.unpack_from("<I", data, at)[0]


def c_string(data, at):
    end = data.find(b"\0", at)
    if end < 0:
        raise HelpError("a name runs past the end of its tree page")
    return data[at:end], end + 1


def topic_name_hash(name):
    """The hash under which |CONTEXT files a topic name."""
    value = 0
    for c in name:
        if "A" <= c.upper() <= "Z":
            digit = ord(c.upper()) - ord("A") + 17
        elif "1" <= c <= "9":
            digit = ord(c) - ord("0")
        elif c == "0":
            digit = 10
        elif c == ".":
            digit = 12
        elif c == "_":
            digit = 13
        else:
            raise HelpError(f"topic name {name!r} may hold only letters, digits, '.' and '_'")
        value = (value * 43 + digit) & 0xFFFFFFFF
    return value


class HelpFile:
    def __init__(self, data, name):
        self.data = bytearray(data)
        self.name = name
        if len(data) < FILE_HEADER_SIZE or u32(data, 0) != FILE_MAGIC:
            raise HelpError(f"{name} is not a Windows help file")
        if u32(data, 12) != len(data):
            raise HelpError(f"{name}: the header's file size does not match the file")
        self.files = {}  # internal file name -> (offset, where the directory keeps it)
        directory = u32(data, 4)
        for key, value_at in self._leaf_entries(directory, self._directory_entry):
            self.files[key.decode("latin-1")] = (u32(self.data, value_at), value_at)

    def content(self, offset):
        """The content of the internal file at offset, and where it starts."""
        if offset + INTERNAL_HEADER_SIZE > len(self.data):
            raise HelpError(f"{self.name}: an internal file lies past the end")
        reserved, used = struct.unpack_from("<II", self.data, offset)
        if used + INTERNAL_HEADER_SIZE > reserved or offset + reserved > len(self.data):
            raise HelpError(f"{self.name}: an internal file's sizes do not fit")
        start = offset + INTERNAL_HEADER_SIZE
        return bytes(self.data[start : start + used]), start

    def internal(self, name):
        if name not in self.files:
            raise HelpError(f"{self.name} has no internal file {name}")
        return self.files[name][0]

    def _leaf_entries(self, offset, read_entry):
        """(key, value) of every leaf entry of the B+ tree at offset, in key order.

        read_entry(tree, pos, start) reads the entry at pos of the tree's content
        (which starts at start in the file) and returns key, value, next pos."""
        tree, start = self.content(offset)
        if len(tree) < TREE_HEADER_SIZE or u16(tree, 0) != TREE_MAGIC:
            raise HelpError(f"{self.name}: a B+ tree has a bad header")
        page_size, page, levels = u16(tree, 4), u16(tree, 26), u16(tree, 32)

        def page_at(number):
            at = TREE_HEADER_SIZE + number * page_size
            if page_size < 8 or at + page_size > len(tree):
                raise HelpError(f"{self.name}: a B+ tree page lies outside its tree")
            return at

        for _ in range(levels - 1):
            page = u16(tree, page_at(page) + 4)
        seen = set()
        while page != NO_PAGE:
            if page in seen:
                raise HelpError(f"{self.name}: the leaves of a B+ tree run in a circle")
            seen.add(page)
            at = page_at(page)
            pos = at + 8
            for _ in range(u16(tree, at + 2)):
                key, value, pos = read_entry(tree, pos, start)
                yield key, value
            page = u16(tree, at + 6)

    @staticmethod
    def _directory_entry(tree, pos, start):
        """An internal file's name, and where in the file its offset is kept."""
        name, pos = c_string(tree, pos)
        return name, start + pos, pos + 4

    def topic_offsets(self):
        """Topic offset by topic-name hash."""

        def entry(tree, pos, _):
            return u32(tree, pos), u32(tree, pos + 4), pos + 8

        return dict(self._leaf_entries(self.internal("|CONTEXT"), entry))

    def titles(self):
        """Topic title by topic offset."""

        def entry(tree, pos, _):
            title, end = c_string(tree, pos + 4)
            return u32(tree, pos), title.decode("cp1252", "replace"), end

        return dict(self._leaf_entries(self.internal("|TTLBTREE"), entry))

    def context_map(self):
        """Topic offset by map number."""
        content, _ = self.content(self.internal("|CTXOMAP"))
        if len(content) < 2 or len(content) < 2 + 8 * u16(content, 0):
            raise HelpError(f"{self.name}: |CTXOMAP is shorter than its count says")
        return dict(struct.unpack_from("<II", content, 2 + 8 * i) for i in range(u16(content, 0)))

    def replace_context_map(self, offsets_by_number):
        """Appends a new |CTXOMAP and points the directory at it."""
        if "|CTXOMAP" not in self.files:
            raise HelpError(f"{self.name} has no |CTXOMAP entry to point at the map")
        old_offset, value_at = self.files["|CTXOMAP"]
        content = struct.pack("<H", len(offsets_by_number)) + b"".join(
            struct.pack("<II", number, offset) for number, offset in sorted(offsets_by_number.items())
        )
        flags = self.data[old_offset + 8]
        new_offset = len(self.data)
        # The reserved size counts the header too: viewers reject a file whose
        # reserved space is smaller than its content plus header.
        header = struct.pack("<IIB", INTERNAL_HEADER_SIZE + len(content), len(content), flags)
        self.data += header + content
        struct.pack_into("<I", self.data, value_at, new_offset)
        struct.pack_into("<I", self.data, 12, len(self.data))
        self.files["|CTXOMAP"] = (new_offset, value_at)


def read_map_file(path):
    """[(number, topic name, page, title)] from MAP.txt."""
    wanted = []
    with open(path, encoding="utf-8") as lines:
        for line_number, line in enumerate(lines, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            fields = line.split(None, 3)
            if len(fields) < 4 or not fields[0].isdigit():
                raise HelpError(f"{path}:{line_number}: want \"number topic-name page title\"")
            wanted.append((int(fields[0]), fields[1], fields[2], fields[3]))
    if not wanted:
        raise HelpError(f"{path} names no topics")
    return wanted


def build_map(help_file, wanted):
    offsets = help_file.topic_offsets()
    by_number = {}
    for number, name, _, title in wanted:
        offset = offsets.get(topic_name_hash(name))
        if offset is None:
            raise HelpError(
                f'{help_file.name} has no topic named "{name}", which help context {number} '
                f'("{title}") needs: give that topic \\cfg{{winhelp-topic}}{{{name}}} in the help source'
            )
        by_number[number] = offset
    return by_number


def check_map(help_file, wanted):
    """Every wanted number leads to a topic of the wanted title."""
    numbers, titles = help_file.context_map(), help_file.titles()
    for number, name, _, title in wanted:
        if number not in numbers:
            raise HelpError(f"{help_file.name}: help context {number} is not in the map")
        found = titles.get(numbers[number])
        if found is None:
            raise HelpError(f"{help_file.name}: help context {number} leads to no topic's start")
        if found != title:
            raise HelpError(
                f'{help_file.name}: help context {number} (topic "{name}") opens "{found}", '
                f'not "{title}"'
            )
        print(f'help context {number} -> "{found}"')


def check_pages(chm_path, wanted):
    """The HTML Help file holds the page of every wanted number."""
    with open(chm_path, "rb") as f:
        pages = set(chm_names(f.read(), chm_path))
    for number, _, page, title in wanted:
        if "/" + page not in pages:
            raise HelpError(
                f'{chm_path} has no page "{page}", which help context {number} ("{title}") '
                f"opens (Halibut names a page after its section's title, without spaces)"
            )
        print(f'help context {number} -> page "{page}"')


def write_mapped(source, wanted, output, chm):
    with open(source, "rb") as f:
        help_file = HelpFile(f.read(), source)
    help_file.replace_context_map(build_map(help_file, wanted))
    # OUTPUT appears only once checked, so that a failed build leaves no
    # help file that a later build would take as up to date.
    unchecked = output + ".unchecked"
    try:
        with open(unchecked, "wb") as f:
            f.write(help_file.data)
        with open(unchecked, "rb") as f:
            check_map(HelpFile(f.read(), output), wanted)
        if chm:
            check_pages(chm, wanted)
        os.replace(unchecked, output)
    finally:
        if os.path.exists(unchecked):
            os.remove(unchecked)


def main(argv):
    checking = argv[1:2] == ["--check"]
    files = argv[2:] if checking else argv[1:]
    required = 2 if checking else 3  # then the .CHM, if given
    if len(files) not in (required, required + 1):
        print("\n".join(__doc__.strip().splitlines()[2:4]), file=sys.stderr)
        return 2
    chm = files[required] if len(files) > required else None
    try:
        wanted = read_map_file(files[1])
        if not checking:
            write_mapped(files[0], wanted, files[2], chm)
            return 0
        with open(files[0], "rb") as f:
            check_map(HelpFile(f.read(), files[0]), wanted)
        if chm:
            check_pages(chm, wanted)
        return 0
    except (HelpError, ChmError, OSError) as error:
        print(f"help-context-map: {error}", file=sys.stderr)
        return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
