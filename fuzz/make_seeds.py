#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<reader>/.

The seeds are committed; run this again only to change them:
    python3 fuzz/make_seeds.py
Each seed is a small valid input or one broken in one way, so that the fuzzer
starts next to every branch of the reader. Some HEX seeds are refused on
purpose (wrong_checksum.hex, missing_checksum.hex, trailing_junk.hex, ...).
"""
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

TRANSFER_KEY = [
    0x5A3C96E1, 0x1F0B7D24, 0xC4E2A859, 0x9D61F03B,
    0x37A8C5D2, 0xE05B1A6F, 0x6C9E3487, 0xB2174DF0,
    0x0D8AF369, 0x74C12E9B, 0xA9F6508C, 0x4B27D1E5,
    0xF3906C1A, 0x288E4BD7, 0x81D5A036, 0x5E0C79F8,
    0xC73B2E41, 0x12FA8D5C, 0x9B6470A3, 0x6DE1C92F,
    0x3045B7EA, 0xE8AD163C, 0x57C2F084, 0xAF19634D,
    0x0B7ED5B2, 0xD4538A17, 0x62B04CF9, 0x8EC7316A,
    0x19F4E8C3, 0xF56A0B2E, 0x436D9F75, 0xBA0827D1,
]


def write(reader, name, data):
    folder = os.path.join(HERE, "corpus", reader)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ------------------------------------------------------------ Intel HEX

def record(rtype, address, data, checksum=True):
    body = bytes([len(data), address >> 8, address & 0xFF, rtype]) + data
    line = ":" + body.hex().upper()
    if checksum:
        line += "%02X" % ((-sum(body)) & 0xFF)
    return line


def hex_file(lines, end="\n"):
    return (end.join(lines) + end).encode()


def hextobin_seeds():
    rnd = random.Random(1)
    code = bytes(rnd.randrange(256) for _ in range(64))
    ela = record(4, 0, b"\x08\x00")
    data = [record(0, 0x4000 + 16 * i, code[16 * i:16 * i + 16]) for i in range(4)]
    eof = record(1, 0, b"")
    write("hextobin", "valid.hex", hex_file([ela] + data + [eof]))
    write("hextobin", "valid_crlf.hex", hex_file([ela] + data + [eof], "\r\n"))
    write("hextobin", "lowercase.hex", hex_file([ela.lower()] + [d.lower() for d in data] + [eof]))
    write("hextobin", "boot_window.hex",
          hex_file([ela, record(0, 0x0000, code[:16]), record(0, 0x3FF8, code[:16]),
                    record(5, 0, b"\x08\x00\x01\x01"), eof]))
    write("hextobin", "no_end_record.hex", hex_file([ela] + data))
    write("hextobin", "after_end_record.hex", hex_file([ela, data[0], eof, "", "garbage"]))
    write("hextobin", "no_extended_address.hex", hex_file(data + [eof]))
    write("hextobin", "record_20_bytes.hex", hex_file([ela, record(0, 0x4000, code[:20]), eof]))
    write("hextobin", "record_26_bytes.hex", hex_file([ela, record(0, 0x4000, code[:26]), eof]))
    write("hextobin", "record_32_bytes.hex", hex_file([ela, record(0, 0x4000, code[:32]), eof]))
    write("hextobin", "blank_line.hex", hex_file([ela, "", data[0], eof]))
    write("hextobin", "no_colon.hex", hex_file([ela, data[0][1:] + "0", eof]))
    write("hextobin", "bad_count.hex", hex_file([ela, ":G" + data[0][2:], eof]))
    write("hextobin", "bad_address.hex", hex_file([ela, data[0][:3] + "X" + data[0][4:], eof]))
    write("hextobin", "bad_type.hex", hex_file([ela, data[0][:7] + "0Z" + data[0][9:], eof]))
    write("hextobin", "bad_data.hex", hex_file([ela, data[0][:11] + "QQ" + data[0][13:], eof]))
    write("hextobin", "count_past_line.hex", hex_file([ela, ":FF40000000" + "00" * 4, eof]))
    write("hextobin", "segment_address.hex", hex_file([record(2, 0, b"\x10\x00"), data[0], eof]))
    write("hextobin", "bad_extended_address.hex", hex_file([":020000040G00F4", data[0], eof]))
    write("hextobin", "wrong_checksum.hex", hex_file([ela, data[0][:-2] + "00", eof]))
    write("hextobin", "top_of_address_space.hex",
          hex_file([record(4, 0, b"\xFF\xFF"), record(0, 0xFFF8, code[:16]), eof]))
    write("hextobin", "empty.hex", b"")
    # Records of every length up to 255 bytes, segment addresses and the
    # checks on count, checksum and line end.
    long_code = bytes(rnd.randrange(256) for _ in range(255))
    write("hextobin", "record_255_bytes.hex", hex_file([ela, record(0, 0x4000, long_code), eof]))
    write("hextobin", "record_255_bytes_crlf.hex", hex_file([ela, record(0, 0x4000, long_code), eof], "\r\n"))
    write("hextobin", "empty_data_record.hex", hex_file([ela, record(0, 0x4000, b""), data[0], eof]))
    write("hextobin", "segment_then_linear.hex",
          hex_file([record(2, 0, b"\x10\x00"), data[0], ela, data[1], eof]))
    write("hextobin", "start_segment_address.hex", hex_file([ela, record(3, 0, b"\x00\x00\x01\x00"), data[0], eof]))
    write("hextobin", "end_record_with_data.hex", hex_file([ela, data[0], record(1, 0, b"\x00")]))
    write("hextobin", "extended_address_4_bytes.hex", hex_file([record(4, 0, b"\x08\x00\x00\x00"), data[0], eof]))
    write("hextobin", "start_address_2_bytes.hex", hex_file([ela, record(5, 0, b"\x08\x00"), data[0], eof]))
    write("hextobin", "missing_checksum.hex", hex_file([ela, data[0][:-2], eof]))
    write("hextobin", "trailing_white_space.hex", hex_file([ela + " \t", data[0] + "  ", eof]))
    write("hextobin", "trailing_junk.hex", hex_file([ela, data[0] + ";", eof]))
    write("hextobin", "line_too_long.hex", hex_file([ela, data[0] + " " * 1100, eof]))
    write("hextobin", "no_line_ends.hex", (" ".join([ela] + data * 30 + [eof])).encode())
    write("hextobin", "record_type_06.hex", hex_file([ela, record(6, 0, b""), data[0], eof]))


# ------------------------------------------------------- QDataStream items

def qstring(text):
    utf16 = text.encode("utf-16-be")
    return struct.pack(">I", len(utf16)) + utf16


def qbytearray(data):
    return struct.pack(">I", len(data)) + data


# ---------------------------------------------------------- upgrade files

UPG_HEADER = "Vt520 Upgrade File Header"
UPG_VERSION = "01"
IMAGE_SIZE = 0x40000


def region_sum(image, offset, size):
    words = struct.unpack_from("<%dI" % (size // 4 - 1), image, offset)
    return sum(words) & 0xFFFFFFFF


def encode(image):
    words = struct.unpack("<%dI" % (len(image) // 4), image)
    out = [(((w ^ TRANSFER_KEY[i % 32]) + TRANSFER_KEY[i % 32]) & 0xFFFFFFFF)
           for i, w in enumerate(words)]
    return struct.pack("<%dI" % len(out), *out)


def upgradefile_seeds():
    rnd = random.Random(2)
    image = bytearray(IMAGE_SIZE)
    image[0x4000:0x5000] = bytes(rnd.randrange(256) for _ in range(0x1000))
    image[0x20000:0x20800] = bytes(rnd.randrange(256) for _ in range(0x800))
    struct.pack_into("<I", image, 0x1FFFC, region_sum(image, 0x4000, 0x1C000))
    struct.pack_into("<I", image, 0x33FFC, region_sum(image, 0x20000, 0x14000))
    scrambled = encode(bytes(image))
    head = qstring(UPG_HEADER) + qstring(UPG_VERSION)
    valid = head + qbytearray(scrambled)
    assert len(valid) == 262210
    write("upgradefile", "valid.upg", valid)
    write("upgradefile", "wrong_header.upg", qstring("Vt520 Upgrade File") + qstring(UPG_VERSION))
    write("upgradefile", "wrong_version.upg", qstring(UPG_HEADER) + qstring("02"))
    write("upgradefile", "null_version.upg", qstring(UPG_HEADER) + struct.pack(">I", 0xFFFFFFFF))
    write("upgradefile", "odd_header_length.upg", struct.pack(">I", 51) + qstring(UPG_HEADER)[4:] + b"\0")
    write("upgradefile", "huge_header_length.upg", struct.pack(">I", 0xFFFFFFFE) + b"\0V\0t")
    write("upgradefile", "image_cut_short.upg", head + struct.pack(">I", IMAGE_SIZE) + scrambled[:4096])
    write("upgradefile", "image_too_small.upg", head + qbytearray(scrambled[:4096]))
    write("upgradefile", "image_length_huge.upg", head + struct.pack(">I", 0x7FFFFFFF) + b"\x5A" * 64)
    write("upgradefile", "image_null.upg", head + struct.pack(">I", 0xFFFFFFFF))
    write("upgradefile", "no_image.upg", head)
    write("upgradefile", "empty.upg", b"")


# -------------------------------------------------- programs and scenes

VERSION = "Version 01"
RECORD = 48


def scene_record(rnd):
    colours = bytes(rnd.randrange(256) for _ in range(36))
    rise, static = rnd.randrange(10000), rnd.randrange(10000)
    return colours + struct.pack("<III", rise, static, 0)


def lighting_seeds(reader, header, other_header, records, ext):
    rnd = random.Random(3 + records)
    table = b"".join(scene_record(rnd) for _ in range(records))
    size = len(table)
    head = qstring(header) + qstring(VERSION)
    write(reader, "valid." + ext, head + qbytearray(table))
    write(reader, "zero_table." + ext, head + qbytearray(bytes(size)))
    write(reader, "longer_payload." + ext, head + qbytearray(table + b"\x11" * 100))
    write(reader, "short_payload." + ext, head + qbytearray(table[:-1]))
    write(reader, "payload_cut_off." + ext, head + struct.pack(">I", size) + table[:size // 2])
    write(reader, "payload_count_huge." + ext, head + struct.pack(">I", 0xFFFFFFF0) + table)
    write(reader, "payload_null." + ext, head + struct.pack(">I", 0xFFFFFFFF))
    write(reader, "other_kind." + ext, qstring(other_header) + qstring(VERSION) + qbytearray(table))
    write(reader, "version_case." + ext, qstring(header) + qstring("version 01") + qbytearray(table))
    write(reader, "version_trailing_blank." + ext, qstring(header) + qstring("Version 01 ") + qbytearray(table))
    write(reader, "header_count_huge." + ext, struct.pack(">I", 0xFFFFFFFE) + qstring(header)[4:])
    write(reader, "empty." + ext, b"")


# ------------------------------------------------- serial descriptors

def descriptor(text, length=None):
    body = text.encode("utf-16-le")
    total = 2 + len(body)
    return bytes([total if length is None else length, 3]) + body


def serialstring_seeds():
    write("serialstring", "application.bin", descriptor("VT5200001"))
    write("serialstring", "bootloader.bin", descriptor("BOOT00001"))
    write("serialstring", "zero_unit_inside.bin", descriptor("VT52\0" + "0001"))
    write("serialstring", "length_beyond_received.bin", descriptor("VT5200001", 200))
    write("serialstring", "length_shorter.bin", descriptor("VT5200001", 8))
    write("serialstring", "odd_length.bin", descriptor("VT5200001", 9))
    write("serialstring", "header_only.bin", bytes([2, 3]))
    write("serialstring", "one_byte.bin", bytes([18]))
    write("serialstring", "longest.bin", descriptor("\u0141" + "9" * 125, 254) + b"\0\0")
    write("serialstring", "empty.bin", b"")


if __name__ == "__main__":
    hextobin_seeds()
    upgradefile_seeds()
    lighting_seeds("programsfile", "Vt410 Programs File", "Vt410 Scenes File", 160, "pgm")
    lighting_seeds("scenesfile", "Vt410 Scenes File", "Vt410 Programs File", 8, "scn")
    serialstring_seeds()
