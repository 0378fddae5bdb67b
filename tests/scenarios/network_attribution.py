"""Session data and attribution persistence of the real program under Wine: the Mark of the
Web chooses the session host, the worker's answer is merged, and the registry ends as the
run's outcome says (HTTPS only, through the vendor stand-in's TLS)."""
import os
import re
import tempfile
from pathlib import Path

from scenario import Scenario, check, check_in
from scenario_main import main
from signed_exe import signed_and_stamped

PRODUCT = r"Software\CorvaneLabs\Corvane"
TEST_PRODUCT = Path(os.environ.get("CORVANE_EXE", "")).parent / "product"


def mark_of_the_web(s, exe, host_url):
    stream = s.unix_path(exe).parent / (s.unix_path(exe).name + ":Zone.Identifier")
    stream.write_text(f"[ZoneTransfer]\r\nZoneId=3\r\nHostUrl={host_url}\r\n", encoding="ascii")


def scenario_stage_org_mark_with_429_and_no_match():
    with Scenario("net_motw_stage_org", vendor=True) as s:
        s.vendor.fault("status", host="stage-download.corvane.org", path="/v1/session-data", status=429,
                       headers={"Retry-After": "120"}, times=1)
        s.vendor.update(session={"match": "none", "utm_source": "worker", "current_timestamp": 1767225600})
        exe = s.place_exe("CorvaneSetup.exe")
        mark_of_the_web(s, exe, "https://stage-download.corvane.org/get/setup?s=Ab12Cd34Ef56&x=1")
        result = s.run(exe, "/S", timeout=300)
        gets = [r for r in s.vendor.requests() if r["method"] == "GET" and r["path"] == "/v1/session-data"]
        check(len(gets) >= 2, f"session requests: {gets}")
        check(all(r["host"] == "stage-download.corvane.org" and r["scheme"] == "https" for r in gets),
              f"session hosts: {[(r['scheme'], r['host']) for r in gets]}")
        check(gets[0]["query"].startswith("s=Ab12Cd34Ef56&os_name="), f"query {gets[0]['query']!r}")
        check(gets[0]["query"] == gets[1]["query"], "the retry asked something else")
        log = s.log("Corvane.Installer")
        check_in("[WARN] [Installer] session_fetch: 429 from worker, sleeping 5000 ms before retry", log)
        check(len(re.findall(r"sleeping \d+ ms", log)) == 1, "more than one 429 wait")
        check_in("session-data (bg): match=none, download_datetime=\"\", ", log)
        check_in("server_timestamp=1767225600", log)
        check("utm_source\":\"worker" not in "".join(r["body"] for r in s.vendor.stats()), "a none match merged")
        stats_hosts = {r["host"] for r in s.vendor.stats()}
        check(stats_hosts == {"stage-stats.corvane.org"}, f"stats hosts {stats_hosts}")
        check(result.exit_code != 0, "the install stand-in cannot succeed")
        hklm = s.reg_values("HKLM\\" + PRODUCT)
        check("HostPrefix" not in hklm and "HostDomain" not in hklm, f"not purged: {hklm}")
        check_in("install_state_purge_pending_host_prefix: no install completed — cleared", log)
        hkcu = s.reg_values("HKCU\\" + PRODUCT)
        check("UserId" in hkcu and "UserDate" in hkcu, f"HKCU identity not written: {hkcu}")


def scenario_matched_session_fills_campaign_and_com_clears_domain():
    with Scenario("net_session_merge", vendor=True) as s:
        s.wine(["reg", "add", "HKLM\\" + PRODUCT, "/v", "HostDomain", "/d", "corvane.net", "/f", "/reg:64"])
        s.vendor.update(session={"match": "click", "utm_campaign": "spring sale", "gclid": "G-1",
                                 "current_timestamp": 1500000000})
        exe = s.place_exe("CorvaneSetup.exe")
        mark_of_the_web(s, exe, "https://download.corvane.com/get?s=Zz98Yy76Xx54")
        s.run(exe, "/S", timeout=300)
        log = s.log("Corvane.Installer")
        check_in("commit_attribution_to_registry: MOTW apex is primary corvane.com — cleared "
                 r"HKLM\Software\CorvaneLabs\Corvane\HostDomain", log)
        check_in("session-data current_timestamp 1500000000 out of range, falling back to the local clock", log)
        hklm = s.reg_values("HKLM\\" + PRODUCT)
        check(hklm.get("UTMCampaign", (None, None))[1] == "spring sale", f"UTMCampaign {hklm.get('UTMCampaign')}")
        check(hklm.get("GoogleClickId", (None, None))[1] == "G-1", f"GoogleClickId {hklm.get('GoogleClickId')}")
        check("HostDomain" not in hklm, f"HostDomain left: {hklm}")
        bodies = [r["body"] for r in s.vendor.stats()]
        check(any('"utm_campaign":"spring sale"' in b for b in bodies), "merged campaign not sent")


def scenario_completed_install_keeps_dev_net_attribution():
    with Scenario("net_attribution_kept", vendor=True) as s:
        s.vendor.update(session={"match": "click", "utm_medium": "cpc"})
        msi = "Corvane-Installer-win-x64-latest.msi"
        s.vendor.add_file(msi, TEST_PRODUCT / "ok" / msi)
        exe = s.place_exe("CorvaneSetup.exe")
        mark_of_the_web(s, exe, "https://dev-download.corvane.net/get?s=Qq11Ww22Ee33")
        result = s.run(exe, "/S", timeout=600)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        log = s.log("Corvane.Installer")
        check_in("install_state_mark_completed: install succeeded in this process — HostPrefix / HostDomain will "
                 "persist", log)
        check("install_state_purge_pending_host_prefix: no install completed" not in log, "purged after success")
        hklm = s.reg_values("HKLM\\" + PRODUCT)
        check(hklm.get("HostPrefix", (None, None))[1] == "dev-", f"HostPrefix {hklm.get('HostPrefix')}")
        check(hklm.get("HostDomain", (None, None))[1] == "corvane.net", f"HostDomain {hklm.get('HostDomain')}")
        check(hklm.get("UTMMedium", (None, None))[1] == "cpc", f"UTMMedium {hklm.get('UTMMedium')}")
        first = next(r for r in s.vendor.requests() if r["method"] == "GET" and "update-dl." in r["host"])
        check(first["host"] == "dev-update-dl.corvane.net", f"first download host {first['host']}")
        check({r["host"] for r in s.vendor.stats()} == {"dev-stats.corvane.net"}, "stats host")


def scenario_retagged_download_cannot_steer_host_or_path():
    # The tag lies outside what the signature covers: anyone can re-tag a signed download.
    hostile = r'{"host_prefix":"evil.example/x?","app_version":"1\..\..\Escaped","utm_source":"kept"}'
    with Scenario("net_hostile_tag", vendor=True) as s, tempfile.TemporaryDirectory() as work:
        s.vendor.update(session={"match": "none"})
        msi = "Corvane-Installer-win-x64-latest.msi"
        s.vendor.add_file(msi, TEST_PRODUCT / "ok" / msi)
        stamped = Path(work) / "CorvaneSetup.exe"
        signed_and_stamped(s.exe_source, stamped, hostile, hostile=True)
        exe = s.place_exe("CorvaneSetup.exe", source=stamped)
        result = s.run(exe, "/S", timeout=600)
        hosts = {r["host"] for r in s.vendor.requests()}
        check(hosts and all(h.endswith((".corvane.com", ".corvane.net", ".corvane.org")) for h in hosts),
              f"requests left the vendor's hosts: {sorted(hosts)}")
        log = s.log("Corvane.Installer")
        check_in('Refused host_prefix from the tag block: "evil.example/x?"', log)
        check_in(r'Refused app_version from the tag block: "1\x5C..\x5C..\x5CEscaped"', log)
        # As if the tag had named neither: the latest package from the production hosts.
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        first = next(r for r in s.vendor.requests() if r["method"] == "GET" and "update-dl." in r["host"])
        check((first["host"], first["path"]) == ("update-dl.corvane.com", "/Corvane-Installer-win-x64-latest.zip"),
              f"first download {first['host']}{first['path']}")
        check(not [p for p in s.drive_c.rglob("*Escaped*")], "a file was named after the tag's version")
        hklm = s.reg_values("HKLM\\" + PRODUCT)
        check("HostPrefix" not in hklm, f"HostPrefix {hklm.get('HostPrefix')}")
        check(hklm.get("UTMSource", (None, None))[1] == "kept", f"the rest of the tag was lost: {hklm.get('UTMSource')}")


if __name__ == "__main__":
    main(globals())
