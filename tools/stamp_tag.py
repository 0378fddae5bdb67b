#!/usr/bin/env python3
"""Stamps a download's attribution tag into a signed CorvaneSetup.exe, for the download server.

    stamp_tag.py SIGNED.exe OUT.exe '{"host_prefix":"dev-","utm_source":"newsletter"}'

The tag block ("<##TAGDATA##>", the base64 of the JSON text, "</##TAGDATA##>") goes right after
the Authenticode signature, at the 8-byte alignment (from the start of the certificate entry)
where the program looks for it. The certificate entry's length and the security directory's
size are extended over it and the PE checksum is recomputed; the signature's digest covers
neither, so the stamped file still verifies as signed.

Refused, with exit code 1 and a message, and no output file: an unsigned file, a file that is
already tagged (stamp the signed file as it was built, never a stamped one), a tag that is not
a JSON object, and a tag whose base64 text is longer than the program reads (TAG_TEXT_LIMIT).
"""
import argparse
import base64
import json
import struct
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import pe_image  # noqa: E402

START = b"<##TAGDATA##>"
END = b"</##TAGDATA##>"
# The program copies at most this much tag text (src/state/tag_block.h: TAG_BUFFER less its NUL).
TAG_TEXT_LIMIT = 8191


class Refused(Exception):
    pass


def tag_offset(image, table):
    """Where the program reads the tag: after the DER signature, 8-byte aligned in the entry."""
    if image[table + 8:table + 10] != b"\x30\x82":
        raise Refused("the signature is not a DER SEQUENCE with a two-byte length")
    der_length = struct.unpack_from(">H", image, table + 10)[0]
    return table + 12 + der_length, table + ((der_length + 19) & ~7)


def tag_block(tag_json):
    """The block for tag_json; Refused for a tag the program could not use."""
    try:
        tag = json.loads(tag_json)
    except ValueError as error:
        raise Refused(f"the tag is not JSON: {error}") from None
    if not isinstance(tag, dict):
        raise Refused("the tag is not a JSON object")
    length = len(base64.b64encode(tag_json.encode("utf-8")))
    if length > TAG_TEXT_LIMIT:
        raise Refused(f"the tag is too large: {length} base64 characters, the program reads {TAG_TEXT_LIMIT}")
    return block_of(tag_json)


def block_of(text):
    return START + base64.b64encode(text.encode("utf-8")) + END


def stamp(image, tag_json):
    """The stamped image; Refused for a file the server must not stamp or a tag it must not use."""
    return with_block(image, tag_block(tag_json))


def with_block(image, block):
    """The image with block stamped in; Refused for a file that is not signed or is already tagged."""
    try:
        checksum_at, directory_at = pe_image.layout(image)
    except pe_image.NotAnImage as error:
        raise Refused(f"not a Windows executable: {error}") from None
    table, size = pe_image.certificate_table(image)
    if table == 0 or size == 0:
        raise Refused("the executable is not signed")
    if table + size != len(image):
        raise Refused("the certificate table is not at the end of the file")
    signature_end, tag_at = tag_offset(image, table)
    if signature_end > len(image):
        raise Refused("the signature runs past the end of the file")
    if image[tag_at:tag_at + len(START)] == START:
        raise Refused("the executable is already tagged; stamp the signed file as it was built")
    stamped = bytearray(image[:signature_end])
    stamped += b"\0" * (tag_at - signature_end) + block
    stamped += b"\0" * (-(len(stamped) - table) % 8)
    entry_length = len(stamped) - table
    struct.pack_into("<I", stamped, table, entry_length)
    struct.pack_into("<I", stamped, directory_at + 4, entry_length)
    struct.pack_into("<I", stamped, checksum_at, pe_image.checksum(stamped, checksum_at))
    return bytes(stamped)


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("signed", type=Path, help="the signed executable")
    parser.add_argument("output", type=Path, help="where the stamped copy goes")
    parser.add_argument("tag_json", help="the tag: a JSON object of the attribution keys")
    args = parser.parse_args(argv)
    try:
        stamped = stamp(args.signed.read_bytes(), args.tag_json)
    except Refused as error:
        print(f"stamp_tag: {args.signed}: {error}", file=sys.stderr)
        return 1
    args.output.write_bytes(stamped)
    return 0


if __name__ == "__main__":
    sys.exit(main())
