#!/usr/bin/env python3
"""Wine prefixes for the tests: one pristine 64-bit prefix per test run (reporting
Windows 10), copied fresh for each scenario.

Run as a script, `prefix.py NAME` prints the path of a ready copy called NAME (made once
and reused: the Windows-layer test executables share it); `prefix.py --pristine` makes
the pristine prefix only.
"""
import fcntl
import os
import shutil
import subprocess
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
WINE_ROOT = Path(os.environ.get("CORVANE_WINE_ROOT", REPO / "build" / "wine"))
PRISTINE = WINE_ROOT / "pristine"
WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
BOOT_TIMEOUT = 900  # the 32-bit half of the prefix is set up through an emulator here


def wine_env(prefix, extra=None):
    env = dict(os.environ)
    env.update({"WINEPREFIX": str(prefix), "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="})
    env.pop("DISPLAY", None)
    if extra:
        env.update(extra)
    return env


def run_wine(prefix, args, timeout=120, extra_env=None, check=True):
    return subprocess.run([WINE64, *args], env=wine_env(prefix, extra_env), timeout=timeout, check=check,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def stop_wineserver(prefix):
    env = wine_env(prefix)
    subprocess.run([WINESERVER, "-k"], env=env, timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    subprocess.run([WINESERVER, "-w"], env=env, timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class _Lock:
    def __init__(self, name):
        WINE_ROOT.mkdir(parents=True, exist_ok=True)
        self.path = WINE_ROOT / f".{name}.lock"

    def __enter__(self):
        self.fd = open(self.path, "w")
        fcntl.flock(self.fd, fcntl.LOCK_EX)
        return self

    def __exit__(self, *exc):
        fcntl.flock(self.fd, fcntl.LOCK_UN)
        self.fd.close()


def _make_pristine():
    tmp = WINE_ROOT / "pristine.tmp"
    shutil.rmtree(tmp, ignore_errors=True)
    env = wine_env(tmp, {"WINEARCH": "win64"})
    subprocess.run([WINE64, "wineboot", "-i"], env=env, timeout=BOOT_TIMEOUT, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    # Report Windows 10, and skip window-manager round trips that cost ~2 s per hide/destroy.
    run_wine(tmp, ["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", "win10", "/f"])
    run_wine(tmp, ["reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/d", "N", "/f"])
    stop_wineserver(tmp)
    (tmp / ".ready").write_text("ok\n")
    shutil.rmtree(PRISTINE, ignore_errors=True)
    tmp.rename(PRISTINE)


def ensure_pristine():
    with _Lock("pristine"):
        if not (PRISTINE / ".ready").exists():
            _make_pristine()
    return PRISTINE


def fresh_copy(name):
    """A new copy of the pristine prefix (any earlier copy of that name is replaced)."""
    ensure_pristine()
    dest = WINE_ROOT / "prefixes" / name
    if dest.exists():
        stop_wineserver(dest)
        shutil.rmtree(dest)
    dest.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["cp", "-a", str(PRISTINE), str(dest)], check=True)
    return dest


def shared_copy(name):
    """A copy made once per test run and then reused."""
    with _Lock(name):
        dest = WINE_ROOT / "prefixes" / name
        if not (dest / ".ready").exists():
            fresh_copy(name)
        return dest


if __name__ == "__main__":
    if len(sys.argv) == 2 and sys.argv[1] == "--pristine":
        print(ensure_pristine())
    elif len(sys.argv) == 2:
        print(shared_copy(sys.argv[1]))
    else:
        sys.exit("usage: prefix.py --pristine | NAME")
