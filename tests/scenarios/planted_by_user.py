"""What an unelevated process of the same user can put in the elevated program's way: names
planted in the temp folder, a Program Files folder of its own in the environment, a program of
its own called Corvane.exe, and a msiexec.exe, a schtasks.exe and copies of the system DLLs
that are not KnownDLLs beside the downloaded program (Wine told to prefer a native copy of
those, so it searches the way Windows does). None of them is written, run, loaded or closed."""
import os
import re
import shutil
import subprocess

import prefix as prefixes
from install_silent import MSI, ZIP, product_code, run_setup, serve
from product_state import INSTALL_DIR, assert_installed, assert_removed
from scenario import USER, Scenario, check, check_in, variant_exe
from scenario_main import main
from test_product import evidence_lines, wait_for_lines
from uninstall_silent import install, staged_uninstaller

# Every name the program used to write in the user's temp folder, and the WebView2 data folder.
PLANTED_FILES = (ZIP, MSI, "CorvaneUninstall-PreInstall.exe", "CorvaneUninstall.exe")
# The copy of msiexec's log that support reads is written where the program's own logs are,
# never through a link: planted as a hard link to another file, that file stays as it was.
PLANTED_LINK = "CorvaneMSILog.log"
PLANTED_FOLDERS = ("CorvaneInstaller.WebView2",)
PRIVATE = r"C:\\windows\\Temp\\Corvane-[0-9a-f]{32}\\"
PLANTED_DLLS = ("winhttp", "bcrypt", "userenv", "wtsapi32", "wintrust", "crypt32", "msi")
DOWNLOADS = rf"C:\users\{USER}\Downloads"


def plant(s):
    s.temp_dir.mkdir(parents=True, exist_ok=True)
    for name in PLANTED_FILES:
        (s.temp_dir / name).write_bytes(b"planted " + name.encode())
    for name in PLANTED_FOLDERS:
        (s.temp_dir / name).mkdir()
        (s.temp_dir / name / "planted.txt").write_bytes(b"planted")
    victim = s.temp_dir.parent / "victim.txt"
    victim.write_bytes(b"precious")
    os.link(victim, s.temp_dir / PLANTED_LINK)


def check_planted_untouched(s, before):
    for name in PLANTED_FILES:
        check((s.temp_dir / name).read_bytes() == b"planted " + name.encode(), f"{name} in the temp folder was written")
    for name in PLANTED_FOLDERS:
        check(sorted(p.name for p in (s.temp_dir / name).iterdir()) == ["planted.txt"], f"{name} was written into")
    check((s.temp_dir.parent / "victim.txt").read_bytes() == b"precious", "written through the planted link")
    added = sorted(set(p.name for p in s.temp_dir.iterdir()) - before)
    check(all(re.fullmatch(r"Corvane(\.\w+-\d{8}|MSILog-\d+)\.log", name) for name in added),
          f"the program left more than its logs in the temp folder: {added}")


def scenario_names_planted_in_temp_are_left_alone():
    with Scenario("planted_temp_names", vendor=True) as s:
        plant(s)
        before = set(p.name for p in s.temp_dir.iterdir())
        install(s)
        code, log = run_setup(s, "/S /UNINSTALLFIRST", timeout=900)
        check(code == 0, f"install over the existing one: exit code {code}")
        ui_run = s.run(s.place_exe("CorvaneSetup.exe", source=variant_exe("no_loader")), "/SKIPWELCOME", timeout=180)
        check(ui_run.exit_code == 1, f"UI run without WebView2: exit code {ui_run.exit_code}")
        check_planted_untouched(s, before)

        log = s.log("Corvane.Installer")
        check(re.search(r"Downloaded: " + PRIVATE + r"download-\d+\\" + re.escape(ZIP), log),
              "the package was not fetched privately")
        check(re.search(r'msiexec\.exe /i "' + PRIVATE + r"package-\d+\\" + re.escape(MSI) + r'" .* /l\*v "' + PRIVATE +
                        r'CorvaneMSILog\.log"', log), "msiexec did not run the unpacked package privately")
        check(re.search(r"msiexec log: C:\\users\\\w+\\Temp\\CorvaneMSILog-\d+\.log", log),
              "msiexec's log was not copied beside the planted link")
        check(re.search(r"Staged pre-install uninstaller: " + PRIVATE + r"CorvaneUninstall-PreInstall\.exe", log),
              "the pre-install uninstaller was not staged privately")
        check(re.search(PRIVATE + r"Corvane(UI|Installer)-\d+", log), "the page resources were not put privately")
        check(log.count("Private working folder: ") == log.count("Removed private working folder: ") >= 3,
              "a private folder was not removed at the end of its run")
        left = [p.name for p in s.unix_path(r"C:\windows\temp").iterdir() if p.name.startswith("Corvane-")]
        check(not left, f"private folders left behind: {left}")
        assert_installed(s, product_code("ok"))


def scenario_program_files_comes_from_the_machine_not_the_environment():
    with Scenario("program_files_from_machine", vendor=True) as s:
        s.vendor.update(session={"match": "none"})
        serve(s, zip_variant="ok", msi_variant="ok")
        own = rf"C:\users\{USER}\Programs"
        s.unix_path(own).mkdir(parents=True)
        result = s.run(s.place_exe("CorvaneSetup.exe"), "/S", timeout=600, env={"CORVANE_RUN_SET_ProgramW6432": own})
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        assert_installed(s, product_code("ok"))
        check(not any(s.unix_path(own).rglob("*")), f"files written under the user's folder {own}")


def scenario_a_corvane_exe_elsewhere_survives_the_uninstall():
    with Scenario("close_only_the_product", vendor=True, display=True) as s:
        install(s)
        check(wait_for_lines(s, "app-command-lines.txt", 1), "the install did not launch the app")
        other = rf"C:\users\{USER}\Downloads\elsewhere\Corvane.exe"
        s.unix_path(other).parent.mkdir(parents=True)
        shutil.copy2(s.unix_path(INSTALL_DIR) / "Corvane.exe", s.unix_path(other))
        survivor = subprocess.Popen([prefixes.WINE64, other], env=s._env(), stdout=subprocess.DEVNULL,
                                    stderr=subprocess.DEVNULL)
        s.background.append(survivor)
        check(len(wait_for_lines(s, "app-command-lines.txt", 2)) == 2, "the other Corvane.exe did not start")

        result = s.run(staged_uninstaller(s), "/S", timeout=600)
        check(result.exit_code == 0, f"exit code {result.exit_code}")
        check(evidence_lines(s, "app-events.txt") == ["closed by WM_CLOSE"], "not exactly the product's app was closed")
        check(survivor.poll() is None, "the Corvane.exe outside the install folder was closed")
        check_in("is not the installed product", s.log("Corvane.Uninstaller"))
        assert_removed(s, product_code("ok"))


def ran_or_loaded(s):
    """The markers planted tools and DLLs leave beside themselves when run or loaded."""
    return sorted(p.name for p in s.unix_path(DOWNLOADS).iterdir() if p.suffix in (".ran", ".loaded"))


def scenario_planted_tools_are_never_started():
    with Scenario("planted_tools", vendor=True) as s:
        serve(s, msi_variant="ok")
        setup = s.place_exe("CorvaneSetup.exe")
        uninstaller = s.place_exe("CorvaneUninstall.exe")
        for tool in ("msiexec.exe", "schtasks.exe"):
            s.place_exe(tool, source=s.helpers / "planted_tool.exe")
        result = s.run(setup, "/S", timeout=600)
        check(result.exit_code == 0, f"install exit code {result.exit_code}")
        assert_installed(s, product_code("ok"))
        result = s.run(uninstaller, "/S", timeout=600)
        check(result.exit_code == 0, f"uninstall exit code {result.exit_code}")
        check_in("msiexec uninstall exit code: 0", s.log("Corvane.Uninstaller"))
        assert_removed(s, product_code("ok"))
        check(ran_or_loaded(s) == [], f"planted tools ran: {ran_or_loaded(s)}")


def scenario_planted_system_dlls_are_never_loaded():
    with Scenario("planted_dlls", vendor=True) as s:
        serve(s, msi_variant="ok")
        setup = s.place_exe("CorvaneSetup.exe")
        for dll in PLANTED_DLLS:
            s.place_exe(f"{dll}.dll", source=s.helpers / "planted_dll.dll")
        overrides = ";".join(["mscoree,mshtml="] + [f"{dll}=n,b" for dll in PLANTED_DLLS])
        result = s.run(setup, "/S", timeout=600, env={"WINEDLLOVERRIDES": overrides})
        check(ran_or_loaded(s) == [], f"planted DLLs were loaded: {ran_or_loaded(s)}")
        check(result.exit_code == 0, f"install exit code {result.exit_code}")
        assert_installed(s, product_code("ok"))


if __name__ == "__main__":
    main(globals())
