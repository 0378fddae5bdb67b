"""The entry under Wine: run mode from the file name, the switches, the lock and the OS gate."""
import os
import re
import time
from pathlib import Path

from install_silent import events, product_code
from page_double import PageDouble
from product_state import assert_removed
from scenario import Scenario, check, check_in, variant_exe
from scenario_main import main
from uninstall_silent import install


def scenario_os_gate_refuses_windows_7():
    # Without Wine's Version value the prefix reports a Windows 7 workstation (build 7601).
    with Scenario("os_gate", display=True, windows_version=None) as s:
        exe = s.place_exe("CorvaneSetup.exe")
        driver, text_file = s.answer_dialog("Corvane")
        result = s.run(exe, "", timeout=180)
        driver.wait(timeout=60)
        check(result.exit_code == 1, f"exit code {result.exit_code}, expected 1")
        check(text_file.read_text(encoding="utf-8") == "This version of Windows is not supported",
              f"dialog text {text_file.read_text(encoding='utf-8')!r}")
        log = s.log("Corvane.Installer")
        check_in("=== Corvane Installer 2.0.266.0 launched (initial) ===", log)
        check_in("[WARN] [Installer] Unsupported OS — aborting before UI: This version of Windows is not supported "
                 "(arch=x64 build=7601)", log)
        check_in("[tracking] dropped 'corvane.installer.close' event_id=", log)  # no stats host is reachable


def scenario_uninstaller_name_selects_uninstaller():
    with Scenario("uninstaller_name") as s:
        exe = s.place_exe("CorvaneUninstall.exe")
        result = s.run(exe, "/S", timeout=180)
        check(result.exit_code == 0, f"exit code {result.exit_code}, expected 0")
        check(not s.log("Corvane.Installer"), "the uninstaller wrote an installer log")
        log = s.log("Corvane.Uninstaller")
        check_in("[INFO] [Uninstaller] === Corvane Uninstaller 2.0.266.0 starting ===", log)
        check_in("[Uninstaller] Mode: silent", log)
        check_in("Uninstaller anonymous usage data: Granted (persisted=-1, explicit=-1)", log)
        check("\r\n" in log and log.endswith("\r\n"), "log lines end in CR LF")


def scenario_uninstaller_name_any_case_and_preinstall_flow():
    with Scenario("uninstaller_any_case") as s:
        exe = s.place_exe("Corvane-UNINSTALL-copy.exe")
        result = s.run(exe, "/S /UNINSTALLBEFOREINSTALL /USAGEDATA=0", timeout=180)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        log = s.log("Corvane.Uninstaller")
        check_in("Uninstaller invoked by installer (pre-install flow)", log)
        check_in("Uninstaller anonymous usage data: Declined (persisted=-1, explicit=0)", log)


def hold_lock(s, mutex_name):
    ready = s.temp_dir / f"{mutex_name}-ready"
    s.start_helper("mutex_holder.exe", [mutex_name, "120", rf"C:\users\root\Temp\{ready.name}"])
    deadline = time.monotonic() + 60
    while not ready.exists() and time.monotonic() < deadline:
        time.sleep(0.2)
    check(ready.exists(), f"{mutex_name} holder did not start")


def scenario_second_instance_yields_to_lock_holder():
    # A plain start brings the running window forward and exits 0; a silent one must not let a
    # deployment tool record success for a run that did nothing.
    with Scenario("second_instance") as s:
        setup = s.place_exe("CorvaneSetup.exe")
        uninstaller = s.place_exe("CorvaneUninstall.exe")
        hold_lock(s, "CorvaneInstallerMutex")
        hold_lock(s, "CorvaneUninstallerMutex")
        result = s.run(setup, "", timeout=120)
        check(result.exit_code == 0, f"plain start: exit code {result.exit_code}, expected 0")
        result = s.run(setup, "/S", timeout=120)
        check(result.exit_code == 1618, f"silent start: exit code {result.exit_code}, expected 1618")
        log = s.log("Corvane.Installer")
        check_in("Another installer instance is already running — focusing it and exiting", log)
        check_in("[WARN] [Installer] Another installer instance holds the lock (or it could not be created) — "
                 "silent run exits with 1618 (ERROR_INSTALL_ALREADY_RUNNING)", log)
        check("Initial anonymous usage-data preference" not in log, "a second instance went on past the lock")

        result = s.run(uninstaller, "", timeout=120)
        check(result.exit_code == 0, f"plain uninstaller: exit code {result.exit_code}, expected 0")
        check(not s.log("Corvane.Uninstaller"), "the plain second uninstaller wrote a log")
        result = s.run(uninstaller, "/S", timeout=120)
        check(result.exit_code == 1618, f"silent uninstaller: exit code {result.exit_code}, expected 1618")
        log = s.log("Corvane.Uninstaller")
        check_in("[WARN] [Uninstaller] Another uninstaller instance holds the lock (or it could not be created) — "
                 "silent run exits with 1618 (ERROR_INSTALL_ALREADY_RUNNING)", log)
        check("Corvane Uninstaller 2.0.266.0 starting" not in log, "the silent uninstaller went on")


def scenario_silent_switches_reach_silent_install():
    with Scenario("silent_switches") as s:
        exe = s.place_exe("CorvaneSetup.exe")
        # No vendor here: every download is refused at once, so both runs end in the silent
        # sequence's download failure.
        for args in ("/S", "--silent /DRYRUN /DECRYPTHTTPS=0 /USAGEDATA=0"):
            result = s.run(exe, args, timeout=300)
            check(result.exit_code == 1, f"{args}: exit code {result.exit_code}")
        log = s.log("Corvane.Installer")
        check(log.count("=== Corvane Installer 2.0.266.0 starting ===") == 2, "both runs reached the install")
        check(log.count("Mode: silent") == 2, "both runs took the silent sequence")
        check_in("DRY RUN mode enabled", log)
        check_in("HTTPS decryption consent: Declined", log)
        check_in("Anonymous usage-data opt-in: Declined", log)
        check(any(l.startswith("OS: ") and l.endswith("(x64)") for l in (x.split("] ", 2)[-1].rstrip() for x in log.splitlines())), "OS line with the x64 architecture")
        check("Mode: UI" not in log, "silent runs never open the UI")


def scenario_plain_start_without_a_screen_ends_on_the_consent_path():
    # No WebView2 loader in this build and no display: neither consent screen can be shown, so
    # the consent path ends while the session fetch is still waiting for its answer.
    with Scenario("consent_path", vendor=True) as s:
        s.vendor.fault("delay", path="/v1/session-data", seconds=3)
        exe = s.place_exe("CorvaneSetup.exe", source=variant_exe("no_loader"))
        result = s.run(exe, "/DRYRUN", timeout=180)
        check(result.exit_code == 1, f"exit code {result.exit_code}")
        log = s.log("Corvane.Installer")
        check_in("Initial anonymous usage-data preference: Granted (explicit=-1)", log)
        check_in("consent_webview: WebView2 not available", log)
        check(re.search(r"Failed to create consent window \(err=\d+\)", log), "native window line")
        check_in("Consent path returned without handoff (ret=1, native_fallback=1) — sending installer.close: "
                 "User cancelled (WebView2 unavailable)", log)
        # The run event is sent by the attribution thread when the session fetch ends, seconds
        # after the screens gave up: the run waits for it before its telemetry shuts down.
        sent = [name for name, _ in events(s)]
        check(sorted(sent) == ["corvane.installer.close", "corvane.installer.run"], f"events {sent}")


def scenario_post_consent_relaunch_without_webview_aborts():
    # The build without a loader, and the double planted beside it in Downloads as any program
    # could: the elevated process must not load it, and shows the missing-WebView2 box.
    with Scenario("ui_abort", display=True) as s:
        exe = s.place_exe("CorvaneSetup.exe", source=variant_exe("no_loader"))
        s.place_exe("WebView2Loader.dll", source=Path(os.environ["CORVANE_EXE"]).parent / "webview2_fake" /
                    "WebView2Loader.dll")
        double = PageDouble(s)
        driver, text_file = s.answer_dialog("Corvane")
        result = s.run(exe, "/SKIPWELCOME /USAGEDATA=1", timeout=180, env=double.env)
        driver.wait(timeout=60)
        check(result.exit_code == 1, f"exit code {result.exit_code}")
        check(text_file.read_text(encoding="utf-8") ==
              "Corvane Setup could not start because Microsoft Edge WebView2 Runtime is missing or disabled on this "
              "PC. Please install the latest Windows updates and try again.", f"dialog {text_file.read_text()!r}")
        check(not double.events(), f"the planted loader was loaded: {double.events()}")
        log = s.log("Corvane.Installer")
        check_in("launched (post-consent relaunch)", log)
        check("Another installer instance" not in log, "the relaunch must not take the lock")
        check_in("Mode: UI (WebView2)", log)
        check_in("WebView2Loader.dll not embedded in this build", log)
        check_in("UI pages served from memory", log)
        check_in("WebView2 unavailable after elevation — aborting install (no silent fallback by policy)", log)
        ui_log = s.log("Corvane.InstallerUI")
        check(re.search(r"\[ERROR\] \[InstallerUI\] WebView2Loader\.dll not found: C:\\windows\\Temp\\"
                        r"Corvane-[0-9a-f]{32}\\CorvaneInstaller-\d+\\WebView2Loader\.dll \(err=126\)", ui_log), f"UI log:\n{ui_log}")
        check_in("webview_available: loader DLL not available", ui_log)
        check(not [p for p in s.unix_path(r"C:\windows\temp").iterdir() if p.name.startswith("Corvane-")],
              "the private folder with the extraction folder was left behind")


def scenario_uninstaller_ui_relaunch_falls_back_to_silent():
    with Scenario("uninstaller_ui_fallback", vendor=True) as s:
        install(s)
        exe = s.place_exe("CorvaneUninstall.exe", folder=r"C:\users\{user}\Temp", source=variant_exe("no_loader"))
        result = s.run(exe, "/SKIPWELCOME", timeout=600)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        log = s.log("Corvane.Uninstaller")
        check_in("Mode: UI (WebView2) — welcome already shown", log)
        check_in("WebView2 not available for uninstaller UI", log)
        check_in("WebView2 not available — falling back to silent", log)
        check("Mode: silent" not in log, "the fallback does not log the silent mode line")
        assert_removed(s, product_code("ok"))


if __name__ == "__main__":
    main(globals())
