#!/usr/bin/env python3
"""Start-up to the first screen: milliseconds from starting `CorvaneSetup.exe /SKIPWELCOME` (the
x86-64 twin with the WebView2 test double, under Wine) to its ready event, which it sets once
the page is navigated and the window shown; beside a bare Win32 window program started and
timed the same way in the same run. Median of --runs each, with the breakdown of the setup
program's start read from its logs' time stamps: for each landmark line, its median offset from
the first log line of the run, and before them the time from the start to that first line.
Also the sizes of the executables and of the embedded resources 101 (LZMA-packed loader) and 102
(page bundle ZIP). No pass/fail threshold.

--first-click times the plain start instead, whose first screen is the consent page: what a
person waits for after the double-click, with the session-data request, the probes of what is
installed and the run event's delivery on the way.

--build win32 measures the 32-bit build with the i686 test double instead (under Wine through
the emulator where the machine runs no 32-bit code natively). --against EXE times another build
of the program (an older commit's, say) in the same runs, for a before and after.

    cmake --preset win64 && cmake --build --preset win64 && bench/startup/run.py [--runs 5]
"""
import argparse
import datetime
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
# The build measured: its label, its exe, and the compiler of a bare window of the same kind.
# The emulated 32-bit runs take about a minute each, so they are given ten before they count as stalled.
MEASURED = {
    "win64": ("x86-64 twin, test double", BUILD / "CorvaneSetup.exe", "x86_64-w64-mingw32-g++-posix", 120),
    "win32": ("32-bit, i686 test double", REPO / "build" / "win32" / "test-double" / "CorvaneSetup.exe",
              "i686-w64-mingw32-g++-posix", 600),
}
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


# Where the start goes, as the logs tell it: (label, the line that ends the phase).
LANDMARKS = [
    ("launched (first log line)", r"=== Corvane Installer .* launched"),
    ("state initialized (after ready: gathered once the window shows)", r"\] State initialized$"),
    ("mode UI", r"\] Mode: UI"),
    ("consent window begun (its probes done)", r"consent_webview: showing WebView2 consent screen"),
    ("page bundle opened", r"UI pages served from memory"),
    ("screen started (loader written, environment asked)", r"Screen start: environment requested"),
    ("loader written", r"Extracted WebView2Loader\.dll"),
    ("environment created", r"WebView2 environment created"),
    ("controller created", r"WebView2 controller created"),
    ("ready (page navigated, window shown)", r"Screen ready"),
]
STAMP = re.compile(r"^(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3})Z ")


def log_offsets(temp):
    """Each landmark's milliseconds after the run's first log line, from all its logs."""
    stamped = []
    for log in temp.glob("Corvane.*.log"):
        for line in log.read_text(errors="replace").splitlines():
            match = STAMP.match(line)
            if match:
                stamped.append((datetime.datetime.fromisoformat(match.group(1)), line))
    if not stamped:
        return {}
    stamped.sort(key=lambda item: item[0])
    first = stamped[0][0]
    offsets = {}
    waits = [int(m.group(1)) for _, line in stamped for m in [re.search(r"waited (\d+) ms", line)] if m]
    if waits:
        offsets["waited"] = float(waits[0])
    for label, pattern in LANDMARKS:
        for when, line in stamped:
            if re.search(pattern, line):
                offsets[label] = (when - first).total_seconds() * 1000
                break
    return offsets


def print_breakdown(totals, runs_offsets):
    """The median offset of each landmark seen in every run, in the order they came."""
    medians = {}
    for label, _ in LANDMARKS:
        values = [offsets[label] for offsets in runs_offsets if label in offsets]
        if len(values) == len(runs_offsets) and values:
            medians[label] = statistics.median(values)
    if not medians:
        print("  (no log lines found)")
        return
    last = max(medians.values())
    print(f"  {'start to first log line':66} {statistics.median(totals) - last:8.1f}   (total minus the logged part)")
    previous = 0.0
    for label, offset in sorted(medians.items(), key=lambda item: item[1]):
        print(f"  {label:66} {offset:8.1f}   +{offset - previous:.1f}")
        previous = offset
    waits = [offsets["waited"] for offsets in runs_offsets if "waited" in offsets]
    if waits:
        print(f"  {'the window waited for the pages':66} {statistics.median(waits):8.1f}")


def time_to_ready(prefix, env, program, args, wait_s=120):
    """Milliseconds from CreateProcess to the ready event, measured inside Wine by the waiter."""
    out = prefix / "drive_c" / "users" / USER / "Temp" / "ready.txt"
    out.unlink(missing_ok=True)
    subprocess.run([prefixes.WINE64, str(WAITER), "CorvaneInstallerUIReady", str(wait_s * 1000),
                    f"C:\\users\\{USER}\\Temp\\ready.txt", program, *args], env=env, timeout=wait_s + 180,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    text = out.read_text() if out.exists() else "(no output)"
    match = re.match(r"signaled ms=([\d.]+)", text)
    return float(match.group(1)) if match else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--build", choices=sorted(MEASURED), default="win64")
    parser.add_argument("--against", type=Path, help="another CorvaneSetup.exe timed in the same runs")
    parser.add_argument("--first-click", action="store_true", help="the plain start to the consent screen")
    options = parser.parse_args()
    args = [] if options.first_click else ["/SKIPWELCOME"]
    shown = "CorvaneSetup.exe (first click)" if options.first_click else "CorvaneSetup.exe /SKIPWELCOME"
    kind, exe, compiler, wait_s = MEASURED[options.build]
    for needed in (exe, WAITER):
        if not needed.is_file():
            sys.exit(f"{needed} missing: build the {options.build} preset first")

    prefix = prefixes.fresh_copy("bench-startup")
    drive = prefix / "drive_c" / "bench"
    drive.mkdir(parents=True, exist_ok=True)
    shutil.copy2(exe, drive / "CorvaneSetup.exe")
    if options.against:
        (drive / "against").mkdir()
        shutil.copy2(options.against, drive / "against" / "CorvaneSetup.exe")
    temp = prefix / "drive_c" / "users" / USER / "Temp"
    subprocess.run([compiler, "-O2", "-municode", "-mwindows", "-static",
                    str(Path(__file__).with_name("bare_window.cpp")), "-o", str(drive / "bare_window.exe")],
                   check=True, timeout=300)
    xvfb = Xvfb()
    try:
        env = prefixes.wine_env(prefix, {"DISPLAY": xvfb.display, "http_proxy": CLOSED_PROXY})
        setup, bare, against, runs_offsets, against_offsets, stalled = [], [], [], [], [], []

        def timed(program, args, totals):
            """One run into totals; a run that never got ready is counted as stalled instead."""
            ms = time_to_ready(prefix, env, program, args, wait_s)
            if ms is None:
                stalled.append(program)
            else:
                totals.append(ms)
            return ms is not None

        def setup_run(program, totals, offsets):
            for log in temp.glob("Corvane.*.log"):
                log.unlink()
            if timed(program, args, totals):
                offsets.append(log_offsets(temp))

        timed(r"C:\bench\bare_window.exe", [], [])  # warms Wine's own start-up once
        for _ in range(options.runs):
            setup_run(r"C:\bench\CorvaneSetup.exe", setup, runs_offsets)
            timed(r"C:\bench\bare_window.exe", [], bare)
            if options.against:
                setup_run(r"C:\bench\against\CorvaneSetup.exe", against, against_offsets)
    finally:
        xvfb.stop()
        prefixes.stop_wineserver(prefix)
        shutil.rmtree(prefix, ignore_errors=True)

    if stalled:
        print(f"stalled (no ready event within {wait_s} s), left out: {', '.join(stalled)}")
    if not setup or not bare:
        sys.exit("no complete run to compare")
    ratio = statistics.median(setup) / statistics.median(bare)
    print(f"start to ready event, median of the runs (ms), {kind}:")
    print(f"  {shown:31} {statistics.median(setup):8.1f}   runs {sorted(setup)}")
    print(f"  bare Win32 window               {statistics.median(bare):8.1f}   runs {sorted(bare)}")
    print(f"  ratio                           {ratio:8.2f}")
    if against:
        print(f"  --against {options.against.name:21} {statistics.median(against):8.1f}   runs {sorted(against)}"
              f"   ratio {statistics.median(against) / statistics.median(bare):.2f}")
    print("breakdown of CorvaneSetup.exe's start (ms after its first log line, median):")
    print_breakdown(setup, runs_offsets)
    if against:
        print(f"breakdown of --against {options.against.name}:")
        print_breakdown(against, against_offsets)
    print("sizes (bytes):")
    for label, path in SIZES.items():
        print(f"  {label:66} {path.stat().st_size if path.is_file() else '(not built)':>10}")


if __name__ == "__main__":
    main()
