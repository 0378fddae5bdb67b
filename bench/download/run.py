#!/usr/bin/env python3
"""Download throughput: the program's downloader (x86-64 twin, under Wine) against the vendor
stand-in on loopback for a 256 MiB package, and curl fetching the same file from the same
server in the same run. Prints both throughputs and their ratio; no pass/fail threshold.

    cmake --preset win64 && cmake --build --preset win64 && bench/download/run.py [--mib 256] [--runs 3]
"""
import argparse
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "fixtures" / "vendor"))
sys.path.insert(0, str(REPO / "tests" / "harness"))
import prefix as prefixes  # noqa: E402
from vendor import Vendor, windows_path  # noqa: E402

BUILD = REPO / "build" / "win64"
WIN_LIBS = ["-lole32", "-loleaut32", "-luuid", "-lshell32", "-luser32", "-lgdi32", "-ladvapi32", "-lwinhttp",
            "-lbcrypt", "-lwtsapi32", "-luserenv", "-lshlwapi", "-lversion", "-lcrypt32"]


def build_bench_exe(out):
    libs = [BUILD / "libcorvane_win.a", BUILD / "libcorvane_core.a"]
    for lib in libs:
        if not lib.is_file():
            sys.exit(f"{lib} missing: build the win64 preset first")
    subprocess.run(["x86_64-w64-mingw32-g++-posix", "-O2", "-std=c++20", "-D__USE_MINGW_ANSI_STDIO=1",
                    "-I", str(REPO / "src"), "-I", str(BUILD / "generated"), str(Path(__file__).with_name(
                        "bench_download.cpp")), "-o", str(out), *map(str, libs), *WIN_LIBS,
                    "-static", "-static-libgcc", "-static-libstdc++"], check=True, timeout=300)


def run_program(exe, url, dest, proxy, prefix):
    env = prefixes.wine_env(prefix, {"http_proxy": proxy})
    proc = subprocess.run([prefixes.WINE64, str(exe), url, dest], env=env, capture_output=True, text=True,
                          timeout=600)
    fields = dict(item.split("=") for item in proc.stdout.split())
    if fields.get("result") != "0":
        sys.exit(f"program download failed: {proc.stdout} {proc.stderr}")
    return int(fields["bytes"]), float(fields["ms"]) / 1000


def run_curl(url, proxy, dest):
    started = time.monotonic()
    subprocess.run(["curl", "-sS", "--fail", "-x", proxy, "-o", dest, url], check=True, timeout=600)
    seconds = time.monotonic() - started
    size = os.path.getsize(dest)
    os.unlink(dest)
    return size, seconds


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mib", type=int, default=256)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="bench-download-") as tmp:
        tmp = Path(tmp)
        exe = tmp / "bench_download.exe"
        build_bench_exe(exe)
        prefix = prefixes.shared_copy("bench")
        with Vendor(tmp / "vendor", tls_enabled=False, lifetime=1800) as vendor:
            package = vendor.files / "Corvane-Installer-win-x64-latest.msi"
            with open(package, "wb") as out:
                block = os.urandom(1 << 20)
                for _ in range(args.mib):
                    out.write(block)
            url = "http://update-dl.corvane.com/" + package.name
            dest_win = windows_path(tmp / "program.bin")
            results = {"program": [], "curl": []}
            for _ in range(args.runs):
                results["program"].append(run_program(exe, url, dest_win, vendor.proxy, prefix))
                results["curl"].append(run_curl(url, vendor.proxy, str(tmp / "curl.bin")))
        prefixes.stop_wineserver(prefix)
    best = {}
    for name, runs in results.items():
        rates = [size / seconds / (1 << 20) for size, seconds in runs]
        best[name] = max(rates)
        print(f"{name:8s} {args.mib} MiB: " + ", ".join(f"{r:.1f}" for r in rates) + f" MiB/s (best {best[name]:.1f})")
    print(f"ratio program/curl (best runs): {best['program'] / best['curl']:.2f}")


if __name__ == "__main__":
    main()
