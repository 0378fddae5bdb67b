"""What lies beside the downloaded program is never run or loaded, though the program runs
elevated and anything the user runs can write to the Downloads folder: a planted msiexec.exe
and schtasks.exe, and planted copies of the system DLLs that are not KnownDLLs (Wine told to
prefer a native copy, so it searches the way Windows does)."""
import os
from pathlib import Path

from scenario import Scenario, check, check_in
from scenario_main import main
from test_product import INSTALL_DIR, serve_package

PLANTED_DLLS = ("winhttp", "bcrypt", "userenv", "wtsapi32", "wintrust", "crypt32")


def markers(s):
    return sorted(p.name for p in s.unix_path(rf"C:\users\{os.environ.get('USER') or 'root'}\Downloads").iterdir()
                  if p.suffix in (".ran", ".loaded"))


def scenario_planted_tools_are_never_started():
    with Scenario("planted_tools", vendor=True) as s:
        serve_package(s, "ok")
        setup = s.place_exe("CorvaneSetup.exe")
        uninstaller = s.place_exe("CorvaneUninstall.exe")
        for tool in ("msiexec.exe", "schtasks.exe"):
            s.place_exe(tool, source=s.helpers / "planted_tool.exe")
        result = s.run(setup, "/S", timeout=600)
        check(result.exit_code == 0, f"install exit code {result.exit_code}")
        check((s.unix_path(INSTALL_DIR) / "Corvane.exe").is_file(), "the product was not installed")
        result = s.run(uninstaller, "/S", timeout=600)
        check(result.exit_code == 0, f"uninstall exit code {result.exit_code}")
        check_in("msiexec uninstall exit code: 0", s.log("Corvane.Uninstaller"))
        check(not s.unix_path(INSTALL_DIR).exists(), "the product was not removed")
        check(markers(s) == [], f"planted tools ran: {markers(s)}")


def scenario_planted_system_dlls_are_never_loaded():
    with Scenario("planted_dlls", vendor=True) as s:
        serve_package(s, "ok")
        setup = s.place_exe("CorvaneSetup.exe")
        for dll in PLANTED_DLLS:
            s.place_exe(f"{dll}.dll", source=s.helpers / "planted_dll.dll")
        overrides = ";".join(["mscoree,mshtml="] + [f"{dll}=n,b" for dll in PLANTED_DLLS])
        result = s.run(setup, "/S", timeout=600, env={"WINEDLLOVERRIDES": overrides})
        check(markers(s) == [], f"planted DLLs were loaded: {markers(s)}")
        check(result.exit_code == 0, f"install exit code {result.exit_code}")
        check((s.unix_path(INSTALL_DIR) / "Corvane.exe").is_file(), "the product was not installed")


if __name__ == "__main__":
    main(globals())
