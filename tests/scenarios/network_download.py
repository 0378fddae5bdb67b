"""The package download of the real program under Wine, through the vendor stand-in: the
twelve URLs in order, a stall, a rate collapse and the rule switched off after it, no
package file left behind by a failed attempt, and a dropped connection taken up where it broke."""
import os
import re
from pathlib import Path

from scenario import Scenario, check, check_in
from scenario_main import main


def package_name(log):
    match = re.search(r"MSI filename: (\S+)", log)
    check(match, "no MSI filename line")
    return match.group(1)


def gets(vendor):
    return [f"{r['scheme']}://{r['host']}{r['path']}" for r in vendor.requests() if r["method"] == "GET"
            and "update-dl." in r["host"]]


def scenario_every_url_missing_walks_twelve_in_order():
    with Scenario("net_download_404", vendor=True) as s:
        exe = s.place_exe("CorvaneSetup.exe")
        result = s.run(exe, "/S", timeout=300)
        log = s.log("Corvane.Installer")
        check(result.exit_code == 1, f"exit code {result.exit_code}")
        check_in("Failed to download installer after all attempts", log)
        msi = package_name(log)
        zip_name = msi[:-4] + ".zip"
        expected = [f"{scheme}://update-dl.{domain}/{name}" for scheme in ("https", "http")
                    for domain in ("corvane.com", "corvane.net", "corvane.org") for name in (zip_name, msi)]
        check(gets(s.vendor) == expected, f"URLs asked:\n" + "\n".join(gets(s.vendor)))
        check("stalled" not in log and "collapsed" not in log, "a 404 was taken for a stall or collapse")


def scenario_stall_and_collapse_leave_nothing_and_switch_the_rule_off():
    with Scenario("net_download_faults", vendor=True) as s:
        big = bytes(range(256)) * (8 << 12)  # 8 MiB
        for name in ("Corvane-Installer-win-x64-latest.zip", "Corvane-Installer-win-x64-latest.msi"):
            s.vendor.add_file(name, big)
        s.vendor.fault("stall", host="update-dl.corvane.com", path="*.zip", scheme="https", bytes=8192, seconds=40)
        trickle = dict(fast_bytes=4 << 20, rate=8192, seconds=12)
        s.vendor.fault("trickle", host="update-dl.corvane.com", path="*.msi", scheme="https", **trickle)
        s.vendor.fault("trickle", host="update-dl.corvane.net", path="*.zip", scheme="https", **trickle)
        s.vendor.fault("status", host="*update-dl*", status=404)
        exe = s.place_exe("CorvaneSetup.exe")
        s.run(exe, "/S", timeout=400)
        log = s.log("Corvane.Installer")
        check_in("Download stalled: no data for 15000 ms at 8192 of 8388608 bytes — abandoning", log)
        collapses = re.findall(r"Download rate collapsed: \d+ B/s is under 25% of this transfer's \d+ B/s peak for "
                               r"6000ms at \d+ of 8388608 bytes — trying the next URL", log)
        check(len(collapses) == 1, f"collapse lines: {collapses}")
        after = log[log.index("Download rate collapsed"):]
        check_in("Download attempt (zip): https://update-dl.corvane.net/Corvane-Installer-win-x64-latest.zip", after)
        check_in("Download failed (zip): https://update-dl.corvane.net/Corvane-Installer-win-x64-latest.zip", after)
        check_in("Failed to download installer after all attempts", log)
        left = [p.name for p in s.temp_dir.glob("Corvane-Installer-*")]
        check(not left, f"partial package files left: {left}")



def scenario_dropped_msi_is_resumed_and_installs():
    with Scenario("net_download_resume", vendor=True) as s:
        msi = "Corvane-Installer-win-x64-latest.msi"
        package = Path(os.environ["CORVANE_EXE"]).parent / "product" / "ok" / msi
        size = s.vendor.add_file(msi, package).stat().st_size  # as served: signed
        s.vendor.fault("status", path="/*.zip", status=404)
        s.vendor.fault("dropped", path="/" + msi, times=1)
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/S", timeout=600)
        log = s.log("Corvane.Installer")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in("Install complete (silent)", log)
        asked = [r for r in s.vendor.requests() if r["method"] == "GET" and r["path"] == "/" + msi]
        check(len(asked) == 2 and "range" not in asked[0], f"MSI requests: {asked}")
        at = size * 60 // 100
        check(asked[1].get("range") == f"bytes={at}-", f"second request's Range: {asked[1].get('range')}")
        check(asked[1].get("if_range", "").startswith('"'), f"second request's If-Range: {asked[1].get('if_range')}")
        check_in(f"Download resuming at {at} of {size} bytes (resume 1 of 2): https://update-dl.corvane.com/{msi}", log)
        served = sum(r["bytes"] for r in s.vendor.served() if r["path"] == "/" + msi)
        check(served < size * 3 // 2, f"{served} bytes served for a package of {size}")


if __name__ == "__main__":
    main(globals())
