"""The silent uninstall end to end under Wine, and installing over an existing installation."""
import os
import re
import shutil
import time
from pathlib import Path

from install_silent import MSI, ZIP, downloads, events, product_code, run_setup, serve
from product_state import INSTALL_DIR, PRODUCT_KEY, assert_installed, assert_removed
from scenario import Scenario, check, check_in
from scenario_main import main
from test_product import wait_for_lines

USER_KEY = r"HKCU\Software\CorvaneLabs\Corvane"


def install(s, variant="ok"):
    s.vendor.update(session={"match": "none"})
    serve(s, zip_variant=variant, msi_variant=variant)
    code, _ = run_setup(s)
    check(code == 0, f"install exit code {code}")


def staged_uninstaller(s):
    """The installed uninstaller copied to the temp folder, as the pre-install flow runs it."""
    source = s.unix_path(INSTALL_DIR) / "CorvaneUninstall.exe"
    shutil.copy2(source, s.temp_dir / "CorvaneUninstall.exe")
    return r"C:\users\root\Temp\CorvaneUninstall.exe"


def scenario_uninstall_removes_everything_but_identity():
    with Scenario("uninstall_silent", vendor=True, display=True) as s:
        install(s)
        # The install launched the app into its window (there is a display); the uninstall must close it.
        records = s.unix_path(r"C:\ProgramData\CorvaneTest")
        # The app records its start a moment after the installer has exited.
        check(wait_for_lines(s, "app-command-lines.txt", 1), "the install did not launch the app")
        result = s.run(staged_uninstaller(s), "/S", timeout=600)
        log = s.log("Corvane.Uninstaller")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in("Starting uninstall", log)
        check((records / "app-events.txt").is_file() and "closed by WM_CLOSE" in
              (records / "app-events.txt").read_text(encoding="utf-8"), "the running app was not closed politely")
        check_in(product_code("ok"), log)
        assert_removed(s, product_code("ok"))
        check(not s.unix_path(INSTALL_DIR).parent.exists(), "the parent folder is still there")
        machine = s.reg_values(PRODUCT_KEY)
        check(set(machine) <= {"MachineId", "MachineDate"} and "MachineId" in machine,
              f"HKLM product key keeps {sorted(machine)}")
        user = s.reg_values(USER_KEY)
        check(set(user) <= {"UserId", "UserDate"} and "UserId" in user, f"HKCU product key keeps {sorted(user)}")
        sent = events(s)
        names = [name for name, _ in sent]
        for name in ("corvane.uninstaller.run", "corvane.uninstaller.start", "corvane.uninstaller.uninstall",
                     "corvane.uninstaller.finish", "corvane.uninstaller.close"):
            check(name in names, f"{name} not received; got {names}")
        for name, body in sent:
            if name.startswith("corvane.uninstaller."):
                check(body.get("is_uninstall_before_install") == "false", f"{name}: is_uninstall_before_install")
        check(dict(sent)["corvane.uninstaller.finish"]["message"] == "Uninstall completed", "finish message")


def scenario_install_over_existing_with_uninstall_first():
    with Scenario("install_over_existing", vendor=True) as s:
        install(s)
        code, log = run_setup(s, "/S /UNINSTALLFIRST", timeout=900)
        check(code == 0, f"exit code {code}")
        check_in("Existing install detected (has_c=1", log)
        check_in("uninstall_existing=1)", log)
        check_in("Pre-install close: stopping Corvane UI / services / driver", log)
        staged = r"C:\\windows\\Temp\\Corvane-[0-9a-f]{32}\\CorvaneUninstall-PreInstall\.exe"
        check(re.search("Staged pre-install uninstaller: " + staged, log), "staged uninstaller line")
        check(re.search(f'Pre-install uninstall: "{staged}" /S /UNINSTALLBEFOREINSTALL /USAGEDATA=1', log),
              "pre-install uninstall command line")
        check_in("Pre-install uninstaller exit code: 0", log)
        check_in("Pre-install uninstall finished (exit=0, has_c=1, has_msi=1", log)
        check(log.count("msiexec exit code: 0") == 2, "both installs ran msiexec")
        uninstaller_log = s.log("Corvane.Uninstaller")
        check_in("Uninstaller invoked by installer (pre-install flow)", uninstaller_log)
        for name, body in events(s):
            if name.startswith("corvane.uninstaller."):
                check(body.get("is_uninstall_before_install") == "true", f"{name}: is_uninstall_before_install")
        assert_installed(s, product_code("ok"))


def scenario_dry_run_uninstall_changes_nothing():
    with Scenario("uninstall_dry_run", vendor=True) as s:
        install(s)
        result = s.run(staged_uninstaller(s), "/S /DRYRUN", timeout=600)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in("DRY RUN: simulated uninstall complete", s.log("Corvane.Uninstaller"))
        assert_installed(s, product_code("ok"))
        check(dict(events(s))["corvane.uninstaller.finish"]["message"] == "Dry run complete", "finish message")


def wait_for(path, seconds=60):
    deadline = time.monotonic() + seconds
    while not path.exists() and time.monotonic() < deadline:
        time.sleep(0.2)
    check(path.exists(), f"{path.name} never appeared")


TASK_XML = """<?xml version="1.0"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <Actions Context="Author"><Exec><Command>C:\\windows\\system32\\notepad.exe</Command></Exec></Actions>
</Task>
"""
FORCELIST = r"HKLM\Software\Policies\Google\Chrome\ExtensionInstallForcelist"
OUR_EXTENSION = "kbmhgaeplfcjdmnoiakbpcfejhgdlmno;https://clients2.example.invalid/service/update2/crx"
OTHER_EXTENSION = "abcdefghijklmnopabcdefghijklmnop;https://clients2.example.invalid/service/update2/crx"


def scenario_refused_msi_removal_keeps_data_but_cleans_the_rest():
    with Scenario("uninstall_guards", vendor=True) as s:
        install(s, "fails_uninstall")
        data = s.unix_path(r"C:\ProgramData\Corvane")
        data.mkdir(parents=True, exist_ok=True)
        (data / "cache.bin").write_bytes(b"filters")
        (s.temp_dir / "task.xml").write_text(TASK_XML, encoding="utf-8")
        s.wine(["schtasks", "/Create", "/XML", r"C:\users\root\Temp\task.xml", "/TN", r"\CorvaneLabs\CorvaneUICheck"])
        s.wine(["reg", "add", r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run", "/v", "Corvane", "/d",
                INSTALL_DIR + r"\Corvane.exe", "/f", "/reg:64"])
        s.wine(["reg", "add", FORCELIST, "/v", "1", "/d", OTHER_EXTENSION, "/f", "/reg:64"])
        s.wine(["reg", "add", FORCELIST, "/v", "2", "/d", OUR_EXTENSION, "/f", "/reg:64"])
        shortcut = s.unix_path(r"C:\users\Public\Desktop\Corvane.lnk")
        shortcut.parent.mkdir(parents=True, exist_ok=True)
        shortcut.write_bytes(b"L\0\0\0")

        result = s.run(staged_uninstaller(s), "/S", timeout=600)
        log = s.log("Corvane.Uninstaller")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in("[WARN] [Uninstaller] msiexec uninstall exit code: 1603", log)
        check((data / "cache.bin").exists(), "the data folder went although the package is still registered")
        check("ProductVersion" in s.reg_values(PRODUCT_KEY), "the product key was purged after a failed removal")
        check(not (s.unix_path(r"C:\windows\system32\Tasks\CorvaneLabs") / "CorvaneUICheck").exists(),
              "the scheduled task is still there")
        check("Corvane" not in s.reg_values(r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"), "Run value left")
        forcelist = [data for _, data in s.reg_values(FORCELIST).values()]
        check(forcelist == [OTHER_EXTENSION], f"force-install list now {forcelist}")
        check(not shortcut.exists(), "the desktop shortcut is still there")
        check("corvane.uninstaller.uninstall" not in dict(events(s)), "a refused removal reported as done")


def scenario_file_in_use_keeps_the_uninstaller():
    with Scenario("uninstall_files_remain", vendor=True) as s:
        install(s)
        ready, stop = s.temp_dir / "held-ready", s.temp_dir / "held-stop"
        s.start_helper("file_holder.exe", [INSTALL_DIR + r"\settings.dat", "300",
                                           r"C:\users\root\Temp\held-ready", r"C:\users\root\Temp\held-stop"])
        wait_for(ready)
        result = s.run(staged_uninstaller(s), "/S", timeout=600)
        stop.write_text("stop")
        log = s.log("Corvane.Uninstaller")
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check_in("Files remain in install directory — keeping uninstaller for manual retry", log)
        check((s.unix_path(INSTALL_DIR) / "CorvaneUninstall.exe").is_file(), "the uninstaller was not kept")
        check(dict(events(s))["corvane.uninstaller.finish"]["message"] == "Uninstall completed (files remain)",
              "finish message")


if __name__ == "__main__":
    main(globals())
