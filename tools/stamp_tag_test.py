#!/usr/bin/env python3
"""The tag stamper on a real build of the program: a stamped file still verifies as signed and
its checksum is right; what the server must not stamp is refused with a message and no file.

    stamp_tag_test.py CorvaneSetup.exe
"""
import base64
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "harness"))
import signed_exe  # noqa: E402

STAMPER = HERE / "stamp_tag.py"
PROGRAM = None


def tag_of_size(base64_length):
    """A JSON object whose base64 text is exactly base64_length characters (a multiple of 4)."""
    padding = "x" * (base64_length // 4 * 3 - len('{"utm_source":""}'))
    tag = '{"utm_source":"%s"}' % padding
    assert len(base64.b64encode(tag.encode())) == base64_length
    return tag


class StampTag(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory(prefix="stamp-tag-test-")
        folder = Path(cls.work.name)
        cls.cert, key = signed_exe.make_signer(folder)
        cls.signed = folder / "signed.exe"
        signed_exe.sign(PROGRAM, cls.signed, cls.cert, key)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def stamp(self, source, tag):
        out = Path(self.work.name) / "out.exe"
        out.unlink(missing_ok=True)
        run = subprocess.run([sys.executable, str(STAMPER), str(source), str(out), tag],
                             capture_output=True, text=True, timeout=60)
        return run, out

    def verify(self, path):
        return subprocess.run(["osslsigncode", "verify", "-CAfile", str(self.cert), "-in", str(path)],
                              capture_output=True, text=True, timeout=60)

    def test_stamped_file_still_verifies_with_a_valid_checksum(self):
        run, out = self.stamp(self.signed, '{"host_prefix":"dev-","utm_source":"mail"}')
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertIn(b"<##TAGDATA##>" + base64.b64encode(b'{"host_prefix":"dev-","utm_source":"mail"}'),
                      out.read_bytes())
        verify = self.verify(out)
        self.assertEqual(verify.returncode, 0, verify.stdout + verify.stderr)
        self.assertNotIn("invalid PE checksum", verify.stdout + verify.stderr)

    def test_largest_tag_the_program_reads_is_stamped(self):
        run, out = self.stamp(self.signed, tag_of_size(8188))
        self.assertEqual(run.returncode, 0, run.stderr)
        self.assertEqual(self.verify(out).returncode, 0)

    def test_refusals_leave_no_file(self):
        stamped = Path(self.work.name) / "stamped.exe"
        stamped.write_bytes(self.stamp(self.signed, '{"utm_source":"a"}')[1].read_bytes())
        cases = [
            (PROGRAM, '{"utm_source":"a"}', "is not signed"),
            (stamped, '{"utm_source":"b"}', "already tagged"),
            (self.signed, tag_of_size(8192), "too large"),
            (self.signed, '["utm_source"]', "not a JSON object"),
            (self.signed, '{"utm_source":', "not JSON"),
        ]
        for source, tag, message in cases:
            with self.subTest(message):
                run, out = self.stamp(source, tag)
                self.assertEqual(run.returncode, 1)
                self.assertIn(message, run.stderr)
                self.assertFalse(out.exists())


if __name__ == "__main__":
    PROGRAM = Path(sys.argv.pop(1))
    unittest.main()
