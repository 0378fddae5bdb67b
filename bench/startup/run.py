#!/usr/bin/env python3
"""Start-up to the first screen: milliseconds from starting `CorvaneSetup.exe /SKIPWELCOME` (the
x86-64 twin with the WebView2 test double, under Wine) to its ready event, which it sets once
the page is navigated and the window shown; beside a bare Win32 window program started and
timed the same way in the same run. Median of --runs each. Also the sizes of the executables
and of the embedded resources 101 (LZMA-packed loader) and 102 (page bundle ZIP). No pass/fail
threshold.

    cmake --preset win64 && cmake --build --preset win64 && bench/startup/run.py [--runs 5]
"""
import argparse
import re
import shutil
import statistics
import subprocess
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "harness"))
import prefix as prefixes  # noqa: E402
from scenario import CLOSED_PROXY, USER, Xvfb  # noqa: E402

BUILD = REPO / "build" / "win64"
WAITER = BUILD / "tests" / "harness" / "win" / "ready_waiter.exe"
SIZES = {
    "CorvaneSetup.exe (x86-64 twin, test double as 101)": BUILD / "CorvaneSetup.exe",
    "CorvaneSetup.exe (32-bit product)": REPO / "build" / "win32" / "CorvaneSetup.exe",
    "CorvaneSetup.exe (32-bit, i686 test double as 101)": REPO / "build" / "win32" / "test-double" / "CorvaneSetup.exe",
    "resource 101, x86-64 test double (LZMA)": BUILD / "resources" / "webview2_fake.lzma",
    "  the same unpacked (WebView2Loader.dll)": BUILD / "webview2_fake" / "WebView2Loader.dll",
    "resource 101, i686 test double (LZMA)": REPO / "build" / "win32" / "resources" / "webview2_fake.lzma",
    "resource 101, release loader (LZMA)": REPO / "build" / "win32" / "resources" / "webview2_loader.lzma",
    "resource 102, page bundle (ZIP)": BUILD / "ui-bundle" / "ui_bundle.zip",
}


def time_to_ready(prefix, env, program, args):
    """Milliseconds from CreateProcess to the ready event, measured inside Wine by the waiter."""
    out = prefix / "drive_c" / "users" / USER / "Temp" / "ready.txt"
    out.unlink(missing_ok=True)
    subprocess.run([prefixes.WINE64, str(WAITER), "CorvaneInstallerUIReady", "120000",
                    f"C:\\users\\{USER}\\Temp\\ready.txt", program, *args], env=env, timeout=300,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    text = out.read_text() if out.exists() else "(no output)"
    match = re.match(r"signaled ms=([\d.]+)", text)
    if not match:
        sys.exit(f"{program}: no ready event ({text.strip()})")
    return float(match.group(1))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    options = parser.parse_args()
    for needed in (BUILD / "CorvaneSetup.exe", WAITER):
        if not needed.is_file():
            sys.exit(f"{needed} missing: build the win64 preset first")

    prefix = prefixes.fresh_copy("bench-startup")
    drive = prefix / "drive_c" / "bench"
    drive.mkdir(parents=True, exist_ok=True)
    shutil.copy2(BUILD / "CorvaneSetup.exe", drive / "CorvaneSetup.exe")
    subprocess.run(["x86_64-w64-mingw32-g++-posix", "-O2", "-municode", "-mwindows", "-static",
                    str(Path(__file__).with_name("bare_window.cpp")), "-o", str(drive / "bare_window.exe")],
                   check=True, timeout=300)
    xvfb = Xvfb()
    try:
        env = prefixes.wine_env(prefix, {"DISPLAY": xvfb.display, "http_proxy": CLOSED_PROXY})
        setup, bare = [], []
        time_to_ready(prefix, env, r"C:\bench\bare_window.exe", [])  # warms Wine's own start-up once
        for _ in range(options.runs):
            setup.append(time_to_ready(prefix, env, r"C:\bench\CorvaneSetup.exe", ["/SKIPWELCOME"]))
            bare.append(time_to_ready(prefix, env, r"C:\bench\bare_window.exe", []))
    finally:
        xvfb.stop()
        prefixes.stop_wineserver(prefix)
        shutil.rmtree(prefix, ignore_errors=True)

    print(f"start to ready event, median of {options.runs} (ms):")
    print(f"  CorvaneSetup.exe /SKIPWELCOME   {statistics.median(setup):8.1f}   runs {sorted(setup)}")
    print(f"  bare Win32 window               {statistics.median(bare):8.1f}   runs {sorted(bare)}")
    print("sizes (bytes):")
    for label, path in SIZES.items():
        print(f"  {label:52} {path.stat().st_size if path.is_file() else '(not built)':>10}")


if __name__ == "__main__":
    main()
