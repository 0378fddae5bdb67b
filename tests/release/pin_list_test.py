#!/usr/bin/env python3
"""The publisher pin list as configure reads it (cmake/pin_list.cmake), on the installed CMake:
exactly 64 hex digits per entry, several separated by ";"; anything else stops configure with a
message naming the entry."""
import subprocess
import sys
from pathlib import Path

CHECK = Path(__file__).resolve().parent / "pin_list_check.cmake"
PIN = "0123456789abcdef" * 4
UPPER = "FEDCBA9876543210" * 4

CASES = [  # (CORVANE_PUBLISHER_KEY_SHA256, pins read, or None for a configure error)
    (PIN, PIN),
    (f"{PIN};{UPPER}", f"{PIN};{UPPER.lower()}"),
    ("", ""),
    (PIN[:63], None),
    (PIN + "0", None),
    ("g" + PIN[1:], None),
    (f"{PIN};{PIN[:63]}", None),
    (f"{PIN},{PIN}", None),
]


def main():
    failures = []
    for given, expected in CASES:
        run = subprocess.run(["cmake", f"-DPINS={given}", "-P", str(CHECK)], capture_output=True, text=True, timeout=60)
        if expected is None:
            ok = run.returncode != 0 and "is not 64 hexadecimal digits" in " ".join(run.stderr.split())
        else:
            ok = run.returncode == 0 and f"pins: {expected}\n" in run.stderr
        if not ok:
            failures.append(f"{given!r}: exit {run.returncode}, {run.stderr.strip()!r}")
    print("\n".join(failures) or f"{len(CASES)} cases passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
