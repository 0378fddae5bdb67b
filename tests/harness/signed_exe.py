"""Signed copies of the program for the scenarios and tests of the tag stamper
(tools/stamp_tag.py): signed with a throw-away self-signed certificate made here, and stamped
the way the download server stamps a download."""
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))
import pe_image  # noqa: E402
import stamp_tag  # noqa: E402


def make_signer(folder, subject="/CN=Corvane Test Signing"):
    """(certificate, key) PEM files of a throw-away self-signed code-signing certificate."""
    key, cert = Path(folder) / "signer.key", Path(folder) / "signer.pem"
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", str(key), "-out",
                    str(cert), "-days", "2", "-subj", subject, "-addext", "extendedKeyUsage=codeSigning"],
                   check=True, capture_output=True, timeout=120)
    return cert, key


def sign(source, target, cert, key):
    subprocess.run(["osslsigncode", "sign", "-certs", str(cert), "-key", str(key), "-h", "sha256",
                    "-in", str(source), "-out", str(target)], check=True, capture_output=True, timeout=120)


def signed_and_stamped(source, target, tag_json, hostile=False):
    """target: source signed by a throw-away signer, then stamped with tag_json. A hostile tag
    is stamped whatever it holds, as anyone re-tagging a download could (never by our tool)."""
    with tempfile.TemporaryDirectory(prefix="signed-exe-") as work:
        signed = Path(work) / "signed.exe"
        sign(source, signed, *make_signer(work))
        image = signed.read_bytes()
        stamped = (stamp_tag.with_block(image, stamp_tag.block_of(tag_json)) if hostile
                   else stamp_tag.stamp(image, tag_json))
        Path(target).write_bytes(stamped)


def shift_tag(image, shift):
    """A stamped image with its tag block moved shift bytes (a multiple of 8) further on, off
    the place the program reads it."""
    checksum_at, directory_at = pe_image.layout(image)
    table, _ = pe_image.certificate_table(image)
    _, tag_at = stamp_tag.tag_offset(image, table)
    moved = bytearray(image[:tag_at]) + b"\0" * shift + image[tag_at:]
    struct.pack_into("<I", moved, table, len(moved) - table)
    struct.pack_into("<I", moved, directory_at + 4, len(moved) - table)
    return pe_image.with_checksum(bytes(moved))
