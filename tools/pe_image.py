#!/usr/bin/env python3
"""The few places of a PE image (PE32 or PE32+) that the release tools write: the checksum
field and the security directory (the certificate table of an Authenticode signature).

    pe_image.py checksum FILE   writes FILE's PE checksum, computed from its bytes

The linker leaves the checksum zero; a release build sets it so that two builds of the same
sources agree byte for byte and the field means what Windows expects of it.
"""
import struct
import sys
from pathlib import Path

SECURITY_DIRECTORY = 4


class NotAnImage(ValueError):
    pass


def layout(image):
    """Offsets of the checksum field and of the security directory entry."""
    if image[:2] != b"MZ" or len(image) < 0x40:
        raise NotAnImage("not an MZ executable")
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        raise NotAnImage("no PE header")
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    count_at = {0x10B: optional + 92, 0x20B: optional + 108}.get(magic)
    if count_at is None:
        raise NotAnImage(f"unknown optional header magic 0x{magic:x}")
    if struct.unpack_from("<I", image, count_at)[0] <= SECURITY_DIRECTORY:
        raise NotAnImage("no security directory entry")
    return optional + 64, count_at + 4 + 8 * SECURITY_DIRECTORY


def checksum(image, checksum_at):
    """The PE checksum: 16-bit one's-complement-style sum of the words, the field counted as
    zero, plus the file length."""
    data = bytearray(image)
    data[checksum_at:checksum_at + 4] = b"\0\0\0\0"
    if len(data) % 2:
        data += b"\0"
    total = 0
    for (word,) in struct.iter_unpack("<H", data):
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    total = (total + (total >> 16)) & 0xFFFF
    return (total + len(image)) & 0xFFFFFFFF


def with_checksum(image):
    """The image with its checksum field set from its bytes."""
    checksum_at, _ = layout(image)
    result = bytearray(image)
    struct.pack_into("<I", result, checksum_at, checksum(result, checksum_at))
    return bytes(result)


def certificate_table(image):
    """(offset, size) of the certificate table; (0, 0) for an unsigned image."""
    _, directory_at = layout(image)
    return struct.unpack_from("<II", image, directory_at)


def main(argv):
    if len(argv) != 2 or argv[0] != "checksum":
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    path = Path(argv[1])
    try:
        path.write_bytes(with_checksum(path.read_bytes()))
    except (OSError, NotAnImage) as error:
        print(f"pe_image: {path}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
