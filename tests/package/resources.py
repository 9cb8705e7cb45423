#!/usr/bin/env python3
"""The resources Windows reads from Quorvane.scr, read from the PE file's own resource section,
and what they must hold: the version record, the name the screen-saver settings list (string 1)
and the saver's one icon, 32 x 32 in 256 colours.

  tests/package/resources.py <Quorvane.scr>     prints each failure; exit status 1 on any

check-executable runs it on a build, check-archive uses its functions on the archive's programs.
"""
import struct
import sys
from pathlib import Path

RT_ICON, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 6, 14, 16
SAVER_ICON = 100  # IDI_SAVER, the icon the saver window's class is given
NAME_STRING = 1  # the name Windows' screen-saver settings show for a .scr
# The version record as installers and people's inventories read it: fixed values, not the
# dialog's title line (whose "0.30" is a caption of its own).
RECORD = {
    "ProductName": "Quorvane",
    "InternalName": "Quorvane",
    "OriginalFilename": "Quorvane.scr",
    "FileVersion": "1.00",
    "ProductVersion": "1.00",
}
RECORD_NUMBERS = (1, 0, 0, 0)
JAPANESE = (0x0411, 932)  # language and code page: the string table "041103a4"


class NotAProgram(Exception):
    pass


def resources(data):
    """{(type, name, language): bytes} of a PE file; names and types that are numbers as ints."""
    if data[:2] != b"MZ":
        raise NotAProgram("no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise NotAProgram("no PE header")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic not in (0x10B, 0x20B):
        raise NotAProgram(f"unknown optional header {magic:#x}")
    directories = optional + (96 if magic == 0x10B else 112)  # PE32, PE32+
    root_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]  # the resource directory
    table = optional + optional_size

    def offset_of(rva):
        for i in range(sections):
            size, address, raw_size, raw = struct.unpack_from("<4I", data, table + 40 * i + 8)
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise NotAProgram(f"address {rva:#x} lies in no section")

    root = offset_of(root_rva)

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            if name & 0x80000000:
                at = root + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, at)[0]
                name = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield name, target

    found = {}
    for kind, names in entries(root):
        for name, languages in entries(root + (names & 0x7FFFFFFF)):
            for language, leaf in entries(root + (languages & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", data, root + leaf)
                start = offset_of(rva)
                found[(kind, name, language)] = data[start:start + size]
    return found


def of_kind(found, kind):
    return {name: value for (k, name, _), value in found.items() if k == kind}


def _align(offset):
    return (offset + 3) & ~3


def _version_block(data, offset):
    """(key, value bytes or text, children) of one block of a version record."""
    length, value_length, text = struct.unpack_from("<3H", data, offset)
    end = min(offset + length, len(data))
    key_end = offset + 6
    while key_end + 1 < end and data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[offset + 6:key_end].decode("utf-16-le")
    at = _align(key_end + 2)
    value = data[at:at + (2 * value_length if text else value_length)]
    at = _align(at + len(value))
    if text:
        value = value.decode("utf-16-le").rstrip("\0")
    children = []
    while length and at + 6 <= end:
        child_length = struct.unpack_from("<H", data, at)[0]
        if child_length == 0:
            break
        children.append(_version_block(data, at))
        at = _align(at + child_length)
    return key, value, children


def version_record(found):
    """The version record: {"numbers": (file, product), "tables": {table: {name: value}},
    "translations": [(language, code page)]}; None when the program has none."""
    records = of_kind(found, RT_VERSION)
    if len(records) != 1:
        return None
    key, fixed, children = _version_block(next(iter(records.values())), 0)
    if key != "VS_VERSION_INFO" or len(fixed) < 52 or fixed[:4] != struct.pack("<I", 0xFEEF04BD):
        return None
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<4I", fixed, 8)
    numbers = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    record = {"numbers": (numbers(file_ms, file_ls), numbers(product_ms, product_ls)),
              "tables": {}, "translations": []}
    for key, _, blocks in children:
        for block_key, value, strings in blocks:
            if key == "StringFileInfo":
                record["tables"][block_key] = {name: text for name, text, _ in strings}
            elif key == "VarFileInfo" and block_key == "Translation":
                record["translations"] += [struct.unpack_from("<HH", value, i)
                                           for i in range(0, len(value) - 3, 4)]
    return record


def string_resource(found, number):
    """String number of the string table (blocks of 16, each string prefixed by its length)."""
    for block in [v for (k, name, _), v in found.items() if k == RT_STRING and
                  name == number // 16 + 1]:
        at = 0
        for _ in range(number % 16):
            at += 2 + 2 * struct.unpack_from("<H", block, at)[0]
        length = struct.unpack_from("<H", block, at)[0]
        return block[at + 2:at + 2 + 2 * length].decode("utf-16-le")
    return None


def record_failures(found):
    record = version_record(found)
    if record is None:
        return ["no version record"]
    failures = []
    if record["numbers"] != (RECORD_NUMBERS, RECORD_NUMBERS):
        failures.append(f"version numbers (file, product) {record['numbers']}, not "
                        f"{RECORD_NUMBERS}")
    if record["translations"] != [JAPANESE]:
        failures.append(f"version record languages {record['translations']}, not {[JAPANESE]}")
    table = f"{JAPANESE[0]:04x}{JAPANESE[1]:04x}"
    if list(record["tables"]) != [table]:
        failures.append(f"version string tables {list(record['tables'])}, not [{table}]")
    strings = record["tables"].get(table, {})
    for name, value in RECORD.items():
        if strings.get(name) != value:
            failures.append(f"version record's {name} is {strings.get(name)!r}, not {value!r}")
    return failures


def icon_failures(found):
    groups = of_kind(found, RT_GROUP_ICON)
    if list(groups) != [SAVER_ICON]:
        return [f"icon groups {list(groups)}, not the saver's alone ({SAVER_ICON})"]
    group = groups[SAVER_ICON]
    count = struct.unpack_from("<H", group, 4)[0]
    if count != 1:
        return [f"the saver's icon holds {count} images, not one"]
    width, height, colours, _, _, bits, _, image = struct.unpack_from("<4BHHIH", group, 6)
    failures = []
    # 0 stands for 256 in the group's one-byte fields.
    if (width or 256, height or 256, colours, bits) != (32, 32, 0, 8):
        failures.append(f"the icon's image is listed as {width} x {height}, {colours} colours, "
                        f"{bits} bits a pixel")
    picture = of_kind(found, RT_ICON).get(image, b"")
    if len(picture) < 40:
        return failures + [f"the icon's image {image} is missing"]
    _, dib_width, dib_height, _, dib_bits, _, _, _, _, used = struct.unpack_from("<IiiHHIIiiI",
                                                                                 picture)
    # A DIB of an icon is twice as high as the icon: its picture, then its mask.
    if (dib_width, dib_height, dib_bits) != (32, 64, 8) or used not in (0, 256):
        failures.append(f"the icon's image is {dib_width} x {dib_height // 2}, {dib_bits} bits a "
                        f"pixel, {used} colours")
    return failures


def name_failures(found):
    name = string_resource(found, NAME_STRING)
    return [] if name == "Quorvane" else [f"string {NAME_STRING} is {name!r}, not 'Quorvane'"]


def main():
    try:
        found = resources(Path(sys.argv[1]).read_bytes())
    except (NotAProgram, struct.error) as error:
        print(f"FAIL: {sys.argv[1]}: {error}")
        return 1
    failures = record_failures(found) + name_failures(found) + icon_failures(found)
    for failure in failures:
        print(f"FAIL: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
