"""The silent install end to end under Wine: the vendor stand-in serves the test product,
msiexec installs it, the program registers itself, starts the service and launches the app."""
import json
import os
import re
from pathlib import Path

from product_state import INSTALL_DIR, UNINSTALL_KEY, assert_installed, assert_removed
from scenario import USER, Scenario, check, check_in
from scenario_main import main
from test_product import wait_for_lines

PRODUCT = Path(os.environ.get("CORVANE_EXE", "")).parent / "product"
MSI = "Corvane-Installer-win-x64-latest.msi"
ZIP = "Corvane-Installer-win-x64-latest.zip"


def product_code(variant):
    return json.loads((PRODUCT / "variants.json").read_text())["variants"][variant]["product_code"]


def serve(s, zip_variant=None, msi_variant=None):
    if zip_variant:
        s.vendor.add_file(ZIP, PRODUCT / zip_variant / ZIP)
    if msi_variant:
        s.vendor.add_file(MSI, PRODUCT / msi_variant / MSI)


def events(s):
    """(event name, parsed body) of every event the stats host received, in arrival order."""
    return [(json.loads(r["body"])["event"], json.loads(r["body"])) for r in s.vendor.stats()]


def downloads(s):
    return [(r["scheme"], r["host"], r["path"]) for r in s.vendor.requests()
            if "update-dl." in r["host"] and r["method"] == "GET"]


def run_setup(s, args="/S", timeout=600):
    """Runs CorvaneSetup.exe from the Downloads folder; its exit code and the installer's log."""
    result = s.run(s.place_exe("CorvaneSetup.exe"), args, timeout=timeout)
    return result.exit_code, s.log("Corvane.Installer")


def check_install_outcome(s, log, decrypt_https=1):
    """The test product installed from the ZIP over HTTPS (with the person's HTTPS-filtering
    choice), the program registered as its uninstaller, the service started, and the install's
    events sent."""
    code = product_code("ok")
    assert_installed(s, code)
    ours = s.reg_values(UNINSTALL_KEY + r"\Corvane")
    expected = {"DisplayName": "Corvane", "UninstallString": f'"{INSTALL_DIR}\\CorvaneUninstall.exe"',
                "DisplayIcon": INSTALL_DIR + r"\Corvane.exe,0", "Publisher": "Corvane Labs",
                "DisplayVersion": "2.1.7.0", "InstallLocation": INSTALL_DIR, "MsiProductCode": code}
    for name, value in expected.items():
        check(ours.get(name, (None, None))[1] == value, f"Uninstall\\Corvane {name} = {ours.get(name)}")
    check(ours.get("NoModify") == ("REG_DWORD", "0x1") and ours.get("NoRepair") == ("REG_DWORD", "0x1"),
          "NoModify/NoRepair")
    check("HelpLink" in ours, "HelpLink missing")
    msi_entry = s.reg_values(UNINSTALL_KEY + "\\" + code)
    check(msi_entry.get("SystemComponent") == ("REG_DWORD", "0x1"), f"MSI entry not hidden: {msi_entry}")
    check(s.reg_values(r"HKLM\Software\CorvaneLabs\Corvane").get("InstallDate"), "InstallDate written")

    check(re.search(r'msiexec\.exe /i "C:\\windows\\Temp\\Corvane-[0-9a-f]{32}\\(package|download)-\d+\\' + re.escape(MSI) +
                    '" /qn /norestart LAUNCHAPP=0 CORVANE_DECRYPT_HTTPS=' + str(decrypt_https), log),
          "msiexec command line")
    check_in("msiexec exit code: 0", log)
    # msiexec logs into the private folder, which goes; support reads the copy in the temp folder.
    check_in(f"msiexec log: C:\\users\\{USER}\\Temp\\CorvaneMSILog.log", log)
    check((s.temp_dir / "CorvaneMSILog.log").stat().st_size > 0, "msiexec's log copy is empty")
    # The ZIP was tried first and sufficed: one package download, over HTTPS, on the .com host.
    check(downloads(s) == [("https", "update-dl.corvane.com", "/" + ZIP)], f"downloads: {downloads(s)}")

    # Wine ends a prefix's services once no program runs, so the service's own record tells
    # that the program's start request made it run.
    # The start request returns before the service reports, so its record may come a moment later.
    check("running" in wait_for_lines(s, "service-events.txt", 1), "service never ran")

    sent = events(s)
    names = [name for name, _ in sent]
    for name in ("corvane.installer.start", "corvane.installer.install", "corvane.installer.finish",
                 "corvane.installer.close"):
        check(name in names, f"{name} not received; got {names}")
    check(dict(sent)["corvane.installer.finish"]["message"] == "Install complete", "finish message")


def scenario_installs_registers_starts_and_launches():
    with Scenario("install_silent_ok", vendor=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        code, log = run_setup(s)
        check(code == 0, f"exit code {code}")
        check_install_outcome(s, log)
        check_in("Install complete (silent)", log)
        bodies = dict(events(s))
        check("corvane.installer.run" in bodies, "no run event")
        check(bodies["corvane.installer.start"]["message"] == "Install started (silent)", "start message")
        close = bodies["corvane.installer.close"]
        check(close.get("launch_outcome") in ("launch_accepted", "already_running", "launch_failed"),
              f"launch_outcome {close.get('launch_outcome')}")
        check(close.get("exit_stage") == "post_install", f"exit_stage {close.get('exit_stage')}")
        install_id = bodies["corvane.installer.install"]["event_id"]
        check(close.get("install_event_id") == install_id, "close event carries the install event id")
        if close["launch_outcome"] == "launch_accepted":
            launched = "\n".join(wait_for_lines(s, "app-command-lines.txt", 1))
            check_in(f"--run_source=installer --install_event_id={install_id}", launched, "app command line")


def scenario_failed_zip_package_retries_bare_msi_once():
    with Scenario("install_zip_retry", vendor=True) as s:
        serve(s, zip_variant="fails_install", msi_variant="ok")
        code, log = run_setup(s)
        check(code == 0, f"exit code {code}")
        check_in("ZIP-extracted MSI failed with exit code 1603 — re-downloading bare MSI for retry", log)
        check_in("Bare-MSI retry succeeded (exit=0) after ZIP path failed (exit=1603)", log)
        got = downloads(s)
        check(got == [("https", "update-dl.corvane.com", "/" + ZIP), ("https", "update-dl.corvane.com", "/" + MSI)],
              f"downloads: {got}")


def scenario_failing_bare_msi_ends_with_msi_exec_failed():
    with Scenario("install_msi_fails", vendor=True) as s:
        s.vendor.fault("status", path="/*.zip", status=404)
        serve(s, msi_variant="fails_install")
        code, log = run_setup(s)
        check(code == 1, f"exit code {code}")
        check("re-downloading bare MSI" not in log, "a bare MSI is never retried")
        fail = dict(events(s))["corvane.installer.fail"]
        check(fail.get("error_category") == "msi_exec_failed", f"category {fail.get('error_category')}")
        check(str(fail.get("msi_exit_code")) == "1603", f"msi_exit_code {fail.get('msi_exit_code')}")
        check(int(fail.get("msi_file_size_kb", -1)) > 0, f"msi_file_size_kb {fail.get('msi_file_size_kb')}")
        check(dict(events(s))["corvane.installer.finish"]["message"] == "Install failed", "finish message")
        assert_removed(s, product_code("fails_install"))


def scenario_every_url_404_fails_and_purges_host_prefix():
    with Scenario("install_all_404", vendor=True) as s:
        s.vendor.fault("status", host="*update-dl.*", status=404)
        s.wine(["reg", "add", r"HKLM\Software\CorvaneLabs\Corvane", "/v", "HostPrefix", "/d", "stage-", "/f",
                "/reg:64"])
        code, log = run_setup(s, timeout=900)
        check(code == 1, f"exit code {code}")
        check(len(downloads(s)) == 12, f"{len(downloads(s))} package requests, expected 12")
        fail = dict(events(s))["corvane.installer.fail"]
        check(fail.get("error_category") == "download_failed", f"category {fail.get('error_category')}")
        check(fail.get("message") == "Failed to download installer after all attempts", f"message {fail.get('message')}")
        check("HostPrefix" not in s.reg_values(r"HKLM\Software\CorvaneLabs\Corvane"), "HostPrefix was not purged")
        check_in("install_state_purge_pending_host_prefix: no install completed", log)


def scenario_reboot_required_counts_as_success():
    with Scenario("install_3010", vendor=True) as s:
        s.vendor.fault("status", path="/*.zip", status=404)
        serve(s, msi_variant="needs_reboot")
        code, log = run_setup(s)
        check(code == 0, f"exit code {code}")
        check_in("[INFO] [Installer] msiexec exit code: 3010", log)
        check_in("Install complete (silent)", log)
        assert_installed(s, product_code("needs_reboot"))
        check(s.reg_values(r"HKLM\Software\CorvaneLabs\Corvane").get("InstallDate"), "InstallDate not written")
        check("corvane.installer.install" in dict(events(s)), "no install event")


def scenario_dry_run_downloads_and_simulates():
    with Scenario("install_dry_run", vendor=True) as s:
        serve(s, zip_variant="ok", msi_variant="ok")
        code, log = run_setup(s, "/S /DRYRUN")
        check(code == 0, f"exit code {code}")
        check_in("Zip extracted", log)
        check_in("DRY RUN: simulating MSI install (20 seconds)", log)
        check_in("DRY RUN: skipping post-install, uninstaller, and app launch", log)
        check("msiexec.exe /i" not in log, "a dry run must not start msiexec")
        assert_removed(s, product_code("ok"))
        sent = dict(events(s))
        check(sent["corvane.installer.finish"]["message"] == "Dry run complete", "finish message")
        check(sent["corvane.installer.close"]["launch_outcome"] == "not_reached", "close outcome")
        check("corvane.installer.install" not in sent, "a dry run sends no install event")


if __name__ == "__main__":
    main(globals())
